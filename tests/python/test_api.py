"""The package's answers on boards whose content the tests state."""
import pytest

import qbd


@pytest.fixture
def board(board_text):
    return qbd.loads(board_text)


def test_identity_and_fpga_part(board):
    assert (board.vendor, board.name, board.revision) == ("Tinker", "T-1", "B")
    # Absent answers are None, never an empty string.
    assert board.description is None and board.spec_url is None
    assert board.contact_info_url is None
    fpga = board.fpga
    assert (fpga.family, fpga.device, fpga.package, fpga.speed_grade, fpga.jtag_position) == \
        ("ketral2p", "k2p30", None, None, None)
    assert fpga.is_k2p
    assert not board.is_template


def test_the_part_of_a_real_board_cannot_be_set(board):
    with pytest.raises(ValueError, match="non-generic") as raised:
        board.fpga.family = "ketral4"
    assert board.fpga.family == "ketral2p"
    # The reason, not the library's "Warning:" label: the call failed.
    assert not str(raised.value).startswith("Warning")


def test_io_types_and_lookups(board):
    assert board.io_types == ["QOR_UART_V1", "qor_uart_v1", "QOR_CLOCK_V1"]
    assert board.block_io_types == ["QOR_UART_V1", "qor_uart_v1", "QOR_CLOCK_V1"]
    assert board.has_io_type("QOR_CLOCK_V1") and not board.has_io_type("QOR_CLOCK")
    assert [i.name for i in board.instances_of("Qor_Uart_V1")] == ["uart_a", "uart_b"]
    assert board.instances_of("QOR_UART_V1", key_only=True) == []
    assert board.instances_of("QOR_NONE_V1") == []
    assert board.instance("UART_B") == board.instances_of("QOR_UART_V1")[1]
    assert board.instance("nosuch") is None
    assert board.exclusive_of("uart_a") == ["uart_b"]
    assert [b.name for b in board.blocks] == ["fpga_0", "uart_a", "uart_b", "clk_0"]


@pytest.mark.parametrize("name, io_type, speed, alert, exclusive_with", [
    ("uart_a", "QOR_UART_V1", "LOW", None, ["uart_b"]),
    ("uart_b", "qor_uart_v1", "HIGH", "shares pins", ["uart_a"]),
    ("clk_0", "QOR_CLOCK_V1", "LOW", None, []),
])
def test_instance_fields(board, name, io_type, speed, alert, exclusive_with):
    inst = board.instance(name)
    assert (inst.io_type, inst.speed, inst.alert, inst.exclusive_with) == \
        (io_type, speed, alert, exclusive_with)
    assert inst.core_name is None and inst.copies == []
    assert inst.attribute("instance") == name and inst.attribute("NOPE") is None


def test_parameters_and_ports(board):
    uart = board.instance("uart_a")
    baud, plain = uart.parameters
    assert (baud.name, baud.value, baud.role) == ("C_BAUD", "9600", "baud_rate")
    assert baud.properties == [("IO_IS", "baud_rate"), ("VALUE_NOTE", "speed"),
                               ("VALUE_TEXT", "line speed")]
    assert baud.subproperty("value_note") == "speed" and baud.subproperty("x") is None
    assert plain.role is None and plain.properties == []
    assert uart.parameter("c_plain") == plain and uart.parameter("nope") is None
    tx, spare = uart.ports
    assert (tx.name, tx.net, tx.role, tx.subproperty("DIR")) == ("TX", "tx_net", "serial_out", "O")
    assert spare.role is None and spare.instance == uart
    assert uart.port("spare") == spare and uart.port("rx") is None


def test_questions_by_role_and_by_name(board):
    uart = board.instance("uart_a")
    assert uart.parameter_name_of_role("BAUD_RATE") == "C_BAUD"
    assert uart.parameter_value_of_role("baud_rate") == "9600"
    assert uart.parameter_subproperty_of_role("baud_rate", "VALUE_NOTE") == "speed"
    assert uart.short_description("baud_rate") == "speed"
    assert uart.long_description("baud_rate") == "line speed"
    assert uart.role_tag("baud_rate", "VALUE_TEXT") == "line speed"
    assert uart.parameter_value_of_role("parity") is None
    assert uart.has_port_role("serial_out") and not uart.has_port_role("serial_in")
    assert uart.parameter_value("C_PLAIN") == "1"
    assert uart.parameter_subproperty("C_BAUD", "VALUE_TEXT") == "line speed"
    assert uart.port_net("TX") == "tx_net" and uart.port_net("RX") is None
    assert uart.port_subproperty("TX", "DIR") == "O"


def test_tables_are_key_value_pairs_in_table_order(board):
    uart = board.instance("uart_a")
    assert uart.parameter_tables == [[("IO_IS", "baud_rate"), ("VALUE", "9600"),
                                      ("VALUE_NOTE", "speed"), ("VALUE_TEXT", "line speed")]]
    # The port's net matches the FPGA pin's ignoring case; both constraint strings are kept.
    assert uart.port_tables == [[("CONNECTOR", "tx_net"), ("DIR", "O"), ("IO_IS", "serial_out"),
                                 ("UCF_NET_STRING", "LOC=P1"),
                                 ("UCF_NET_STRING", "IOSTANDARD=LVCMOS33")]]
    assert uart.port_location("serial_out") == "P1"
    assert board.port_tables_of("QOR_UART_V1") == uart.port_tables
    assert board.parameter_tables_of("QOR_NONE_V1") == []


def test_clocks(board):
    assert board.clock_frequencies == [50000000]
    assert board.clock_ranges == [qbd.ClockRange("clk_0", 10000000, 60000000, 10000000)]
    assert board.find_clock(30000000) == board.instance("clk_0")
    assert board.find_clock(35000000) is None
    with pytest.raises(ValueError):
        board.find_clock(-1)
    with pytest.raises(ValueError):
        board.find_clock(2 ** 32)


def test_reset_memory_and_modules():
    board = qbd.read("tests/tool/boards/mini.qbd")
    assert board.reset_polarity == "1"
    assert board.flash_memories == [qbd.FlashMemory("flash_0", "mem_size")]
    assert board.bram_sizes("nosuchbus") == []
    top = board.modules()
    assert top["name"] == "fpga_0"
    assert [c["name"] for c in top["children"]] == ["uart_0", "uart_1", "clk_0", "rst_0",
                                                   "flash_0"]


def test_template_needs_expanding_and_its_part_can_be_set():
    board = qbd.read("boards/generic_template.qbd")
    assert board.is_template and not board.expanded
    written = board.dumps()
    with pytest.raises(qbd.TemplateError, match="expand"):
        board.vendor
    assert board.dumps() == written  # asking did not expand it
    assert board.expand() is board and board.expanded
    uart = board.instances_of("QOR_UART_V1", key_only=True)
    assert [u.name for u in uart] == ["uart"]
    assert uart[0].copies and all(board.instance(c) for c in uart[0].copies)
    assert board.dumps() != written
    board.fpga.family = "ketral4"
    board.fpga.device = "k4fx20"
    assert (board.fpga.family, board.fpga.device) == ("ketral4", "k4fx20")
    assert "ketral4" in board.dumps()


def test_dumps_reads_back_and_write(tmp_path, board):
    again = qbd.loads(board.dumps())
    assert again.dumps() == board.dumps()
    target = tmp_path / "out.qbd"
    board.write(target)
    assert qbd.read(target).dumps() == board.dumps()
    with pytest.raises(OSError):
        board.write(str(tmp_path / "no" / "such" / "dir.qbd"))


def test_bytes_beyond_utf8_round_trip():
    board = qbd.loads(b"ATTRIBUTE NAME = caf\xe9\nBEGIN BLOCK\n ATTRIBUTE INSTANCE = n\xe9\nEND\n")
    name = board.blocks[0].name
    assert name == "n\udce9"
    assert board.instance(name) == board.blocks[0]
    assert board.name == "caf\udce9"
