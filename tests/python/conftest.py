"""Shared helpers of the qbd package tests. They run from the source tree's top folder with
PYTHONPATH pointing at the built package and QBD_PROGRAM at the qbd program (CTest sets both)."""
import json
import os
import subprocess

import pytest

# Every sample board the package and the program are compared on.
SAMPLE_BOARDS = ["boards/northwind_dk2.qbd", "boards/generic_template.qbd",
                 "tests/tool/boards/mini.qbd", "tests/tool/boards/template.qbd",
                 "tests/tool/boards/odd.qbd"]


def program():
    path = os.environ.get("QBD_PROGRAM")
    if not path:
        pytest.skip("QBD_PROGRAM is not set")
    return path


def program_json(command, board, *args):
    """The qbd program's --json answer to `command` on `board`."""
    proc = subprocess.run([program(), command, board, *args, "--json"], capture_output=True,
                          check=True)
    return json.loads(proc.stdout.decode("utf-8", "surrogateescape"))


@pytest.fixture
def board_text():
    """A small real board whose every answer the tests know."""
    return BOARD_TEXT


BOARD_TEXT = r'''
ATTRIBUTE VENDOR = Tinker
ATTRIBUTE NAME = T-1
ATTRIBUTE REVISION = B
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  ATTRIBUTE FAMILY = ketral2p
  ATTRIBUTE DEVICE = k2p30
  PORT p_tx = Tx_Net, UCF_NET_STRING = (LOC=P1, IOSTANDARD=LVCMOS33)
  PORT p_clk = clk_net, UCF_NET_STRING = (LOC=P2)
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart_a
  ATTRIBUTE IOTYPE = QOR_UART_V1
  ATTRIBUTE EXCLUSIVE = ser
  PARAMETER C_BAUD = 9600, IO_IS = baud_rate, VALUE_NOTE = "speed", VALUE_TEXT = "line speed"
  PARAMETER C_PLAIN = 1
  PORT TX = tx_net, IO_IS = serial_out, DIR = O
  PORT SPARE = nowhere
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart_b
  ATTRIBUTE IOTYPE = qor_uart_v1
  ATTRIBUTE EXCLUSIVE = ser
  ATTRIBUTE SPEED = HIGH
  ATTRIBUTE ALERT = "shares pins"
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = clk_0
  ATTRIBUTE IOTYPE = QOR_CLOCK_V1
  PARAMETER C_FREQ = 50000000, IO_IS = clk_freq, RANGE = ((10000000, 60000000, 10000000))
  PORT CLK = clk_net, IO_IS = ext_clk
END
'''
