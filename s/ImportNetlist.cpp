// Schematic netlists in the S-expression form: (export (version ...) (components (comp ...))
// (nets (net (code ...) (name ...) (node (ref ...) (pin ...) (pinfunction ...) (pintype ...))))).
// The nets that reach the FPGA part become pins; the component each net reaches, through series
// resistors and resistor networks, becomes its group.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "ImportNames.h"
#include "MbdImport.h"

using MbdPins::PinRow;

namespace MbdImport {

namespace {

// A parenthesised list or an atom (a bare word or a quoted string).
struct SNode {
  bool list = false;
  std::string atom;
  std::vector<SNode> items;
  unsigned line = 0, column = 0;
};

// The list's head word; empty for an atom or an empty list.
const std::string& Head(const SNode& node) {
  static const std::string none;
  return node.list && !node.items.empty() && !node.items.front().list ? node.items.front().atom
                                                                       : none;
}

// The text of the first (KEY value) item of the list; empty when there is none.
std::string Field(const SNode& node, const char* key) {
  for (const SNode& item : node.items)
    if (Head(item) == key && item.items.size() > 1 && !item.items[1].list) return item.items[1].atom;
  return std::string();
}

const SNode* Child(const SNode& node, const char* key) {
  for (const SNode& item : node.items)
    if (Head(item) == key) return &item;
  return nullptr;
}

class SParser {
 public:
  SParser(const std::string& text, const std::string& source) : text_(text), source_(source) {}

  bool Parse(SNode& root, ImportError& error) {
    SkipBlanks();
    if (pos_ >= text_.size()) return Fail(error, "empty netlist: expected (export ...)");
    if (!Read(root, 0, error)) return false;
    SkipBlanks();
    if (pos_ < text_.size()) return Fail(error, "text after the netlist's closing ')'");
    return true;
  }

 private:
  static constexpr unsigned kMaxDepth = 64;

  bool Fail(ImportError& error, const std::string& message) {
    error = ImportError{source_, line_, column_, message};
    return false;
  }

  void Advance() {
    if (text_[pos_] == '\n') {
      ++line_;
      column_ = 1;
    } else {
      ++column_;
    }
    ++pos_;
  }

  void SkipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                   text_[pos_] == '\n' || text_[pos_] == '\r'))
      Advance();
  }

  bool Read(SNode& node, unsigned depth, ImportError& error) {
    node.line = line_;
    node.column = column_;
    const char c = text_[pos_];
    if (c == '\0') return Fail(error, "a NUL byte: not a text file");
    if (c == ')') return Fail(error, "unexpected ')': expected a word, a string or '('");
    if (c == '"') return ReadString(node, error);
    if (c != '(') {
      while (pos_ < text_.size() && !std::strchr(" \t\r\n()\"", text_[pos_])) {
        if (text_[pos_] == '\0') return Fail(error, "a NUL byte: not a text file");
        node.atom += text_[pos_];
        Advance();
      }
      return true;
    }
    if (depth >= kMaxDepth) return Fail(error, "lists nested more than 64 deep");
    node.list = true;
    const unsigned line = line_, column = column_;
    Advance();
    for (;;) {
      SkipBlanks();
      if (pos_ >= text_.size()) {
        error = ImportError{source_, line, column, "'(' is never closed: expected ')', found end of file"};
        return false;
      }
      if (text_[pos_] == ')') {
        Advance();
        return true;
      }
      node.items.emplace_back();
      if (!Read(node.items.back(), depth + 1, error)) return false;
    }
  }

  bool ReadString(SNode& node, ImportError& error) {
    const unsigned line = line_, column = column_;
    Advance();
    while (pos_ < text_.size() && text_[pos_] != '"') {
      char c = text_[pos_];
      if (c == '\0') return Fail(error, "a NUL byte: not a text file");
      if (c == '\\' && pos_ + 1 < text_.size()) {
        Advance();
        c = text_[pos_];
        if (c == 'n') c = '\n';
        else if (c == 't') c = '\t';
      }
      node.atom += c;
      Advance();
    }
    if (pos_ >= text_.size()) {
      error = ImportError{source_, line, column, "unterminated string: expected '\"', found end of file"};
      return false;
    }
    Advance();
    return true;
  }

  const std::string& text_;
  const std::string& source_;
  std::size_t pos_ = 0;
  unsigned line_ = 1, column_ = 1;
};

struct NetNode {
  std::string ref, pin, function, type;
};

struct Net {
  std::string name;  // as written, sheet path and all
  std::vector<NetNode> nodes;
  unsigned line = 0;
};

std::string RefPrefix(const std::string& ref) {
  std::size_t n = 0;
  while (n < ref.size() && ((ref[n] >= 'A' && ref[n] <= 'Z') || (ref[n] >= 'a' && ref[n] <= 'z'))) ++n;
  return Port_AsciiUpper(ref.substr(0, n));
}

// The name without its sheet path ("/FPGA/LED0" -> "LED0").
std::string LocalName(const std::string& name) {
  const std::size_t slash = name.find_last_of('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

bool IsPowerName(const std::string& local) {
  const std::string u = Port_AsciiUpper(local);
  if (u.empty()) return false;
  if (u[0] == '+' || u[0] == '-') return true;
  for (const char* word : {"GND", "VCC", "VDD", "VSS", "VEE", "AGND", "DGND", "PGND", "VBUS"})
    if (u.compare(0, std::strlen(word), word) == 0) return true;
  if (u.size() >= 3 && u.compare(u.size() - 3, 3, "GND") == 0) return true;
  // 3V3, 1V8, 2V5, 3.3V, 5V
  std::size_t i = 0;
  while (i < u.size() && (std::isdigit(static_cast<unsigned char>(u[i])) || u[i] == '.')) ++i;
  if (i > 0 && i < u.size() && u[i] == 'V') {
    std::size_t j = i + 1;
    while (j < u.size() && std::isdigit(static_cast<unsigned char>(u[j]))) ++j;
    return j == u.size();
  }
  return false;
}

bool IsUnnamed(const std::string& local) {
  return local.empty() || local.compare(0, 5, "Net-(") == 0;
}

bool IsUnconnected(const std::string& local) {
  return local.compare(0, 12, "unconnected-") == 0;
}

class NetlistReader {
 public:
  NetlistReader(const std::string& source, const std::string& fpga, TableRead& out)
      : source_(source), fpga_(fpga), out_(out) {}

  void Read(const SNode& root) {
    if (Head(root) != "export") {
      Error(root, "not a netlist: expected (export ...), found " +
                      (root.list ? "(" + Head(root) + " ...)" : "'" + root.atom + "'"));
      return;
    }
    CollectComponents(root);
    CollectNets(root);
    if (!IndexPins(root)) return;
    Rows();
  }

 private:
  void Error(const SNode& at, const std::string& message) {
    out_.errors.push_back(ImportError{source_, at.line, at.column, message});
  }

  void Note(GuessKind kind, const std::string& port, unsigned line, const std::string& message) {
    Guess guess;
    guess.kind = kind;
    guess.port = port;
    guess.file = source_;
    guess.line = line;
    guess.message = message;
    out_.notes.push_back(std::move(guess));
  }

  void CollectComponents(const SNode& root) {
    if (const SNode* comps = Child(root, "components"))
      for (const SNode& comp : comps->items)
        if (Head(comp) == "comp") {
          const std::string ref = Field(comp, "ref");
          if (ref.empty() || values_.count(ref)) continue;
          values_.emplace(ref, Field(comp, "value"));
          order_.push_back(ref);
        }
  }

  void CollectNets(const SNode& root) {
    const SNode* nets = Child(root, "nets");
    if (!nets) return;
    for (const SNode& item : nets->items) {
      if (Head(item) != "net") continue;
      Net net;
      net.name = Field(item, "name");
      net.line = item.line;
      for (const SNode& node : item.items)
        if (Head(node) == "node")
          net.nodes.push_back(NetNode{Field(node, "ref"), Field(node, "pin"),
                                      Field(node, "pinfunction"), Field(node, "pintype")});
      nets_.push_back(std::move(net));
    }
  }

  // Which nets each pin of each part is on; false (with the error) when the FPGA part is absent.
  bool IndexPins(const SNode& root) {
    bool found = values_.count(fpga_) > 0;
    for (std::size_t n = 0; n < nets_.size(); ++n)
      for (const NetNode& node : nets_[n].nodes) {
        PartPins& part = pins_[node.ref];
        if (part.byPin.emplace(node.pin, n).second) ++part.count;
        if (!node.function.empty()) part.byFunction.emplace(node.function, n);
        if (node.ref == fpga_) found = true;
        if (!values_.count(node.ref) && !node.ref.empty()) {
          values_.emplace(node.ref, std::string());
          order_.push_back(node.ref);
        }
      }
    if (found) return true;
    std::string parts;
    constexpr std::size_t kListed = 40;
    for (std::size_t i = 0; i < order_.size() && i < kListed; ++i)
      parts += (i ? ", " : "") + order_[i];
    if (order_.size() > kListed) parts += " and " + std::to_string(order_.size() - kListed) + " more";
    const SNode* at = Child(root, "components");
    Error(at ? *at : root, "no part \"" + fpga_ + "\" in the netlist; its parts are: " +
                               (parts.empty() ? "none" : parts));
    return false;
  }

  // A part a signal passes through in series: two pins of a resistor, inductor, ferrite or
  // capacitor, or one element of a resistor network named by pin function ("R3.1"/"R3.2").
  bool Across(const NetNode& node, std::size_t& otherNet) const {
    auto part = pins_.find(node.ref);
    if (part == pins_.end()) return false;
    const std::string prefix = RefPrefix(node.ref);
    if (part->second.count == 2 &&
        (prefix == "R" || prefix == "L" || prefix == "FB" || prefix == "C")) {
      for (const auto& [pin, net] : part->second.byPin)
        if (pin != node.pin) {
          otherNet = net;
          return true;
        }
    }
    if ((prefix == "RN" || prefix == "RP" || prefix == "RA") && node.function.size() > 2) {
      const std::size_t dot = node.function.rfind('.');
      if (dot == std::string::npos || dot + 2 != node.function.size()) return false;
      const char side = node.function.back();
      if (side != '1' && side != '2') return false;
      const std::string other = node.function.substr(0, dot + 1) + (side == '1' ? '2' : '1');
      auto found = part->second.byFunction.find(other);
      if (found == part->second.byFunction.end()) return false;
      otherNet = found->second;
      return true;
    }
    return false;
  }

  // The first component, other than the FPGA and series parts, that the net reaches; empty
  // when it reaches none (a test point alone, or a pull resistor to a supply).
  std::string Peripheral(std::size_t start) const {
    constexpr unsigned kMaxHops = 4;
    constexpr std::size_t kMaxFollowedNodes = 16;
    std::vector<std::size_t> frontier{start};
    std::unordered_set<std::size_t> seen{start};
    for (unsigned hop = 0; hop < kMaxHops && !frontier.empty(); ++hop) {
      std::vector<std::size_t> next;
      for (std::size_t n : frontier) {
        for (const NetNode& node : nets_[n].nodes) {
          if (node.ref == fpga_ || node.ref.empty()) continue;
          std::size_t other = 0;
          if (Across(node, other)) {
            // A series part leads to a net of a few nodes; a large one is a supply or a bus,
            // and walking it for every FPGA net would cost nets times nodes.
            if (!IsPowerName(LocalName(nets_[other].name)) &&
                nets_[other].nodes.size() <= kMaxFollowedNodes && seen.insert(other).second)
              next.push_back(other);
            continue;
          }
          const std::string prefix = RefPrefix(node.ref);
          if (prefix == "TP" || prefix == "R" || prefix == "C") continue;
          return node.ref;
        }
      }
      frontier.swap(next);
    }
    return std::string();
  }

  void Rows() {
    std::vector<std::string> skipped;
    std::size_t skippedCount = 0;
    std::unordered_map<std::string, std::size_t> fpgaNets;  // per peripheral
    std::vector<std::string> peripherals(nets_.size());
    std::vector<int> rowOfNet(nets_.size(), -1);
    for (std::size_t n = 0; n < nets_.size(); ++n) {
      const Net& net = nets_[n];
      const std::string local = LocalName(net.name);
      const NetNode* first = nullptr;
      std::vector<const NetNode*> more;
      for (const NetNode& node : net.nodes) {
        if (node.ref != fpga_) continue;
        if (first) more.push_back(&node);
        else first = &node;
      }
      if (!first) continue;
      if (IsPowerName(local) || first->type == "power_in" || first->type == "power_out") {
        if (skippedCount++ < 8) skipped.push_back(local);
        continue;
      }
      if (IsUnconnected(local) || first->type == "no_connect") continue;
      for (const NetNode* node : more)
        Note(GuessKind::Conflict, local, net.line,
             "net \"" + local + "\" also reaches " + fpga_ + " pin " + node->pin +
                 "; only pin " + first->pin + " drafted");
      PinRow row;
      row.file = source_;
      row.line = net.line;
      row.settings.location = first->pin;
      if (first->type == "input") row.settings.direction = MbdPins::Direction::In;
      if (first->type == "output") row.settings.direction = MbdPins::Direction::Out;
      if (IsUnnamed(local)) {
        row.name = fpga_ + "_" + first->pin;
        Note(GuessKind::UnnamedNet, row.name, net.line,
             "net \"" + net.name + "\" at " + fpga_ + " pin " + first->pin +
                 " has no name; drafted as \"" + row.name + "\": name it in the schematic");
      } else {
        row.name = local;
      }
      row.net = row.name;
      peripherals[n] = Peripheral(n);
      if (!peripherals[n].empty()) ++fpgaNets[peripherals[n]];
      rowOfNet[n] = static_cast<int>(out_.table.rows.size());
      out_.table.rows.push_back(std::move(row));
    }
    // A part with several FPGA nets is one instance; parts with one each (LEDs, buttons) are
    // grouped by kind and value.
    for (std::size_t n = 0; n < nets_.size(); ++n) {
      if (rowOfNet[n] < 0 || peripherals[n].empty()) continue;
      PinRow& row = out_.table.rows[static_cast<std::size_t>(rowOfNet[n])];
      const std::string& ref = peripherals[n];
      const std::string& value = values_[ref];
      if (fpgaNets[ref] > 1) {
        row.instance = value.empty() ? ref : ref + " " + value;
      } else {
        row.instance = value.empty() ? RefPrefix(ref) : value;
      }
      row.heading = row.instance;
    }
    if (skippedCount) {
      std::string list;
      for (const std::string& name : skipped) list += (list.empty() ? "" : ", ") + name;
      if (skippedCount > skipped.size()) list += ", ...";
      Note(GuessKind::Skipped, "", 0,
           std::to_string(skippedCount) + " power and ground net" + (skippedCount == 1 ? "" : "s") +
               " of " + fpga_ + " skipped (" + list + ")");
    }
  }

  struct PartPins {
    std::unordered_map<std::string, std::size_t> byPin;       // pin -> net
    std::unordered_map<std::string, std::size_t> byFunction;  // pin function -> net
    std::size_t count = 0;
  };

  const std::string& source_;
  const std::string& fpga_;
  TableRead& out_;
  std::unordered_map<std::string, std::string> values_;  // ref -> value
  std::vector<std::string> order_;                      // refs in netlist order
  std::vector<Net> nets_;
  std::unordered_map<std::string, PartPins> pins_;
};

}  // namespace

TableRead ReadNetlist(const std::string& text, const std::string& source,
                      const std::string& fpgaRef) {
  TableRead out;
  out.table.source = source;
  SNode root;
  ImportError error;
  if (!SParser(text, source).Parse(root, error)) {
    out.errors.push_back(error);
    return out;
  }
  NetlistReader(source, fpgaRef, out).Read(root);
  return out;
}

}  // namespace MbdImport
