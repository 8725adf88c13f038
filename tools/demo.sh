#!/bin/sh
# A tour of the qbd program (and the Tcl shell, when it is built) on the bundled sample boards.
#   sh tools/demo.sh [BUILD_DIR]        (default: build)
set -e
BUILD=${1:-build}
QBD=$BUILD/tools/qbd/qbd
QBDSH=$BUILD/tools/qbdsh/qbdsh
BOARD=boards/northwind_dk2.qbd
TEMPLATE=boards/generic_template.qbd

if [ ! -x "$QBD" ]; then
  echo "demo: $QBD is not built (run 'make build' first)" >&2
  exit 1
fi

step() { printf '\n== %s\n' "$*"; }

step "qbd check boards/*.qbd"
$QBD check boards/*.qbd
step "qbd info $BOARD"
$QBD info $BOARD
step "qbd blocks $BOARD"
$QBD blocks $BOARD
step "qbd blocks $TEMPLATE   (a generic template, expanded by the board model)"
$QBD blocks $TEMPLATE
step "qbd ports $BOARD uart_0"
$QBD ports $BOARD uart_0
step "qbd pins $BOARD   (first lines)"
$QBD pins $BOARD | head -12
step "qbd clocks $BOARD"
$QBD clocks $BOARD
step "qbd clocks $BOARD --find 50MHz"
$QBD clocks $BOARD --find 50MHz
step "qbd constraints $BOARD uart_0"
$QBD constraints $BOARD uart_0
step "qbd lint boards/*.qbd"
$QBD lint boards/*.qbd && echo "no findings"
step "qbd info $BOARD --json   (first lines)"
$QBD info $BOARD --json | head -12

if command -v dot >/dev/null 2>&1; then
  step "qbd diagram $BOARD -o $BUILD/northwind_dk2.svg"
  $QBD diagram $BOARD -o "$BUILD/northwind_dk2.svg" && echo "wrote $BUILD/northwind_dk2.svg"
fi

if [ -x "$QBDSH" ] && [ -f examples/board_report.tcl ]; then
  step "$QBDSH examples/board_report.tcl $BOARD"
  "$QBDSH" examples/board_report.tcl $BOARD
else
  step "qbdsh or examples/board_report.tcl is missing: Tcl part skipped"
fi
