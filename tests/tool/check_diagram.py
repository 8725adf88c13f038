#!/usr/bin/env python3
"""Checks `qbd diagram`: the DOT text names every instance, port and FPGA pin location and
draws one line per (instance port, FPGA pin) pair on a net, except that a net of several ports
and several pins goes through a net node, one line per port and one per pin; the DOT is UTF-8
and dot accepts it, also for boards of hostile bytes and text; and -o renders
SVG and PNG files. Exits 77 (skipped) after the DOT checks when dot is not installed."""
import html
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

BOARDS = ["boards/northwind_dk2.qbd", "boards/generic_template.qbd",
          "tests/tool/boards/mini.qbd", "tests/tool/boards/odd.qbd",
          "tests/tool/boards/shared_net.qbd", "tests/tool/boards/hostile_bytes.qbd",
          "tests/tool/boards/inject.qbd"]


def markup(text):
    """Text as the diagram writes it inside its HTML-like labels (control characters blank)."""
    return re.sub(r"[\x00-\x1f]", " ", html.escape(text, quote=False).replace('"', "&quot;"))


def main():
    qbd = sys.argv[1]
    failures = []
    graphs = {}
    for board in BOARDS:
        proc = subprocess.run([qbd, "diagram", board], capture_output=True)
        try:
            graph = proc.stdout.decode("utf-8")
        except UnicodeDecodeError as e:
            failures.append(f"{board}: the DOT is not UTF-8: {e}")
            continue
        if proc.returncode != 0 or not graph.startswith("digraph board {"):
            failures.append(f"{board}: diagram failed: {proc.stderr}")
            continue
        graphs[board] = graph
        pins = json.loads(subprocess.run([qbd, "pins", board, "--json"], capture_output=True,
                                         text=True).stdout)["pins"]
        blocks = json.loads(subprocess.run([qbd, "blocks", board, "--json"],
                                           capture_output=True, text=True).stdout)["instances"]
        # JSON gives U+FFFD for bytes that are not UTF-8, which the DOT spells out instead.
        for row in blocks:
            if "\ufffd" not in row["instance"] and f"<B>{markup(row['instance'])}</B>" not in graph:
                failures.append(f"{board}: instance {row['instance']} is not drawn")
        for pin in pins:
            if pin["loc"] and "\ufffd" not in pin["loc"] and f"<B>{markup(pin['loc'])}</B>" not in graph:
                failures.append(f"{board}: location {pin['loc']} of {pin['pin']} is not drawn")
        shared = {p["net"].lower() for p in pins if "same_net_as" in p}
        lines = len(re.findall(r"^  \S+ -> \S+;$", graph, re.M))
        wires = sum(len(p["wired_to"]) for p in pins if p["net"].lower() not in shared)
        if lines != wires:
            failures.append(f"{board}: {lines} lines drawn for {wires} port-to-pin wires")
        through = len(re.findall(r"^  \S+ -> \S+ \[style=bold\];$", graph, re.M))
        ends = sum(len(p["wired_to"]) + 1 if "same_net_as" not in p else 1 for p in pins
                   if p["net"].lower() in shared)
        if through != ends:
            failures.append(f"{board}: {through} lines through net nodes for {ends} ports "
                            "and pins on shared nets")

    if shutil.which("dot") is None:
        for f in failures:
            print("FAIL:", f)
        print("dot is not installed: rendering not checked")
        return 1 if failures else 77

    with tempfile.TemporaryDirectory() as tmp:
        for board, graph in graphs.items():
            proc = subprocess.run(["dot", "-Tsvg"], input=graph, capture_output=True, text=True)
            if proc.returncode != 0 or "<svg" not in proc.stdout or proc.stderr.strip():
                failures.append(f"{board}: dot rejects the graph: {proc.stderr}")
        svg, png = os.path.join(tmp, "board.svg"), os.path.join(tmp, "board.PNG")
        for out in (svg, png):
            proc = subprocess.run([qbd, "diagram", BOARDS[0], "-o", out], capture_output=True,
                                  text=True)
            if proc.returncode != 0 or not os.path.exists(out):
                failures.append(f"diagram -o {out} failed: {proc.stderr}")
        if os.path.exists(svg) and "<svg" not in open(svg, encoding="utf-8").read():
            failures.append("the .svg file is not SVG")
        if os.path.exists(png) and open(png, "rb").read(8) != b"\x89PNG\r\n\x1a\n":
            failures.append("the .PNG file is not PNG")
        dot_file = os.path.join(tmp, "board.dot")
        subprocess.run([qbd, "diagram", BOARDS[0], "-o", dot_file])
        if open(dot_file, encoding="utf-8").read() != graphs.get(BOARDS[0]):
            failures.append("-o board.dot differs from the DOT on standard output")
    for f in failures:
        print("FAIL:", f)
    print(f"{len(graphs)} diagrams, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
