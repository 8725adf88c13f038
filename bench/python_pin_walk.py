#!/usr/bin/env python3
"""Reading a 10,000-block board and visiting the pin location of every FPGA pin wired to every
instance port: through the Python package, against the same walk in C++ (pin_walk) in the
same run. Prints both times and their ratio; exit status 1 when Python takes more than
LIMIT (3) times as long.

    PYTHONPATH=BUILD/python python3 bench/python_pin_walk.py BUILD/bench/pin_walk
                                                        PIN_WALK_BLOCKS (default 10000)
"""
import os
import subprocess
import sys
import tempfile
import time

import qbd

BLOCKS = int(os.environ.get("PIN_WALK_BLOCKS", "10000"))
RUNS = 5
LIMIT = 3.0


def python_walk(path):
    board = qbd.read(path)
    located = 0
    for inst in board.instances:
        for port in inst.ports:
            for pin in port.pins:
                if pin.location is not None:
                    located += 1
    return located


def best_of(runs, walk, path):
    best, located = float("inf"), 0
    for _ in range(runs):
        start = time.perf_counter()
        located = walk(path)
        best = min(best, time.perf_counter() - start)
    return best, located


def main(peer):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "bench.qbd")
        made = subprocess.run([peer, "write", path, str(BLOCKS)], check=True,
                              capture_output=True, text=True).stdout.strip()
        cpp = subprocess.run([peer, "walk", path, str(RUNS)], check=True, capture_output=True,
                             text=True).stdout.split()
        cpp_time, cpp_located = float(cpp[0]), int(cpp[1])
        py_time, py_located = best_of(RUNS, python_walk, path)
    if py_located != cpp_located:
        print(f"the walks differ: Python found {py_located} locations, C++ {cpp_located}")
        return 1
    ratio = py_time / cpp_time
    print(f"board: {made}; {py_located} pin locations visited")
    print(f"C++    read + walk: {cpp_time * 1000:9.1f} ms")
    print(f"Python read + walk: {py_time * 1000:9.1f} ms   ratio {ratio:.2f} (limit {LIMIT})")
    return 0 if ratio <= LIMIT else 1


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
