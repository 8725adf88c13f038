"""Board-description files (.qbd) from Python: every question of the board model.

    import qbd
    board = qbd.read("boards/northwind_dk2.qbd")
    for uart in board.instances_of("QOR_UART_V1"):
        print(uart.name, [p.net for p in uart.ports])
"""
import os as _os
import sys as _sys

from ._records import (ClockRange, Error, ErrorRecord, ExportError, Finding, FlashMemory,
                       ReadError, TemplateError)
from ._qbd import Board, Fpga, Instance, Parameter, Pin, Port, __version__
from . import _qbd

__all__ = ["read", "loads", "Board", "Fpga", "Instance", "Parameter", "Pin", "Port", "Error",
           "ReadError", "TemplateError", "ExportError", "ErrorRecord", "ClockRange",
           "FlashMemory", "Finding", "__version__"]


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
