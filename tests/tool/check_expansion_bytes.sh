#!/bin/sh
# A small template that asks expansion for a gigabyte: one block with a 1 MB parameter and
# MAX_NUM_INSTANCES = 1024. Every command that expands refuses it while planning, with exit 1
# and an error at the block's MAX_NUM_INSTANCES, before it copies anything; the memory limit
# (when the program can start under one; not under the sanitizers) makes sure of that.
#
#   check_expansion_bytes.sh QBD
set -u
qbd=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
board=$work/big.qbd

awk 'BEGIN {
  print "ATTRIBUTE NAME = Generic Template"
  print "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = fpga_0\n  ATTRIBUTE BLOCKTYPE = FPGA\nEND"
  print "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = big\n  ATTRIBUTE IOTYPE = QOR_TEST_V1"
  print "  ATTRIBUTE MAX_NUM_INSTANCES = 1024"
  value = "x"
  while (length(value) < 1048576) value = value value
  print "  PARAMETER C_BIG = " value
  print "END"
}' >"$board"

# 256 MB of address space: far below the gigabyte the copies would take.
limit=262144
if ! (ulimit -v "$limit" && "$qbd" --version >/dev/null 2>&1); then limit=unlimited; fi

failed=0
for command in info blocks expand; do
  (ulimit -v "$limit" && "$qbd" "$command" "$board" >"$work/out" 2>"$work/err")
  status=$?
  if [ "$status" -ne 1 ] ||
     ! grep -q "big.qbd:9:3: error: the 1023 copies of block \"big\" would add [0-9]* bytes of text, past the limit of 268435456" "$work/err"; then
    echo "qbd $command: exit $status, expected 1 and the byte-limit error; stderr:"
    head -c 600 "$work/err"
    failed=1
  fi
done
exit $failed
