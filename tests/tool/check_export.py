#!/usr/bin/env python3
"""Checks what `qbd constraints` and `qbd top` leave on disk and how they exit: a file that
fails its checks (or, under --strict, what its format cannot state) replaces no -o file and
leaves nothing beside it; a format whose clocks go in an .sdc writes both files, the same text
as standard output and --format sdc give; a rename map with a bad line is an error at its line;
a --choose without "=" is wrong usage."""
import os
import subprocess
import sys
import tempfile

MINI = "tests/tool/boards/mini.qbd"
SHARED = "tests/tool/boards/shared_net.qbd"
ORIGINAL = "original contents\n"

failures = []


def run(qbd, *args):
    return subprocess.run([qbd, *args], capture_output=True, text=True, timeout=60)


def expect(proc, status, what):
    if proc.returncode != status:
        failures.append(f"{what}: exit status {proc.returncode}, expected {status}: "
                        f"{proc.stderr.strip()!r}")


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def untouched(folder, target, what):
    if read(target) != ORIGINAL:
        failures.append(f"{what}: {target} was changed")
    if sorted(os.listdir(folder)) != [os.path.basename(target)]:
        failures.append(f"{what}: files beside it: {sorted(os.listdir(folder))}")


def refused_writes(qbd, folder):
    cases = [
        ("a net on several balls", ["constraints", SHARED]),
        ("--strict with what pcf cannot state", ["constraints", MINI, "--format", "pcf",
                                                 "--strict"]),
        ("top of a board that fails its checks", ["top", SHARED, "--hdl", "vhdl"]),
        ("an unknown instance", ["constraints", MINI, "nosuch", "--format", "qsf"]),
    ]
    for what, args in cases:
        target = os.path.join(folder, "kept.out")
        with open(target, "w", encoding="utf-8") as f:
            f.write(ORIGINAL)
        proc = run(qbd, *args, "-o", target)
        expect(proc, 1, what)
        if proc.stdout:
            failures.append(f"{what}: wrote to standard output: {proc.stdout[:80]!r}")
        untouched(folder, target, what)
        os.remove(target)


def companion(qbd, folder):
    target = os.path.join(folder, "board.qsf")
    expect(run(qbd, "constraints", MINI, "--format", "qsf", "-o", target), 0, "qsf -o")
    stdout = run(qbd, "constraints", MINI, "--format", "qsf")
    expect(stdout, 0, "qsf to standard output")
    if "the clocks of a qsf file go in a .sdc file" not in stdout.stderr:
        failures.append(f"qsf to standard output: no note of the .sdc: {stdout.stderr!r}")
    sdc = run(qbd, "constraints", MINI, "--format", "sdc")
    if sorted(os.listdir(folder)) != ["board.qsf", "board.sdc"]:
        failures.append(f"qsf -o: files {sorted(os.listdir(folder))}")
        return
    if read(target) != stdout.stdout:
        failures.append("qsf -o: the file differs from standard output")
    if "create_clock" not in read(os.path.join(folder, "board.sdc")) or \
            read(os.path.join(folder, "board.sdc")) != sdc.stdout:
        failures.append("qsf -o: the .sdc beside it is not what --format sdc writes")
    for name in os.listdir(folder):
        os.remove(os.path.join(folder, name))


def usage_errors(qbd, folder):
    rename = os.path.join(folder, "names.txt")
    with open(rename, "w", encoding="utf-8") as f:
        f.write("# net name\nuart_tx tx\nuart_rx\n")
    proc = run(qbd, "constraints", MINI, "--rename", rename)
    expect(proc, 1, "a rename map with a bad line")
    wanted = f"{rename}:3: error: expected NET NAME, found 1 words"
    if proc.stderr.strip() != wanted:
        failures.append(f"a rename map with a bad line: {proc.stderr.strip()!r}, "
                        f"expected {wanted!r}")
    proc = run(qbd, "constraints", MINI, "--choose", "serial")
    expect(proc, 2, "--choose without =")
    proc = run(qbd, "constraints", MINI, "--rename", os.path.join(folder, "missing.txt"))
    expect(proc, 1, "a rename map that does not exist")


def main():
    qbd = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        refused_writes(qbd, folder)
        companion(qbd, folder)
        usage_errors(qbd, folder)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
