"""The pin-file example writes what the qbd program says is wired."""
import csv
import os
import subprocess
import sys

import pytest

from conftest import program_json

SCRIPT = "examples/pin_constraints.py"


def run_example(*args):
    return subprocess.run([sys.executable, SCRIPT, *args], capture_output=True, text=True,
                          env=dict(os.environ))


@pytest.mark.parametrize("path", ["boards/northwind_dk2.qbd", "tests/tool/boards/mini.qbd",
                                  "boards/generic_template.qbd"])
def test_pcf_and_csv_match_the_programs_wiring(tmp_path, path):
    pcf, table = tmp_path / "out.pcf", tmp_path / "out.csv"
    proc = run_example(path, "--pcf", str(pcf), "--csv", str(table))
    assert proc.returncode == 0, proc.stderr
    # One set_io line per net an instance port uses, at the first located pin on that net.
    expected = {}
    for row in program_json("pins", path)["pins"]:
        if row["wired_to"] and row["loc"]:
            expected.setdefault(row["net"].lower(), row["loc"])
    lines = [l for l in pcf.read_text().splitlines() if not l.startswith("#")]
    got = {}
    for line in lines:
        keyword, net, loc = line.split()
        assert keyword == "set_io"
        got[net.lower()] = loc
    assert got == expected
    assert len(lines) == len(got)
    # The CSV has a row for each (port, pin) pair and one for each port on no pin.
    rows = list(csv.DictReader(table.open(newline="")))
    groups = program_json("constraints", path)
    # The program's constraint groups name each net's pins with the first port on that net.
    first_port = {}
    for r in rows:
        if r["pin"]:
            first_port.setdefault(r["net"].lower(), r["instance"] + "." + r["port"])
    assert sorted((r["instance"] + "." + r["port"], r["fpga_block"] + "." + r["pin"])
                  for r in rows
                  if r["pin"] and first_port[r["net"].lower()] == r["instance"] + "." + r["port"]) == \
        sorted((g["port"], g["pin"]) for g in groups["nets"])
    assert sorted(r["instance"] + "." + r["port"] for r in rows if not r["pin"]) == \
        sorted(u["port"] for u in groups["unconnected"])


def test_named_instances_only_and_errors(tmp_path):
    proc = run_example("tests/tool/boards/mini.qbd", "--instance", "CLK_0")
    assert proc.returncode == 0
    assert proc.stdout.splitlines()[1:] == ["set_io sys_clk AE14"]
    assert run_example("tests/tool/boards/mini.qbd", "--instance", "nope").returncode != 0
    bad = run_example("tests/tool/boards/broken.qbd")
    assert bad.returncode == 1 and "broken.qbd:4:1: error:" in bad.stderr


@pytest.mark.parametrize("board", ["tests/tool/boards/inject.qbd",
                                   "tests/tool/boards/hostile_bytes.qbd"])
def test_board_text_never_makes_a_line_of_its_own(tmp_path, board):
    # The file name carries a line feed and a set_io line of its own, too.
    source = tmp_path / "b\nset_io evil X9\u2028set_io evil X8.qbd"
    source.write_bytes(open(board, "rb").read())
    pcf = tmp_path / "out.pcf"
    proc = run_example(str(source), "--pcf", str(pcf))
    assert proc.returncode == 0, proc.stderr
    text = pcf.read_bytes().decode("utf-8", "surrogateescape")
    # Every line (by every separator Python knows) is a comment or a set_io line of two words.
    for line in text.splitlines():
        assert line.startswith("#") or (line.startswith("set_io ") and len(line.split()) == 3
                                        and "#" not in line), line
    assert "evil" not in "".join(l for l in text.splitlines() if not l.startswith("#"))
    assert "Z9" not in "".join(l for l in text.splitlines() if not l.startswith("#"))
