"""FPGA pins, the pins on each port's net and the lint findings, on stated boards and against
the qbd program's JSON."""
import json
import subprocess

import pytest

import qbd
from conftest import SAMPLE_BOARDS, program, program_json


def test_pins_of_ports(board_text):
    board = qbd.loads(board_text)
    assert [b.name for b in board.instances] == ["uart_a", "uart_b", "clk_0"]
    assert [b.is_fpga for b in board.blocks] == [True, False, False, False]
    tx, spare = board.instance("uart_a").ports
    # The port's net and the pin's net differ in letter case only.
    (pin,) = tx.pins
    assert (pin.name, pin.net, pin.location) == ("p_tx", "Tx_Net", "P1")
    assert pin.constraints == ["LOC=P1", "IOSTANDARD=LVCMOS33"]
    assert pin.block == board.blocks[0] and pin.wired_to == [tx]
    assert spare.pins == []
    clk_pin = board.fpga_pins[1]
    assert clk_pin.wired_to == board.instance("clk_0").ports


def test_a_pin_without_location_or_constraints():
    board = qbd.loads("""
BEGIN BLOCK
  ATTRIBUTE INSTANCE = f
  ATTRIBUTE BLOCKTYPE = fpga
  PORT a = n1, UCF_NET_STRING = (IOSTANDARD=LVCMOS33)
  PORT b = n2
  PORT c = n1, UCF_NET_STRING = "LOC = X9"
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = i
  PORT p = N1
END
""")
    (port,) = board.instance("i").ports
    assert [(p.name, p.location) for p in port.pins] == [("a", None), ("c", " X9")]
    assert board.fpga_pins[1].constraints == [] and board.fpga_pins[1].wired_to == []


def test_pins_follow_the_expansion():
    board = qbd.read("boards/generic_template.qbd")
    before = len(board.fpga_pins)
    board.expand()
    assert len(board.fpga_pins) > before
    for copy in board.instances_of("QOR_UART_V1")[1:]:
        assert all(port.pins for port in copy.ports if port.net)


@pytest.mark.parametrize("path", SAMPLE_BOARDS)
def test_pins_equal_the_programs(path):
    board = qbd.read(path, expand=True)
    rows = program_json("pins", path)["pins"]
    assert [[p.block.name, p.name, p.net or "", p.location or "", p.constraints,
             [f"{w.instance.name}.{w.name}" for w in p.wired_to]] for p in board.fpga_pins] == \
        [[r["fpga_block"], r["pin"], r["net"], r["loc"], r["constraints"], r["wired_to"]]
         for r in rows]
    assert [b.name for b in board.instances] == \
        [r["instance"] for r in program_json("blocks", path)["instances"]]


@pytest.mark.parametrize("path", SAMPLE_BOARDS + ["tests/tool/lint/QBD004_bad.qbd",
                                                  "tests/tool/lint/QBD010_bad.qbd"])
def test_lint_equals_the_programs(path):
    # lint exits 1 when it finds an error, so the JSON is read whatever the status.
    proc = subprocess.run([program(), "lint", path, "--json"], capture_output=True)
    expected = json.loads(proc.stdout)["findings"]
    assert [f._asdict() for f in qbd.read(path).lint()] == expected
