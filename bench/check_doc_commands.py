#!/usr/bin/env python3
"""Every command that docs/PERFORMANCE.md shows runs as written from a build, with only its size
made tiny: a benchmark program's filter must match some benchmark and the program must run
the smallest case; the scripts run on a few blocks. A script past one of its limits (exit 1,
saying so) still counts as run: at a tiny size the ratios mean nothing.

    check_doc_commands.py BUILD_DIR"""
import os
import re
import shlex
import subprocess
import sys

PAGE = "docs/PERFORMANCE.md"
STARTS = ("build/bench/", "bench/", "TCLLIBPATH=", "PYTHONPATH=", "/usr/bin/python3", "make bench",
          "BENCH_MIN_TIME=")
# Environment that shrinks each script's work.
TINY_ENV = {"COMPARE_BLOCKS": "40", "COMPARE_RUNS": "2", "MEMORY_BLOCKS": "40",
            "PIN_WALK_BLOCKS": "40"}
SMALLEST = "/(5|10|100|700)$"

failures = []


def commands():
    with open(PAGE) as f:
        text = f.read()
    found = re.findall(r"`([^`]+)`", text) + re.findall(r"^    (\S.*?)(?:\s+#.*)?$", text, re.M)
    # A name without arguments in the text names a file, not a command to run.
    return sorted({c.strip() for c in found if c.startswith(STARTS) and " " in c.strip()})


def split(command, build):
    """Environment assignments and words, with the build folder of the page put at `build`."""
    words = shlex.split(command)
    env = {}
    while words and re.match(r"^[A-Z_]+=", words[0]):
        name, value = words.pop(0).split("=", 1)
        env[name] = re.sub(r"^build(?=/|$)", build, value)
    words = [re.sub(r"^build(?=/|$)", build, w) for w in words]
    return env, words


def run(command, words, env, ok=(0,)):
    full = {k: v for k, v in os.environ.items() if k not in ("PYTHONPATH", "TCLLIBPATH")}
    full.update(TINY_ENV)
    full.update(env)
    proc = subprocess.run(words, capture_output=True, text=True, env=full, timeout=120)
    if proc.returncode not in ok:
        failures.append(f"{command}: exit {proc.returncode}: {(proc.stderr or proc.stdout)[-400:]}")
    return proc


def check_benchmark(command, env, words):
    filters = [w.split("=", 1)[1] for w in words if w.startswith("--benchmark_filter=")]
    listed = run(command, words + ["--benchmark_list_tests=true"], env)
    if not listed.stdout.strip():
        failures.append(f"{command}: the filter matches no benchmark")
        return
    pattern = f"({filters[-1]}).*{SMALLEST}" if filters else SMALLEST
    tiny = [w for w in words if not w.startswith("--benchmark_filter=")] + [
        f"--benchmark_filter={pattern}", "--benchmark_min_time=0.01",
        "--benchmark_min_warmup_time=0", "--benchmark_repetitions=1"]
    out = run(command, tiny, env)
    if "BM_" not in out.stdout and out.returncode == 0:
        # A filter of sizes this list does not have: the smallest is some other number.
        out = run(command, tiny[:-4] + [f"--benchmark_filter={filters[-1] if filters else '.'}",
                                        "--benchmark_min_time=0.01", "--benchmark_repetitions=1"],
                  env)
    if "BM_" not in out.stdout:
        failures.append(f"{command}: ran no benchmark")


def main():
    build = os.path.abspath(sys.argv[1])
    cmds = commands()
    if len(cmds) < 8:
        failures.append(f"only {len(cmds)} commands found on {PAGE}")
    for command in cmds:
        env, words = split(command, build)
        if words[:2] == ["make", "bench"]:
            # The whole suite of the rows below: its parts are run one by one here; the
            # variables it is given must be ones it reads.
            for name in env:
                if name not in open("bench/run_all.sh").read():
                    failures.append(f"{command}: bench/run_all.sh does not read {name}")
            continue
        if words[0].startswith(build + "/bench/bench_"):
            check_benchmark(command, env, words)
        elif words[0].endswith("tclsh") and len(words) == 4:
            run(command, words[:2] + ["10", "1000"], env, ok=(0, 1))
        else:
            out = run(command, words, env, ok=(0, 1))
            if out.returncode == 1 and "limit" not in out.stdout + out.stderr:
                failures.append(f"{command}: exit 1 without a limit passed: {out.stderr[-300:]}")
    for f in failures:
        print(f, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
