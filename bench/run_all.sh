#!/usr/bin/env bash
# Runs every benchmark program of a build and prints their results as one table, then the
# Tcl comparison of a board lookup with `dict get` in tclsh (when the qbd package is built),
# then whole processes side by side (bench/compare_processes.sh, when its peers are built),
# then every constraint format against the ucf form (bench/compare_formats.sh), then the peak
# memory of every qbd command on a 32 MB board (bench/memory_peaks.sh).
#
#   bench/run_all.sh [BUILD_DIR]       BENCH_MIN_TIME (seconds per benchmark, default 0.5)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
min_time=${BENCH_MIN_TIME:-0.5}

# A program's console report becomes tab-separated rows: program, benchmark, CPU time per
# iteration, iterations, and the rest of the line (rates and user counters as name=value).
to_rows() {
  awk -v prog="$1" '
    $1 !~ /^BM_/ { next }
    {
      rest = ""
      first = ($6 ~ /^[0-9]+$/) ? 7 : 6
      for (i = first; i <= NF; i++) rest = rest (rest == "" ? "" : " ") $i
      printf "%s\t%s\t%s %s\t%s\t%s\n", prog, $1, $4, $5, (first == 7 ? $6 : "-"), (rest == "" ? "-" : rest)
    }' "$2"
}

failed=0
rows=$(mktemp)
trap 'rm -f "$rows" "$rows".out' EXIT
printf 'program\tbenchmark\tCPU/iter\titerations\trates and counters\n' >"$rows"
found=0
for b in "$build"/bench/bench_*; do
  [ -x "$b" ] || continue
  found=1
  "$b" --benchmark_color=false --benchmark_counters_tabular=false \
    --benchmark_min_time="$min_time" 2>/dev/null >"$rows".out
  to_rows "$(basename "$b")" "$rows".out >>"$rows"
done
[ "$found" = 1 ] || { echo "no benchmark programs in $build/bench" >&2; exit 1; }
column -t -s "$(printf '\t')" "$rows"

if compgen -G "$build/tcl/qbd/*.so" >/dev/null && command -v tclsh >/dev/null 2>&1; then
  echo
  echo "tclsh, qbd package vs dict get (TCLLIBPATH=$build/tcl tclsh bench/qbd_vs_dict.tcl):"
  TCLLIBPATH="$build/tcl" tclsh bench/qbd_vs_dict.tcl || { echo "the lookup costs more than the limit"; failed=1; }
fi

if [ -x "$build/bench/xml_load" ] && command -v hyperfine >/dev/null 2>&1; then
  echo
  bench/compare_processes.sh "$build" || failed=1
fi

if [ -x "$build/tools/qbd/qbd" ] && [ -x "$build/bench/gen_board" ] && command -v hyperfine >/dev/null 2>&1 \
   && "$build/tools/qbd/qbd" constraints --help | grep -q -- --format; then
  echo
  bench/compare_formats.sh "$build"
fi

if [ -x "$build/tools/qbd/qbd" ] && [ -x "$build/bench/gen_board" ] && [ -x /usr/bin/time ]; then
  echo
  bench/memory_peaks.sh "$build"
fi

# Every figure is printed; the status says whether one passed its limit.
if [ "$failed" = 1 ]; then
  echo "bench: a comparison is over its limit (see above)" >&2
  exit 1
fi
