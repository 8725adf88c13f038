// Parameter and port tables of an instance, and the pin constraints its ports reach through
// the connectors of the FPGA blocks.
#include <unordered_map>
#include <utility>
#include <vector>

#include "BlockFacts.h"
#include "BoardIndex.h"
#include "MBD.h"
#include "MbdRules.h"

using LyrBoard::QbdBlock;
using mbd_detail::BlockFacts;
using mbd_detail::FpgaPinFacts;

namespace {

const char kBlanks[] = " \t";

// True when the FPGA pin has constraint strings; false (and the trace) when it lacks them.
bool HasConstraints(const FpgaPinFacts::Pin& pin, const StringBase& connector) {
  if (!pin.hasConstraints)
    Port_MsgManData::debugStub("connector %s has no UCF define in FPGA section\n",
                               connector.c_str());
  return pin.hasConstraints;
}

// Appends one entry per sub-property, keyed by its trimmed name.
void AddSubProperties(const BlockFacts& facts, const BlockFacts::Prop& prop, MBD::Table& table) {
  for (const BlockFacts::Sub& sub : facts.Subs(prop)) {
    StringBase key = facts.Str(sub.name);
    key.Trim(kBlanks, StringBase::TRIM_BOTH);
    table.emplace(std::move(key), facts.Str(sub.value));
  }
}

// The constraint table of each FPGA pin on the net of `lead` (the port that gives the
// connector) that has constraint strings, extended by the sub-properties of `port`.
template <typename Sink>
void AddPortTables(const BlockFacts& facts, const BlockFacts::Prop& lead,
                   const BlockFacts::Prop& port, const Sink& sink) {
  const StringBase connector = facts.Str(lead.connector);
  const FpgaPinFacts& pins = facts.PinTable();
  for (const FpgaPinFacts::Pin& pin : facts.Pins(lead)) {
    if (!HasConstraints(pin, connector)) continue;
    MBD::Table table;
    for (std::uint32_t n = 0; n < pin.strings; ++n)
      table.emplace(MBD::UCF_NET_STRING, pins.String(pin, n));
    table.emplace(MBD::CONNECTOR, connector);
    AddSubProperties(facts, port, table);
    sink(std::move(table));
  }
}

// A table of each FPGA pin on the connector of `lead` that has constraint strings, extended by
// the sub-properties of `port`, handed to `visit`; returns how many.
std::size_t VisitPinTables(const BlockFacts& facts, const BlockFacts::Prop& lead,
                           const BlockFacts::Prop& port, const MBD::PortTableVisitor& visit) {
  const StringBase name = facts.Str(port.name);
  std::size_t count = 0;
  AddPortTables(facts, lead, port, [&](const MBD::Table& table) {
    visit(name, table);
    ++count;
  });
  return count;
}

}  // namespace

std::vector<MBD::Table> MBD::getParamsByIns(StringBase insName) {
  std::vector<Table> tables;
  const BlockFacts* facts = insName.IsEmpty() ? nullptr : boardIndex().FactsByName(insName);
  if (!facts) return tables;
  for (const BlockFacts::Prop& param : facts->Props(QbdBlock::PARAMETER)) {
    if (!facts->Role(param)) continue;
    Table table;
    table.emplace(VALUE, facts->Str(param.value));
    AddSubProperties(*facts, param, table);
    tables.push_back(std::move(table));
  }
  return tables;
}

std::vector<MBD::Table> MBD::getParamsByIOType(StringBase ioType) {
  const std::vector<StringBase> names = getInstanceNamesByIOType(ioType, 0);
  return names.empty() ? std::vector<Table>() : getParamsByIns(names.front());
}

std::vector<MBD::Table> MBD::getPortsByIns(StringBase insName) {
  std::vector<Table> tables;
  const BlockFacts* facts = insName.IsEmpty() ? nullptr : boardIndex().FactsByName(insName);
  if (!facts) return tables;
  // Every port of a role resolves to the connector of the first port of that role.
  for (const BlockFacts::Prop& port : facts->Props(QbdBlock::PORT)) {
    if (!facts->Role(port)) continue;
    const BlockFacts::Prop& lead = facts->RoleLead(port);
    if (lead.connector.size != 0)
      AddPortTables(*facts, lead, port, [&tables](Table&& t) { tables.push_back(std::move(t)); });
  }
  return tables;
}

void MBD::visitPortTables(StringBase insName, const PortTableVisitor& visit) {
  const BlockFacts* facts = insName.IsEmpty() ? nullptr : boardIndex().FactsByName(insName);
  if (!facts) return;
  // The first port to list each connector (connectors that carry the same pins alike), and how
  // many pins it listed.
  struct Listed {
    StringBase port;
    std::size_t pins;
  };
  std::unordered_map<StringBase, Listed, MbdRules::NetHash, MbdRules::NetEqual> listed;
  for (const BlockFacts::Prop& port : facts->Props(QbdBlock::PORT)) {
    if (!facts->Role(port)) continue;
    const BlockFacts::Prop& lead = facts->RoleLead(port);
    if (lead.connector.size == 0) continue;
    const StringBase connector = facts->Str(lead.connector);
    const auto it = listed.find(connector);
    if (it == listed.end() || it->second.pins < 2) {
      const std::size_t pins = VisitPinTables(*facts, lead, port, visit);
      if (it == listed.end()) listed.emplace(connector, Listed{facts->Str(port.name), pins});
      continue;
    }
    Table table;
    table.emplace(CONNECTOR, connector);
    AddSubProperties(*facts, port, table);
    table.emplace(StringBase("SAME_NET_AS"), it->second.port);
    visit(facts->Str(port.name), table);
  }
}

std::vector<MBD::Table> MBD::getPortsByIOType(StringBase ioType) {
  const std::vector<StringBase> names = getInstanceNamesByIOType(ioType, 0);
  return names.empty() ? std::vector<Table>() : getPortsByIns(names.front());
}

StringBase MBD::getCorePortLoc(StringBase insName, StringBase iois) {
  const BlockFacts* facts = boardIndex().FactsByName(insName);
  const BlockFacts::Prop* port = facts ? facts->FirstWithRole(QbdBlock::PORT, iois) : nullptr;
  if (!port || port->connector.size == 0) return StringBase();
  const StringBase connector = facts->Str(port->connector);
  for (const FpgaPinFacts::Pin& pin : facts->Pins(*port)) {
    if (!HasConstraints(pin, connector)) continue;
    if (pin.hasLocation) return facts->PinTable().Location(pin);
  }
  return StringBase();
}
