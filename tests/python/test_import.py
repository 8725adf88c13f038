"""qbd.import_file and qbd.diff: the same drafts and records as the qbd program."""
import json
import subprocess

import pytest

import qbd
from conftest import program

DATA = "tests/data/import"
MINI = "tests/tool/boards/mini.qbd"


def test_import_csv_groups_and_guesses():
    draft = qbd.import_file(f"{DATA}/pins.csv", fpga_family="ketral4", device="k4fx20")
    board, guesses = draft
    assert board is draft.board
    names = [i.name for i in board.instances]
    assert names[:3] == ["sysclk", "user_leds", "buttons"]
    assert {g.kind for g in guesses} >= {"group", "io_type", "exclusive", "clock_range"}
    assert all(isinstance(g, qbd.Guess) for g in guesses)
    # The draft diffs equal to the table it came from.
    assert qbd.diff(board, f"{DATA}/pins.csv") == []


def test_import_netlist_needs_the_fpga_part():
    with pytest.raises(ValueError, match="fpga=REF"):
        qbd.import_file(f"{DATA}/demo.net")
    with pytest.raises(qbd.ReadError) as caught:
        qbd.import_file(f"{DATA}/demo.net", fpga="U9")
    record = caught.value.errors[0]
    assert (record.line, record.column) == (3, 3)
    assert "its parts are: U1, U2" in record.message


def test_import_error_is_located(tmp_path):
    bad = tmp_path / "bad.csv"
    bad.write_text('name,loc\na,"A1\n')
    with pytest.raises(qbd.ReadError) as caught:
        qbd.import_file(bad)
    assert str(caught.value) == f"{bad}:2:3: error: unterminated quoted cell: expected '\"', found end of file"


def test_diff_matches_the_program():
    changes = qbd.diff(MINI, f"{DATA}/mini_rev_b.qbd")
    proc = subprocess.run([program(), "diff", "--json", MINI, f"{DATA}/mini_rev_b.qbd"],
                          capture_output=True, check=False)
    assert proc.returncode == 1
    expected = json.loads(proc.stdout)["changes"]
    assert [c._asdict() for c in changes] == expected
    assert qbd.diff(MINI, MINI) == []
    assert qbd.diff(qbd.read(MINI), MINI, pins_only=True) == []


def test_import_constraint_file_like_the_program():
    draft = qbd.import_file(f"{DATA}/master.xdc", include_commented=True)
    proc = subprocess.run([program(), "import", f"{DATA}/master.xdc", "--include-commented", "-q"],
                          capture_output=True, check=True)
    assert draft.board.dumps() == proc.stdout.decode()
    names = [i.name for i in draft.board.instances]
    assert names == ["clk100mhz", "switches", "pmod_header_ja", "pmod_header_ja_as_differential_pair"]
    assert "exclusive" in {g.kind for g in draft.guesses}
    # Without the flag, a master file with every line commented out has no pins.
    assert [i.name for i in qbd.import_file(f"{DATA}/master.xdc").board.instances] == []
    refused = qbd.import_file(f"{DATA}/hostile.xdc").guesses
    assert [g.line for g in refused if g.kind == "skipped"] == [3, 4, 5]
