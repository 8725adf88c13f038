// Parameter and port tables of an instance, and the pin constraints its ports reach through
// the connectors of the FPGA blocks.
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "BoardIndex.h"
#include "MBD.h"

using LyrBase::ListStrVal;
using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBase::StrVal;
using LyrBoard::QbdBlock;

namespace {

const char kBlanks[] = " \t";

// Names equal ignoring case fold to the same key (only ASCII letters fold).
std::string FoldCase(const StringBase& text) {
  std::string out = text.str();
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Role of a property: the value of its IO_IS sub-property; null sub-property when it has none.
const PsfComp* RoleOf(const Property* prop) { return prop->GetPsfCompByName(MBD::IOIS.c_str()); }

// The connector of the first port of `block` whose role equals `iois`; empty when none.
StringBase ConnectorOf(const QbdBlock* block, const StringBase& iois) {
  if (!block) return StringBase();
  for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
    const PsfComp* role = RoleOf(port);
    if (role && role->GetValueStr().Compare(iois, StringBase::IGNORE_CASE) == 0)
      return port->GetValueStr();
  }
  return StringBase();
}

// The UCF_NET_STRING sub-property of an FPGA port; null (and the trace) when it lacks one.
const PsfComp* UcfOf(const Property* fpgaPort, const StringBase& connector) {
  const PsfComp* ucf = fpgaPort->GetPsfCompByName(MBD::UCF_NET_STRING.c_str());
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

// The location given by a "LOC=..." string; false when the string is not one.
bool LocationIn(const StringBase& ucfString, StringBase& location) {
  const unsigned eq = ucfString.GetIndexOfFirstChar('=', '\0');
  if (eq == StringBase::NPOS) return false;
  StringBase key(ucfString.str().substr(0, eq));
  key.Trim(kBlanks, StringBase::TRIM_BOTH);
  if (key.Compare(MBD::LOC, StringBase::IGNORE_CASE) != 0) return false;
  location = StringBase(ucfString.str().substr(eq + 1));
  return true;
}

}  // namespace

std::vector<StringBase> MBD::getStringsOf(const PsfComp* sub) {
  const LyrBase::Value* value = sub ? sub->GetLyrValuePtr() : nullptr;
  if (const auto* list = dynamic_cast<const ListStrVal*>(value)) return list->GetValue();
  if (const auto* single = dynamic_cast<const StrVal*>(value))
    return std::vector<StringBase>(1, single->GetValue());
  return std::vector<StringBase>();
}

std::vector<MBD::Table> MBD::getParamsByIns(StringBase insName) {
  std::vector<Table> tables;
  const QbdBlock* block = insName.IsEmpty() ? nullptr : getBlockByName(insName);
  if (!block) return tables;
  for (const Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER)) {
    if (!RoleOf(param)) continue;
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
    for (const StringBase& line : getStringsOf(ucf)) table.emplace(UCF_NET_STRING, line);
    table.emplace(CONNECTOR, connector);
    tables.push_back(std::move(table));
  }
  return tables;
}

std::vector<MBD::Table> MBD::getCorePortUcfStr(StringBase insName, StringBase iois) {
  const StringBase connector = ConnectorOf(getBlockByName(insName), iois);
  if (connector.IsEmpty()) return std::vector<Table>();
  return constraintTables(boardIndex().FpgaPortsOn(connector), connector);
}

std::vector<MBD::Table> MBD::getPortsByIns(StringBase insName) {
  std::vector<Table> tables;
  const QbdBlock* block = insName.IsEmpty() ? nullptr : getBlockByName(insName);
  if (!block) return tables;
  const mbd_detail::BoardIndex& index = boardIndex();
  // Every port of a role resolves to the connector of the first port of that role.
  std::unordered_map<std::string, StringBase> connectorOfRole;
  for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
    const PsfComp* role = RoleOf(port);
    if (role) connectorOfRole.emplace(FoldCase(role->GetValueStr()), port->GetValueStr());
  }
  for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
    const PsfComp* role = RoleOf(port);
    if (!role) continue;
    const StringBase& connector = connectorOfRole[FoldCase(role->GetValueStr())];
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
  const StringBase connector = ConnectorOf(getBlockByName(insName), iois);
  if (connector.IsEmpty()) return StringBase();
  StringBase location;
  for (const Property* fpgaPort : boardIndex().FpgaPortsOn(connector)) {
    const PsfComp* ucf = UcfOf(fpgaPort, connector);
    if (!ucf) continue;
    for (const StringBase& line : getStringsOf(ucf))
      if (LocationIn(line, location)) return location;
  }
  return StringBase();
}
