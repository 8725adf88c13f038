#!/usr/bin/env bash
# Peak memory of every qbd query on a generated board of about 32 MB, against the file size
# and against reading alone (`qbd check`, the peer in the same run). Template commands
# (expand, set-part) are left out: the generated board is a real board, which they refuse.
#
#   bench/memory_peaks.sh [BUILD_DIR]      MEMORY_BLOCKS (default 19600, 32 MB)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
blocks=${MEMORY_BLOCKS:-19600}
qbd="$build/tools/qbd/qbd"
for p in "$qbd" "$build/bench/gen_board"; do
  [ -x "$p" ] || { echo "memory: $p is not built" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "memory: /usr/bin/time not found (Debian package time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/gen_board" "$blocks" "$work/board"
rm -f "$work/board.xml"
board="$work/board.qbd"
bytes=$(stat -c %s "$board")

# Peak resident set of one run, in KB; the command's output is discarded.
peak() {
  /usr/bin/time -o "$work/time" -f %M "$qbd" "$@" >/dev/null 2>"$work/err" || true
  tail -n 1 "$work/time"
}

reader=$(peak check -q "$board")
echo "peak memory of each qbd command on $((bytes / 1048576)) MB of board text ($blocks blocks):"
printf '%-26s %9s %8s %10s %6s\n' command "peak MB" "x file" "x reading" limit
over=0
for command in check print lint info blocks "params sram_2" "ports sram_2" pins constraints \
               "constraints --format json" "top --hdl verilog" \
               clocks reset memory modules diagram "info --json" "blocks --json" \
               "params sram_2 --json" "ports sram_2 --json" "pins --json" "constraints --json" \
               "clocks --json" "memory --json" "modules --json" "lint --json"; do
  read -r -a words <<<"$command"
  # The exports hold the neutral pin table (some 600 bytes a pin) beside the tree while they
  # build it: linear, with the larger factor the linear-memory test allows them too.
  limit=10
  case "$command" in "constraints --json") ;; constraints*|top*) limit=16 ;; esac
  kb=$(peak "${words[0]}" "$board" "${words[@]:1}")
  ratio=$(awk -v k="$kb" -v b="$bytes" 'BEGIN { printf "%.2f", k * 1024 / b }')
  awk -v c="$command" -v k="$kb" -v r="$ratio" -v p="$reader" -v l="$limit" \
    'BEGIN { printf "%-26s %9.1f %8s %10.2f %6d%s\n", c, k / 1024, r, k / p, l, (r > l ? "  OVER" : "") }'
  awk -v r="$ratio" -v l="$limit" 'BEGIN { exit !(r > l) }' && over=$((over + 1))
done
echo "$over commands over their limit"
[ "$over" -eq 0 ]
