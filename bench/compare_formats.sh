#!/usr/bin/env bash
# Whole processes side by side: `qbd constraints` of a generated board of 10,000 blocks in each
# format against the same command in the ucf form it wrote before formats existed (the peer).
# Ratios are each format's CPU time (user and system, which a shared machine disturbs less than
# the wall clock) over the peer's; the limit is 2.
#
#   bench/compare_formats.sh [BUILD_DIR]      COMPARE_BLOCKS (default 10000), COMPARE_RUNS
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
blocks=${COMPARE_BLOCKS:-10000}
runs=${COMPARE_RUNS:-5}
qbd="$build/tools/qbd/qbd"
for p in "$qbd" "$build/bench/gen_board"; do
  [ -x "$p" ] || { echo "compare: $p is not built" >&2; exit 1; }
done
command -v hyperfine >/dev/null || { echo "compare: hyperfine not found" >&2; exit 1; }
"$qbd" constraints --help | grep -q -- --format || { echo "compare: qbd constraints has no --format" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/gen_board" "$blocks" "$work/board"

formats="xdc sdc pcf lpf cst qsf pdc ccf csv json"
commands=("$qbd constraints $work/board.qbd")
for f in $formats; do commands+=("$qbd constraints $work/board.qbd --format $f --lenient"); done
echo "qbd constraints of $blocks blocks, each format against the ucf form:"
hyperfine -N --style basic --warmup 1 --runs "$runs" --export-csv "$work/formats.csv" \
  "${commands[@]}" | grep -E 'Time|^Bench' || true
awk -F, -v formats="$formats" '
  NR == 2 { peer = $5 + $6 }
  NR > 2 {
    split(formats, f, " ")
    printf "  %-5s / ucf: %.2f (limit 2.00)\n", f[NR - 2], ($5 + $6) / peer
  }
' "$work/formats.csv"
