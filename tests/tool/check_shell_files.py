#!/usr/bin/env python3
"""The manual pages and the bash completion made from the help text: the page of qbd has a
section for every command, both pages format without a warning, and the completion answers
with commands, options and the families the library knows.

    check_shell_files.py QBD DIR"""
import os
import re
import shutil
import subprocess
import sys

failures = []


def complete(script, words):
    """The words bash completion offers for the command line `words` (the last one being
    completed)."""
    line = " ".join(words)
    program = (f"source {script}\nCOMP_WORDS=({line})\nCOMP_CWORD={len(words) - 1}\n"
               "_qbd\nprintf '%s\\n' \"${COMPREPLY[@]}\"\n")
    if words[-1] == "":
        program = program.replace(f"COMP_WORDS=({line})", f"COMP_WORDS=({line} '')")
    out = subprocess.run(["bash", "-c", program], capture_output=True, text=True,
                         env={**os.environ, "PATH": os.path.dirname(QBD) + ":" + os.environ["PATH"]})
    return set(out.stdout.split())


def main():
    global QBD
    QBD, folder = sys.argv[1:3]
    help_text = subprocess.run([QBD, "--help"], capture_output=True, text=True).stdout
    commands = re.findall(r"^  ([a-z][a-z-]*)\s", help_text.split("Subcommands:")[1], re.M)
    with open(os.path.join(folder, "qbd.1")) as f:
        page = f.read()
    for name in commands:
        if f".SS {name}\n" not in page:
            failures.append(f"qbd.1 has no section for {name}")
    if shutil.which("groff"):
        for name in ("qbd.1", "qbdsh.1"):
            out = subprocess.run(["groff", "-man", "-Tutf8", "-ww", "-z",
                                  os.path.join(folder, name)], capture_output=True, text=True)
            if out.stderr:
                failures.append(f"{name}: {out.stderr.strip()}")
    script = os.path.join(folder, "qbd.bash")
    cases = [
        (["qbd", "cl"], {"clocks"}),
        (["qbd", "set-part", "--f"], {"--family", "--force"}),
        (["qbd", "lint", "--w"], {"--werror"}),
        (["qbd", "set-part", "b.qbd", "--family", "ket"], {"ketral2p", "ketral3", "ketral4"}),
        (["qbd", "blocks", "b.qbd", "--iotype", "QOR_DD"], {"QOR_DDR_V1", "QOR_DDR2_V1"}),
        (["qbd", "roles", "-"], {"-h", "--help", "--json", "-o", "--output", "--force"}),
    ]
    for words, expected in cases:
        got = complete(script, words)
        if got != expected:
            failures.append(f"completing {' '.join(words)!r}: {sorted(got)}, expected {sorted(expected)}")
    offered = complete(script, ["qbd", ""])
    if not set(commands) <= offered:
        failures.append(f"the first word does not offer {sorted(set(commands) - offered)}")
    for f in failures:
        print(f, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
