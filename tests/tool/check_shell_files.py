#!/usr/bin/env python3
"""The manual pages and the shell completion made from the help text: the page of qbd has a
section for every command, both pages format without a warning, and the completion answers
with commands, options, option values, IO types, families and files.

    check_shell_files.py QBD DIR          the manual pages and the bash completion
    check_shell_files.py QBD DIR --zsh    the zsh completion, in a real zsh (exit 77: no zsh)

Both shells answer the same table of command lines, typed in a scratch folder holding a board,
a text file and a subfolder."""
import os
import pty
import re
import select
import shutil
import subprocess
import sys
import tempfile

failures = []

# (the words typed, the last one being completed; the words offered)
CASES = [
    (["qbd", "cl"], {"clocks"}),
    (["qbd", "set-part", "--f"], {"--family", "--force"}),
    (["qbd", "lint", "--w"], {"--werror"}),
    (["qbd", "constraints", "--f"], {"--format", "--force"}),
    (["qbd", "constraints", "b.qbd", "--format", "c"], {"cst", "ccf", "csv"}),
    (["qbd", "top", "b.qbd", "--hdl", ""], {"verilog", "vhdl"}),
    (["qbd", "import", "--format", "n"], {"net"}),
    (["qbd", "set-part", "b.qbd", "--family", "ket"], {"ketral2p", "ketral3", "ketral4"}),
    (["qbd", "blocks", "b.qbd", "--iotype", "QOR_DD"], {"QOR_DDR_V1", "QOR_DDR2_V1"}),
    (["qbd", "roles", "QOR_CL"], {"QOR_CLOCK_V1"}),
    (["qbd", "roles", "-"], {"-h", "--help", "--json", "-o", "--output", "--force"}),
    # A board goes here: the .qbd files and the folders, not the text file.
    (["qbd", "info", ""], {"a.qbd", "sub"}),
    # --strict takes no value, so the board still follows it.
    (["qbd", "constraints", "--strict", ""], {"a.qbd", "sub"}),
    # diff reads constraint files too.
    (["qbd", "diff", "a.qbd", ""], {"a.qbd", "notes.txt", "sub"}),
    (["qbd", "info", "-o", "n"], {"notes.txt"}),
]


def scratch_folder():
    folder = tempfile.mkdtemp(prefix="qbd-completion-")
    for name in ("a.qbd", "notes.txt"):
        open(os.path.join(folder, name), "w").close()
    os.mkdir(os.path.join(folder, "sub"))
    return folder


def environment():
    return {**os.environ, "PATH": os.path.dirname(QBD) + ":" + os.environ["PATH"]}


def bash_complete(script, words, cwd):
    """The words bash completion offers for the command line `words`."""
    quoted = " ".join("'" + w + "'" for w in words)
    program = (f"source {script}\nCOMP_WORDS=({quoted})\nCOMP_CWORD={len(words) - 1}\n"
               "_qbd\nprintf '%s\\n' \"${COMPREPLY[@]}\"\n")
    out = subprocess.run(["bash", "-c", program], capture_output=True, text=True, cwd=cwd,
                         env=environment())
    if out.stderr:
        failures.append(f"bash completing {' '.join(words)!r}: {out.stderr.strip()}")
    return set(out.stdout.split())


# Typed into an interactive zsh: completion is loaded from the folder of _qbd, and Tab runs a
# completion widget that prints every word handed to compadd between two markers (built from
# \x01 so that the echo of the typed text never contains them) and then inserts nothing.
ZSH_SETUP = r"""
PS1= RPS1= PS2=
fpath=("$QBD_COMPLETION_DIR" $fpath)
autoload -Uz compinit && compinit -u -D
setopt extendedglob
compadd() {
  local a
  for a in "$@"; do
    [[ $a == (-|--) ]] && break
    [[ $a == -[[:alpha:]]#[OAD]* ]] && { builtin compadd "$@"; return }
  done
  local -a hits
  builtin compadd -O hits "$@"
  print -rl -- ${hits/#/$'\x01'word:}
  builtin compadd "$@"
}
capture() {
  print -r -- $'\x01'begin
  _main_complete
  print -r -- $'\x01'end
  compstate[insert]= compstate[list]=
}
zle -C capture complete-word capture
bindkey '^I' capture
print -r -- $'\x01'ready
"""


class Zsh:
    """An interactive zsh on a pseudo-terminal, completing command lines."""

    def __init__(self, folder, cwd):
        self.fd, child = pty.openpty()
        env = {**environment(), "QBD_COMPLETION_DIR": folder, "TERM": "dumb", "HOME": cwd}
        self.process = subprocess.Popen(["zsh", "-f", "-i"], stdin=child, stdout=child,
                                        stderr=child, cwd=cwd, env=env, start_new_session=True)
        os.close(child)
        os.write(self.fd, ZSH_SETUP.encode())
        self.read_until("\x01ready")

    def read_until(self, marker):
        """The terminal's output up to `marker`; None when zsh stops answering."""
        text = ""
        while marker not in text:
            ready, _, _ = select.select([self.fd], [], [], 20)
            if not ready:
                return None
            try:
                text += os.read(self.fd, 4096).decode(errors="replace")
            except OSError:
                return None
        return text

    def complete(self, words):
        """The words zsh offers for the command line `words`, and any other output (errors)."""
        os.write(self.fd, (" ".join(words) + "\t").encode())
        text = self.read_until("\x01end")
        os.write(self.fd, b"\x15")  # kill the line for the next one
        if text is None or "\x01begin" not in text:
            return set(), "no answer from zsh"
        inside = text.split("\x01begin", 1)[1].split("\x01end", 1)[0]
        offered, other = set(), []
        for line in inside.replace("\r", "").split("\n"):
            if line.startswith("\x01word:"):
                offered.add(line[len("\x01word:"):])
            elif line.strip():
                other.append(line.strip())
        return offered, "; ".join(other)

    def close(self):
        os.write(self.fd, b"exit\n")
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
        os.close(self.fd)


def check_completion(name, complete, commands):
    for words, expected in CASES:
        got = complete(words)
        if got != expected:
            failures.append(f"{name} completing {' '.join(words)!r}: {sorted(got)}, "
                            f"expected {sorted(expected)}")
    offered = complete(["qbd", ""])
    if not set(commands) <= offered:
        failures.append(f"{name}: the first word does not offer {sorted(set(commands) - offered)}")


def check_manual_pages(folder, commands):
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


def check_zsh(folder, commands, cwd):
    zsh = Zsh(folder, cwd)

    def complete(words):
        offered, other = zsh.complete(words)
        if other:
            failures.append(f"zsh completing {' '.join(words)!r} printed: {other}")
        return offered
    try:
        check_completion("zsh", complete, commands)
    finally:
        zsh.close()


def main():
    global QBD
    QBD, folder = (os.path.abspath(a) for a in sys.argv[1:3])
    zsh = sys.argv[3:] == ["--zsh"]
    if zsh and not shutil.which("zsh"):
        print("no zsh: the zsh completion is not tried")
        return 77
    help_text = subprocess.run([QBD, "--help"], capture_output=True, text=True).stdout
    commands = re.findall(r"^  ([a-z][a-z-]*)\s", help_text.split("Subcommands:")[1], re.M)
    cwd = scratch_folder()
    try:
        if zsh:
            check_zsh(folder, commands, cwd)
        else:
            check_manual_pages(folder, commands)
            script = os.path.join(folder, "qbd.bash")
            check_completion("bash", lambda words: bash_complete(script, words, cwd), commands)
    finally:
        shutil.rmtree(cwd)
    for f in failures:
        print(f, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
