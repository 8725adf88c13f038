// Reading one parameter or port of an instance, found by its role (IO_IS) or by its name.
#include "BlockFacts.h"
#include "BoardIndex.h"
#include "MBD.h"
#include "MbdRules.h"

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::QbdBlock;
using mbd_detail::BlockFacts;

namespace {

// The name a lookup by node name (GetPsfCompByName, GetPropertyByName) compares: the text up
// to its first NUL byte, as those lookups take it.
StringBase byNodeName(const StringBase& name) { return StringBase(name.c_str()); }

// The value of the first property of that kind named name that has a sub-property named
// subprop (compared whole, ignoring case); empty when none or for no block.
StringBase namedSubpropValue(const BlockFacts* facts, QbdBlock::NodeType kind,
                             const StringBase& name, const StringBase& subprop) {
  if (!facts) return StringBase();
  for (const BlockFacts::Prop& prop : facts->Props(kind)) {
    if (!EqualsIgnoringCase(facts->Str(prop.name), name)) continue;
    const BlockFacts::Sub* sub = facts->SubNamed(prop, subprop);
    if (sub) return facts->Str(sub->value);
  }
  return StringBase();
}

// The value of the first property of that kind named name; empty when none or for no block.
StringBase namedValue(const BlockFacts* facts, QbdBlock::NodeType kind, const StringBase& name) {
  const BlockFacts::Prop* prop = facts ? facts->Named(kind, name) : nullptr;
  return prop ? facts->Str(prop->value) : StringBase();
}

const std::vector<Property*>& params(const QbdBlock* block) {
  return block->GetPropSeqRef(QbdBlock::PARAMETER);
}

const std::vector<Property*>& ports(const QbdBlock* block) {
  return block->GetPropSeqRef(QbdBlock::PORT);
}

}  // namespace

Property* MBD::getCoreParamProperty(QbdBlock* block, StringBase iois) {
  return block ? MbdRules::FirstWithRole(params(block), iois) : nullptr;
}

Property* MBD::getCorePortProperty(QbdBlock* block, StringBase iois) {
  return block ? MbdRules::FirstWithRole(ports(block), iois) : nullptr;
}

StringBase MBD::getParamNameByIois(StringBase insName, StringBase iois) {
  const BlockFacts* facts = boardIndex().FactsByName(insName);
  const BlockFacts::Prop* param = facts ? facts->FirstWithRole(QbdBlock::PARAMETER, iois) : nullptr;
  return param ? facts->Str(param->name) : StringBase();
}

StringBase MBD::getCoreParamValue(StringBase insName, StringBase iois) {
  const BlockFacts* facts = boardIndex().FactsByName(insName);
  const BlockFacts::Prop* param = facts ? facts->FirstWithRole(QbdBlock::PARAMETER, iois) : nullptr;
  return param ? facts->Str(param->value) : StringBase();
}

StringBase MBD::getCoreParamDesc(StringBase insName, StringBase iois, StringBase subprop) {
  const BlockFacts* facts = boardIndex().FactsByName(insName);
  if (!facts) return StringBase();
  const StringBase wanted = byNodeName(subprop);
  // Unlike getValByInsIoisName, a parameter of that role without the sub-property does not
  // end the search.
  for (const BlockFacts::Prop& param : facts->Props(QbdBlock::PARAMETER)) {
    if (!facts->HasRole(param, iois)) continue;
    const BlockFacts::Sub* sub = facts->SubNamed(param, wanted);
    if (sub) return facts->Str(sub->value);
  }
  return StringBase();
}

StringBase MBD::getCoreParamShortDesc(StringBase insName, StringBase iois) {
  return getCoreParamDesc(insName, iois, VALUE_NOTE);
}

StringBase MBD::getCoreParamLongDesc(StringBase insName, StringBase iois) {
  return getCoreParamDesc(insName, iois, VALUE_TEXT);
}

StringBase MBD::getValByInsIoisName(StringBase insName, StringBase iois, StringBase tag) {
  const BlockFacts* facts = boardIndex().FactsByName(insName);
  if (!facts) {
    Port_MsgManData::debugStub("There is no such instance found in QBD:%s\n", insName.c_str());
    return StringBase();
  }
  const BlockFacts::Prop* param = facts->FirstWithRole(QbdBlock::PARAMETER, iois);
  if (!param) {
    Port_MsgManData::debugStub("There is no IOIS = %s found in %s\n", iois.c_str(),
                               insName.c_str());
    return StringBase();
  }
  const BlockFacts::Sub* sub = facts->SubNamed(*param, byNodeName(tag));
  if (!sub) {
    Port_MsgManData::debugStub("There is no %s tag defined in %s:%s\n", tag.c_str(),
                               insName.c_str(), iois.c_str());
    return StringBase();
  }
  return facts->Str(sub->value);
}

bool MBD::hasPortIoisVal(StringBase insName, StringBase iois) {
  const BlockFacts* facts = boardIndex().FactsByName(insName);
  if (!facts) {
    Port_MsgManData::debugStub("There is no such instance found in QBD:%s\n", insName.c_str());
    return false;
  }
  return facts->FirstWithRole(QbdBlock::PORT, iois) != nullptr;
}

StringBase MBD::getParamValue(StringBase insName, StringBase paramName) {
  return namedValue(boardIndex().FactsByName(insName), QbdBlock::PARAMETER, paramName);
}

StringBase MBD::getParamSubpropValue(StringBase insName, StringBase paramName,
                                     StringBase subprop) {
  return namedSubpropValue(boardIndex().FactsByName(insName), QbdBlock::PARAMETER, paramName,
                           subprop);
}

StringBase MBD::getPortValue(StringBase insName, StringBase portName) {
  return namedValue(boardIndex().FactsByName(insName), QbdBlock::PORT, portName);
}

StringBase MBD::getPortSubpropValue(StringBase insName, StringBase portName, StringBase subprop) {
  return namedSubpropValue(boardIndex().FactsByName(insName), QbdBlock::PORT, portName, subprop);
}
