#!/usr/bin/env python3
"""Runs every qbd command on a 40 MB board under a 400 MB address-space limit: running out of
memory is one clean error line and exit status 1, never an abort (a command that finishes
within the limit exits 0, or 1 for lint's findings). Under the same limit, `constraints` on a
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


# Every command, with what it needs besides the board ("b" is an instance).
COMMANDS = (["info"], ["info", "--json"], ["blocks"], ["blocks", "--json"], ["params", "b"],
            ["ports", "b"], ["ports", "b", "--json"], ["pins"], ["pins", "--json"],
            ["constraints"], ["constraints", "--json"], ["clocks"], ["reset"], ["memory"],
            ["modules"], ["modules", "--json"], ["expand"], ["set-part", "--family", "k"],
            ["check"], ["print"], ["lint"], ["lint", "--json"], ["diagram"])


def limit_to(size):
    return lambda: resource.setrlimit(resource.RLIMIT_AS, (size, size))


def fixed_cost(qbd, board):
    """The least address space (to 1 MB) under which qbd answers for a tiny board."""
    low, high = 1 << 20, LIMIT
    while high - low > 1 << 20:
        mid = (low + high) // 2
        ok = subprocess.run([qbd, "info", board], capture_output=True,
                            preexec_fn=limit_to(mid)).returncode == 0
        low, high = (low, mid) if ok else (mid, high)
    return high


def check_every_command(qbd, folder, failures):
    """Each command on a 1 MB board, under limits from just past the program's fixed cost to
    room for it all: it finishes (exit 0, or 1 for what it reports), or says it ran out of
    memory in one line and exits 1; it never aborts."""
    tiny = os.path.join(folder, "tiny.qbd")
    with open(tiny, "w") as f:
        f.write("ATTRIBUTE NAME = T\nBEGIN BLOCK\n  ATTRIBUTE INSTANCE = b\nEND\n")
    base = fixed_cost(qbd, tiny)
    board = os.path.join(folder, "medium.qbd")
    with open(board, "w") as f:
        f.write("ATTRIBUTE NAME = Medium\nBEGIN BLOCK\n  ATTRIBUTE INSTANCE = fpga_0\n"
                "  ATTRIBUTE BLOCKTYPE = FPGA\n")
        f.writelines(f'  PORT p{i} = n{i % 500}, UCF_NET_STRING = ("LOC = A{i}")\n'
                     for i in range(4000))
        f.write("END\n")
        block = "".join(f"  PORT P{k} = n{k}, IO_IS = io_{k}\n" for k in range(500))
        f.writelines(f"BEGIN BLOCK\n  ATTRIBUTE INSTANCE = {name}\n{block}END\n"
                     for name in ["b"] + [f"c{i}" for i in range(40)])
    for extra in (1, 3, 8, 24):
        for args in COMMANDS:
            command = [qbd, args[0], board, *args[1:]]
            proc = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                  text=True, preexec_fn=limit_to(base + (extra << 20)),
                                  timeout=60)
            lines = proc.stderr.splitlines()
            clean = proc.returncode == 0 or (proc.returncode == 1 and lines and (
                lines[-1] == "qbd: error: out of memory" or "terminate" not in proc.stderr))
            if not clean:
                failures.append(f"qbd {' '.join(args)} under {extra} MB more than the fixed "
                                f"cost: exit status {proc.returncode}, "
                                f"{proc.stderr.strip()[-300:]!r}")


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
        proc = subprocess.run([qbd, "info", board], capture_output=True, text=True,
                              preexec_fn=limited)
        if proc.returncode != 1 or proc.stderr != "qbd: error: out of memory\n":
            failures.append(f"qbd info: exit status {proc.returncode}, {proc.stderr.strip()!r}")
        check_every_command(qbd, folder, failures)
        check_one_net(qbd, folder, failures)
    finally:
        shutil.rmtree(folder)
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
