#!/usr/bin/env python3
"""Checks that qbd loses nothing when it writes: a file it writes (-o of expand, set-part and
diagram) is replaced only by complete new contents, and stays as it was, with no stray file
beside it, when the write fails (a file size limit, a missing folder); writing a board over
its own input under a size limit keeps the input; a failed write to standard output
(/dev/full) exits 1 with a message. A pipe named as a file (/proc/self/fd/1) is written
into, not replaced; a write-protected file is kept unless --force. Also:
empty option values are usage errors, and a FIFO without a writer reads as an empty board (an
error of its own) instead of waiting for ever."""
import os
import resource
import shutil
import stat
import subprocess
import sys
import tempfile

TEMPLATE = "boards/generic_template.qbd"
BOARD = "tests/tool/boards/mini.qbd"
ORIGINAL = "original contents\n"

failures = []


def limit_file_size(size):
    return lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (size, size))


def run(qbd, args, status, limit=None, stdout=subprocess.PIPE, timeout=60):
    proc = subprocess.run([qbd, *args], stdout=stdout, stderr=subprocess.PIPE, text=True,
                          preexec_fn=limit, timeout=timeout)
    if proc.returncode != status:
        failures.append(f"qbd {' '.join(args)}: exit status {proc.returncode}, expected "
                        f"{status}: {proc.stderr.strip()}")
    return proc


def read(path):
    with open(path) as f:
        return f.read()


def check_limited_write(qbd, folder, args, target):
    """Under a file size limit too small for the output, the target keeps its contents."""
    with open(target, "w") as f:
        f.write(ORIGINAL)
    proc = run(qbd, args + ["-o", target], 1, limit_file_size(200))
    if read(target) != ORIGINAL:
        failures.append(f"{' '.join(args)}: the target changed although the write failed")
    if f"cannot write {target}: File too large" not in proc.stderr:
        failures.append(f"{' '.join(args)}: message {proc.stderr.strip()!r} does not name "
                        f"the file and the reason")
    stray = [name for name in os.listdir(folder) if name.startswith(".")]
    if stray:
        failures.append(f"{' '.join(args)}: files left behind: {stray}")


def check_files(qbd, folder):
    expected = run(qbd, ["expand", TEMPLATE], 0).stdout
    target = os.path.join(folder, "out.qbd")
    check_limited_write(qbd, folder, ["expand", TEMPLATE], target)
    check_limited_write(qbd, folder, ["set-part", TEMPLATE, "--family", "ketral2p"], target)
    check_limited_write(qbd, folder, ["diagram", BOARD], os.path.join(folder, "out.dot"))
    os.unlink(os.path.join(folder, "out.dot"))

    # The board written over its own input: a failure keeps the input whole.
    own = os.path.join(folder, "input.qbd")
    shutil.copy(TEMPLATE, own)
    run(qbd, ["expand", own, "-o", own], 1, limit_file_size(200))
    if read(own) != read(TEMPLATE):
        failures.append("expand FILE -o FILE: the input was damaged by a failed write")

    # A write that works replaces the contents and keeps the target's permissions.
    os.chmod(target, 0o640)
    run(qbd, ["expand", TEMPLATE, "-o", target], 0)
    if read(target) != expected:
        failures.append("expand -o: the file differs from what standard output shows")
    if stat.S_IMODE(os.stat(target).st_mode) != 0o640:
        failures.append(f"expand -o: permissions {oct(os.stat(target).st_mode)} not kept")

    # Through a link: the file it points at gets the contents and the link stays a link.
    link = os.path.join(folder, "link.qbd")
    os.symlink("out.qbd", link)
    with open(target, "w") as f:
        f.write(ORIGINAL)
    run(qbd, ["expand", TEMPLATE, "-o", link], 0)
    if not os.path.islink(link) or read(target) != expected:
        failures.append("expand -o LINK: the link was replaced, or its file not written")

    missing = os.path.join(folder, "no", "such", "folder", "out.qbd")
    proc = run(qbd, ["expand", TEMPLATE, "-o", missing], 1)
    if f"cannot write {missing}: No such file or directory" not in proc.stderr:
        failures.append(f"expand -o into a missing folder: {proc.stderr.strip()!r}")


def check_special_targets(qbd, folder):
    """A pipe the program's own standard output is, named as a file, is written into. The
    other kinds of target (FIFOs, terminals, devices, dangling links, set-id files, the longest
    names) are tried one by one by the tests of the library's ReplacingFile, which -o uses."""
    expected = run(qbd, ["diagram", BOARD], 0).stdout
    # A pipe, named through /proc/self/fd/1 and through a link to it, as /dev/stdout is (a
    # link of our own: a program that replaced it must not replace the system's).
    stdout_link = os.path.join(folder, "stdout")
    os.symlink("/proc/self/fd/1", stdout_link)
    for name in ("/proc/self/fd/1", stdout_link):
        proc = run(qbd, ["diagram", BOARD, "-o", name], 0)
        if proc.stdout != expected:
            failures.append(f"diagram -o {name} into a pipe: the output did not arrive")
    if not os.path.islink(stdout_link):
        failures.append("diagram -o LINK-TO-/proc/self/fd/1: the link was replaced")


def check_protected_targets(qbd, folder):
    """A write-protected file is kept, unless --force, with a message that names the option."""
    expected = run(qbd, ["expand", TEMPLATE], 0).stdout
    target = os.path.join(folder, "protected.qbd")
    with open(target, "w") as f:
        f.write(ORIGINAL)
    os.chmod(target, 0o444)
    for args in (["expand", TEMPLATE], ["set-part", TEMPLATE, "--family", "ketral2p"],
                 ["diagram", BOARD]):
        proc = run(qbd, args + ["-o", target], 1)
        if read(target) != ORIGINAL or "write-protected (--force" not in proc.stderr:
            failures.append(f"{args[0]} -o PROTECTED: replaced, or {proc.stderr.strip()!r}")
    run(qbd, ["expand", TEMPLATE, "-o", target, "--force"], 0)
    if read(target) != expected or stat.S_IMODE(os.stat(target).st_mode) != 0o444:
        failures.append("expand -o PROTECTED --force: not replaced, or its mode changed")
    stray = [name for name in os.listdir(folder) if name.startswith(".")]
    if stray:
        failures.append(f"files left behind: {stray}")


def check_standard_output(qbd):
    if not os.path.exists("/dev/full"):
        return
    for args in (["print", BOARD], ["info", BOARD], ["info", BOARD, "--json"],
                 ["constraints", BOARD], ["diagram", BOARD], ["expand", TEMPLATE],
                 ["check", BOARD]):
        with open("/dev/full", "w") as full:
            proc = run(qbd, args, 1, stdout=full)
        if "cannot write standard output: No space left on device" not in proc.stderr:
            failures.append(f"qbd {' '.join(args)} > /dev/full: {proc.stderr.strip()!r}")


def check_empty_options(qbd):
    for args in (["clocks", BOARD, "--find", ""], ["set-part", TEMPLATE, "--family", ""],
                 ["set-part", TEMPLATE, "--family", "ketral2p", "--device", ""],
                 ["expand", TEMPLATE, "-o", ""], ["diagram", BOARD, "--output", ""],
                 ["blocks", BOARD, "--iotype", ""], ["memory", BOARD, "--bus", ""]):
        proc = run(qbd, args, 2)
        if "empty value" not in proc.stderr:
            failures.append(f"qbd {' '.join(args)}: {proc.stderr.strip()!r}")


def check_fifo(qbd, folder):
    fifo = os.path.join(folder, "pipe.qbd")
    os.mkfifo(fifo)
    try:
        proc = run(qbd, ["check", "-q", fifo], 1, timeout=20)
        if "empty board file" not in proc.stderr:
            failures.append(f"check FIFO: {proc.stderr.strip()!r}")
    except subprocess.TimeoutExpired:
        failures.append("check FIFO: still waiting for a writer after 20 s")


def main():
    qbd = sys.argv[1]
    folder = tempfile.mkdtemp()
    try:
        check_files(qbd, folder)
        check_special_targets(qbd, folder)
        check_protected_targets(qbd, folder)
        check_fifo(qbd, folder)
    finally:
        shutil.rmtree(folder)
    check_standard_output(qbd)
    check_empty_options(qbd)
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
