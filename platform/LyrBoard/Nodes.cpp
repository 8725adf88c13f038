// The board tree: blocks with their properties, and the board itself.
#include <cstring>
#include <memory>

#include "LyrBoard.h"

namespace LyrBoard {

namespace {

bool Is(const char* typeName, const char* own) {
  return typeName && std::strcmp(typeName, own) == 0;
}

const std::vector<LyrBase::PsfComp*>& NoComps() {
  static const std::vector<LyrBase::PsfComp*> none;
  return none;
}

}  // namespace

// ---- BdParam

BdParam::BdParam(const char* name) : Property(name) {}

BdParam::BdParam(StringBase name, std::unique_ptr<LyrBase::Value> value)
    : Property(std::move(name), std::move(value)) {}

const char* BdParam::GetBaseNode() const { return LyrBase::NodeTypeName<BdParam>::value; }

bool BdParam::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, LyrBase::NodeTypeName<BdParam>::value) || Property::IsBaseNodeType(typeName);
}

// ---- BdPin

BdPin::BdPin(const char* name, const char* value) : Property(name) { SetValueStr(value); }

BdPin::BdPin(StringBase name, std::unique_ptr<LyrBase::Value> value)
    : Property(std::move(name),
               value ? std::move(value) : std::make_unique<LyrBase::StrVal>("")) {}

const char* BdPin::GetBaseNode() const { return LyrBase::NodeTypeName<BdPin>::value; }

bool BdPin::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, LyrBase::NodeTypeName<BdPin>::value) || Property::IsBaseNodeType(typeName);
}

// ---- QbdBlock

QbdBlock::QbdBlock() = default;

QbdBlock::~QbdBlock() {
  // In the reverse of the order a block is usually written (attributes, parameters, ports), so
  // that the next tree reuses the memory in the order it is built (see OwnedList::Clear).
  props_[PORT - 1].Clear();
  props_[PARAMETER - 1].Clear();
  props_[ATTRIBUTE - 1].Clear();
}

const char* QbdBlock::GetBaseNode() const { return LyrBase::NodeTypeName<QbdBlock>::value; }

bool QbdBlock::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, LyrBase::NodeTypeName<QbdBlock>::value) || PsfComp::IsBaseNodeType(typeName);
}

const std::vector<LyrBase::Property*>& QbdBlock::GetPropSeqRef(NodeType type) const {
  static const std::vector<LyrBase::Property*> none;
  if (type < PARAMETER || type > ATTRIBUTE) return none;
  return props_[type - 1].Items();
}

LyrBase::Property* QbdBlock::GetPropertyByName(NodeType type, const char* name) const {
  if (type < PARAMETER || type > ATTRIBUTE) return nullptr;
  return props_[type - 1].FindByName(name);
}

StringBase QbdBlock::GetPropertyValueStr(NodeType type, const char* name) const {
  const LyrBase::Property* prop = GetPropertyByName(type, name);
  return prop ? prop->GetValueStr() : StringBase();
}

int QbdBlock::AddProperty(NodeType type, LyrBase::Property* prop) {
  std::unique_ptr<LyrBase::Property> owned(prop);
  if (!owned || type < PARAMETER || type > ATTRIBUTE) return 1;
  owned->SetOwner(this);
  props_[type - 1].Append(std::move(owned));
  Touch();
  return 0;
}

int QbdBlock::RemoveProperty(NodeType type, const LyrBase::Property* prop) {
  if (!prop || type < PARAMETER || type > ATTRIBUTE) return 1;
  if (!props_[type - 1].Remove(prop)) return 1;
  Touch();
  return 0;
}

// ---- Qbd

Qbd::Qbd() = default;

Qbd::~Qbd() = default;

const char* Qbd::GetBaseNode() const { return LyrBase::NodeTypeName<Qbd>::value; }

bool Qbd::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, LyrBase::NodeTypeName<Qbd>::value) || PsfFile::IsBaseNodeType(typeName);
}

const std::vector<LyrBase::PsfComp*>& Qbd::GetPsfCompSeqRef(NodeType type) const {
  if (type == BLOCK) return blocks_.Items();
  if (type == ATTRIBUTE) return attributes_.Items();
  return NoComps();
}

LyrBase::PsfComp* Qbd::GetPsfCompByName(NodeType type, const char* name) const {
  if (type == BLOCK) return blocks_.FindByName(name);
  if (type == ATTRIBUTE) return attributes_.FindByName(name);
  return nullptr;
}

int Qbd::AddPsfComp(NodeType type, LyrBase::PsfComp* comp) {
  std::unique_ptr<LyrBase::PsfComp> owned(comp);
  const bool fits = owned && ((type == BLOCK && LyrBase::NodeCast<QbdBlock>(comp)) ||
                              type == ATTRIBUTE);
  if (!fits) return 1;
  owned->SetOwner(this);
  (type == BLOCK ? blocks_ : attributes_).Append(std::move(owned));
  if (type == BLOCK) ++blockListCount_;
  Touch();
  return 0;
}

int Qbd::RemovePsfComp(NodeType type, const LyrBase::PsfComp* comp) {
  if (!comp || (type != BLOCK && type != ATTRIBUTE)) return 1;
  if (!(type == BLOCK ? blocks_ : attributes_).Remove(comp)) return 1;
  if (type == BLOCK) ++blockListCount_;
  Touch();
  return 0;
}

void Qbd::Clear() {
  blocks_.Clear();
  attributes_.Clear();
  ++blockListCount_;
  Touch();
}

void Qbd::AdoptFrom(Qbd& fresh) {
  Clear();
  blocks_.Swap(fresh.blocks_);
  attributes_.Swap(fresh.attributes_);
  for (LyrBase::PsfComp* comp : blocks_.Items()) comp->SetOwner(this);
  for (LyrBase::PsfComp* comp : attributes_.Items()) comp->SetOwner(this);
  ++blockListCount_;
  Touch();
}

}  // namespace LyrBoard
