#!/bin/sh
# The main job on the bundled sample board.
set -e
BUILD=${1:-build}
QBD=$BUILD/tools/qbd/qbd
echo "== qbd check boards/*.qbd"
$QBD check boards/*.qbd
echo "== qbd print boards/northwind_dk2.qbd (first lines)"
$QBD print boards/northwind_dk2.qbd | head -40
