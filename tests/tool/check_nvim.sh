#!/bin/sh
# Runs Neovim headless with its LSP client on `qbd lsp` (tests/tool/lsp/nvim_session.lua).
# Skipped (77) where Neovim is not installed.
qbd=$1
command -v nvim >/dev/null 2>&1 || { echo "nvim not installed: skipped"; exit 77; }
QBD=$qbd QBD_BOARD=tests/tool/lsp/session.qbd \
  timeout 60 nvim --headless --clean -n -i NONE -u NONE \
  -c "luafile tests/tool/lsp/nvim_session.lua" </dev/null
