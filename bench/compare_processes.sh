#!/usr/bin/env bash
# Whole processes side by side, in one run: `qbd check` of a generated board of 10,000 blocks
# against a DOM load of the same content written as XML; the peak memory of that check
# against the file size; and `qbd check` of the sample board against a program that only
# reads the file (start-up). Ratios are qbd's time (or memory) over the peer's; the exit status
# is 1 when any passes its limit (the figures are printed all the same).
#
#   bench/compare_processes.sh [BUILD_DIR]      COMPARE_BLOCKS (default 10000), COMPARE_RUNS
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
blocks=${COMPARE_BLOCKS:-10000}
runs=${COMPARE_RUNS:-10}
qbd="$build/tools/qbd/qbd"
for p in "$qbd" "$build/bench/gen_board" "$build/bench/file_read" "$build/bench/xml_load"; do
  [ -x "$p" ] || { echo "compare: $p is not built" >&2; exit 1; }
done
command -v hyperfine >/dev/null || { echo "compare: hyperfine not found" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/gen_board" "$blocks" "$work/board"
sample=boards/northwind_dk2.qbd

# Mean seconds of each command, in the order given, from hyperfine's CSV.
means() { awk -F, 'NR > 1 { print $2 }' "$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
over=0
# Sets `verdict` to "(limit L)", or to "(over the limit L)" and remembers it, for a ratio R.
judge() {
  if awk -v r="$1" -v l="$2" 'BEGIN { exit !(r > l) }'; then
    over=1
    verdict="(over the limit $2)"
  else
    verdict="(limit $2)"
  fi
}

echo "qbd check of $blocks blocks against an XML DOM load of the same content:"
hyperfine -N --style basic --warmup 1 --runs "$runs" --export-csv "$work/load.csv" \
  "$qbd check -q $work/board.qbd" "$build/bench/xml_load $work/board.xml" | grep -E 'Time|±|^Bench'
read -r ours peer < <(means "$work/load.csv" | paste -sd' ')
r=$(ratio "$ours" "$peer")
judge "$r" 1.00
echo "  qbd check / XML load: $r $verdict"

bytes=$(stat -c %s "$work/board.qbd")
xml_bytes=$(stat -c %s "$work/board.xml")
rss_kb=$(/usr/bin/time -f %M "$qbd" check -q "$work/board.qbd" 2>&1 >/dev/null | tail -n 1)
xml_rss_kb=$(/usr/bin/time -f %M "$build/bench/xml_load" "$work/board.xml" 2>&1 >/dev/null | tail -n 1)
r=$(ratio "$((rss_kb * 1024))" "$bytes")
judge "$r" 6.00
echo "peak memory: qbd check $((rss_kb / 1024)) MB for $((bytes / 1048576)) MB of board text," \
     "$r times the file $verdict;" \
     "XML load $((xml_rss_kb / 1024)) MB for $((xml_bytes / 1048576)) MB"

echo "start-up: qbd check of $sample against a program that reads the file:"
hyperfine -N --style basic --warmup 10 --runs $((runs * 20)) --export-csv "$work/start.csv" \
  "$qbd check -q $sample" "$build/bench/file_read $sample" | grep -E 'Time|±|^Bench'
read -r ours peer < <(means "$work/start.csv" | paste -sd' ')
r=$(ratio "$ours" "$peer")
judge "$r" 1.50
echo "  qbd check / file read: $r $verdict"
if [ "$over" = 1 ]; then
  echo "compare: a ratio is over its limit" >&2
  exit 1
fi
