"""The exceptions and plain records of the qbd package."""
from typing import List, NamedTuple, Tuple


class Error(Exception):
    """Every error the qbd package raises on purpose."""


class ErrorRecord(NamedTuple):
    """One error of a board that did not read."""
    file: str
    line: int
    column: int
    code: str
    message: str


class ReadError(Error):
    """A board that does not read. str(error) is the reader's text, one error per line;
    `errors` holds the same errors as records."""

    def __init__(self, text: str, errors: List[ErrorRecord]):
        super().__init__(text)
        self.text = text
        self.errors = list(errors)


class TemplateError(Error):
    """A question that needs the board model, asked of a generic template before expand()."""


class ExportError(Error):
    """A constraint file or top-level module that cannot be written: a check of the pin table
    failed, a name cannot be written, or (strict) the format cannot state a setting.
    `problems` holds (port, message) pairs; the port is empty for the whole board."""

    def __init__(self, text: str, problems: List[Tuple[str, str]]):
        super().__init__(text)
        self.problems = list(problems)


class ClockRange(NamedTuple):
    """A frequency range of a clock instance; step 0 admits every frequency of the range."""
    instance: str
    min: int
    max: int
    step: int


class FlashMemory(NamedTuple):
    """A flash memory: the instance and the role (IO_IS) of its parameter."""
    instance: str
    role: str


class Finding(NamedTuple):
    """A lint finding."""
    file: str
    line: int
    column: int
    severity: str
    code: str
    message: str


class Guess(NamedTuple):
    """One guess of an imported draft, or a fact of the input to check (see docs/qbd.md)."""
    kind: str
    instance: str
    port: str
    file: str
    line: int
    message: str


class Change(NamedTuple):
    """One difference between two boards (qbd.diff): subject is "pin", "instance", "port",
    "parameter", "attribute" or "clock"; change is "added", "removed", "moved", "renamed" or
    "changed"."""
    subject: str
    change: str
    name: str
    field: str
    before: str
    after: str
