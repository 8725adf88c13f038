#!/bin/sh
# A short tour of the qbd program (and the Tcl shell, when it is built) on the bundled sample
# boards, ending with a summary of what it showed and where to go next.
#   sh tools/demo.sh [BUILD_DIR]        (default: build)
# Long answers are cut to their first lines; the commands shown print them whole.
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

step() { printf '\n$ %s\n' "$*"; }
# The first N lines of standard input, and a note of how many more there were.
first() {
  awk -v n="$1" 'NR <= n { print } END { if (NR > n) printf "  ... (%d more lines)\n", NR - n }'
}

step "qbd check boards/*.qbd"
$QBD check boards/*.qbd
step "qbd info $BOARD"
$QBD info $BOARD | first 4
step "qbd blocks $TEMPLATE --key-only   (a template, expanded by the model)"
$QBD blocks $TEMPLATE --key-only | first 4
step "qbd ports $BOARD uart_0"
$QBD ports $BOARD uart_0
step "qbd clocks $BOARD --find 50MHz"
$QBD clocks $BOARD --find 50MHz
step "qbd constraints $BOARD uart_0 --format xdc"
$QBD constraints $BOARD uart_0 --format xdc | first 3
step "qbd lint boards/*.qbd"
$QBD lint boards/*.qbd 2>&1
step "cat $BOARD | qbd memory - --json   (a board on standard input)"
$QBD memory - --json < $BOARD | first 3
diagram=""
if command -v dot >/dev/null 2>&1; then
  diagram="$BUILD/northwind_dk2.svg"
  step "qbd diagram $BOARD -o $diagram"
  $QBD diagram $BOARD -o "$diagram" && echo "wrote $diagram"
fi
if [ -x "$QBDSH" ] && [ -f examples/board_report.tcl ]; then
  step "qbdsh examples/board_report.tcl $BOARD"
  "$QBDSH" examples/board_report.tcl $BOARD | first 2
fi

cat <<SUMMARY

== Summary
Shown: reading and checking boards, identity and instances, a generic template expanded,
port tables with pin constraints, choosing a clock, a constraint file for a toolchain, lint, JSON from
standard input${diagram:+, a rendered diagram ($diagram)}, and a Tcl report through qbdsh.
Next: $QBD --help (every command); docs/qbd.md, tcl.md, python.md, cpp.md,
board-format.md; make test (the suite); make install PREFIX=... (programs, libraries, Tcl
and Python packages, manual pages, shell completion).
SUMMARY
