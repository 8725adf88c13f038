// The neutral pin table of a board: which instances are exported (alternatives and choices),
// one row per FPGA pin of each exported net with the pin's neutral settings, the clock
// frequencies and directions the board states elsewhere, and differential pairs. The naming
// and the checks of the rows are in MbdPinNames.cpp.
#include "MbdPinTable.h"

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "MbdRules.h"
#include "MbdWiring.h"
#include "PinTableSteps.h"

namespace MbdPins {

const char* const DIFF_N = "DIFF_N";

namespace {

using LyrBase::Property;
using LyrBoard::QbdBlock;
using PortRef = MbdWiring::PortRef;

std::string quote(const std::string& s) { return "\"" + s + "\""; }
std::string nameOf(const QbdBlock& block) { return block.GetName().str(); }

void error(PinTable& table, const std::string& message) {
  table.problems.push_back(Problem{"", message, true});
}

using GroupMap =
    std::unordered_map<StringBase, const QbdBlock*, MbdRules::GroupHash, MbdRules::GroupEqual>;

// The instances --choose names, by group; an error for a choice that names no instance of it.
GroupMap choices(MBD& model, const TableOptions& options, PinTable& table) {
  GroupMap chosen;
  for (const auto& entry : options.choose) {
    const QbdBlock* block = model.getBlockByName(StringBase(entry.second));
    if (!block) {
      error(table, "choose " + entry.first + "=" + entry.second + ": no instance named " +
                       quote(entry.second));
      continue;
    }
    const StringBase group = MbdRules::ExclusiveGroupOf(*block);
    if (group.IsEmpty() || !MbdRules::GroupEqual()(group, StringBase(entry.first))) {
      error(table, "choose " + entry.first + "=" + entry.second + ": instance " +
                       quote(entry.second) + " is not in EXCLUSIVE group " + quote(entry.first));
      continue;
    }
    chosen[group] = block;
  }
  return chosen;
}

// Every instance but the alternatives not taken: of each group the chosen one, else the first.
std::vector<QbdBlock*> allInstances(const MbdWiring& index, const GroupMap& chosen) {
  GroupMap taken(chosen);
  std::vector<QbdBlock*> result;
  for (QbdBlock* block : index.Instances()) {
    const StringBase group = MbdRules::ExclusiveGroupOf(*block);
    if (!group.IsEmpty() && taken.emplace(group, block).first->second != block) continue;
    result.push_back(block);
  }
  return result;
}

// The instances named, in the order given, once each; an error for an unknown one and for two
// alternatives, unless a choice settles which of them is exported.
std::vector<QbdBlock*> namedInstances(MBD& model, const TableOptions& options,
                                      const GroupMap& chosen, PinTable& table) {
  std::vector<QbdBlock*> result;
  std::unordered_set<const QbdBlock*> seen;
  GroupMap taken;
  for (const std::string& name : options.instances) {
    QbdBlock* block = model.getBlockByName(StringBase(name));
    if (!block) {
      error(table, "no instance named " + quote(name));
      continue;
    }
    if (!seen.insert(block).second) continue;
    const StringBase group = MbdRules::ExclusiveGroupOf(*block);
    if (!group.IsEmpty()) {
      const auto choice = chosen.find(group);
      if (choice != chosen.end() && choice->second != block) {
        table.problems.push_back(Problem{"", "instance " + quote(nameOf(*block)) +
                                                 " not exported: choose " + group.str() + "=" +
                                                 nameOf(*choice->second) + " takes its place",
                                         false});
        continue;
      }
      const auto first = taken.emplace(group, block);
      if (!first.second) {
        error(table, "instances " + quote(nameOf(*first.first->second)) + " and " +
                         quote(nameOf(*block)) + " are alternatives (EXCLUSIVE group " +
                         quote(group.str()) + "): export one, or pick it with choose " +
                         group.str() + "=INSTANCE");
        continue;
      }
    }
    result.push_back(block);
  }
  return result;
}

// An error for each exported block that a generic template still holds unexpanded: its
// pins are the template's, not a board's.
void checkExpanded(MBD& model, const std::vector<QbdBlock*>& blocks, PinTable& table) {
  LyrBoard::Qbd* qbd = model.getQbdObject();
  if (!qbd || !MbdRules::ReadsInstanceCounts(*qbd)) return;
  std::unordered_set<const QbdBlock*> exported(blocks.begin(), blocks.end());
  for (const MbdRules::ExpansionStep& step : MbdRules::PlanExpansion(qbd).steps) {
    if (step.outcome == MbdRules::ExpansionStep::AlreadyExpanded ||
        step.outcome == MbdRules::ExpansionStep::NoInstanceAttr ||
        step.outcome == MbdRules::ExpansionStep::NoCopies || !exported.count(step.block))
      continue;
    error(table, "instance " + quote(nameOf(*step.block)) +
                     " is a template block that was not expanded (MAX_NUM_INSTANCES = " +
                     MbdRules::AttributeOf(*step.block, "MAX_NUM_INSTANCES").str() + ")");
  }
}

Direction directionOf(const Property& port) {
  const LyrBase::PsfComp* dir = port.GetPsfCompByName("DIR");
  return dir ? ReadDirection(Port_TrimBlanks(dir->GetValueStr().str())) : Direction::Unset;
}

PinRow rowFor(const PortRef& self, const PortRef& pin, const std::string& net,
              const std::string& source) {
  PinRow row;
  row.net = net;
  row.instance = nameOf(*self.block);
  row.port = self.port->GetName().str();
  row.fpgaBlock = nameOf(*pin.block);
  row.fpgaPin = pin.port->GetName().str();
  const StringBase file = pin.port->GetFileName();
  if (file.str() != source) row.file = file.str();
  row.line = pin.port->GetLineNo();
  const std::vector<StringBase> strings = MbdRules::ConstraintStrings(*pin.port);
  row.settings = ReadSettings(strings);
  row.strings.reserve(strings.size());
  for (const StringBase& s : strings) row.strings.push_back(s.str());
  row.settings.direction = directionOf(*pin.port);
  if (row.settings.direction == Direction::Unset) row.settings.direction = directionOf(*self.port);
  return row;
}

// The rows: for each port of the exported instances whose net reaches an FPGA pin, one row per
// pin of that net, made for the first such port on the net only, so that the rows of a net
// stand together. A net is known by its first pin, which costs a pointer where its name would
// cost a copy; the rows are counted first so that they are never moved.
void makeRows(const MbdWiring& index, const std::vector<QbdBlock*>& blocks,
              const std::string& source, PinTable& table) {
  std::unordered_set<const Property*> netsDone;
  netsDone.reserve(index.FpgaPins().size());  // a net is known by one of them
  std::size_t count = 0;
  for (QbdBlock* block : blocks)
    for (Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
      const MbdWiring::Ports pins = index.PinsOn(MbdRules::ConnectorOf(*port));
      if (pins.empty()) ++count;  // an unwired row, added last
      else if (netsDone.insert(pins.front().port).second) count += pins.size();
    }
  table.rows.reserve(count);
  netsDone.clear();
  for (QbdBlock* block : blocks)
    for (Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
      const StringBase net = MbdRules::ConnectorOf(*port);
      const MbdWiring::Ports pins = index.PinsOn(net);
      if (pins.empty() || !netsDone.insert(pins.front().port).second) continue;
      for (const PortRef& pin : pins)
        table.rows.push_back(rowFor(PortRef{block, port}, pin, net.str(), source));
    }
}

void addUnwired(const MbdWiring& index, const std::vector<QbdBlock*>& blocks, PinTable& table) {
  for (QbdBlock* block : blocks)
    for (Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
      const StringBase net = MbdRules::ConnectorOf(*port);
      if (!index.PinsOn(net).empty()) continue;
      PinRow row;
      row.net = net.str();
      row.instance = nameOf(*block);
      row.port = port->GetName().str();
      const StringBase file = port->GetFileName();
      if (file.str() != table.source) row.file = file.str();
      row.line = port->GetLineNo();
      row.settings.direction = directionOf(*port);
      table.rows.push_back(std::move(row));
    }
}

// A clock instance's frequency parameter, for the pins on its ports' nets that state no
// period of their own. Clocks are few: their nets are gathered first, and the rows walked once.
void clockFrequencies(const LyrBoard::Qbd& board, PinTable& table) {
  const ClockNets clocks = ClockFrequencies(board);
  if (clocks.empty()) return;
  for (PinRow& row : table.rows)
    row.settings.frequencyHz = PinFrequency(row.settings, StringBase(row.net), clocks);
}

// The pairs the FPGA pins state with DIFF_N, between exported rows; an error for a pair whose
// N side names no pin, is not exported, or is claimed twice.
using Pairs = std::vector<std::pair<PinRow*, PinRow*>>;
Pairs pairs(const MbdWiring& index, PinTable& table) {
  Pairs found;
  bool any = false;
  for (const PortRef& pin : index.FpgaPins()) any = any || pin.port->GetPsfCompByName(DIFF_N);
  if (!any) return found;
  // Pins by block and name (ignoring case, as names match), and the row of each exported pin.
  std::unordered_map<StringBase, const Property*, CaseBlindHash, CaseBlindEqual> pinByName;
  for (const PortRef& pin : index.FpgaPins())
    pinByName.emplace(StringBase(nameOf(*pin.block) + "\n" + pin.port->GetName().str()),
                      pin.port);
  std::unordered_map<const Property*, PinRow*> rowOfPin;
  for (PinRow& row : table.rows) {
    const auto pin = pinByName.find(StringBase(row.fpgaBlock + "\n" + row.fpgaPin));
    if (pin != pinByName.end()) rowOfPin.emplace(pin->second, &row);
  }
  for (const PortRef& pin : index.FpgaPins()) {
    const LyrBase::PsfComp* diffN = pin.port->GetPsfCompByName(DIFF_N);
    const auto p = rowOfPin.find(pin.port);
    if (!diffN || p == rowOfPin.end()) continue;
    PinRow& pRow = *p->second;
    const std::string nName = Port_TrimBlanks(diffN->GetValueStr().str());
    const auto named = pinByName.find(StringBase(nameOf(*pin.block) + "\n" + nName));
    const Property* nPin = named == pinByName.end() ? nullptr : named->second;
    const std::string where = "FPGA pin " + quote(nameOf(*pin.block) + "." + pRow.fpgaPin);
    if (!nPin || nPin == pin.port) {
      table.problems.push_back(Problem{pRow.name, where + ": " + DIFF_N + " = " + quote(nName) +
                                                      " names no other pin of its FPGA block",
                                       true});
      continue;
    }
    const auto n = rowOfPin.find(nPin);
    if (n == rowOfPin.end()) {
      table.problems.push_back(
          Problem{pRow.name, where + ": the pair's N side, pin " + quote(nName) + " on net " +
                                 quote(MbdRules::ConnectorOf(*nPin).str()) + ", is not exported",
                  true});
      continue;
    }
    PinRow& nRow = *n->second;
    if (nRow.pairSide != PairSide::None || pRow.pairSide != PairSide::None) {
      table.problems.push_back(Problem{pRow.name, where + ": pin " + quote(nName) +
                                                      " is already in another pair",
                                       true});
      continue;
    }
    pRow.pairSide = PairSide::P;
    nRow.pairSide = PairSide::N;
    found.emplace_back(&pRow, &nRow);
  }
  return found;
}

// The design's names of the partners, once NameRows has named every row.
void namePartners(const Pairs& found) {
  for (const auto& pair : found) {
    pair.first->partner = pair.second->name;
    pair.second->partner = pair.first->name;
  }
}

}  // namespace

ClockNets ClockFrequencies(const LyrBoard::Qbd& board) {
  ClockNets clocks;
  for (const LyrBase::PsfComp* comp : board.GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK)) {
    const QbdBlock* block = static_cast<const QbdBlock*>(comp);
    if (MbdRules::IsFpgaBlock(block)) continue;
    if (!MbdRules::HasIoType(*block, StringBase(MBD::IOTYPE_CLOCK))) continue;
    unsigned hz = 0;
    for (const Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER))
      if (MbdRules::IsFrequencyParam(*param)) {
        hz = MbdRules::FrequencyOf(param->GetValueStr());
        break;
      }
    if (hz == 0) continue;
    for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT))
      clocks.emplace(MbdRules::ConnectorOf(*port), hz);
  }
  return clocks;
}

double PinFrequency(const PinSettings& settings, const StringBase& net, const ClockNets& clocks) {
  if (settings.frequencyHz != 0) return settings.frequencyHz;
  const auto clock = clocks.find(net);
  return clock == clocks.end() ? 0 : clock->second;
}

bool HasErrors(const PinTable& table) {
  for (const Problem& p : table.problems)
    if (p.error) return true;
  return false;
}

PinTable BuildPinTable(MBD& model, const TableOptions& options) {
  PinTable table;
  LyrBoard::Qbd* qbd = model.getQbdObject();
  if (!qbd) {
    error(table, "no board");
    return table;
  }
  const MbdWiring index(*qbd);
  // The root of a tree read from a file may not record it; its blocks do.
  table.source = qbd->GetFileName().str();
  if (table.source.empty() && !index.FpgaBlocks().empty())
    table.source = index.FpgaBlocks().front()->GetFileName().str();
  const GroupMap chosen = choices(model, options, table);
  const std::vector<QbdBlock*> blocks = options.instances.empty()
                                            ? allInstances(index, chosen)
                                            : namedInstances(model, options, chosen, table);
  checkExpanded(model, blocks, table);
  makeRows(index, blocks, table.source, table);
  clockFrequencies(*qbd, table);
  const Pairs found = pairs(index, table);
  detail::NameRows(options, table);
  namePartners(found);
  detail::CheckRows(table);
  addUnwired(index, blocks, table);
  return table;
}

bool ReadRenameMap(const std::string& text, std::map<std::string, std::string>& rename,
                   std::string& error, unsigned& errorLine) {
  std::unordered_set<StringBase, MbdRules::NetHash, MbdRules::NetEqual> nets;
  std::size_t start = 0;
  for (unsigned line = 1; start <= text.size(); ++line) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string content = text.substr(start, end - start);
    start = end + 1;
    if (!content.empty() && content.back() == '\r') content.pop_back();
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < content.size()) {
      while (i < content.size() && (content[i] == ' ' || content[i] == '\t')) ++i;
      const std::size_t from = i;
      while (i < content.size() && content[i] != ' ' && content[i] != '\t') ++i;
      if (i > from) words.push_back(content.substr(from, i - from));
    }
    if (words.empty() || words[0][0] == '#') continue;
    if (words.size() != 2) {
      error = "expected NET NAME, found " + std::to_string(words.size()) + " words";
      errorLine = line;
      return false;
    }
    if (!nets.insert(StringBase(words[0])).second) {
      error = "net " + quote(words[0]) + " is renamed twice";
      errorLine = line;
      return false;
    }
    rename[words[0]] = words[1];
  }
  return true;
}

}  // namespace MbdPins
