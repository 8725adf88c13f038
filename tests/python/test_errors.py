"""Boards that do not read raise ReadError with the reader's text; bad input never crashes."""
import random
import subprocess

import pytest

import qbd
from conftest import program


def test_read_error_text_is_the_readers_text():
    with pytest.raises(qbd.ReadError) as caught:
        qbd.read("tests/tool/boards/broken.qbd")
    proc = subprocess.run([program(), "info", "tests/tool/boards/broken.qbd"],
                          capture_output=True, text=True)
    assert str(caught.value) == proc.stderr.strip()
    assert isinstance(caught.value, qbd.Error)


def test_errors_are_records_of_the_lines_of_the_text():
    with pytest.raises(qbd.ReadError) as caught:
        qbd.read("tests/tool/boards/broken.qbd")
    errors = caught.value.errors
    assert [(e.file, e.line, e.column, e.code) for e in errors] == [
        ("tests/tool/boards/broken.qbd", 4, 1, "list_separator"),
        ("tests/tool/boards/broken.qbd", 2, 1, "missing_end")]
    assert str(caught.value).splitlines() == \
        [f"{e.file}:{e.line}:{e.column}: error: {e.message}" for e in errors]


@pytest.mark.parametrize("text, line, column, code", [
    (b"ATTRIBUTE A = x\nAT\0TRIBUTE", 2, 3, "binary_data"),
    ("BEGIN BLOCK\n  ATTRIBUTE INSTANCE = a\n", 1, 1, "missing_end"),
])
def test_error_records_locate_the_mistake(text, line, column, code):
    with pytest.raises(qbd.ReadError) as caught:
        qbd.loads(text, "mem.qbd")
    first = caught.value.errors[0]
    assert (first.file, first.line, first.column, first.code) == ("mem.qbd", line, column, code)


def test_a_missing_file_is_a_read_error(tmp_path):
    with pytest.raises(qbd.ReadError, match="no_such.qbd") as caught:
        qbd.read(tmp_path / "no_such.qbd")
    assert [e.code for e in caught.value.errors] == ["cannot_open"]
    with pytest.raises(qbd.ReadError):
        qbd.read(tmp_path)  # a folder


@pytest.mark.parametrize("text", [
    b"BEGIN BLOCK\n\0\nEND\n",
    "ATTRIBUTE NAME = a\0b\n",
    b"\x7fELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0",
    b"\xff\xfe\xfd" * 1000,
    b"ATTRIBUTE A = " + b"(" * 100000,
    b"BEGIN BLOCK\n" * 50000,
    b"ATTRIBUTE A = \"" + b"x" * (8 << 20),
], ids=["nul-bytes", "nul-str", "binary-header", "high-bytes", "deep-lists", "unclosed-blocks",
        "huge-unterminated-string"])
def test_bad_input_raises_read_error(text):
    with pytest.raises(qbd.ReadError) as caught:
        qbd.loads(text, "bad.qbd")
    errors = caught.value.errors
    assert errors and all(e.file == "bad.qbd" and e.line >= 1 for e in errors)
    assert len(str(caught.value).splitlines()) == len(errors)


def test_random_bytes_never_crash():
    rng = random.Random(12)
    pieces = [b"BEGIN BLOCK\n", b"END\n", b"ATTRIBUTE ", b"PORT ", b"PARAMETER ", b" = ",
              b"(", b")", b",", b"\"", b"\\", b"\0", b"x", b"\n", b"\xe9"]
    for _ in range(300):
        text = b"".join(rng.choice(pieces) for _ in range(rng.randrange(1, 60)))
        try:
            board = qbd.loads(text)
        except qbd.ReadError:
            continue
        # What did read answers every tree question without failing.
        board.dumps()
        for block in board.blocks:
            [(p.name, p.net, p.role, p.properties) for p in block.ports]


def test_argument_types_are_checked(board_text):
    with pytest.raises(TypeError):
        qbd.loads(12)
    board = qbd.loads(board_text)
    with pytest.raises(TypeError):
        board.instance(None)
