#!/usr/bin/env python3
"""Runs `qbd lint` over the boards of a folder and checks each finding against the board.

A board states what it must produce in header lines `# expect: CODE LINE` (one per finding);
a board without such lines must lint clean. For every board the script checks the JSON
findings (codes and lines), the text form (FILE:LINE:COLUMN: severity: message [CODE]), the
exit status with and without --werror, and that --disable silences exactly the codes named.
"""
import collections
import json
import os
import re
import subprocess
import sys

TEXT_LINE = re.compile(r"^(?P<file>.+):(?P<line>\d+):(?P<col>\d+): (?P<sev>warning|error): "
                       r".+ \[(?P<code>QBD\d{3})\]$")


def run(qbd, *args):
    proc = subprocess.run([qbd, "lint", *args], capture_output=True, text=True)
    return proc.returncode, proc.stdout, proc.stderr


def expected_findings(path):
    found = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            m = re.match(r"# expect: (QBD\d{3}) (\d+)", line)
            if m:
                found.append((m.group(1), int(m.group(2))))
    return collections.Counter(found)


def check_board(qbd, path, failures):
    expected = expected_findings(path)
    status, out, err = run(qbd, "--json", path)
    try:
        report = json.loads(out)
    except json.JSONDecodeError as e:
        failures.append(f"{path}: --json output is not JSON ({e}): {out!r} {err!r}")
        return
    got = collections.Counter((f["code"], f["line"]) for f in report["findings"])
    if got != expected:
        failures.append(f"{path}: findings {sorted(got.elements())}, expected "
                        f"{sorted(expected.elements())}")
    for f in report["findings"]:
        if f["file"] != path or f["column"] < 1 or not f["message"]:
            failures.append(f"{path}: malformed finding {f}")
    errors = sum(1 for f in report["findings"] if f["severity"] == "error")
    warnings = len(report["findings"]) - errors
    if (report["errors"], report["warnings"]) != (errors, warnings):
        failures.append(f"{path}: counts {report['errors']}/{report['warnings']} do not match "
                        f"the findings")
    if status != (1 if errors else 0):
        failures.append(f"{path}: exit status {status} with {errors} errors")

    status, out, _ = run(qbd, path)
    lines = [l for l in out.splitlines() if l]
    parsed = [TEXT_LINE.match(l) for l in lines]
    if not all(parsed):
        failures.append(f"{path}: text findings not in FILE:LINE:COLUMN form: {lines}")
    elif collections.Counter((m["code"], int(m["line"])) for m in parsed) != expected:
        failures.append(f"{path}: text findings differ from the JSON ones: {lines}")

    status, _, _ = run(qbd, "--werror", path)
    if status != (1 if expected else 0):
        failures.append(f"{path}: --werror exit status {status} with {len(expected)} findings")

    if expected:
        codes = sorted({code for code, _ in expected})
        status, out, _ = run(qbd, "--json", "--disable", ",".join(codes), path)
        if status != 0 or json.loads(out)["findings"]:
            failures.append(f"{path}: --disable {','.join(codes)} left findings: {out}")


def main():
    qbd, folder = sys.argv[1], sys.argv[2]
    boards = sorted(os.path.join(folder, n) for n in os.listdir(folder) if n.endswith(".qbd"))
    failures = []
    codes_triggered, codes_clean = set(), set()
    for path in boards:
        check_board(qbd, os.path.relpath(path), failures)
        name = os.path.basename(path)
        (codes_triggered if name.endswith("_bad.qbd") else codes_clean).add(name[:6])
        if name.endswith("_bad.qbd") and not expected_findings(path):
            failures.append(f"{path}: a _bad board must expect findings")
        if name.endswith("_good.qbd") and expected_findings(path):
            failures.append(f"{path}: a _good board must lint clean")
    listed = {m.group(1) for m in re.finditer(r"(QBD\d{3})",
                                              subprocess.run([qbd, "lint", "--help"],
                                                             capture_output=True,
                                                             text=True).stdout)}
    for code in sorted(listed):
        if code not in codes_triggered or code not in codes_clean:
            failures.append(f"check {code} lacks a _bad or a _good board in {folder}")
    for f in failures:
        print("FAIL:", f)
    print(f"{len(boards)} boards, {len(listed)} checks, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
