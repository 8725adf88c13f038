#!/usr/bin/env python3
"""Drives `qbd lsp` through a scripted editing session and compares its answers.

The session opens tests/tool/lsp/session.qbd, asks for hover, definition, references,
completion, symbols and rename, edits the text (incrementally and whole), half-types a block,
closes the file and shuts down. Beside it: malformed frames and JSON, requests before
initialize, positions outside the text, and a server whose input closes.
"""
import json
import os
import subprocess
import sys

BOARD = "tests/tool/lsp/session.qbd"
URI = "file://" + os.path.abspath(BOARD).replace("%", "%25")


class Server:
    def __init__(self, qbd):
        self.proc = subprocess.Popen([qbd, "lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE)
        self.next_id = 0
        self.notifications = []

    def send_raw(self, data):
        self.proc.stdin.write(data)
        self.proc.stdin.flush()

    def send(self, message):
        body = json.dumps(message).encode()
        self.send_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)

    def receive(self):
        length = None
        while True:
            line = self.proc.stdout.readline()
            if not line:
                raise EOFError("the server closed its output")
            line = line.strip()
            if not line:
                break
            name, _, value = line.partition(b":")
            if name.lower() == b"content-length":
                length = int(value)
        return json.loads(self.proc.stdout.read(length))

    def request(self, method, params=None):
        self.next_id += 1
        self.send({"jsonrpc": "2.0", "id": self.next_id, "method": method, "params": params or {}})
        return self.response(self.next_id)

    def response(self, wanted):
        while True:
            message = self.receive()
            if "method" in message:
                self.notifications.append(message)
            elif message.get("id") == wanted:
                return message

    def notify(self, method, params):
        self.send({"jsonrpc": "2.0", "method": method, "params": params})

    def diagnostics(self):
        """The next diagnostics published (waits for them)."""
        while True:
            for i, n in enumerate(self.notifications):
                if n["method"] == "textDocument/publishDiagnostics":
                    return self.notifications.pop(i)["params"]
            self.notifications.append(self.receive())

    def start(self):
        reply = self.request("initialize", {"processId": None, "rootUri": None, "capabilities": {}})
        self.notify("initialized", {})
        return reply


def utf16_len(text):
    return len(text.encode("utf-16-le")) // 2


def position_of(text, needle, nth=0, offset=0):
    """The protocol position of the nth occurrence of needle (plus offset characters)."""
    at = -1
    for _ in range(nth + 1):
        at = text.index(needle, at + 1)
    at += offset
    line = text.count("\n", 0, at)
    start = text.rfind("\n", 0, at) + 1
    return {"line": line, "character": utf16_len(text[start:at])}


def span_text(text, rng):
    lines = text.split("\n")

    def index(pos):
        line = lines[pos["line"]]
        units = 0
        for i, ch in enumerate(line):
            if units >= pos["character"]:
                return i
            units += utf16_len(ch)
        return len(line)

    start, end = rng["start"], rng["end"]
    assert start["line"] == end["line"], rng
    line = lines[start["line"]]
    return line[index(start):index(end)]


def apply_edits(text, edits):
    lines = text.split("\n")
    offsets = [0]
    for line in lines:
        offsets.append(offsets[-1] + len(line) + 1)

    def absolute(pos):
        line = lines[pos["line"]]
        units, i = 0, 0
        while i < len(line) and units < pos["character"]:
            units += utf16_len(line[i])
            i += 1
        return offsets[pos["line"]] + i

    for edit in sorted(edits, key=lambda e: absolute(e["range"]["start"]), reverse=True):
        text = (text[:absolute(edit["range"]["start"])] + edit["newText"] +
                text[absolute(edit["range"]["end"]):])
    return text


class Checker:
    def __init__(self):
        self.failures = []

    def check(self, what, condition, detail=""):
        if not condition:
            self.failures.append(f"{what}: {detail}")


def lint_findings(qbd):
    out = subprocess.run([qbd, "lint", "--json", BOARD], capture_output=True, text=True).stdout
    return json.loads(out)["findings"]


def session(qbd, c):
    with open(BOARD, encoding="utf-8") as f:
        text = f.read()
    s = Server(qbd)
    caps = s.start()["result"]["capabilities"]
    for cap in ("hoverProvider", "definitionProvider", "referencesProvider", "completionProvider",
                "documentSymbolProvider", "renameProvider"):
        c.check("capability " + cap, cap in caps, caps)
    doc = {"uri": URI}

    s.notify("textDocument/didOpen",
             {"textDocument": {"uri": URI, "languageId": "qbd", "version": 1, "text": text}})
    published = s.diagnostics()
    findings = lint_findings(qbd)
    got = [(d["code"], d["message"], d["range"]["start"]["line"] + 1,
            {1: "error", 2: "warning"}[d["severity"]]) for d in published["diagnostics"]]
    want = [(f["code"], f["message"], f["line"], f["severity"]) for f in findings]
    c.check("diagnostics on open are qbd lint's", got == want and len(want) == 1, (got, want))
    c.check("diagnostics carry the version", published.get("version") == 1, published)
    c.check("diagnostic range is the node", span_text(text, published["diagnostics"][0]["range"])
            == "PORT", published)

    def hover(needle, nth=0, offset=1):
        r = s.request("textDocument/hover", {"textDocument": doc,
                                             "position": position_of(text, needle, nth, offset)})
        return r["result"]["contents"]["value"] if r.get("result") else None

    # Hover: the net from an instance port, the instance, a constraint string, a non-ASCII line.
    cases = [
        ("net from instance port", ("uart_tx", 1), ["uart_tx", "fpga_0.tx_pin", "**W1**",
                                                    "IO standard LVCMOS33, pull-up", "uart_0.TX",
                                                    "uart_1.TX", "(tx)"]),
        ("net from FPGA pin", ("led_0", 0), ["**A7**", "leds.LED0", "drive 8 mA"]),
        ("net without pin", ("led_1", 0), ["No FPGA pin carries this net", "leds.LED1"]),
        ("instance", ("uart_0", 0), ["QOR_UART_V1", "`serial`", "`uart_1`", "`TX` on `uart_tx`"]),
        ("constraint LOC", ("LOC=W1", 0), ["location", "W1"]),
        ("constraint flag", ("PULLUP", 0), ["PULLUP", "pull-up; stated in ", "pcf"]),
        ("constraint with blanks", ("DRIVE = 8", 0), ["drive 8 mA; stated in ", "xdc"]),
        ("constraint IO standard", ("IOSTANDARD", 0), ["IO standard LVCMOS33; stated in "]),
        ("net after astral character", ("uart_rx", 2), ["uart_rx", "**W2**", "uart_1.RX_𝔁"]),
    ]
    for name, (needle, nth), parts in cases:
        value = hover(needle, nth)
        c.check("hover " + name, value is not None and all(p in value for p in parts),
                f"{value!r} lacks one of {parts}")
    c.check("hover on a keyword is empty", hover("ATTRIBUTE", 0) is None)
    for pos in ({"line": 9999, "character": 0}, {"line": 0, "character": 9999},
                {"line": -1, "character": 3}):
        r = s.request("textDocument/hover", {"textDocument": doc, "position": pos})
        c.check(f"hover outside the text {pos}", r.get("result") is None and "error" not in r, r)
        r = s.request("textDocument/definition", {"textDocument": doc, "position": pos})
        c.check(f"definition outside the text {pos}", r.get("result") == [], r)

    def locations(method, needle, nth, **extra):
        params = {"textDocument": doc, "position": position_of(text, needle, nth, 1)}
        params.update(extra)
        result = s.request(method, params)["result"]
        return [(r["range"]["start"]["line"] + 1, span_text(text, r["range"])) for r in result]

    line_of = lambda needle: text[:text.index(needle)].count("\n") + 1
    c.check("definition: instance port to FPGA pin",
            locations("textDocument/definition", "uart_tx", 1) ==
            [(line_of("PORT tx_pin"), "tx_pin")])
    back = locations("textDocument/definition", "uart_tx", 0)
    c.check("definition: FPGA pin to instance ports",
            back == [(line_of("PORT TX = uart_tx"), "TX"),
                     (line_of("PORT TX = uart_tx") + 8, "TX")],
            back)
    refs = locations("textDocument/references", "uart_rx", 1, context={"includeDeclaration": True})
    c.check("references with the pin", [t for _, t in refs] == ["uart_rx"] * 3, refs)
    refs = locations("textDocument/references", "uart_rx", 1, context={"includeDeclaration": False})
    c.check("references without the pin", len(refs) == 2, refs)

    symbols = s.request("textDocument/documentSymbol", {"textDocument": doc})["result"]
    c.check("symbols: the outline", [x["name"] for x in symbols] ==
            ["VENDOR", "NAME", "REVISION", "fpga_0", "uart_0", "uart_1", "leds"], symbols)
    uart0 = [x for x in symbols if x["name"] == "uart_0"][0]
    c.check("symbols: a block's children",
            [x["name"] for x in uart0["children"]] ==
            ["INSTANCE", "IOTYPE", "EXCLUSIVE", "TX", "RX"]
            and uart0["detail"] == "QOR_UART_V1" and uart0["range"]["start"]["line"] == 14
            and uart0["range"]["end"]["line"] == 20, uart0)

    # Completion in each context, on text typed at the end of the file.
    version = 1

    def change(edit_text, at=None):
        nonlocal text, version
        version += 1
        if at is None:
            s.notify("textDocument/didChange", {"textDocument": {"uri": URI, "version": version},
                                                "contentChanges": [{"text": edit_text}]})
            text = edit_text
        else:
            rng = {"start": at, "end": at}
            s.notify("textDocument/didChange",
                     {"textDocument": {"uri": URI, "version": version},
                      "contentChanges": [{"range": rng, "text": edit_text}]})
            text = apply_edits(text, [{"range": rng, "newText": edit_text}])
        return s.diagnostics()

    end = {"line": text.count("\n"), "character": 0}
    original = text
    for typed, wanted, unwanted in [
        ("", ["ATTRIBUTE", "PORT", "BEGIN BLOCK", "END"], ["uart_tx"]),
        ("  ATTRIBUTE ", ["INSTANCE", "IOTYPE", "EXCLUSIVE", "VENDOR"], ["PORT"]),
        ("  PARAMETER ", ["RESET_POLARITY", "C_GPIO_WIDTH"], ["uart_tx", "IOTYPE"]),
        ("  ATTRIBUTE IOTYPE = QOR_G", ["QOR_UART_V1", "QOR_GPIO_V1", "QOR_CLOCK_V1"], ["uart_tx"]),
        ("  PORT LED2 = ", ["uart_tx", "led_0", "led_1"], ["ATTRIBUTE"]),
        ("  PORT LED2 = led_2, ", ["IO_IS", "UCF_NET_STRING", "DIR"], ["uart_tx"]),
        ("  PORT LED2 = led_2, IO_IS = ", ["tx", "gpio_0", "ext_clk"], ["uart_tx"]),
        ("  PORT p = n, UCF_NET_STRING = (LOC=A1, ", ["LOC", "IOSTANDARD"], ["uart_tx"]),
        ("  PORT p = n, DIR = ", ["I", "O", "IO"], ["uart_tx"]),
    ]:
        change(typed, end)
        at = {"line": end["line"], "character": utf16_len(typed)}
        items = s.request("textDocument/completion",
                          {"textDocument": doc, "position": at})["result"]
        labels = [i["label"] for i in items["items"]]
        c.check(f"completion after {typed!r}", all(w in labels for w in wanted) and
                not any(u in labels for u in unwanted), labels)
        change(original)

    # An incremental change that adds the missing pin clears the finding.
    at = position_of(text, "\nEND", 0, 1)
    diags = change("  PORT led1_pin = led_1, UCF_NET_STRING = (LOC=A8), DIR = O\n", at)
    c.check("diagnostics after the fix", diags["diagnostics"] == [] and diags["version"] == version,
            diags)
    # Half-typed: a read error with its place; hover still answers from the last good read.
    at = {"line": text.count("\n"), "character": 0}
    diags = change("BEGIN BLOCK\n  PORT x = (LOC=\n", at)
    errors = diags["diagnostics"]
    c.check("a half-typed block gives read errors", errors and all(
        d["severity"] == 1 and d["code"] and d["source"] == "qbd" for d in errors), errors)
    value = hover("uart_tx", 1)
    c.check("hover from the last good read", value and "**W1**" in value, value)
    text = text[:text.rindex("BEGIN BLOCK\n  PORT x")]
    change(text)

    # Rename a net: every pin and port on it, nothing else; then an instance.
    params = {"textDocument": doc, "position": position_of(text, "uart_tx", 2, 2)}
    prep = s.request("textDocument/prepareRename", params)["result"]
    c.check("prepareRename of a net", prep and prep["placeholder"] == "uart_tx", prep)
    edit = s.request("textDocument/rename", dict(params, newName="serial_tx"))["result"]
    renamed = apply_edits(text, edit["changes"][URI])
    c.check("rename of a net", renamed.count("serial_tx") == 3 and "uart_tx" not in renamed and
            renamed.replace("serial_tx", "uart_tx") == text, edit)
    params = {"textDocument": doc, "position": position_of(text, "uart_1", 0, 1)}
    edit = s.request("textDocument/rename", dict(params, newName="console"))["result"]
    renamed = apply_edits(text, edit["changes"][URI])
    c.check("rename of an instance", "INSTANCE  = console" in renamed and "uart_1" not in renamed,
            edit)
    r = s.request("textDocument/rename", dict(params, newName="a, b"))
    c.check("rename to a name the format cannot write", r.get("error", {}).get("code") == -32602, r)
    r = s.request("textDocument/prepareRename",
                  {"textDocument": doc, "position": position_of(text, "ATTRIBUTE", 0, 1)})
    c.check("prepareRename on a keyword", r.get("result") is None and "error" not in r, r)

    # Close: the diagnostics are cleared, and the document is gone.
    s.notify("textDocument/didClose", {"textDocument": doc})
    c.check("close clears diagnostics", s.diagnostics()["diagnostics"] == [])
    r = s.request("textDocument/hover",
                  {"textDocument": doc, "position": {"line": 9, "character": 20}})
    c.check("hover on a closed document", r.get("result") is None and "error" not in r, r)

    r = s.request("shutdown")
    c.check("shutdown", "result" in r and r["result"] is None, r)
    s.notify("exit", {})
    c.check("exit after shutdown", s.proc.wait(timeout=10) == 0, s.proc.returncode)


def robustness(qbd, c):
    s = Server(qbd)
    r = s.request("textDocument/hover", {})
    c.check("a request before initialize", r.get("error", {}).get("code") == -32002, r)
    s.start()
    s.send_raw(b"Content-Length: 9\r\n\r\n{not json")
    r = s.response(None)
    c.check("a body that is not JSON", r["error"]["code"] == -32700, r)
    s.send_raw(b"Content-Type: text/plain\r\n\r\n")
    r = s.response(None)
    c.check("a frame without Content-Length", r["error"]["code"] == -32700, r)
    s.send({"jsonrpc": "2.0", "id": 77, "params": {}})
    r = s.response(77)
    c.check("a message without a method", r["error"]["code"] == -32600, r)
    r = s.request("textDocument/frobnicate", {})
    c.check("an unknown method", r["error"]["code"] == -32601, r)
    r = s.request("textDocument/hover", {"textDocument": "nonsense"})
    c.check("malformed parameters", r["error"]["code"] == -32602, r)
    s.notify("textDocument/didOpen",
             {"textDocument": {"uri": "file:///x.qbd", "text": "BEGIN BLOCK\n\"\x01"}})
    c.check("a hostile text is diagnosed", s.diagnostics()["diagnostics"], "no diagnostics")
    r = s.request("textDocument/hover", {"textDocument": {"uri": "file:///x.qbd"},
                                         "position": {"line": 1, "character": 1}})
    c.check("still serving after all that", "result" in r and r["result"] is None, r)
    log = s.proc.communicate(timeout=10)[1].decode()
    c.check("the server exits when its input closes", s.proc.returncode == 1, s.proc.returncode)
    c.check("malformed input is reported", "not JSON" in log and "Content-Length" in log, log)


def main():
    qbd = sys.argv[1]
    c = Checker()
    for part in (session, robustness):
        try:
            part(qbd, c)
        except Exception as e:  # a broken answer fails the test, with what came before it
            c.failures.append(f"{part.__name__} stopped: {e!r}")
    for failure in c.failures:
        print("FAIL", failure)
    return 1 if c.failures else 0


if __name__ == "__main__":
    sys.exit(main())
