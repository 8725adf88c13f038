#!/usr/bin/env python3
"""The program as a Unix tool, over every command: its --json output is valid against the
command's schema in docs/schema; -o FILE receives exactly what standard output would have,
and a command that fails leaves FILE as it was; "-" reads the board from standard input; a
non-zero exit says "error:" on standard error."""
import json
import os
import re
import subprocess
import sys
import tempfile

import jsonschema

MINI = "tests/tool/boards/mini.qbd"
TEMPLATE = "tests/tool/boards/template.qbd"
DK2 = "boards/northwind_dk2.qbd"
GENERIC = "boards/generic_template.qbd"
FORMS = "tests/tool/boards/forms.qbd"

# (command, arguments, exit status): every command, in each form whose output differs.
CASES = [
    ("info", [DK2], 0),
    ("blocks", [GENERIC], 0),
    ("blocks", [DK2, "--iotype", "QOR_ENETX_V1"], 0),
    ("params", [DK2, "uart_0"], 0),
    ("ports", [MINI, "--iotype", "QOR_UART_V1"], 0),
    ("pins", [DK2], 0),
    ("pins", [MINI, "--net", "UART_TX"], 0),
    ("constraints", [DK2], 0),
    ("top", [DK2, "uart_0", "--hdl", "verilog"], 0),
    ("import", ["tests/data/import/pins.csv", "-q"], 0),
    ("diff", [MINI, "tests/tool/boards/shared_net.qbd"], 1),
    ("diff", [DK2, MINI], 1),
    ("clocks", [DK2], 0),
    ("clocks", [FORMS], 0),
    ("clocks", [DK2, "--find", "50MHz"], 0),
    ("clocks", [MINI, "--find", "110000000"], 1),
    ("reset", [MINI], 0),
    ("memory", [DK2], 0),
    ("memory", [MINI], 0),
    ("modules", [MINI], 0),
    ("expand", [GENERIC], 0),
    ("set-part", [GENERIC, "--family", "ketral2p", "--device", "k2p30"], 0),
    ("print", [MINI], 0),
    ("check", [MINI, "tests/tool/boards/broken.qbd"], 1),
    ("lint", [DK2], 0),
    ("lint", [FORMS], 1),
    ("diagram", [MINI], 0),
    ("iotypes", [], 0),
    ("roles", ["QOR_CLOCK_V1"], 0),
    ("families", [], 0),
]

# Failures of each kind the program reports: each must say "error:".
FAILURES = [
    ["info", "tests/tool/boards/no_such_board.qbd"],
    ["info", "tests/tool/boards/broken.qbd"],
    ["params", MINI, "uart_9"],
    ["ports", MINI, "--iotype", "QOR_NONE_V1"],
    ["clocks", MINI, "--find", "110000000"],
    ["clocks", MINI, "--find", "fast"],
    ["expand", DK2],
    ["set-part", DK2, "--family", "ketral2p"],
    ["set-part", TEMPLATE, "--family", "ketral9"],
    ["set-part", TEMPLATE, "--family", "ketral2p", "--package", "fg456"],
    ["check", "tests/tool/boards/broken.qbd"],
    ["lint", FORMS],
    ["lint", "tests/tool/lint/QBD005_bad.qbd", "--werror"],
    ["roles", "QOR_NONE_V1"],
    ["pins", MINI, "--net", "no_such_net"],
    ["frobnicate"],
    ["pins"],
]

failures = []


def run(qbd, args, stdin=None):
    return subprocess.run([qbd, *args], capture_output=True, text=True, input=stdin)


def commands(qbd):
    """The subcommands `qbd --help` lists, and whether each takes --json."""
    text = run(qbd, ["--help"]).stdout
    names = re.findall(r"^  ([a-z][a-z-]*)\s", text.split("Subcommands:")[1], re.M)
    return {name: "--json" in run(qbd, [name, "--help"]).stdout for name in names}


# Commands that hold a conversation on standard input and output rather than write a result.
CONVERSING = {"lsp"}


def check_coverage(qbd, schemas):
    covered = {c for c, _, _ in CASES}
    for name, has_json in commands(qbd).items():
        if name in CONVERSING:
            continue
        if name not in covered:
            failures.append(f"{name}: no case in CASES")
        if not has_json:
            failures.append(f"{name}: no --json option")
        elif name not in schemas:
            failures.append(f"{name}: no docs/schema/{name}.schema.json")
        if "-o,--output" not in run(qbd, [name, "--help"]).stdout:
            failures.append(f"{name}: no -o option")


def check_json(qbd, schemas, command, args, status):
    proc = run(qbd, [command, *args, "--json"])
    label = " ".join([command, *args])
    if proc.returncode != status:
        failures.append(f"{label} --json: exit status {proc.returncode}, expected {status}")
    try:
        value = json.loads(proc.stdout)
    except json.JSONDecodeError as e:
        failures.append(f"{label} --json: not JSON ({e})")
        return
    try:
        jsonschema.validate(value, schemas[command])
    except jsonschema.ValidationError as e:
        failures.append(f"{label} --json: {e.message} at {list(e.absolute_path)}")


def check_output_file(qbd, folder, command, args, status):
    label = " ".join([command, *args])
    plain = run(qbd, [command, *args])
    target = os.path.join(folder, "out.txt")
    with open(target, "w") as f:
        f.write("before\n")
    written = run(qbd, [command, *args, "-o", target])
    with open(target) as f:
        content = f.read()
    if written.returncode != status or written.stdout:
        failures.append(f"{label} -o: exit {written.returncode}, stdout {written.stdout[:60]!r}")
    if content != plain.stdout:
        failures.append(f"{label} -o: the file differs from standard output")


def check_failed_write_keeps_file(qbd, folder):
    target = os.path.join(folder, "kept.txt")
    with open(target, "w") as f:
        f.write("before\n")
    proc = run(qbd, ["params", MINI, "uart_9", "-o", target])
    with open(target) as f:
        if proc.returncode != 1 or f.read() != "before\n":
            failures.append("a failed command changed its -o file")
    if len(os.listdir(folder)) != 1:
        failures.append(f"a failed command left files behind: {os.listdir(folder)}")


def check_stdin(qbd, command, args, status):
    board = next((a for a in args if a.endswith(".qbd")), None)
    if board is None:
        return
    label = " ".join([command, *args])
    from_file = run(qbd, [command, *args, "--json"])
    with open(board) as f:
        text = f.read()
    dashed = [("-" if a == board else a) for a in args]
    from_stdin = run(qbd, [command, *dashed, "--json"], stdin=text)
    expected = from_file.stdout.replace(json.dumps(board)[1:-1], "<stdin>")
    if (from_stdin.returncode, from_stdin.stdout) != (from_file.returncode, expected):
        failures.append(f"{label}: '-' on standard input gives other output: "
                        f"{from_stdin.stderr.strip()[:200]}")


def check_error_words(qbd):
    for args in FAILURES:
        proc = run(qbd, args)
        if proc.returncode == 0 or "error:" not in proc.stderr:
            failures.append(f"{' '.join(args)}: exit {proc.returncode}, stderr without "
                            f"'error:': {proc.stderr.strip()[:200]!r}")


def check_vocabulary_documented(qbd):
    """Every IO type and family the library knows is in the board format's vocabulary."""
    with open("docs/board-format.md") as f:
        page = f.read().split("## Vocabulary", 1)[-1]
    types = json.loads(run(qbd, ["iotypes", "--json"]).stdout)["iotypes"]
    families = json.loads(run(qbd, ["families", "--json"]).stdout)["families"]
    for name in [t["iotype"] for t in types] + families:
        if f"`{name}`" not in page:
            failures.append(f"docs/board-format.md, Vocabulary: {name} is missing")


def main():
    qbd = sys.argv[1]
    folder = "docs/schema"
    schemas = {}
    for name in os.listdir(folder):
        with open(os.path.join(folder, name)) as f:
            schema = json.load(f)
        jsonschema.Draft202012Validator.check_schema(schema)
        schemas[name.removesuffix(".schema.json")] = schema
    check_coverage(qbd, schemas)
    with tempfile.TemporaryDirectory() as scratch:
        for command, args, status in CASES:
            check_json(qbd, schemas, command, args, status)
            check_stdin(qbd, command, args, status)
            if command != "diagram":  # diagram writes its file itself (rendered by suffix)
                check_output_file(qbd, scratch, command, args, status)
        with tempfile.TemporaryDirectory() as empty:
            check_failed_write_keeps_file(qbd, empty)
    check_error_words(qbd)
    check_vocabulary_documented(qbd)
    for f in failures:
        print(f, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
