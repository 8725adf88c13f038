" Vim syntax file for board-description (.qbd) files.
" Keywords may be written in any case; names and values are shown as written.
if exists("b:current_syntax")
  finish
endif

syn case ignore
syn match   qbdComment  /#.*$/ contains=@Spell
syn region  qbdString   start=/"/ skip=/\\./ end=/"\|$/ oneline contains=qbdEscape
syn match   qbdEscape   /\\[\\"tn]/ contained
syn match   qbdBlock    /^\s*\zsBEGIN\s\+BLOCK\>/ nextgroup=qbdBlockName skipwhite
syn match   qbdBlockName /[^#[:space:]][^#]*/ contained
syn match   qbdBlock    /^\s*\zsEND\>/
syn match   qbdKeyword  /^\s*\zs\(ATTRIBUTE\|PARAMETER\|PORT\)\>/ nextgroup=qbdName skipwhite
syn match   qbdName     /[^=,()"#]\+/ contained
syn match   qbdSub      /\(,\|^\)\s*\zs\h\w*\ze\s*=/
syn match   qbdLoc      /\<LOC\s*=\s*\zs[^ ,()"#]\+/
syn match   qbdNumber   /\<\(0x\x\+\|\d\+\)\>/
syn case match

hi def link qbdComment   Comment
hi def link qbdString    String
hi def link qbdEscape    SpecialChar
hi def link qbdBlock     Statement
hi def link qbdBlockName Title
hi def link qbdKeyword   Type
hi def link qbdName      Identifier
hi def link qbdSub       PreProc
hi def link qbdLoc       Constant
hi def link qbdNumber    Number

let b:current_syntax = "qbd"
