#!/usr/bin/env python3
"""Runs every output form of qbd on a board whose names, nets and values carry line feeds,
quotes, backslashes, '#', ';', braces and '$', and checks that none of that text ends a line, a
string or a comment of the output early: no line of any output begins with what follows a line
feed in the board; every constraint line parses and its strings read back as the board's text;
the JSON reads back as the board's text; dot reads one graph whose title is the board's; the
printed board reads back as the same board. U+0085, U+2028 and U+2029 start no line either."""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

BOARD = "tests/tool/boards/inject.qbd"
NET = 'n"et\\\n;#{$'
FPGA = 'fpga\nNET "inj" LOC = "Z9";'
DEVICE = 'dev\n}"];\ndigraph x {'
# What follows a line feed somewhere in the board: a line of output must never begin with it.
MARKERS = ['NET "inj"', '# line 2', '# ; {$x}', ';#{$', '"net', '}"];', 'digraph x {', '_V1',
           '#P', '$[exit 3]', '-> "x"', 'pin\\', ';=1']
QUOTED = r'"(?:[^"\\\x00-\x1f]|\\.)*"'
CONSTRAINT_LINE = re.compile(rf'^NET ({QUOTED}) [A-Za-z0-9_]+(?: = ({QUOTED}))?;$')

failures = []


def run(qbd, *args, status=0):
    proc = subprocess.run([qbd, *args], capture_output=True, text=True)
    if proc.returncode != status:
        failures.append(f"qbd {' '.join(args)}: exit status {proc.returncode}, expected "
                        f"{status}: {proc.stderr.strip()}")
    return proc.stdout


def no_injected_lines(what, text):
    for line in text.split("\n"):
        for marker in MARKERS:
            if line.startswith(marker):
                failures.append(f"{what}: a line begins with board text: {line!r}")


def unquote(text):
    """The string a quoted constraint-file string stands for (\\n, \\t, \\xNN, \\" and \\\\)."""
    body, out, i = text[1:-1], "", 0
    while i < len(body):
        c = body[i]
        if c == "\\":
            nxt = body[i + 1]
            if nxt == "x":
                out += chr(int(body[i + 2:i + 4], 16))
                i += 4
                continue
            out += {"n": "\n", "t": "\t"}.get(nxt, nxt)
            i += 2
            continue
        out += c
        i += 1
    return out


def check_constraints(qbd):
    text = run(qbd, "constraints", BOARD)
    data = json.loads(run(qbd, "constraints", BOARD, "--json"))
    no_injected_lines("constraints", text)
    lines = [line for line in text.split("\n")[:-1]]
    written = []
    for line in lines:
        if line.startswith("#"):
            continue
        match = CONSTRAINT_LINE.match(line)
        if not match:
            failures.append(f"constraints: not a constraint line: {line!r}")
            continue
        written.append((unquote(match.group(1)),
                        unquote(match.group(2)) if match.group(2) else None))
    expected = [(group["net"], c["value"]) for group in data["nets"]
                for c in group["constraints"] if not c["text"].startswith("#")]
    if written != expected:
        failures.append(f"constraints: lines read back as {written}, the JSON says {expected}")
    if not any(net == NET for net, _ in written):
        failures.append(f"constraints: no line for the net {NET!r}")
    if not any(value == 'LV\\"x"' for _, value in written):
        failures.append("constraints: the value with quotes and a backslash is missing")
    # The key with a blank and a line feed cannot be written as a key; it must stay a comment
    # (the string is none of the constraint forms, so it is named as skipped).
    if not any(line.startswith(('# not written: the key "BAD KEY\\n;"', '# skipped "BAD KEY\\n;'))
               for line in lines):
        failures.append("constraints: the key that is not a word is not reported as a comment")


def check_json(qbd):
    blocks = json.loads(run(qbd, "blocks", BOARD, "--json"))
    names = {row["instance"] for row in blocks["instances"]}
    if DEVICE not in names:
        failures.append(f"blocks --json: {DEVICE!r} not among {sorted(names)}")
    pins = json.loads(run(qbd, "pins", BOARD, "--json"))["pins"]
    if not any(p["fpga_block"] == FPGA and p["net"] == NET for p in pins):
        failures.append(f"pins --json: no pin of {FPGA!r} on {NET!r}")
    modules = json.loads(run(qbd, "modules", BOARD, "--json"))
    if modules["top"]["name"] != FPGA:
        failures.append(f"modules --json: top module {modules['top']['name']!r}")


def check_tables(qbd):
    for args in (["info", BOARD], ["blocks", BOARD], ["pins", BOARD], ["modules", BOARD],
                 ["params", BOARD, DEVICE], ["ports", BOARD, DEVICE], ["clocks", BOARD],
                 ["reset", BOARD], ["memory", BOARD], ["print", BOARD]):
        no_injected_lines(" ".join(args[:1]), run(qbd, *args))
    blocks = run(qbd, "blocks", BOARD).split("\n")[:-1]
    data = json.loads(run(qbd, "blocks", BOARD, "--json"))
    if len(blocks) != 1 + len(data["instances"]):
        failures.append(f"blocks: {len(blocks)} lines for {len(data['instances'])} instances")
    lint = subprocess.run([qbd, "lint", BOARD], capture_output=True, text=True)
    no_injected_lines("lint", lint.stdout + lint.stderr)


def check_diagram(qbd):
    graph = run(qbd, "diagram", BOARD)
    no_injected_lines("diagram", graph)
    if sum(line.startswith("digraph") for line in graph.split("\n")) != 1:
        failures.append("diagram: more than one graph in the DOT text")
    if not shutil.which("dot"):
        return
    proc = subprocess.run(["dot", "-Tjson"], input=graph, capture_output=True, text=True)
    if proc.returncode != 0:
        failures.append(f"diagram: dot refuses the DOT text: {proc.stderr.strip()}")
        return
    drawn = json.loads(proc.stdout)
    info = json.loads(run(qbd, "info", BOARD, "--json"))
    title = info["vendor"].replace("\n", " ") + " " + info["name"]
    if not drawn.get("label", "").startswith(title):
        failures.append(f"diagram: title {drawn.get('label')!r} is not the board's")
    if drawn["name"] != "board":
        failures.append(f"diagram: dot read the graph {drawn['name']!r}")


def check_print_reads_back(qbd):
    printed = run(qbd, "print", BOARD)
    folder = tempfile.mkdtemp()
    try:
        copy = os.path.join(folder, "copy.qbd")
        with open(copy, "w") as f:
            f.write(printed)
        if run(qbd, "print", copy) != printed:
            failures.append("print: the printed board does not read back as itself")
        again = json.loads(run(qbd, "blocks", copy, "--json"))["instances"]
        first = json.loads(run(qbd, "blocks", BOARD, "--json"))["instances"]
        if again != first:
            failures.append("print: the printed board has other blocks")
    finally:
        shutil.rmtree(folder)


UNICODE_BOARD = "tests/tool/boards/hostile_bytes.qbd"
# What follows U+0085, U+2028 or U+2029 in that board.
UNICODE_MARKERS = ["NET x", "# line 2", "# p2", "# d0", "# e"]


def check_unicode_breaks(qbd):
    """Line-oriented outputs spell out the separators that readers such as Python's splitlines
    take for line ends, so no line begins with what follows one in the board."""
    instance = b"io\xc3\x28_0"
    for args in (["info"], ["blocks"], ["ports", instance], ["params", instance], ["pins"],
                 ["constraints", "--lenient"], ["lint"], ["modules"], ["clocks"], ["memory"]):
        proc = subprocess.run([qbd, args[0], UNICODE_BOARD, *args[1:]], capture_output=True)
        what = f"qbd {args[0]} (separators)"
        if proc.returncode not in (0, 1) or not proc.stdout:
            failures.append(f"{what}: exit status {proc.returncode}: {proc.stderr!r}")
        text = (proc.stdout + proc.stderr).decode("utf-8", "surrogateescape")
        for line in text.splitlines():
            for marker in UNICODE_MARKERS:
                # A lenient export lists its failed checks as "# error: ..." lines of its own.
                if line.lstrip().startswith(marker) and not line.startswith("# error: "):
                    failures.append(f"{what}: a line begins with board text: {line!r}")


def main():
    qbd = sys.argv[1]
    check_unicode_breaks(qbd)
    check_constraints(qbd)
    check_json(qbd)
    check_tables(qbd)
    check_diagram(qbd)
    check_print_reads_back(qbd)
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
