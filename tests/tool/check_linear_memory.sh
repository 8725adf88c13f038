#!/bin/sh
# Runs every qbd query on generated boards under an address-space limit of the program's own
# fixed cost plus 12 times the board file, so that a command whose memory grows faster than
# the board fails here. (The aim is 10 times on a large board; a small board's address space
# carries more allocator slack.) Two boards: about 2.5 MB of ordinary blocks, and one net that
# joins 5,000 FPGA pins to 5,000 instance ports, where anything that pairs every port with
# every pin needs far more than the limit. Exits 77 (skipped) when qbd cannot start under a limit, as
# under the sanitizers, which reserve more address space than that.
#
#   check_linear_memory.sh QBD
set -u
qbd=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# Runs "$@" with its output discarded under an address-space limit of $1 KB.
under() {
  limit=$1
  shift
  (ulimit -v "$limit" && "$@" >/dev/null 2>"$work/err")
}

# An ordinary board: an FPGA block with one pin per instance port, then $1 instance blocks.
ordinary_board() {
  awk -v n="$1" 'BEGIN {
    print "ATTRIBUTE VENDOR = Northwind\nATTRIBUTE NAME = Linear\nATTRIBUTE REVISION = A"
    print "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = fpga_0\n  ATTRIBUTE BLOCKTYPE = FPGA"
    print "  ATTRIBUTE FAMILY = ketral4\n  ATTRIBUTE DEVICE = k4fx100"
    for (b = 0; b < n; b++)
      for (p = 0; p < 8; p++)
        printf "  PORT fpga_g%d_%d = g%d_io_%d, UCF_NET_STRING = (LOC=R%dC%d, IOSTANDARD=LVCMOS33), DIR = IO\n", b, p, b, p, b, p
    print "END"
    for (b = 0; b < n; b++) {
      printf "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = gpio_%d\n  ATTRIBUTE IOTYPE = QOR_GPIO_V1\n", b
      printf "  ATTRIBUTE DESC = \"Generated GPIO bank number %d\"\n", b
      print "  PARAMETER C_WIDTH = 8, IO_IS = width, VALUE_NOTE = \"bits\""
      for (p = 0; p < 8; p++) printf "  PORT IO%d = g%d_io_%d, IO_IS = io_%d\n", p, b, p, p
      print "END"
    }
  }'
}

# One net ("bus") on $1 FPGA pins and on $1 instance ports (20 per block).
one_net_board() {
  awk -v n="$1" 'BEGIN {
    print "ATTRIBUTE NAME = OneNet\nBEGIN BLOCK\n  ATTRIBUTE INSTANCE = fpga_0\n  ATTRIBUTE BLOCKTYPE = FPGA"
    for (i = 0; i < n; i++) printf "  PORT p%d = bus, UCF_NET_STRING = (\"LOC = A%d\", \"IOSTANDARD = X\")\n", i, i
    print "END"
    for (b = 0; b < n / 20; b++) {
      printf "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = inst_%d\n  ATTRIBUTE IOTYPE = QOR_X_V1\n", b
      for (k = 0; k < 20; k++) printf "  PORT P%d = bus, IO_IS = io_%d\n", k, k
      print "END"
    }
  }'
}

printf 'ATTRIBUTE NAME = Tiny\nBEGIN BLOCK\n  ATTRIBUTE INSTANCE = fpga_0\n  ATTRIBUTE BLOCKTYPE = FPGA\n  PORT p = n\nEND\n' >"$work/tiny.qbd"
under 65536 "$qbd" info "$work/tiny.qbd" || { echo "qbd does not start under 64 MB of address space"; exit 77; }

# The fixed cost: the least limit (to 256 KB) under which qbd answers for a tiny board.
low=1024
high=65536
while [ $((high - low)) -gt 256 ]; do
  mid=$(((low + high) / 2))
  if under "$mid" "$qbd" info "$work/tiny.qbd"; then high=$mid; else low=$mid; fi
done
base=$high
echo "fixed cost: $base KB of address space"

ordinary_board 2000 >"$work/ordinary.qbd"
one_net_board 5000 >"$work/onenet.qbd"
failures=0
ran=0
for board in ordinary onenet; do
  file="$work/$board.qbd"
  kb=$(($(wc -c <"$file") / 1024))
  limit=$((base + 12 * kb))
  # The exports hold the neutral pin table beside the tree while they build it, a row of some
  # 600 bytes per pin where the file has one line: linear, with a larger factor.
  table_limit=$((base + 16 * kb))
  # `print` holds the whole printed text besides the tree, twice the file, and is limited on
  # the ordinary board (on the one net it does no work per pair to catch).
  first="check|print|lint|info|blocks|params gpio_1|ports gpio_1|ports gpio_1 --json"
  [ "$board" = onenet ] && first="check|lint|info|blocks|params inst_1|ports inst_1|ports inst_1 --json"
  echo "$board: $kb KB, limit $limit KB"
  old_ifs=$IFS
  IFS='|'
  # shellcheck disable=SC2086
  set -- $first
  IFS=$old_ifs
  for command in "$@" pins \
                 constraints clocks reset memory modules diagram "info --json" \
                 "blocks --json" "pins --json" "constraints --json" "modules --json" \
                 "lint --json" "constraints --lenient" "top --hdl verilog --lenient"; do
    # shellcheck disable=SC2086  # the command's words are meant to split
    set -- $command
    name=$1
    shift
    allowed=$limit
    case "$command" in constraints|"constraints --lenient"|top*) allowed=$table_limit ;; esac
    status=0
    under "$allowed" "$qbd" "$name" "$file" "$@" || status=$?
    ran=$((ran + 1))
    # lint exits 1 for its findings; anything else past 1 (or an error line) is a failure.
    if [ "$status" -gt 1 ] || grep -q "out of memory" "$work/err"; then
      echo "FAIL: qbd $command on $board under $allowed KB: exit status $status: $(head -c 300 "$work/err")"
      failures=$((failures + 1))
    fi
  done
done
[ "$failures" -eq 0 ] && echo "$ran runs, every one within its limit"
[ "$failures" -eq 0 ]
