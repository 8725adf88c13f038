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


def described(lines, i, rest):
    """The description of the help line `i` whose text after its name is `rest`: the text
    past the column gap, or the next line when an "Excludes:" note fills this one."""
    parts = re.split(r"\s{2,}", rest.rstrip(), maxsplit=1)
    if len(parts) == 2:
        return parts[1]
    return lines[i + 1].strip() if i + 1 < len(lines) and lines[i + 1].startswith("    ") else ""


def choices(description):
    """The fixed values an option's description lists ("ucf (default), xdc or json"); empty
    when it lists none."""
    text = description.replace(" (default)", "")
    if not re.fullmatch(r"[a-z0-9]+((, | or )[a-z0-9]+)+", text):
        return []
    return re.split(r", | or ", text)


def value_kind(word, description):
    """What the value of option `word` is: "file", "family", "iotype", "choice" or ""."""
    if word in ("--family", "--iotype"):
        return word[2:]
    if choices(description):
        return "choice"
    # Only a description that says the value is a file makes it one: "FILE" in a description
    # may name the command's own arguments.
    return "file" if re.search(r"^A file\b|\bthis file\b", description) else ""


def positional_kind(name, description):
    """What a positional argument is: "board" (a .qbd file), "file", "iotype" or ""."""
    if name == "IOTYPE":
        return "iotype"
    if "importable" in description or name == "FILE" and "Board" not in description:
        return "file"
    return "board" if "Board" in description else ""


def options(help_text):
    """The options of a help text as (word, takes a value, repeatable, description) for each
    of -o, --output, --json ..., and its positionals as (name, repeatable, kind)."""
    opts, positionals = [], []
    lines = help_text.splitlines()
    section = ""
    for i, line in enumerate(lines):
        if re.match(r"^\w+:$", line):
            section = line
            continue
        if section == "Positionals:":
            m = re.match(r"^  ([A-Z][A-Z_]*) [A-Z]+( \.\.\.)?(.*)$", line)
            if m:
                positionals.append((m.group(1), bool(m.group(2)),
                                    positional_kind(m.group(1), described(lines, i, m.group(3)))))
            continue
        # The value's name is a whole word: "--strict Excludes: --lenient" takes none.
        m = re.match(r"^  (-[-\w,]+)( [A-Z]+(?= |$))?( \.\.\.)?(.*)$", line)
        if not m:
            continue
        description = described(lines, i, m.group(4))
        for word in m.group(1).split(","):
            opts.append((word, bool(m.group(2)), bool(m.group(3)), description))
    return opts, positionals


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
    cases, values, files = [], [], []
    for name, _ in cmds:
        opts, positionals = options(help_of(qbd, name))
        words = " ".join(w for w, *_ in opts)
        valued = " ".join(w for w, v, *_ in opts if v)
        first = positionals[0][2] if positionals else ""
        cases.append(f"    {name})\n      opts='{words}'; valued=' {valued} '; args={first} ;;")
        for word, _, _, description in opts:
            kind = value_kind(word, description)
            if kind == "choice":
                values.append(f"      '{name} {word}') COMPREPLY=($(compgen -W "
                              f"'{' '.join(choices(description))}' -- \"$cur\")) ;;")
            elif kind == "file":
                pattern = f"*' {word}'" if word in ("-o", "--output") else f"'{name} {word}'"
                files += [] if pattern in files else [pattern]
    return f"""# bash completion of qbd, made from its help text.
_qbd() {{
  local cur prev cmd opts valued args
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
    case "$cmd $prev" in
{chr(10).join(values)}
      {'|'.join(files)}) COMPREPLY=($(compgen -f -- "$cur")) ;;
      *' --family') COMPREPLY=($(compgen -W "$(qbd families 2>/dev/null)" -- "$cur")) ;;
      *' --iotype') args=iotype ;;
      *) return ;;
    esac
    [ "$args" = iotype ] || return
  fi
  if [[ "$cur" == -* ]]; then
    COMPREPLY=($(compgen -W "$opts" -- "$cur"))
  elif [ "$args" = iotype ]; then
    COMPREPLY=($(compgen -W "$(qbd iotypes 2>/dev/null | awk 'NR > 1 {{print $1}}')" -- "$cur"))
  elif [ "$args" = board ]; then
    COMPREPLY=($(compgen -f -X '!*.qbd' -- "$cur") $(compgen -d -- "$cur"))
  elif [ "$args" = file ]; then
    COMPREPLY=($(compgen -f -- "$cur"))
  fi
}}
complete -o filenames -F _qbd qbd
"""


def zsh_escaped(text):
    """`text` as a description or message of _arguments, whose [ ] : are its own syntax."""
    return re.sub(r"([\\\[\]:])", r"\\\1", text)


def zsh_quoted(text):
    """`text` inside single quotes of a zsh script."""
    return "'" + text.replace("'", "'\\''") + "'"


ZSH_VALUE = {"file": "_files", "family": "_qbd_families", "iotype": "_qbd_iotypes", "": " "}
ZSH_POSITIONAL = {"board": "_files -g '*.qbd(-.)'", "file": "_files", "iotype": "_qbd_iotypes",
                  "": " "}


def zsh_arguments(opts, positionals):
    """The _arguments definitions of one command's options and positionals, quoted."""
    definitions = []
    for word, valued, repeatable, description in opts:
        definition = ("*" if repeatable else "") + word + "[" + zsh_escaped(description) + "]"
        if valued:
            kind = value_kind(word, description)
            action = ("(" + " ".join(choices(description)) + ")" if kind == "choice"
                      else ZSH_VALUE[kind])
            definition += ":" + (kind or word.lstrip("-")) + ":" + action
        definitions.append(definition)
    for number, (name, repeatable, kind) in enumerate(positionals, 1):
        position = "*" if repeatable else str(number)
        definitions.append(position + ":" + name.lower() + ":" + ZSH_POSITIONAL[kind])
    return " ".join(zsh_quoted(s) for s in definitions)


def zsh_completion(qbd, cmds):
    described = " ".join(zsh_quoted(n + ":" + s.replace(":", "\\:")) for n, s in cmds)
    cases = []
    for name, _ in cmds:
        opts, positionals = options(help_of(qbd, name))
        cases.append(f"    {name}) _arguments {zsh_arguments(opts, positionals)} ;;")
    return f"""#compdef qbd
# zsh completion of qbd, made from its help text.
_qbd_families() {{
  local -a families
  families=(${{(f)"$(_call_program families qbd families 2>/dev/null)"}})
  _wanted families expl 'FPGA family' compadd -a families
}}

_qbd_iotypes() {{
  local -a iotypes
  iotypes=(${{${{(f)"$(_call_program iotypes qbd iotypes 2>/dev/null)"}}[2,-1]%% *}})
  _wanted iotypes expl 'IO type' compadd -a iotypes
}}

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
