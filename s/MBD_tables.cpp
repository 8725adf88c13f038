// Parameter and port tables of an instance, and the pin constraints its ports reach through
// the connectors of the FPGA blocks.
#include <unordered_map>
#include <utility>
#include <vector>

#include "BoardIndex.h"
#include "MBD.h"
#include "MbdRules.h"

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::QbdBlock;

namespace {

const char kBlanks[] = " \t";


// The UCF_NET_STRING sub-property of an FPGA port; null (and the trace) when it lacks one.
const PsfComp* UcfOf(const Property* fpgaPort, const StringBase& connector) {
  const PsfComp* ucf = MbdRules::ConstraintsOf(*fpgaPort);
  if (!ucf)
    Port_MsgManData::debugStub("connector %s has no UCF define in FPGA section\n",
                               connector.c_str());
  return ucf;
}

// Appends one entry per sub-property, keyed by its trimmed name.
void AddSubProperties(const Property* prop, MBD::Table& table) {
  for (const PsfComp* sub : prop->GetPsfCompSeqRef()) {
    StringBase key = sub->GetName();
    key.Trim(kBlanks, StringBase::TRIM_BOTH);
    table.emplace(key, sub->GetValueStr());
  }
}

}  // namespace

std::vector<MBD::Table> MBD::getParamsByIns(StringBase insName) {
  std::vector<Table> tables;
  const QbdBlock* block = insName.IsEmpty() ? nullptr : getBlockByName(insName);
  if (!block) return tables;
  for (const Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER)) {
    if (!MbdRules::RoleOf(*param)) continue;
    Table table;
    table.emplace(VALUE, param->GetValueStr());
    AddSubProperties(param, table);
    tables.push_back(std::move(table));
  }
  return tables;
}

std::vector<MBD::Table> MBD::getParamsByIOType(StringBase ioType) {
  const std::vector<StringBase> names = getInstanceNamesByIOType(ioType, 0);
  return names.empty() ? std::vector<Table>() : getParamsByIns(names.front());
}

std::vector<MBD::Table> MBD::constraintTables(const std::vector<Property*>& fpgaPorts,
                                              const StringBase& connector) {
  std::vector<Table> tables;
  for (const Property* fpgaPort : fpgaPorts) {
    const PsfComp* ucf = UcfOf(fpgaPort, connector);
    if (!ucf) continue;
    Table table;
    for (const StringBase& line : MbdRules::StringsOf(ucf)) table.emplace(UCF_NET_STRING, line);
    table.emplace(CONNECTOR, connector);
    tables.push_back(std::move(table));
  }
  return tables;
}

std::vector<MBD::Table> MBD::getPortsByIns(StringBase insName) {
  std::vector<Table> tables;
  const QbdBlock* block = insName.IsEmpty() ? nullptr : getBlockByName(insName);
  if (!block) return tables;
  const mbd_detail::BoardIndex& index = boardIndex();
  // Every port of a role resolves to the connector of the first port of that role; the map
  // spares a walk of the ports per port.
  std::unordered_map<StringBase, StringBase, CaseBlindHash, CaseBlindEqual> connectorOfRole;
  for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
    const PsfComp* role = MbdRules::RoleOf(*port);
    if (role) connectorOfRole.emplace(role->GetValueStr(), MbdRules::ConnectorOf(*port));
  }
  for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
    const PsfComp* role = MbdRules::RoleOf(*port);
    if (!role) continue;
    const StringBase& connector = connectorOfRole[role->GetValueStr()];
    if (connector.IsEmpty()) continue;
    for (Table& table : constraintTables(index.FpgaPortsOn(connector), connector)) {
      AddSubProperties(port, table);
      tables.push_back(std::move(table));
    }
  }
  return tables;
}

std::vector<MBD::Table> MBD::getPortsByIOType(StringBase ioType) {
  const std::vector<StringBase> names = getInstanceNamesByIOType(ioType, 0);
  return names.empty() ? std::vector<Table>() : getPortsByIns(names.front());
}

StringBase MBD::getCorePortLoc(StringBase insName, StringBase iois) {
  const StringBase connector = MbdRules::ConnectorOfRole(getBlockByName(insName), iois);
  if (connector.IsEmpty()) return StringBase();
  StringBase location;
  for (const Property* fpgaPort : boardIndex().FpgaPortsOn(connector)) {
    const PsfComp* ucf = UcfOf(fpgaPort, connector);
    if (!ucf) continue;
    if (MbdRules::FirstLocation(MbdRules::StringsOf(ucf), location)) return location;
  }
  return StringBase();
}
