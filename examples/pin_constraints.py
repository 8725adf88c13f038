#!/usr/bin/env python3
"""Writes a board's pin assignments for an open-source place-and-route flow: a .pcf file of
`set_io NET PIN` lines (one per board net that an instance uses and an FPGA pin with a
location carries) and a CSV table with every instance port and the FPGA pins wired to it.

    PYTHONPATH=build/python python3 examples/pin_constraints.py boards/northwind_dk2.qbd \
        --pcf build/dk2.pcf --csv build/dk2.csv [--instance uart_0 ...]

A generic template is expanded first, as the board model always sees it. Nets whose name
holds blanks cannot be written to a .pcf; they are listed as comments instead.
"""
import argparse
import csv
import sys

import qbd

CSV_COLUMNS = ["instance", "port", "role", "net", "fpga_block", "pin", "location",
               "constraints"]


def chosen_instances(board, names):
    if not names:
        return board.instances
    found = []
    for name in names:
        inst = board.instance(name)
        if inst is None:
            raise SystemExit(f"error: no instance named {name!r}")
        found.append(inst)
    return found


def pcf_lines(board, instances, source):
    lines = [f"# Pin assignments from {source}"]
    seen = set()
    for inst in instances:
        for port in inst.ports:
            for pin in port.pins:
                if pin.location is None or port.net.lower() in seen:
                    continue
                seen.add(port.net.lower())
                if any(c.isspace() for c in port.net):
                    lines.append(f"# {inst.name}.{port.name}: net {port.net!r} has blanks")
                    continue
                lines.append(f"set_io {port.net} {pin.location}")
    return lines


def csv_rows(instances):
    for inst in instances:
        for port in inst.ports:
            for pin in port.pins or [None]:
                yield {"instance": inst.name, "port": port.name, "role": port.role or "",
                       "net": port.net or "",
                       "fpga_block": pin.block.name if pin else "",
                       "pin": pin.name if pin else "",
                       "location": (pin.location or "") if pin else "",
                       "constraints": ";".join(pin.constraints) if pin else ""}


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("board")
    parser.add_argument("--pcf", help="the .pcf file to write (standard output by default)")
    parser.add_argument("--csv", help="the CSV pin table to write")
    parser.add_argument("--instance", action="append", default=[],
                        help="only this instance (repeatable); all instances by default")
    args = parser.parse_args(argv)
    try:
        board = qbd.read(args.board, expand=True)
    except qbd.ReadError as e:
        print(e, file=sys.stderr)
        return 1
    instances = chosen_instances(board, args.instance)
    text = "\n".join(pcf_lines(board, instances, args.board)) + "\n"
    if args.pcf:
        with open(args.pcf, "w", encoding="utf-8", errors="surrogateescape") as out:
            out.write(text)
    else:
        sys.stdout.write(text)
    if args.csv:
        with open(args.csv, "w", newline="", encoding="utf-8", errors="surrogateescape") as out:
            writer = csv.DictWriter(out, fieldnames=CSV_COLUMNS)
            writer.writeheader()
            writer.writerows(csv_rows(instances))
    return 0


if __name__ == "__main__":
    sys.exit(main())
