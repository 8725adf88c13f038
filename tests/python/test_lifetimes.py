"""Objects stay safe whatever order Python releases them in, and after the board changed."""
import gc

import pytest

import qbd


def test_instance_and_port_outlive_the_board(board_text):
    board = qbd.loads(board_text)
    uart = board.instance("uart_a")
    port = uart.ports[0]
    param = uart.parameters[0]
    fpga = board.fpga
    del board
    gc.collect()
    assert uart.name == "uart_a" and uart.speed == "LOW"
    assert uart.port_tables[0][0] == ("CONNECTOR", "tx_net")
    assert (port.name, port.net, port.instance.name) == ("TX", "tx_net", "uart_a")
    assert param.value == "9600"
    assert fpga.family == "ketral2p"


def test_a_port_alone_keeps_everything_alive(board_text):
    port = qbd.loads(board_text).instance("uart_a").ports[1]
    gc.collect()
    assert port.instance.parameters[1].name == "C_PLAIN"
    assert port.instance.exclusive_with == ["uart_b"]


def test_views_taken_before_expansion_keep_working():
    board = qbd.read("boards/generic_template.qbd")
    blocks = board.blocks
    names = [b.name for b in blocks]
    ports = [p for b in blocks for p in b.ports]
    board.expand()
    assert [b.name for b in blocks] == names
    assert all(p.name for p in ports)
    # Views taken before the expansion answer model questions once it happened.
    uart = next(b for b in blocks if b.name == "uart")
    assert uart.copies == [c.name for c in board.instances_of("QOR_UART_V1")][1:]
    del board
    gc.collect()
    assert uart.io_type == "QOR_UART_V1"


def test_model_questions_on_a_view_of_an_unexpanded_template_raise():
    uart = next(b for b in qbd.read("boards/generic_template.qbd").blocks if b.name == "uart")
    with pytest.raises(qbd.TemplateError):
        uart.speed
    assert uart.io_type == "QOR_UART_V1"  # what the node itself holds is still there


def test_views_see_a_setter_change():
    board = qbd.read("boards/generic_template.qbd", expand=True)
    fpga = board.fpga
    block = board.blocks[0]
    board.fpga.family = "ketral2p"
    del board
    gc.collect()
    assert fpga.family == "ketral2p" and fpga.is_k2p
    assert block.name
