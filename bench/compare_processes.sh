#!/usr/bin/env bash
# Whole processes side by side, in one run: `qbd check` of a generated board of 10,000 blocks
# against a DOM load (pugixml) of the same content written as XML, as the medians of
# interleaved runs (ours, the peer's, ours, ...: a load that comes and goes on the machine
# falls on both alike), with their spread; the peak memory of that check against the file
# size; and `qbd check` of the sample board against a program that only reads the file
# (start-up). Ratios are qbd's time (or memory) over the peer's; the exit status is 1 when any
# passes its limit (the figures are printed all the same).
#
#   bench/compare_processes.sh [BUILD_DIR]      COMPARE_BLOCKS (default 10000),
#                                               COMPARE_RUNS (default 15 runs of each)
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
blocks=${COMPARE_BLOCKS:-10000}
runs=${COMPARE_RUNS:-15}
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

# The CPU time (user + system) of the finished children of the shell, in microseconds, from
# the output of `times` in a file (`times` must run in the shell itself: a subshell has its own
# children).
child_cpu() {
  awk 'NR == 2 { n = 0
    for (i = 1; i <= 2; ++i) { split($i, t, /[ms]/); n += (t[1] * 60 + t[2]) * 1e6 }
    printf "%.0f\n", n }' "$1"
}
# Microseconds one run of a command takes, wall clock, then its CPU time; its output dropped.
micros() {
  local start end
  times >"$work/times.0"
  start=$EPOCHREALTIME
  "$@" >/dev/null
  end=$EPOCHREALTIME
  times >"$work/times.1"
  echo $(( ${end/./} - ${start/./} )) $(( $(child_cpu "$work/times.1") - $(child_cpu "$work/times.0") ))
}
# The median, minimum, quartiles and maximum of the numbers in a file, in that order.
stats() {
  sort -n "$1" | awk '{ v[NR] = $1 }
    END { q = int((NR + 3) / 4)
          print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2), v[1], v[q], v[NR + 1 - q], v[NR] }'
}
# The spread of a file of microseconds, in milliseconds.
spread() {
  stats "$1" | awk '{ printf "median %.1f ms (min %.1f, middle half %.1f to %.1f, max %.1f)",
                      $1 / 1000, $2 / 1000, $3 / 1000, $4 / 1000, $5 / 1000 }'
}
median() { stats "$1" | awk '{ print $1 }'; }

echo "qbd check of $blocks blocks against an XML DOM load (pugixml) of the same content," \
     "$runs interleaved runs each:"
ours_cmd=("$qbd" check -q "$work/board.qbd")
peer_cmd=("$build/bench/xml_load" "$work/board.xml")
micros "${ours_cmd[@]}" >/dev/null  # warm-up: both files in the page cache
micros "${peer_cmd[@]}" >/dev/null
: >"$work/ours.us"
: >"$work/peer.us"
: >"$work/pairs"
: >"$work/ours.cpu"
: >"$work/peer.cpu"
for ((i = 0; i < runs; ++i)); do
  read -r a a_cpu < <(micros "${ours_cmd[@]}")
  read -r b b_cpu < <(micros "${peer_cmd[@]}")
  echo "$a" >>"$work/ours.us"
  echo "$b" >>"$work/peer.us"
  echo "$a_cpu" >>"$work/ours.cpu"
  echo "$b_cpu" >>"$work/peer.cpu"
  awk -v a="$a" -v b="$b" 'BEGIN { printf "%.4f\n", a / b }' >>"$work/pairs"
done
echo "  qbd check: $(spread "$work/ours.us")"
echo "  XML load:  $(spread "$work/peer.us")"
r=$(ratio "$(median "$work/ours.us")" "$(median "$work/peer.us")")
judge "$r" 0.50
pairs=$(stats "$work/pairs" | awk '{ printf "from %.2f to %.2f (middle half %.2f to %.2f)", $2, $5, $3, $4 }')
echo "  qbd check / XML load, medians: $r $verdict; run by run $pairs"
# The CPU each process used, which a busy machine moves less than the wall clock (not judged).
cpu_ours=$(median "$work/ours.cpu")
cpu_peer=$(median "$work/peer.cpu")
echo "  CPU time (user + system), medians: qbd check $(awk -v u="$cpu_ours" 'BEGIN { printf "%.1f", u / 1000 }') ms," \
     "XML load $(awk -v u="$cpu_peer" 'BEGIN { printf "%.1f", u / 1000 }') ms, ratio $(ratio "$cpu_ours" "$cpu_peer")"

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
