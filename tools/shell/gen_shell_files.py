#!/usr/bin/env python3
"""Writes the manual pages of qbd and qbdsh and the bash and zsh completion of qbd from the
programs' own help text, so that none of them can drift from the programs.

    gen_shell_files.py QBD QBDSH VERSION OUTDIR

writes OUTDIR/qbd.1, OUTDIR/qbdsh.1, OUTDIR/qbd.bash and OUTDIR/_qbd."""
import os
import re
import subprocess
import sys


def help_of(program, *args):
    return subprocess.run([program, *args, "--help"], capture_output=True, text=True,
                          check=True).stdout


def commands(qbd):
    """[(name, summary)] in the order `qbd --help` lists them."""
    text = help_of(qbd).split("Subcommands:", 1)[1]
    return re.findall(r"^  ([a-z][a-z-]*)\s+(.*)$", text, re.M)


def options(help_text):
    """Every option word of a help text (-o, --output, --json ...) and whether each takes a
    value, and whether the command takes files as positionals."""
    found = []
    for line in help_text.splitlines():
        m = re.match(r"^  (-[-\w,]+)( [A-Z]+)?", line)
        if not m:
            continue
        for word in m.group(1).split(","):
            found.append((word, bool(m.group(2))))
    takes_files = bool(re.search(r"^  (BOARD|FILE|TEMPLATE)\b", help_text, re.M))
    return found, takes_files


def roff(text):
    """Text safe in a roff line: backslashes doubled, a leading dot or quote protected."""
    text = text.replace("\\", "\\e")
    return "\\&" + text if text[:1] in (".", "'") else text


def preformatted(text):
    return ".nf\n" + "\n".join(roff(l) for l in text.rstrip("\n").splitlines()) + "\n.fi\n"


def qbd_manual(qbd, version, cmds):
    top = help_of(qbd)
    parts = [f'.TH QBD 1 "" "qbd {version}" "User Commands"\n',
             ".SH NAME\nqbd \\- query, check and draw board-description (.qbd) files\n",
             ".SH SYNOPSIS\n.B qbd\n.I COMMAND\n[\\fIBOARD\\fR] [\\fIARGUMENTS\\fR] "
             "[\\fB\\-\\-json\\fR] [\\fB\\-o\\fR \\fIFILE\\fR]\n.br\n.B qbd\n.I COMMAND\n"
             "\\fB\\-\\-help\\fR\n.br\n.B qbd \\-\\-version\n",
             ".SH DESCRIPTION\n" + roff(top.splitlines()[0]) + "\n"
             "A BOARD of \\fB\\-\\fR is read from standard input. Every command takes "
             "\\fB\\-\\-json\\fR and \\fB\\-o\\fR \\fIFILE\\fR; the JSON of each command is "
             "described by a JSON Schema (docs/schema/COMMAND.schema.json).\n",
             ".SH COMMANDS\n"]
    for name, _ in cmds:
        parts.append(f".SS {name}\n" + preformatted(help_of(qbd, name)))
    parts.append(".SH EXIT STATUS\n0 success; 1 the command failed (its message says "
                 "\\fBerror:\\fR); 2 wrong usage.\n")
    parts.append(".SH SEE ALSO\n.BR qbdsh (1)\n")
    return "".join(parts)


def qbdsh_manual(qbdsh, version):
    text = subprocess.run([qbdsh, "--help"], capture_output=True, text=True, check=True).stdout
    return (f'.TH QBDSH 1 "" "qbdsh {version}" "User Commands"\n'
            ".SH NAME\nqbdsh \\- a Tcl shell with the board commands of qbd\n"
            ".SH SYNOPSIS\n.B qbdsh\n[\\fB\\-\\-help\\fR | \\fB\\-\\-version\\fR] [\\fB\\-\\-\\fR] "
            "[\\fISCRIPT\\fR [\\fIARG\\fR...]]\n"
            ".SH DESCRIPTION\n" + preformatted(text) +
            ".SH SEE ALSO\n.BR qbd (1), tclsh (1)\n")


def bash_completion(qbd, cmds):
    names = " ".join(n for n, _ in cmds)
    cases = []
    for name, _ in cmds:
        opts, files = options(help_of(qbd, name))
        words = " ".join(w for w, _ in opts)
        valued = " ".join(w for w, v in opts if v)
        cases.append(f"    {name})\n      opts='{words}'; valued=' {valued} '; files={int(files)} ;;")
    return f"""# bash completion of qbd, made from its help text.
_qbd() {{
  local cur prev cmd opts valued files
  cur=${{COMP_WORDS[COMP_CWORD]}}
  prev=${{COMP_WORDS[COMP_CWORD-1]}}
  if [ "$COMP_CWORD" -eq 1 ]; then
    COMPREPLY=($(compgen -W '{names} --help --version' -- "$cur"))
    return
  fi
  cmd=${{COMP_WORDS[1]}}
  case $cmd in
{chr(10).join(cases)}
    *) return ;;
  esac
  if [[ "$valued" == *" $prev "* ]]; then
    case $prev in
      -o|--output) COMPREPLY=($(compgen -f -- "$cur")) ;;
      --family) COMPREPLY=($(compgen -W "$(qbd families 2>/dev/null)" -- "$cur")) ;;
      --iotype) COMPREPLY=($(compgen -W "$(qbd iotypes 2>/dev/null | awk 'NR > 1 {{print $1}}')" -- "$cur")) ;;
    esac
    return
  fi
  if [[ "$cur" == -* ]]; then
    COMPREPLY=($(compgen -W "$opts" -- "$cur"))
  elif [ "$files" = 1 ]; then
    COMPREPLY=($(compgen -f -X '!*.qbd' -- "$cur") $(compgen -d -- "$cur"))
  fi
}}
complete -o filenames -F _qbd qbd
"""


def zsh_completion(qbd, cmds):
    described = " ".join("'" + n + ":" + s.replace("'", "'\\''").replace(":", "\\:") + "'"
                         for n, s in cmds)
    cases = []
    for name, _ in cmds:
        opts, files = options(help_of(qbd, name))
        arguments = []
        for word, valued in opts:
            if word in ("-o", "--output"):
                arguments.append(f"'{word}[output file]:file:_files'")
            elif valued:
                arguments.append(f"'{word}[{word.lstrip('-')}]:value:'")
            else:
                arguments.append(f"'{word}'")
        if files:
            arguments.append("'*:board:_files -g \"*.qbd\"'")
        cases.append(f"    {name}) _arguments {' '.join(arguments)} ;;")
    return f"""#compdef qbd
# zsh completion of qbd, made from its help text.
_qbd() {{
  local -a commands
  commands=({described})
  if (( CURRENT == 2 )); then
    _describe 'command' commands
    return
  fi
  local cmd=$words[2]
  shift words
  (( CURRENT-- ))
  case $cmd in
{chr(10).join(cases)}
  esac
}}
_qbd "$@"
"""


def main():
    qbd, qbdsh, version, out = sys.argv[1:5]
    cmds = commands(qbd)
    files = {"qbd.1": qbd_manual(qbd, version, cmds), "qbdsh.1": qbdsh_manual(qbdsh, version),
             "qbd.bash": bash_completion(qbd, cmds), "_qbd": zsh_completion(qbd, cmds)}
    os.makedirs(out, exist_ok=True)
    for name, text in files.items():
        with open(os.path.join(out, name), "w") as f:
            f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
