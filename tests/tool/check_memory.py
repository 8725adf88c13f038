#!/usr/bin/env python3
"""Runs qbd on a 40 MB board under a 400 MB address-space limit: running out of memory is one
clean error line and exit status 1, never an abort. Under the same limit, `constraints` on a
board of 2,000 FPGA pins and 2,000 instance ports all on one net (220 KB) must finish: work that
grew with ports times pins would need gigabytes there. Exits 77 (skipped) when qbd cannot even
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


def check_one_net(qbd, folder, failures):
    board = os.path.join(folder, "onenet.qbd")
    with open(board, "w") as f:
        f.write("ATTRIBUTE NAME = OneNet\nBEGIN BLOCK\n  ATTRIBUTE INSTANCE = fpga_0\n"
                "  ATTRIBUTE BLOCKTYPE = FPGA\n")
        for i in range(2000):
            f.write(f'  PORT p{i} = bus, UCF_NET_STRING = ("LOC = A{i}", "IOSTANDARD = X")\n')
        f.write("END\n")
        for b in range(100):
            f.write(f"BEGIN BLOCK\n  ATTRIBUTE INSTANCE = inst_{b}\n  ATTRIBUTE IOTYPE = QOR_X_V1\n")
            f.writelines(f"  PORT P{k} = bus\n" for k in range(20))
            f.write("END\n")
    # The net on 2,000 balls fails the export's checks; --lenient writes it all the same.
    proc = subprocess.run([qbd, "constraints", "--lenient", board], capture_output=True, text=True,
                          preexec_fn=limited, timeout=120)
    lines = proc.stdout.split("\n")
    # One LOC line per pin; the IOSTANDARD line is the same for every pin, so written once.
    net_lines = [line for line in lines if line.startswith('NET "bus"')]
    if proc.returncode != 0 or len(net_lines) != 2001:
        failures.append(f"constraints on one net: exit status {proc.returncode}, "
                        f"{len(net_lines)} lines, {proc.stderr.strip()!r}")


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
        for command in ("info",):
            proc = subprocess.run([qbd, command, board], capture_output=True, text=True,
                                  preexec_fn=limited)
            if proc.returncode != 1 or proc.stderr != "qbd: error: out of memory\n":
                failures.append(f"qbd {command}: exit status {proc.returncode}, "
                                f"{proc.stderr.strip()!r}")
        check_one_net(qbd, folder, failures)
    finally:
        shutil.rmtree(folder)
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
