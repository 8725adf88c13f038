"""Board-description files (.qbd) from Python: every question of the board model.

    import qbd
    board = qbd.read("boards/northwind_dk2.qbd")
    for uart in board.instances_of("QOR_UART_V1"):
        print(uart.name, [p.net for p in uart.ports])
"""
import os as _os
import sys as _sys

from ._records import (Change, ClockRange, Error, ErrorRecord, ExportError, Finding,
                       FlashMemory, Guess, ReadError, TemplateError)
from ._qbd import Board, Fpga, Instance, Parameter, Pin, Port, __version__
from . import _qbd

__all__ = ["read", "loads", "Board", "Fpga", "Instance", "Parameter", "Pin", "Port", "Error",
           "ReadError", "TemplateError", "ExportError", "ErrorRecord", "ClockRange",
           "FlashMemory", "Finding", "__version__", "import_file", "diff", "Draft", "Guess",
           "Change"]


def read(path, expand=False):
    """Reads a board file, or standard input for "-" (named "<stdin>" in messages). A generic
    template stays as written unless `expand` is true (see Board.expand). Raises ReadError
    when the file does not read."""
    if _os.fsdecode(path) == "-":
        return loads(_sys.stdin.buffer.read(), "<stdin>", expand)
    # As bytes, so that a name that is not UTF-8 (bytes, or str with surrogate escapes) works.
    board = _qbd.read(_os.fsencode(path))
    return board.expand() if expand else board


def loads(text, source_name="<string>", expand=False):
    """Reads board text (str or bytes); `source_name` names it in error messages. Raises
    ReadError when the text does not read."""
    board = _qbd.loads(text, source_name)
    return board.expand() if expand else board


class Draft(tuple):
    """What import_file gives: the draft `board` and the `guesses` to check."""
    __slots__ = ()

    def __new__(cls, board, guesses):
        return tuple.__new__(cls, (board, guesses))

    board = property(lambda self: self[0])
    guesses = property(lambda self: self[1])


def import_file(paths, *, format=None, columns=None, fpga=None, include_commented=False,
                fpga_family=None, device=None, package=None, speed_grade=None, vendor=None,
                name=None, revision=None):
    """Drafts a board from constraint files (xdc, sdc, qsf, pdc, lpf, pcf, cst, ccf, ucf), a
    CSV pin table (.csv) or a schematic netlist (.net, with `fpga` naming the FPGA part), or
    several files of one board; `format` overrides the extension and `columns` names a CSV
    table's columns; `include_commented` reads a master file's commented-out lines. Returns a Draft (board, guesses). Raises ReadError
    with located records when a file does not read, ValueError for a format it cannot read."""
    if isinstance(paths, (str, bytes, _os.PathLike)):
        paths = [paths]
    board, guesses = _qbd.import_file(
        [_os.fsdecode(p) for p in paths], format or "", list(columns or []), fpga or "",
        bool(include_commented), fpga_family or "", device or "", package or "", speed_grade or "", vendor or "",
        name or "", revision or "")
    return Draft(board, guesses)


def _side(board, options):
    """The board of a diff side, and the format it was imported from (None for a board)."""
    if isinstance(board, Board):
        return board, None
    path = _os.fsdecode(board)
    if path.lower().endswith(".qbd"):
        return read(path), None
    fmt = options.get("format") or _os.path.splitext(path)[1][1:].lower()
    return import_file(path, **options).board, fmt


def diff(a, b, *, pins_only=False, **import_options):
    """The changes from a to b, each a Change; empty when they mean the same board. A side is a
    Board, a board file, or a file import_file reads (then only pins are compared, since the
    draft's instances are guesses, and what its format cannot state is left out;
    `import_options` go to import_file)."""
    board_a, format_a = _side(a, import_options)
    board_b, format_b = _side(b, import_options)
    imported = [f for f in (format_a, format_b) if f is not None]
    return _qbd.diff(board_a, board_b, pins_only or bool(imported), imported)
