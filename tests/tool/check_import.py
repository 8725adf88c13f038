#!/usr/bin/env python3
"""Checks qbd import and qbd diff end to end: a draft written with -o diffs equal to the file
it came from and lints without errors; --report is JSON naming every guess; a file that does
not read leaves no output file and no report; diff --json parses, and diff exits 0, 1 and 2."""
import json
import os
import subprocess
import sys
import tempfile

DATA = "tests/data/import"
failures = []


def run(qbd, args, status):
    proc = subprocess.run([qbd, *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                          timeout=60)
    if proc.returncode != status:
        failures.append(f"qbd {' '.join(args)}: exit status {proc.returncode}, expected {status}:"
                        f" {proc.stderr.strip()}")
    return proc


def main():
    qbd = sys.argv[1]
    with tempfile.TemporaryDirectory() as tmp:
        board = os.path.join(tmp, "draft.qbd")
        report = os.path.join(tmp, "report.json")
        for source, extra in ((f"{DATA}/pins.csv", []), (f"{DATA}/demo.net", ["--fpga", "U1"])):
            run(qbd, ["import", source, "-o", board, "--report", report, "-q", *extra], 0)
            run(qbd, ["diff", board, source, *extra], 0)
            run(qbd, ["diff", source, board, *extra], 0)
            lint = json.loads(run(qbd, ["lint", "--json", board], 0).stdout)
            if lint["errors"] != 0:
                failures.append(f"the draft of {source} lints with errors: {lint['findings']}")
            with open(report) as f:
                guesses = json.load(f)["guesses"]
            kinds = {g["kind"] for g in guesses}
            if not {"group", "io_type"} <= kinds:
                failures.append(f"report of {source} lacks group or io_type guesses: {kinds}")
            for g in guesses:
                if set(g) != {"kind", "instance", "port", "file", "line", "message"}:
                    failures.append(f"report entry with other keys: {g}")
        os.remove(board)
        os.remove(report)
        bad = os.path.join(tmp, "bad.csv")
        with open(bad, "w") as f:
            f.write('name,loc\na,"A1\n')
        proc = run(qbd, ["import", bad, "-o", board, "--report", report], 1)
        if "bad.csv:2:3: error: unterminated quoted cell" not in proc.stderr:
            failures.append(f"import of a broken CSV: {proc.stderr!r}")
        if os.path.exists(board) or os.path.exists(report):
            failures.append("a failed import left an output file")
        if sorted(os.listdir(tmp)) != ["bad.csv"]:
            failures.append(f"stray files after a failed import: {os.listdir(tmp)}")
        run(qbd, ["diff", bad, "boards/northwind_dk2.qbd"], 2)

    mini = "tests/tool/boards/mini.qbd"
    out = json.loads(run(qbd, ["diff", "--json", mini, mini], 0).stdout)
    if out["equal"] is not True or out["changes"]:
        failures.append(f"a board differs from itself: {out}")
    run(qbd, ["diff", mini], 2)  # one side only: usage
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
