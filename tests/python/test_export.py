"""Constraint files and top-level ports from Python: the same text as the qbd program writes,
the same checks, raised as ExportError."""
import subprocess
import warnings

import pytest

import qbd
from conftest import program

DK2 = "boards/northwind_dk2.qbd"
MINI = "tests/tool/boards/mini.qbd"
SHARED = "tests/tool/boards/shared_net.qbd"


def program_text(*args):
    proc = subprocess.run([program(), *args], capture_output=True, check=True)
    return proc.stdout.decode("utf-8", "surrogateescape")


@pytest.mark.parametrize("fmt, args", [
    ("ucf", []),
    ("xdc", ["--bus"]),
    ("lpf", ["--prefix", "b_"]),
    ("json", []),
])
def test_constraints_are_what_the_program_writes(fmt, args):
    board = qbd.read(DK2)
    kwargs = {"bus": "--bus" in args, "prefix": args[1] if "--prefix" in args else ""}
    text = board.constraints(format=fmt, instances=["uart_0", "sys_clk_0"], **kwargs)
    assert text == program_text("constraints", DK2, "uart_0", "sys_clk_0", "--format", fmt,
                                *args)


def test_top_is_what_the_program_writes():
    board = qbd.read(DK2)
    for hdl in ("verilog", "vhdl"):
        assert board.top(hdl=hdl, instances=["ddr_0"], bus=True) == program_text(
            "top", DK2, "ddr_0", "--hdl", hdl, "--bus")


def test_checks_raise_with_every_problem_named():
    board = qbd.read(SHARED)
    with pytest.raises(qbd.ExportError) as caught:
        board.constraints()
    assert caught.value.problems == [
        ("bus", 'net "bus" is on 3 balls: "A1", "A2", "A6"'),
        ("fan", 'net "fan" is on 2 balls: "A4", "A5"')]
    with pytest.raises(qbd.ExportError):
        board.top()
    with pytest.warns(UserWarning, match="is on 3 balls"):
        text = board.constraints(lenient=True)
    assert '# error: bus: net "bus" is on 3 balls' in text


def test_alternatives_and_choices():
    board = qbd.read(MINI)
    with pytest.raises(qbd.ExportError, match='"uart_0" and "uart_1" are alternatives'):
        board.constraints(instances=["uart_0", "uart_1"])
    text = board.constraints(choose={"serial": "uart_1"}, rename={"uart_tx": "tx"})
    assert "# uart_1.TX -> fpga_0.uart_tx_pin\nNET \"tx\" LOC = \"W1\";" in text


def test_strict_fails_on_what_a_format_leaves_out():
    board = qbd.read(MINI)
    with pytest.raises(qbd.ExportError, match="io standard LVCMOS33") as caught:
        board.constraints(format="pcf", strict=True)
    assert ("uart_tx", "not expressed in pcf: io standard LVCMOS33") in caught.value.problems
    with warnings.catch_warnings(record=True) as seen:
        warnings.simplefilter("always")
        text = board.constraints(format="pcf")
    assert "set_io uart_tx W1" in text
    assert len(seen) == 1 and "not expressed in pcf" in str(seen[0].message)


def test_bad_arguments_are_value_errors():
    board = qbd.read(MINI)
    with pytest.raises(ValueError, match="unknown format"):
        board.constraints(format="docx")
    with pytest.raises(ValueError, match="exclude"):
        board.constraints(strict=True, lenient=True)
    with pytest.raises(ValueError, match="verilog"):
        board.top(hdl="systemc")


def test_a_template_needs_expanding_first():
    board = qbd.read("boards/generic_template.qbd")
    with pytest.raises(qbd.TemplateError):
        board.constraints()
    board.expand()
    with pytest.raises(qbd.ExportError, match='ball "W2" carries both "uart_rx" and "uart_rx_1"'):
        board.constraints()
