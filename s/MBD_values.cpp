// Reading one parameter or port of an instance, found by its role (IO_IS) or by its name.
#include "MBD.h"
#include "MbdRules.h"

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::QbdBlock;

namespace {

// The value of the first property named name that has a sub-property named subprop (compared
// here, ignoring case, over the sub-property list); empty when none.
StringBase namedSubpropValue(const std::vector<Property*>& props, const StringBase& name,
                             const StringBase& subprop) {
  for (const Property* prop : props) {
    if (!EqualsIgnoringCase(prop->GetName(), name)) continue;
    for (const PsfComp* sub : prop->GetPsfCompSeqRef())
      if (EqualsIgnoringCase(sub->GetName(), subprop)) return sub->GetValueStr();
  }
  return StringBase();
}

// The value of the first property named name; empty when none.
StringBase namedValue(const std::vector<Property*>& props, const StringBase& name) {
  for (const Property* prop : props)
    if (EqualsIgnoringCase(prop->GetName(), name)) return prop->GetValueStr();
  return StringBase();
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
  const Property* param = getCoreParamProperty(getBlockByName(insName), iois);
  return param ? param->GetName() : StringBase();
}

StringBase MBD::getCoreParamValue(StringBase insName, StringBase iois) {
  const Property* param = getCoreParamProperty(getBlockByName(insName), iois);
  return param ? param->GetValueStr() : StringBase();
}

StringBase MBD::getCoreParamDesc(StringBase insName, StringBase iois, StringBase subprop) {
  const QbdBlock* block = getBlockByName(insName);
  if (!block) return StringBase();
  // Unlike getValByInsIoisName, a parameter of that role without the sub-property does not
  // end the search.
  for (const Property* param : params(block)) {
    if (!MbdRules::HasRole(*param, iois)) continue;
    const PsfComp* sub = param->GetPsfCompByName(subprop.c_str());
    if (sub) return sub->GetValueStr();
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
  QbdBlock* block = getBlockByName(insName);
  if (!block) {
    Port_MsgManData::debugStub("There is no such instance found in QBD:%s\n", insName.c_str());
    return StringBase();
  }
  const Property* param = getCoreParamProperty(block, iois);
  if (!param) {
    Port_MsgManData::debugStub("There is no IOIS = %s found in %s\n", iois.c_str(),
                               insName.c_str());
    return StringBase();
  }
  const PsfComp* sub = param->GetPsfCompByName(tag.c_str());
  if (!sub) {
    Port_MsgManData::debugStub("There is no %s tag defined in %s:%s\n", tag.c_str(),
                               insName.c_str(), iois.c_str());
    return StringBase();
  }
  return sub->GetValueStr();
}

bool MBD::hasPortIoisVal(StringBase insName, StringBase iois) {
  QbdBlock* block = getBlockByName(insName);
  if (!block) {
    Port_MsgManData::debugStub("There is no such instance found in QBD:%s\n", insName.c_str());
    return false;
  }
  return getCorePortProperty(block, iois) != nullptr;
}

StringBase MBD::getParamValue(StringBase insName, StringBase paramName) {
  const QbdBlock* block = getBlockByName(insName);
  return block ? namedValue(params(block), paramName) : StringBase();
}

StringBase MBD::getParamSubpropValue(StringBase insName, StringBase paramName,
                                     StringBase subprop) {
  const QbdBlock* block = getBlockByName(insName);
  return block ? namedSubpropValue(params(block), paramName, subprop) : StringBase();
}

StringBase MBD::getPortValue(StringBase insName, StringBase portName) {
  const QbdBlock* block = getBlockByName(insName);
  return block ? namedValue(ports(block), portName) : StringBase();
}

StringBase MBD::getPortSubpropValue(StringBase insName, StringBase portName, StringBase subprop) {
  const QbdBlock* block = getBlockByName(insName);
  return block ? namedSubpropValue(ports(block), portName, subprop) : StringBase();
}
