"""The documented raises hold at the edges: a NUL in a string argument is ValueError, names
that are not UTF-8 work, find_clock past 32 bits is ValueError, Board.write replaces its file
only when complete and keeps a write-protected file unless forced, and running out of memory
is MemoryError, never an abort."""
import os
import resource
import subprocess
import sys

import pytest

import qbd

MINI = "tests/tool/boards/mini.qbd"


@pytest.fixture(scope="module")
def board():
    return qbd.read(MINI)


@pytest.mark.parametrize("call", [
    lambda b: qbd.read(MINI + "\0x"),
    lambda b: qbd.read(os.fsencode(MINI) + b"\0x"),
    lambda b: b.instance("CLK_0\0x"),
    lambda b: b.instances_of("QOR_CLOCK_V1\0x"),
    lambda b: b.port_tables_of("QOR_CLOCK_V1\0"),
    lambda b: b.write("out\0.qbd"),
    lambda b: b.lint("name\0x"),
    lambda b: qbd.loads("ATTRIBUTE NAME = a\n", "src\0x"),
], ids=["read", "read-bytes", "instance", "instances_of", "port_tables_of", "write", "lint",
        "loads-name"])
def test_a_nul_in_a_string_argument_is_a_value_error(board, call):
    with pytest.raises(ValueError, match="null"):
        call(board)


def test_a_nul_in_a_parameter_name_is_a_value_error(board):
    inst = board.instances[0]
    with pytest.raises(ValueError):
        inst.parameter_value("C_X\0y")


def test_a_nul_in_a_part_name_is_a_value_error():
    template = qbd.read("tests/tool/boards/template.qbd", expand=True)
    with pytest.raises(ValueError):
        template.fpga.device = "a\0b"


@pytest.mark.parametrize("name", [b"b\xffoard.qbd", "b\udcffoard.qbd"], ids=["bytes", "str"])
def test_file_names_that_are_not_utf8_read_and_write(tmp_path, name):
    path = os.path.join(os.fsencode(tmp_path), os.fsencode(name))
    with open(path, "wb") as f, open(MINI, "rb") as source:
        f.write(source.read())
    board = qbd.read(os.fsdecode(path) if isinstance(name, str) else path)
    assert board.dumps() == qbd.read(MINI).dumps()
    out = path + b".out"
    board.write(out)
    assert qbd.read(out).dumps() == board.dumps()


@pytest.mark.parametrize("hz", [2 ** 32, 2 ** 64, 10 ** 40, -1, -(2 ** 70)])
def test_find_clock_outside_32_bits_is_a_value_error(board, hz):
    with pytest.raises(ValueError):
        board.find_clock(hz)


def test_write_over_its_own_file_under_a_size_limit_keeps_it(tmp_path):
    # In a child, so that the limit and SIGXFSZ stay there.
    target = tmp_path / "own.qbd"
    target.write_bytes(open("boards/northwind_dk2.qbd", "rb").read())
    before = target.read_bytes()
    script = (
        "import resource, signal, sys, qbd\n"
        "signal.signal(signal.SIGXFSZ, signal.SIG_IGN)\n"
        f"b = qbd.read({str(target)!r})\n"
        "resource.setrlimit(resource.RLIMIT_FSIZE, (4096, resource.RLIM_INFINITY))\n"
        "try:\n"
        f"    b.write({str(target)!r})\n"
        "except OSError as e:\n"
        "    print('OSError', e.errno)\n")
    proc = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True)
    assert proc.returncode == 0, proc.stderr
    assert proc.stdout.startswith("OSError")
    assert target.read_bytes() == before
    assert [p.name for p in tmp_path.iterdir()] == ["own.qbd"]


def test_write_keeps_links_and_permissions_but_not_set_id_bits(tmp_path, board):
    target = tmp_path / "t.qbd"
    target.write_text("old\n")
    os.chmod(target, 0o6750)
    link = tmp_path / "link.qbd"
    link.symlink_to("t.qbd")
    board.write(link)
    assert link.is_symlink()
    assert target.read_text() == board.dumps()
    assert oct(target.stat().st_mode & 0o7777) == oct(0o750)


def test_write_into_a_fifo_feeds_its_reader(tmp_path, board):
    fifo = tmp_path / "p.qbd"
    os.mkfifo(fifo)
    reader = subprocess.Popen(["cat", str(fifo)], stdout=subprocess.PIPE)
    board.write(fifo)
    out, _ = reader.communicate(timeout=20)
    assert out.decode("utf-8", "surrogateescape") == board.dumps()
    assert fifo.is_fifo()


def test_write_refuses_a_write_protected_file_unless_forced(tmp_path, board):
    target = tmp_path / "ro.qbd"
    target.write_text("old\n")
    os.chmod(target, 0o444)
    with pytest.raises(PermissionError, match="force=True") as raised:
        board.write(target)
    assert raised.value.filename == target
    assert target.read_text() == "old\n"
    board.write(target, force=True)
    assert target.read_text() == board.dumps()
    assert oct(target.stat().st_mode & 0o7777) == oct(0o444)
    assert [p.name for p in tmp_path.iterdir()] == ["ro.qbd"]


def test_write_to_a_missing_folder_is_an_os_error(tmp_path, board):
    with pytest.raises(FileNotFoundError):
        board.write(tmp_path / "no" / "such.qbd")


def limited_to(size):
    return lambda: resource.setrlimit(resource.RLIMIT_AS, (size, size))


@pytest.mark.skipif("asan" in os.environ.get("LD_PRELOAD", ""),
                    reason="the sanitizer reserves more address space than any limit here")
def test_running_out_of_memory_is_a_memory_error_never_an_abort(tmp_path):
    board = tmp_path / "big.qbd"
    block = "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = b\n" + "  PORT P = n, IO_IS = io\n" * 1000 + "END\n"
    board.write_text("ATTRIBUTE NAME = Big\n" + block * 100)
    # The interpreter's own cost with the module loaded, then limits a little past it, set
    # before the interpreter starts (as `ulimit -v` does), so that reading the 2.5 MB board
    # runs out at different points of the read.
    start = subprocess.run([sys.executable, "-c", "import qbd\n"
                            "print([l.split()[1] for l in open('/proc/self/status')\n"
                            "       if l.startswith('VmSize:')][0])"],
                           capture_output=True, text=True)
    base = int(start.stdout) * 1024
    script = ("import qbd\n"
              "try:\n"
              f"    qbd.read({str(board)!r}).port_tables_of('x')\n"
              "    print('read')\n"
              "except MemoryError:\n"
              "    print('MemoryError')\n")
    seen = set()
    for extra in (1, 3, 6, 24):
        proc = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                              preexec_fn=limited_to(base + (extra << 20)), timeout=60)
        assert proc.returncode == 0, (extra, proc.returncode, proc.stderr[-500:])
        seen.add(proc.stdout.strip())
    assert "MemoryError" in seen
