"""The package answers what the qbd program answers in JSON, on every sample board."""
import subprocess

import pytest

import qbd
from conftest import SAMPLE_BOARDS, program, program_json


def text(value):
    """The program writes an absent answer as an empty string."""
    return "" if value is None else value


def grouped(pairs):
    """A table as the program writes it: each key with the list of its values."""
    table = {}
    for key, value in pairs:
        table.setdefault(key, []).append(value)
    return table


@pytest.fixture(params=SAMPLE_BOARDS)
def case(request):
    return request.param, qbd.read(request.param, expand=True)


def test_identity_part_and_io_types(case):
    path, board = case
    info = program_json("info", path)
    assert [text(board.vendor), text(board.name), text(board.revision), text(board.description),
            text(board.spec_url), text(board.contact_info_url), board.is_template] == \
        [info["vendor"], info["name"], info["revision"], info["description"], info["spec_url"],
         info["contact_info_url"], info["generic"]]
    fpga = board.fpga
    assert {"family": text(fpga.family), "device": text(fpga.device),
            "package": text(fpga.package), "speed_grade": text(fpga.speed_grade),
            "jtag_position": text(fpga.jtag_position)} == info["fpga"]
    assert board.io_types == info["io_types"]
    assert len(board.blocks) == info["counts"]["blocks"]


def test_instances(case):
    path, board = case
    for row in program_json("blocks", path)["instances"]:
        inst = board.instance(row["instance"])
        assert [text(inst.io_type), text(inst.core_name), inst.speed, text(inst.alert),
                text(inst.attribute("EXCLUSIVE"))] == \
            [row["iotype"], row["corename"], row["speed"], row["alert"], row["exclusive"]]
        if "copies" in row:
            assert inst.copies == row["copies"]
            key = inst in board.instances_of(inst.io_type, key_only=True)
            assert key == row["key"]


def test_parameter_and_port_tables(case):
    path, board = case
    for row in program_json("blocks", path)["instances"]:
        inst = board.instance(row["instance"])
        params = program_json("params", path, row["instance"])["parameters"]
        assert [grouped(t) for t in inst.parameter_tables] == [p["table"] for p in params]
        ports = program_json("ports", path, row["instance"])["ports"]
        assert [grouped(t) for t in inst.port_tables] == [p["table"] for p in ports]
        first_loc = {}
        for port in ports:
            first_loc.setdefault(port["io_is"].lower(), port["loc"] or None)
        for role, loc in first_loc.items():
            assert inst.port_location(role) == loc


def test_clocks(case):
    path, board = case
    clocks = program_json("clocks", path)["clocks"]
    assert board.clock_frequencies == [int(c["frequency"]) for c in clocks]
    if not any(c["unrestricted"] for c in clocks):
        assert [tuple(r) for r in board.clock_ranges] == \
            [(c["instance"], r["min"], r["max"], r["step"]) for c in clocks for r in c["ranges"]]
    for clock in clocks:
        for r in clock["ranges"]:
            found = program_json("clocks", path, "--find", str(r["min"]))["instance"]
            assert board.find_clock(r["min"]).name == found


def test_memories(case):
    path, board = case
    memory = program_json("memory", path)
    assert [tuple(f) for f in board.flash_memories] == \
        [(f["instance"], f["io_is"]) for f in memory["flash"]]
    for bus in memory["bram"]:
        assert board.bram_sizes(bus["bus"]) == bus["sizes_kb"]
        assert board.default_bram_size(bus["bus"]) == bus["default_kb"]
    for cache in memory["cache"]:
        assert board.cache_sizes(cache["kind"]) == cache["sizes"]


def as_program_writes(module):
    pins = []
    for pin in module["pins"]:
        row = {"name": pin["name"]}
        for side in ("internal_signal", "external_signal"):
            if pin[side] is not None:
                row[side] = pin[side]
        row["properties"] = [list(kv) for kv in pin["properties"]]
        pins.append(row)
    return {"name": module["name"],
            "properties": [list(kv) for kv in module["properties"]],
            "signals": len(module["signals"]),
            "params": [{"name": p["name"], "value": p["value"],
                        "properties": [list(kv) for kv in p["properties"]]}
                       for p in module["params"]],
            "pins": pins,
            "children": [as_program_writes(c) for c in module["children"]]}


def test_module_tree(case):
    path, board = case
    assert as_program_writes(board.modules()) == program_json("modules", path)["top"]


def test_printed_board(case):
    path, _ = case
    printed = subprocess.run([program(), "print", path], capture_output=True, check=True).stdout
    assert qbd.read(path).dumps().encode("utf-8", "surrogateescape") == printed
