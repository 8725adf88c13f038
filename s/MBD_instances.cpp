// What the board offers: IO types, adapters, instances of a type, instance attributes,
// exclusion groups and the copies expansion made of a key instance.
#include <algorithm>
#include <unordered_set>
#include <utility>

#include "BoardIndex.h"
#include "MBD.h"
#include "MbdRules.h"

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::QbdBlock;
using mbd_detail::BlockFacts;

std::vector<StringBase> MBD::getAttrValuesOfBlocks(const char* attrName) {
  std::vector<StringBase> values;
  for (PsfComp* comp : blockList()) {
    const Property* attr =
        static_cast<QbdBlock*>(comp)->GetPropertyByName(QbdBlock::ATTRIBUTE, attrName);
    if (attr) values.push_back(attr->GetValueStr());
  }
  return values;
}

std::vector<StringBase> MBD::getIOTypes() { return getAttrValuesOfBlocks(IO_TYPE); }

std::vector<StringBase> MBD::getIOAdapters() { return getAttrValuesOfBlocks(ADAPTER_NAME); }

std::vector<StringBase> MBD::getTrimedIOTypes() {
  // Repeats are exact: types that differ only in letter case both stay. The set keeps a
  // board with many distinct types from costing a search of the result per block.
  std::vector<StringBase> types;
  std::unordered_set<StringBase> seen;
  for (StringBase& type : getIOTypes())
    if (seen.insert(type).second) types.push_back(std::move(type));
  return types;
}

bool MBD::hasIoType(StringBase ioType) { return boardIndex().HasExactType(ioType); }

std::vector<StringBase> MBD::getInstanceNamesByIOType(StringBase ioType, unsigned char keyOnly) {
  std::vector<StringBase> names;
  if (ioType.IsEmpty()) return names;
  const std::vector<QbdBlock*>& blocks = boardIndex().BlocksOfType(ioType);
  names.reserve(blocks.size());
  for (const QbdBlock* block : blocks) {
    const StringBase& name = block->GetName();
    // Key instances are exactly the keys of the expansion record (an exact lookup).
    if (keyOnly && dupInsMap.find(name) == dupInsMap.end()) continue;
    names.push_back(name);
  }
  return names;
}

StringBase MBD::getAttributeValue(StringBase insName, StringBase attrName) {
  const BlockFacts* facts = boardIndex().FactsByName(insName);
  // Attributes are found by node name: the text up to its first NUL byte.
  return facts ? facts->Attribute(StringBase(attrName.c_str())) : StringBase();
}

StringBase MBD::getIOTypeByInstanceName(StringBase insName) {
  return getAttributeValue(insName, IO_TYPE);
}

StringBase MBD::getAlertOfIns(StringBase insName) { return getAttributeValue(insName, ALERT); }

StringBase MBD::getSpeedOfIns(StringBase insName) {
  const BlockFacts* facts = boardIndex().FactsByName(insName);
  return facts ? facts->Speed() : MbdRules::SpeedOf(nullptr);
}

std::vector<StringBase> MBD::getDupInsNamesOfKeyIns(StringBase keyIns) {
  const auto found = dupInsMap.find(keyIns);
  return found == dupInsMap.end() ? std::vector<StringBase>() : found->second;
}

std::vector<StringBase> MBD::getExclusiveInsSeq(StringBase insName) {
  std::vector<StringBase> names;
  if (IsGenericBoard(qbd)) return names;
  const BlockFacts* facts = boardIndex().FactsByName(insName);
  if (!facts) return names;
  // The tag is compared whole: it names a group, it is not a list.
  const StringBase group = facts->ExclusiveGroup();
  if (group.IsEmpty()) return names;
  // Every member of the indexed group is an alternative of the block; only it goes out.
  const std::vector<QbdBlock*>& members = boardIndex().BlocksInGroup(group);
  names.reserve(members.size());
  for (const QbdBlock* member : members)
    if (!EqualsIgnoringCase(member->GetName(), insName)) names.push_back(member->GetName());
  return names;
}

bool MBD::isBaseUserProperty(Property* prop) {
  if (!prop) return false;
  const PsfComp* permit = prop->GetPsfCompByName(PERMIT_TAG.c_str());
  return permit && EqualsIgnoringCase(permit->GetValueStr(), BASE_USER);
}
