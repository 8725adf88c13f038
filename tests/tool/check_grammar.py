#!/usr/bin/env python3
"""Checks the TextMate grammar of .qbd files against real boards.

Every regular expression of the grammar must compile, and on each board every statement line
must be recognised: BEGIN BLOCK / END by the block rule, ATTRIBUTE / PARAMETER / PORT by the
statement rule with the statement's name captured as written, a comment line by the comment
rule, and every `, NAME =` sub-property by the sub-property rule.
"""
import json
import re
import sys

GRAMMAR = "editors/vscode/syntaxes/qbd.tmLanguage.json"
BOARDS = ["editors/linguist/samples/qbd/harbor_hb1.qbd", "boards/northwind_dk2.qbd",
          "boards/generic_template.qbd", "tests/tool/lsp/session.qbd"]


def expressions(node, found):
    if isinstance(node, dict):
        for key, value in node.items():
            if key in ("match", "begin", "end") and isinstance(value, str):
                found.append(value)
            else:
                expressions(value, found)
    elif isinstance(node, list):
        for item in node:
            expressions(item, found)
    return found


def main():
    failures = []
    with open(GRAMMAR, encoding="utf-8") as f:
        grammar = json.load(f)
    for expr in expressions(grammar, []):
        try:
            re.compile(expr)
        except re.error as e:
            failures.append(f"does not compile: {expr!r}: {e}")
    repo = grammar["repository"]
    block = [re.compile(p["match"]) for p in repo["block"]["patterns"]]
    statement = re.compile(repo["statement"]["match"])
    comment = re.compile(repo["comment"]["match"])
    sub = re.compile(repo["subProperty"]["patterns"][0]["match"])
    checked = 0
    for board in BOARDS:
        with open(board, encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                where = f"{board}:{number}"
                words = line.split()
                if not words:
                    continue
                first = words[0].upper()
                if first.startswith("#"):
                    ok = comment.search(line) and comment.search(line).start() == line.index("#")
                elif first in ("BEGIN", "END"):
                    ok = any(p.match(line) for p in block)
                elif first in ("ATTRIBUTE", "PARAMETER", "PORT"):
                    m = statement.match(line)
                    name = line.split(None, 1)[1].split("=", 1)[0].strip()
                    ok = m is not None and m.group(2) == name
                    for sub_name in re.findall(r",\s*([A-Za-z_]\w*)\s*=", line.split("(")[0]):
                        ok = ok and any(s.group(1) == sub_name for s in sub.finditer(line))
                else:
                    continue  # a continuation line
                checked += 1
                if not ok:
                    failures.append(f"{where}: not recognised: {line.rstrip()}")
    if checked < 100:
        failures.append(f"only {checked} lines checked")
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
