// The lint checks. Each walks the board once (or keeps an index), so a large board stays cheap.
#include <cctype>
#include <unordered_map>

#include "Board.h"
#include "Lint.h"
#include "NetIndex.h"

namespace qbd {

namespace {

using LyrBoard::QbdBlock;

std::string quote(const std::string& s) { return "\"" + s + "\""; }

std::string lineOf(const LyrBase::PsfComp& node) {
  return node.GetLineNo() ? " (line " + std::to_string(node.GetLineNo()) + ")" : std::string();
}

// Digits only in the radix the prefix selects ("0x" hexadecimal, a leading 0 octal, else
// decimal), as the model converts an instance count; false for anything else or overflow.
bool parseCount(const std::string& text, unsigned long long& value) {
  const std::string t = trim(text);
  unsigned base = 10;
  std::size_t i = 0;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    i = 2;
  } else if (t.size() > 1 && t[0] == '0') {
    base = 8;
    i = 1;
  }
  if (i >= t.size()) return false;
  value = 0;
  for (; i < t.size(); ++i) {
    const int c = std::tolower(static_cast<unsigned char>(t[i]));
    const unsigned digit = std::isdigit(c) ? static_cast<unsigned>(c - '0')
                           : (c >= 'a' && c <= 'f') ? static_cast<unsigned>(c - 'a' + 10)
                                                    : base;
    if (digit >= base) return false;
    value = value * base + digit;
    if (value > 0xFFFFFFFFull) return false;
  }
  return true;
}

bool isFrequency(const std::string& text) {
  unsigned long long value = 0;
  return parseDecimal32(text, value);
}

bool hasRole(const LyrBase::Property& prop, const StringBase& role) {
  const LyrBase::PsfComp* iois = prop.GetPsfCompByName(MBD::IOIS.c_str());
  return iois && EqualsIgnoringCase(iois->GetValueStr(), role);
}

std::string blockName(const QbdBlock& block) { return quote(str(block.GetName())); }

void checkConstraints(const QbdBlock& block, const LyrBase::Property& pin,
                      std::unordered_map<std::string, const LyrBase::Property*>& byLoc,
                      LintReport& report) {
  const std::vector<std::string> strings = constraintStrings(pin);
  const std::string name = str(block.GetName()) + "." + str(pin.GetName());
  if (strings.empty()) {
    report.add("QBD003", &pin, "FPGA pin " + quote(name) + " has no constraint strings");
    return;
  }
  const LyrBase::PsfComp* where = pin.GetPsfCompByName(MBD::UCF_NET_STRING.c_str());
  for (const std::string& text : strings) {
    const Constraint c = splitConstraint(text);
    if (!c.hasValue) {
      report.add("QBD005", where ? where : &pin,
                 "constraint string " + quote(text) + " of FPGA pin " + quote(name) +
                     " has no \"=\"");
      continue;
    }
    if (foldCase(c.key) != "loc" || c.value.empty()) continue;
    const auto seen = byLoc.emplace(foldCase(c.value), &pin);
    if (!seen.second) {
      report.add("QBD004", &pin,
                 "pin conflict: FPGA pin " + quote(name) + " is at location " + quote(c.value) +
                     ", as is pin " + quote(str(seen.first->second->GetName())) +
                     lineOf(*seen.first->second));
    }
  }
}

void checkRange(const QbdBlock& block, const LyrBase::PsfComp& range, LintReport& report) {
  for (const std::vector<std::string>& element : rangeElements(range)) {
    if (element.empty() || element.size() > 3) {
      report.add("QBD011", &range,
                 "RANGE element of clock " + blockName(block) + " has " +
                     std::to_string(element.size()) + " numbers (expected 1 to 3)");
      continue;
    }
    for (const std::string& number : element) {
      if (!isFrequency(number))
        report.add("QBD010", &range,
                   "RANGE value " + quote(number) + " of clock " + blockName(block) +
                       " is not a number");
    }
  }
}

}  // namespace

namespace lint {

void duplicateNames(const LyrBoard::Qbd& qbd, LintReport& report) {
  std::unordered_map<std::string, const QbdBlock*> seen;
  for (const QbdBlock* block : blocks(qbd)) {
    const auto first = seen.emplace(foldCase(str(block->GetName())), block);
    if (first.second) continue;
    report.add("QBD001", block,
               "block " + blockName(*block) + " has the same name as block " +
                   blockName(*first.first->second) + lineOf(*first.first->second) +
                   " (names are compared ignoring case)");
  }
}

void wiring(const LyrBoard::Qbd& qbd, LintReport& report) {
  const NetIndex index(qbd);
  for (const QbdBlock* block : index.instances()) {
    for (const LyrBase::Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
      const std::string net = str(port->GetValueStr());
      if (net.empty() || !index.pinsOn(net).empty()) continue;
      report.add("QBD002", port,
                 "port " + quote(str(block->GetName()) + "." + str(port->GetName())) +
                     " is on net " + quote(net) + ", which no FPGA pin carries");
    }
  }
  std::unordered_map<std::string, const LyrBase::Property*> byLoc;
  for (const PortRef& pin : index.fpgaPins()) checkConstraints(*pin.block, *pin.port, byLoc, report);
}

void fpgaBlocks(const LyrBoard::Qbd& qbd, LintReport& report) {
  const QbdBlock* first = nullptr;
  for (const QbdBlock* block : blocks(qbd)) {
    if (!isFpgaBlock(*block)) continue;
    if (!first) {
      first = block;
      continue;
    }
    report.add("QBD008", block,
               "block " + blockName(*block) + " is a second FPGA block; the board model reads "
               "only the first, " + blockName(*first));
  }
  if (!first) report.add("QBD007", nullptr, "the board has no FPGA block (BLOCKTYPE = FPGA)");
}

void flashMemories(const LyrBoard::Qbd& qbd, LintReport& report) {
  for (const QbdBlock* block : blocks(qbd)) {
    for (const LyrBase::Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER)) {
      const LyrBase::PsfComp* type = param->GetPsfCompByName(MBD::MEMORY_TYPE);
      if (!type || foldCase(trim(str(type->GetValueStr()))) != "flash") continue;
      if (param->GetPsfCompByName(MBD::IOIS.c_str())) continue;
      report.add("QBD006", param,
                 "flash memory parameter " + quote(str(param->GetName())) + " of block " +
                     blockName(*block) + " has no IO_IS");
    }
  }
}

void clocks(const LyrBoard::Qbd& qbd, LintReport& report) {
  for (const QbdBlock* block : blocks(qbd)) {
    const LyrBase::Property* type = block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::IO_TYPE);
    if (!type || !EqualsIgnoringCase(type->GetValueStr(), MBD::IOTYPE_CLOCK)) continue;
    bool hasFrequency = false;
    for (const LyrBase::Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER)) {
      if (!hasRole(*param, MBD::FREQIOIS)) continue;
      const std::string value = str(param->GetValueStr());
      if (!trim(value).empty()) hasFrequency = true;
      if (!trim(value).empty() && !isFrequency(value))
        report.add("QBD010", param,
                   "frequency " + quote(value) + " of clock " + blockName(*block) +
                       " is not a number");
      if (const LyrBase::PsfComp* range = param->GetPsfCompByName(MBD::CLK_RANGE.c_str()))
        checkRange(*block, *range, report);
    }
    if (!hasFrequency)
      report.add("QBD009", block,
                 "clock " + blockName(*block) + " has no frequency (a parameter with IO_IS = " +
                     str(MBD::FREQIOIS) + " and a value)");
  }
}

void instanceCounts(const LyrBoard::Qbd& qbd, LintReport& report) {
  for (const QbdBlock* block : blocks(qbd)) {
    const LyrBase::Property* count =
        block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::MAX_NUM_INSTANCES);
    if (!count) continue;
    const std::string text = str(count->GetValueStr());
    if (text == "-1") continue;
    unsigned long long n = 0;
    if (!parseCount(text, n)) {
      report.add("QBD012", count,
                 "MAX_NUM_INSTANCES " + quote(text) + " of block " + blockName(*block) +
                     " is not a number");
    } else if (n > 1024) {
      report.add("QBD012", count,
                 "MAX_NUM_INSTANCES " + quote(text) + " of block " + blockName(*block) +
                     " is above 1024");
    }
    if (!block->GetPropertyByName(QbdBlock::ATTRIBUTE, "INSTANCE"))
      report.add("QBD012", count,
                 "block " + blockName(*block) +
                     " has MAX_NUM_INSTANCES but no INSTANCE attribute to number its copies");
  }
}

void ioTypes(const LyrBoard::Qbd& qbd, LintReport& report) {
  for (const QbdBlock* block : blocks(qbd)) {
    if (isFpgaBlock(*block) || block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::IO_TYPE))
      continue;
    report.add("QBD013", block, "block " + blockName(*block) + " has no IOTYPE attribute");
  }
}

void exclusiveGroups(const LyrBoard::Qbd& qbd, LintReport& report) {
  struct Group {
    const QbdBlock* first;
    const LyrBase::Property* tag;
    std::size_t members;
  };
  std::unordered_map<std::string, Group> groups;
  std::vector<std::string> order;
  for (const QbdBlock* block : blocks(qbd)) {
    const LyrBase::Property* tag =
        block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::EXCLUSIVE.c_str());
    if (!tag || str(tag->GetValueStr()).empty()) continue;
    const std::string key = foldCase(str(tag->GetValueStr()));
    const auto it = groups.emplace(key, Group{block, tag, 0}).first;
    if (it->second.members++ == 0) order.push_back(key);
  }
  for (const std::string& key : order) {
    const Group& g = groups.at(key);
    if (g.members != 1) continue;
    report.add("QBD014", g.tag,
               "EXCLUSIVE group " + quote(str(g.tag->GetValueStr())) + " has only block " +
                   blockName(*g.first) + "; nothing excludes it");
  }
}

}  // namespace lint

}  // namespace qbd
