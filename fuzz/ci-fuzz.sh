#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (libraries under ASan+UBSan with coverage),
# replays the seed corpus and the kept crash inputs, then fuzzes each target for a short while.
#
#   fuzz/ci-fuzz.sh [SECONDS_PER_TARGET]      (default 60, a cap; FUZZ_BUILD sets the build dir,
#                                              FUZZ_SEED and FUZZ_RUNS the seed and runs)
#
# Without clang++ it says so and succeeds: the g++ build replays the corpus through CTest.
# New inputs go to a scratch directory, so the committed corpus is never changed; a crash
# leaves its input in $FUZZ_BUILD/artifacts and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build=${FUZZ_BUILD:-build-fuzz}
jobs=${JOBS:-$(nproc)}
targets="reader model tcl constraints import"

if ! command -v clang++ >/dev/null 2>&1; then
  echo "ci-fuzz: clang++ not found, fuzzing skipped"
  exit 0
fi

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQBD_SANITIZE=ON -DQBD_BUILD_TESTS=OFF -DQBD_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target $(printf 'fuzz_%s ' $targets)

artifacts="$build/artifacts"
mkdir -p "$artifacts"
for t in $targets; do
  fuzzer="$build/fuzz/fuzz_$t"
  replay=(fuzz/corpus/$t)
  [ -d "tests/data/$t" ] && replay+=("tests/data/$t")
  echo "== fuzz_$t: replaying ${replay[*]}"
  "$fuzzer" -runs=0 "${replay[@]}"
  scratch=$(mktemp -d)
  log="$artifacts/$t.log"
  echo "== fuzz_$t: fuzzing for ${seconds}s"
  status=0
  # A fixed seed and a fixed number of runs make the CI run the same on every machine: a
  # finding reproduces, and a passing change cannot fail later by chance. The time is a cap.
  case $t in reader) runs=60000 ;; *) runs=15000 ;; esac
  "$fuzzer" -dict=fuzz/qbd.dict -seed="${FUZZ_SEED:-1}" -runs="${FUZZ_RUNS:-$runs}" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=8192 -print_final_stats=1 -artifact_prefix="$artifacts/$t-" \
    "$scratch" "fuzz/corpus/$t" >"$log" 2>&1 || status=$?
  rm -rf "$scratch"
  grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log" >&2
    echo "ci-fuzz: fuzz_$t failed; its input is in $artifacts" >&2
    exit 1
  fi
done
echo "ci-fuzz: every target replayed and fuzzed without a finding"
