"""What the package promises beyond its behaviour: every public name of the type stub exists at
run time with the kind the stub gives it, and the version is the project's."""
import ast
import os
import subprocess

import qbd
from conftest import program

STUB = os.path.join(os.path.dirname(__file__), "..", "..", "python", "qbd", "__init__.pyi")


def stub_names():
    """The public top-level names of the stub: (name, kind) with kind class, function or value."""
    with open(STUB) as f:
        tree = ast.parse(f.read())
    names = []
    for node in tree.body:
        if isinstance(node, ast.ClassDef):
            names.append((node.name, "class"))
        elif isinstance(node, ast.FunctionDef):
            names.append((node.name, "function"))
        elif isinstance(node, ast.AnnAssign) and isinstance(node.target, ast.Name):
            names.append((node.target.id, "value"))
    return [(n, k) for n, k in names if not n.startswith("_") or n == "__version__"]


def test_every_name_of_the_stub_exists():
    names = stub_names()
    assert ("Pin", "class") in names and ("read", "function") in names
    missing = [n for n, _ in names if not hasattr(qbd, n)]
    assert missing == []
    for name, kind in names:
        value = getattr(qbd, name)
        if kind == "class":
            assert isinstance(value, type), name
        elif kind == "function":
            assert callable(value), name


def test_every_public_name_is_in_all():
    classes = {n for n, k in stub_names() if k in ("class", "function")}
    assert classes <= set(qbd.__all__)


def test_pin_is_the_type_of_fpga_pins():
    board = qbd.read("tests/tool/boards/mini.qbd")
    assert board.fpga_pins and all(isinstance(p, qbd.Pin) for p in board.fpga_pins)


def test_version_is_the_programs():
    out = subprocess.run([program(), "--version"], capture_output=True, text=True,
                         check=True).stdout
    assert out == f"qbd {qbd.__version__}\n"


def test_pyproject_names_the_same_version():
    import tomllib
    with open("pyproject.toml", "rb") as f:
        assert tomllib.load(f)["project"]["version"] == qbd.__version__


def test_every_name_the_python_page_uses_exists():
    import re
    with open("docs/python.md") as f:
        # A link to the program's page, qbd.md, names no member of the package.
        names = set(re.findall(r"\bqbd\.(?!md\b)([A-Za-z_]\w*)\b", f.read()))
    assert {"Pin", "read", "__version__"} <= names
    assert sorted(n for n in names if not hasattr(qbd, n)) == []


def test_dash_reads_standard_input():
    import sys
    script = ("import qbd; b = qbd.read('-'); print(b.fpga.family, len(b.instances))")
    with open("tests/tool/boards/mini.qbd", "rb") as f:
        out = subprocess.run([sys.executable, "-c", script], stdin=f, capture_output=True,
                             text=True)
    assert out.returncode == 0, out.stderr
    assert out.stdout == "ketral4 5\n"
    broken = subprocess.run([sys.executable, "-c", "import qbd; qbd.read('-')"],
                            input=b"BEGIN BLOCK\n", capture_output=True)
    assert b"<stdin>:1:1: error:" in broken.stderr
