#!/usr/bin/env python3
"""Runs qbd on a 40 MB board under a 400 MB address-space limit: running out of memory is one
clean error line and exit status 1, never an abort. Exits 77 (skipped) when qbd cannot even
start under the limit, as under the sanitizers, which reserve more address space than that."""
import os
import resource
import shutil
import subprocess
import sys
import tempfile

LIMIT = 400 * 1024 * 1024


def limited():
    resource.setrlimit(resource.RLIMIT_AS, (LIMIT, LIMIT))


def main():
    qbd = sys.argv[1]
    if subprocess.run([qbd, "--help"], capture_output=True, preexec_fn=limited).returncode != 0:
        return 77
    folder = tempfile.mkdtemp()
    try:
        board = os.path.join(folder, "big.qbd")
        block = ("BEGIN BLOCK\n  ATTRIBUTE INSTANCE = b\n" + "  PORT P = n, IO_IS = io\n" * 1000 +
                 "END\n")
        with open(board, "w") as f:
            f.write("ATTRIBUTE NAME = Big\n" + block * 1600)
        failures = []
        for command in ("check", "info", "pins"):
            proc = subprocess.run([qbd, command, board], capture_output=True, text=True,
                                  preexec_fn=limited)
            if proc.returncode != 1 or proc.stderr != "qbd: error: out of memory\n":
                failures.append(f"qbd {command}: exit status {proc.returncode}, "
                                f"{proc.stderr.strip()!r}")
    finally:
        shutil.rmtree(folder)
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
