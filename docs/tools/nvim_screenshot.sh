#!/bin/sh
# Makes docs/editors-neovim.png: Neovim in tmux with the setup of editors/vim on a copy of the
# linguist sample board with one net misspelt, a lint warning beside it and a hover open.
# Needs tmux, nvim, python3-pil; run from the source tree after building qbd into build/.
set -e
src=$(pwd)
work=$(mktemp -d)
trap 'tmux kill-session -t qbdshot 2>/dev/null || true; rm -rf "$work"' EXIT
sed 's/PORT LED3 = led_3,/PORT LED3 = led3,/' editors/linguist/samples/qbd/harbor_hb1.qbd \
  > "$work/harbor_hb1.qbd"
PATH=$src/build/tools/qbd:$PATH tmux new-session -d -s qbdshot -x 118 -y 34 \
  "nvim --clean -u NONE -i NONE -n --cmd 'set rtp^=$src/editors/vim' --cmd 'filetype on' \
   --cmd 'syntax on' --cmd 'luafile $src/editors/vim/qbd-lsp.lua' $work/harbor_hb1.qbd"
keys() { tmux send-keys -t qbdshot "$@"; sleep 0.5; }
sleep 2
keys ':hi NormalFloat ctermbg=237 ctermfg=252 | hi SignColumn ctermbg=NONE' Enter
keys ':46' Enter
keys 'z.'
keys '0f=w'
keys 'K'
sleep 1
tmux capture-pane -t qbdshot -e -p > "$work/pane.ansi"
/usr/bin/python3 docs/tools/ansi_to_png.py "$work/pane.ansi" docs/editors-neovim.png
