// The top-level module or entity of a pin table. Names are checked character by character
// against the language's identifier rules; whatever is not a plain identifier is escaped, and
// what not even an escaped identifier can hold is refused.
#include "MbdTopLevel.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace MbdTop {

namespace {

using MbdPins::Direction;
using MbdPins::PinRow;
using MbdPins::Problem;

// One port of the module: a scalar, or a bus of bits low..high.
struct Port {
  std::string name;
  bool bus = false;
  int low = 0;
  int high = 0;
  Direction direction = Direction::Unset;
  bool directionMixed = false;
};

std::vector<Port> portsOf(const MbdPins::PinTable& table) {
  std::vector<Port> ports;
  std::unordered_map<std::string, std::size_t> byName;
  for (const PinRow& row : table.rows) {
    if (MbdPins::IsUnwired(row)) continue;
    const bool bus = row.busIndex >= 0;
    const std::string& name = bus ? row.busStem : row.name;
    const auto found = byName.emplace((bus ? "b" : "s") + name, ports.size());
    if (found.second) {
      Port port;
      port.name = name;
      port.bus = bus;
      port.low = port.high = row.busIndex;
      port.direction = row.settings.direction;
      ports.push_back(port);
      continue;
    }
    Port& port = ports[found.first->second];
    if (bus) {
      port.low = std::min(port.low, row.busIndex);
      port.high = std::max(port.high, row.busIndex);
    }
    if (row.settings.direction != port.direction) port.directionMixed = true;
  }
  return ports;
}

// Control characters and bytes above 126 spelled out, for a comment or a message.
std::string printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 32 && c < 127) {
      out += static_cast<char>(c);
      continue;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    out += hex;
  }
  return out;
}

const std::unordered_set<std::string>& verilogKeywords() {
  static const std::unordered_set<std::string> words = {
      "always", "and", "assign", "automatic", "begin", "buf", "bufif0", "bufif1", "case", "casex",
      "casez", "cell", "cmos", "config", "deassign", "default", "defparam", "design", "disable",
      "edge", "else", "end", "endcase", "endconfig", "endfunction", "endgenerate", "endmodule",
      "endprimitive", "endspecify", "endtable", "endtask", "event", "for", "force", "forever",
      "fork", "function", "generate", "genvar", "highz0", "highz1", "if", "ifnone", "incdir",
      "include", "initial", "inout", "input", "instance", "integer", "join", "large", "liblist",
      "library", "localparam", "macromodule", "medium", "module", "nand", "negedge", "nmos",
      "nor", "noshowcancelled", "not", "notif0", "notif1", "or", "output", "parameter", "pmos",
      "posedge", "primitive", "pull0", "pull1", "pulldown", "pullup", "pulsestyle_onevent",
      "pulsestyle_ondetect", "rcmos", "real", "realtime", "reg", "release", "repeat", "rnmos",
      "rpmos", "rtran", "rtranif0", "rtranif1", "scalared", "showcancelled", "signed", "small",
      "specify", "specparam", "strong0", "strong1", "supply0", "supply1", "table", "task",
      "time", "tran", "tranif0", "tranif1", "tri", "tri0", "tri1", "triand", "trior", "trireg",
      "unsigned", "use", "uwire", "vectored", "wait", "wand", "weak0", "weak1", "while", "wire",
      "wor", "xnor", "xor",
      // SystemVerilog words a tool reading the file as SystemVerilog would refuse.
      "logic", "bit", "byte", "int", "shortint", "longint", "interface", "package", "class",
      "string", "type", "void", "enum", "struct", "union", "typedef", "always_ff", "always_comb",
      "always_latch", "assert", "property", "program", "final", "import", "export", "return",
      "break", "continue", "do", "foreach", "unique", "priority", "bind", "chandle", "const",
      "extern", "local", "new", "null", "protected", "rand", "ref", "static", "super", "this",
      "var", "virtual", "with"};
  return words;
}

const std::unordered_set<std::string>& vhdlKeywords() {
  static const std::unordered_set<std::string> words = {
      "abs", "access", "after", "alias", "all", "and", "architecture", "array", "assert",
      "assume", "assume_guarantee", "attribute", "begin", "block", "body", "buffer", "bus",
      "case", "component", "configuration", "constant", "context", "cover", "default",
      "disconnect", "downto", "else", "elsif", "end", "entity", "exit", "fairness", "file", "for",
      "force", "function", "generate", "generic", "group", "guarded", "if", "impure", "in",
      "inertial", "inout", "is", "label", "library", "linkage", "literal", "loop", "map", "mod",
      "nand", "new", "next", "nor", "not", "null", "of", "on", "open", "or", "others", "out",
      "package", "parameter", "port", "postponed", "procedure", "process", "property",
      "protected", "pure", "range", "record", "register", "reject", "release", "rem", "report",
      "restrict", "restrict_guarantee", "return", "rol", "ror", "select", "sequence", "severity",
      "shared", "signal", "sla", "sll", "sra", "srl", "strong", "subtype", "then", "to",
      "transport", "type", "unaffected", "units", "until", "use", "variable", "vmode", "vprop",
      "vunit", "wait", "when", "while", "with", "xnor", "xor"};
  return words;
}

bool isAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }

bool plainVerilog(const std::string& name) {
  if (name.empty()) return false;
  const unsigned char first = static_cast<unsigned char>(name[0]);
  if (!isAsciiLetter(first) && first != '_') return false;
  for (unsigned char c : name)
    if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '_' && c != '$') return false;
  return !verilogKeywords().count(name);
}

// The Verilog identifier for a name; false when not even an escaped identifier can hold it
// (blanks, control characters, bytes outside ASCII).
bool verilogName(const std::string& name, std::string& identifier) {
  if (plainVerilog(name)) {
    identifier = name;
    return true;
  }
  if (name.empty()) return false;
  for (unsigned char c : name)
    if (c < 33 || c > 126) return false;
  identifier = "\\" + name + " ";
  return true;
}

bool plainVhdl(const std::string& name) {
  if (name.empty() || !isAsciiLetter(static_cast<unsigned char>(name[0])) || name.back() == '_')
    return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c == '_' && name[i - 1] == '_') return false;
    if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '_') return false;
  }
  return !vhdlKeywords().count(Port_AsciiLower(name));
}

// The VHDL identifier for a name, and the key two identifiers are one name by (basic ones
// ignore case, extended ones do not); false when an extended identifier cannot hold it.
bool vhdlName(const std::string& name, std::string& identifier, std::string& key) {
  if (plainVhdl(name)) {
    identifier = name;
    key = Port_AsciiLower(name);
    return true;
  }
  if (name.empty()) return false;
  identifier = "\\";
  for (unsigned char c : name) {
    if (c < 32 || c > 126) return false;
    if (c == '\\') identifier += '\\';
    identifier += static_cast<char>(c);
  }
  identifier += "\\";
  key = identifier;
  return true;
}

const char* verilogDirection(const Port& port) {
  if (port.directionMixed) return "inout ";
  switch (port.direction) {
    case Direction::In: return "input ";
    case Direction::Out: return "output";
    default: return "inout ";
  }
}

const char* vhdlDirection(const Port& port) {
  if (port.directionMixed) return "inout";
  switch (port.direction) {
    case Direction::In: return "in";
    case Direction::Out: return "out";
    default: return "inout";
  }
}

std::string header(const char* comment, const std::string& source) {
  if (source.empty()) return std::string();
  return std::string(comment) + " Top-level ports of " + printable(source) +
         ", as qbd top writes them: the names match the constraint file.\n";
}

void refuse(TopOutput& out, const std::string& port, const char* language) {
  out.problems.push_back(Problem{port,
                                 "port " + printable(port) + " cannot be named in " + language +
                                     ": not even an escaped identifier holds it",
                                 true});
}

bool writeVerilog(const std::vector<Port>& ports, const TopOptions& options, TopOutput& out) {
  std::string text = header("//", options.source);
  std::string module;
  if (!verilogName(options.name, module)) refuse(out, options.name, "Verilog");
  std::vector<std::string> lines;
  std::unordered_set<std::string> seen;
  for (const Port& port : ports) {
    std::string id;
    if (!verilogName(port.name, id)) {
      refuse(out, port.name, "Verilog");
      continue;
    }
    if (!seen.insert(id).second) {
      out.problems.push_back(
          Problem{port.name, "two ports are named " + printable(port.name), true});
      continue;
    }
    std::string range = port.bus ? "[" + std::to_string(port.high) + ":" +
                                       std::to_string(port.low) + "] "
                                 : std::string();
    lines.push_back("  " + std::string(verilogDirection(port)) + " wire " + range + id);
  }
  if (!out.problems.empty()) return false;
  if (lines.empty()) {
    text += "module " + module + ";\n";
  } else {
    text += "module " + module + " (\n";
    for (std::size_t i = 0; i < lines.size(); ++i)
      text += lines[i] + (i + 1 < lines.size() ? ",\n" : "\n");
    text += ");\n";
  }
  text += "endmodule\n";
  out.text = text;
  return true;
}

bool writeVhdl(const std::vector<Port>& ports, const TopOptions& options, TopOutput& out) {
  std::string text = header("--", options.source);
  std::string entity;
  std::string entityKey;
  if (!vhdlName(options.name, entity, entityKey)) refuse(out, options.name, "VHDL");
  std::vector<std::string> lines;
  std::unordered_set<std::string> seen;
  for (const Port& port : ports) {
    std::string id;
    std::string key;
    if (!vhdlName(port.name, id, key)) {
      refuse(out, port.name, "VHDL");
      continue;
    }
    if (!seen.insert(key).second) {
      out.problems.push_back(Problem{
          port.name, "two ports are one name in VHDL, which ignores case: " + printable(port.name),
          true});
      continue;
    }
    const std::string type = port.bus ? "std_logic_vector(" + std::to_string(port.high) +
                                            " downto " + std::to_string(port.low) + ")"
                                      : std::string("std_logic");
    lines.push_back("    " + id + " : " + vhdlDirection(port) + " " + type);
  }
  if (!out.problems.empty()) return false;
  text += "library ieee;\nuse ieee.std_logic_1164.all;\n\nentity " + entity + " is\n";
  if (!lines.empty()) {
    text += "  port (\n";
    for (std::size_t i = 0; i < lines.size(); ++i)
      text += lines[i] + (i + 1 < lines.size() ? ";\n" : "\n");
    text += "  );\n";
  }
  text += "end entity " + entity + ";\n\narchitecture board of " + entity +
          " is\nbegin\nend architecture board;\n";
  out.text = text;
  return true;
}

}  // namespace

bool HdlNamed(const std::string& name, Hdl& hdl) {
  const std::string n = Port_AsciiLower(name);
  if (n == "verilog" || n == "v") {
    hdl = Hdl::Verilog;
    return true;
  }
  if (n == "vhdl" || n == "vhd") {
    hdl = Hdl::Vhdl;
    return true;
  }
  return false;
}

bool WriteTop(const MbdPins::PinTable& table, const TopOptions& options, TopOutput& out) {
  out = TopOutput();
  const std::vector<Port> ports = portsOf(table);
  const bool written = options.hdl == Hdl::Verilog ? writeVerilog(ports, options, out)
                                                   : writeVhdl(ports, options, out);
  if (!written) out.text.clear();
  return written;
}

}  // namespace MbdTop
