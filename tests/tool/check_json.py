#!/usr/bin/env python3
"""Parses the --json output of every qbd query on the sample boards and checks that the
commands agree with one another: the counts of `info` with the lists of `blocks` and `pins`,
the wiring of `pins` with the module tree the board model builds, the port tables of the model
with the pins, the clocks with `clocks --find`, and the constraint lines with the pins."""
import json
import subprocess
import sys

BOARDS = ["boards/northwind_dk2.qbd", "boards/generic_template.qbd",
          "tests/tool/boards/mini.qbd", "tests/tool/boards/template.qbd",
          "tests/tool/boards/odd.qbd", "tests/tool/boards/shared_net.qbd",
          "tests/tool/lint/QBD010_good.qbd", "tests/tool/lint/QBD011_good.qbd"]

failures = []


def fail(board, text):
    failures.append(f"{board}: {text}")


def qbd_json(qbd, board, *args, status=0):
    proc = subprocess.run([qbd, args[0], board, *args[1:], "--json"], capture_output=True,
                          text=True)
    if proc.returncode != status:
        fail(board, f"{' '.join(args)}: exit status {proc.returncode}, expected {status}: "
                    f"{proc.stderr.strip()}")
    try:
        return json.loads(proc.stdout)
    except json.JSONDecodeError as e:
        fail(board, f"{' '.join(args)}: not JSON ({e})")
        return None


def fold(s):
    return s.lower()


def check_counts(board, info, blocks, pins, modules):
    counts = info["counts"]
    if counts["fpga_pins"] != len(pins["pins"]):
        fail(board, f"info counts {counts['fpga_pins']} FPGA pins, pins lists "
                    f"{len(pins['pins'])}")
    if counts["instances"] != len(blocks["instances"]):
        fail(board, f"info counts {counts['instances']} instances, blocks lists "
                    f"{len(blocks['instances'])}")
    if counts["io_types"] != len(info["io_types"]):
        fail(board, "io_types count and list differ")
    top = modules["top"]
    if counts["fpga_blocks"] == 1 and len(top["children"]) != counts["instances"]:
        fail(board, f"module tree has {len(top['children'])} children for "
                    f"{counts['instances']} instances")
    if counts["fpga_blocks"] == 1 and len(top["pins"]) != counts["fpga_pins"]:
        fail(board, "the top module's pins are not the FPGA pins")
    if info["generic"] != blocks["generic"]:
        fail(board, "info and blocks disagree on generic")


def check_wiring(board, pins, modules):
    """Every instance port that the module tree puts on a net of an FPGA pin is listed by
    `pins` as wired to that pin, and nothing else is."""
    nets = {}
    for pin in pins["pins"]:
        nets.setdefault(fold(pin["net"]), set())
    for child in modules["top"]["children"]:
        for pin in child["pins"]:
            net = fold(pin.get("external_signal", ""))
            if net in nets:
                nets[net].add(f"{child['name']}.{pin['name']}")
    # A later pin of a net of several pins and ports names the pin that lists them.
    by_name = {f"{p['fpga_block']}.{p['pin']}": p for p in pins["pins"]}
    for pin in pins["pins"]:
        wired = pin["wired_to"]
        if "same_net_as" in pin:
            first = by_name.get(pin["same_net_as"])
            if wired or first is None or fold(first["net"]) != fold(pin["net"]) or \
                    "same_net_as" in first or len(first["wired_to"]) < 2:
                fail(board, f"pin {pin['pin']}: same_net_as {pin['same_net_as']!r} with "
                            f"wired_to {wired}")
                continue
            wired = first["wired_to"]
        if set(wired) != nets[fold(pin["net"])]:
            fail(board, f"pin {pin['pin']}: wired_to {sorted(wired)}, module tree "
                        f"says {sorted(nets[fold(pin['net'])])}")


def check_port_tables(qbd, board, blocks, pins):
    by_net = {}
    for pin in pins["pins"]:
        by_net.setdefault(fold(pin["net"]), []).append(pin)
    for row in blocks["instances"]:
        name = row["instance"]
        ports = qbd_json(qbd, board, "ports", name)
        params = qbd_json(qbd, board, "params", name)
        if ports is None or params is None:
            continue
        if ports["instance"] != name or params["instance"] != name:
            fail(board, f"{name}: tables answer for another instance")
        for table in ports["ports"]:
            candidates = by_net.get(fold(table["connector"]), [])
            if not any(p["loc"] == table["loc"] and p["constraints"] == table["constraints"]
                       for p in candidates):
                fail(board, f"{name}.{table['port']}: table LOC {table['loc']!r} and "
                            f"constraints match no FPGA pin on {table['connector']!r}")
            if table["table"].get("CONNECTOR") != [table["connector"]]:
                fail(board, f"{name}.{table['port']}: CONNECTOR entry missing")
        for table in params["parameters"]:
            if not table["parameter"] or table["table"]["VALUE"][0] != table["value"]:
                fail(board, f"{name}: parameter row {table} is inconsistent")


def admits(clock, freq):
    if clock["unrestricted"]:
        return True
    for r in clock["ranges"]:
        step = r["step"] or 1
        if r["min"] <= freq <= r["max"] and (freq - r["min"]) % step == 0:
            return True
    return False


def check_clocks(qbd, board, clocks):
    """`clocks --find F` names the first clock, in board order, whose ranges (as `clocks`
    lists them) admit F, for frequencies at and around the ends of every range."""
    rows = clocks["clocks"]
    for clock in rows:
        if not isinstance(clock["frequency"], int) or \
                str(clock["frequency"]) != clock["frequency_text"].strip():
            fail(board, f"clock {clock['instance']}: frequency {clock['frequency']!r}")
    if any("invalid" in r for c in rows for r in c["ranges"]):
        return
    probes = {1, 4294967295}
    for r in (r for c in rows for r in c["ranges"]):
        probes |= {r["min"], r["max"], r["min"] + 1, min(r["max"] + 1, 4294967295),
                   max(r["min"] - 1, 0), r["min"] + (r["step"] or 1)}
    for freq in sorted(probes):
        expected = next((c["instance"] for c in rows if admits(c, freq)), None)
        found = qbd_json(qbd, board, "clocks", "--find", str(freq),
                         status=0 if expected else 1)
        if found and (found["instance"], found["frequency"]) != (expected, freq):
            fail(board, f"--find {freq} gave {found['instance']!r}, expected {expected!r}")


def check_constraints(board, constraints, pins):
    """Every location of a pin wired to an instance port is written for its net."""
    locs = {(fold(p["net"]), p["loc"]) for p in pins["pins"]
            if p["loc"] and (p["wired_to"] or "same_net_as" in p)}
    seen_loc = set()
    for group in constraints["nets"]:
        for line in group["constraints"]:
            text = line["text"]
            net = group["net"].replace("\\", "\\\\").replace('"', '\\"')
            if not (text.startswith(f'NET "{net}" {line["key"]}') and text.endswith(";")):
                fail(board, f"constraint line {text!r}")
            if line["key"].lower() == "loc":
                seen_loc.add((fold(group["net"]), line["value"]))
    for net, loc in sorted(locs - seen_loc):
        fail(board, f"net {net}: LOC {loc} missing from constraints")


def main():
    qbd = sys.argv[1]
    for board in BOARDS:
        results = {cmd: qbd_json(qbd, board, cmd)
                   for cmd in ["info", "blocks", "pins", "clocks", "reset", "memory",
                               "modules", "constraints"]}
        if any(r is None for r in results.values()):
            continue
        check_counts(board, results["info"], results["blocks"], results["pins"],
                     results["modules"])
        check_wiring(board, results["pins"], results["modules"])
        check_port_tables(qbd, board, results["blocks"], results["pins"])
        check_clocks(qbd, board, results["clocks"])
        check_constraints(board, results["constraints"], results["pins"])
        memory = results["memory"]
        if [c["kind"] for c in memory["cache"]] != ["icache", "dcache"] or any(
                c["sizes"][0] != 0 for c in memory["cache"]):
            fail(board, "cache size lists must start with 0")
        if board.startswith("boards/"):
            lint = qbd_json(qbd, board, "lint")
            if lint and lint["findings"]:
                fail(board, f"sample board does not lint clean: {lint['findings']}")
    for f in failures:
        print("FAIL:", f)
    print(f"{len(BOARDS)} boards, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
