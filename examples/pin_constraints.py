#!/usr/bin/env python3
"""Writes a board's pin assignments for an open-source place-and-route flow: a .pcf file of
`set_io NET PIN` lines (one per board net that an instance uses and an FPGA pin with a
location carries) and a CSV table with every instance port and the FPGA pins wired to it.

    PYTHONPATH=build/python python3 examples/pin_constraints.py boards/northwind_dk2.qbd \
        --pcf build/dk2.pcf --csv build/dk2.csv [--instance uart_0 ...]

A generic template is expanded first, as the board model always sees it. A .pcf name or
location is a bare word (the reader splits at blanks and cuts at "#", with no quoting): a net or
location that is not one is listed as a comment instead. Board text in comments is spelled out
as qbd spells it (line feeds as \\n, other controls as \\xNN, U+0085, U+2028 and U+2029 as
\\uXXXX, bytes that are not UTF-8 as \\xNN), so that it never ends the comment's line.
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


def spelled(text):
    """Text on one line, as qbd writes board text into comments and tables."""
    out = []
    for c in text:
        code = ord(c)
        if c == "\n":
            out.append("\\n")
        elif c == "\t":
            out.append("\\t")
        elif code < 0x20 or code == 0x7F:
            out.append(f"\\x{code:02x}")
        elif 0x80 <= code <= 0x9F or code in (0x2028, 0x2029):
            out.append(f"\\u{code:04x}")
        elif 0xDC80 <= code <= 0xDCFF:  # a byte that is not UTF-8, as surrogate escapes hold it
            out.append(f"\\x{code - 0xDC00:02x}")
        else:
            out.append(c)
    return "".join(out)


def is_word(text):
    """True when the .pcf reader reads the text back as one word: printable, no blank, no #."""
    return bool(text) and text.isprintable() and not any(c.isspace() or c == "#" for c in text)


def pcf_lines(board, instances, source):
    lines = [f"# Pin assignments from {spelled(source)}"]
    seen = set()
    for inst in instances:
        for port in inst.ports:
            for pin in port.pins:
                if pin.location is None or port.net.lower() in seen:
                    continue
                seen.add(port.net.lower())
                where = f"# {spelled(inst.name)}.{spelled(port.name)}:"
                if not is_word(port.net):
                    lines.append(f"{where} net {spelled(port.net)} is not a .pcf name")
                elif not is_word(pin.location):
                    lines.append(f"{where} location {spelled(pin.location)} is not a .pcf word")
                else:
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
