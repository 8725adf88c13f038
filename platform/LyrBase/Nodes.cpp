// The node classes of the base-object library: type names, ownership and file positions.
#include <cstring>

#include "LyrBase.h"
#include "NodePool.h"

namespace LyrBase {

namespace {

bool Is(const char* typeName, const char* own) {
  return typeName && std::strcmp(typeName, own) == 0;
}

// The current position a parser stamps on new nodes; one per thread so that two readers on
// two threads do not stamp each other's files.
struct ParserPosition {
  std::shared_ptr<const std::string> file;
  unsigned line = 0;
  unsigned column = 0;
};

ParserPosition& CurrentPosition() {
  static thread_local ParserPosition position;
  return position;
}

}  // namespace

// ---- BaseNode

BaseNode::~BaseNode() {
  if (handleSerial_ != 0) BaseTclIf::ForgetNode(this);
}

void* BaseNode::operator new(std::size_t size) { return detail::NodePool::Allocate(size); }

void BaseNode::operator delete(void* block, std::size_t size) noexcept {
  detail::NodePool::Release(block, size);
}

const char* BaseNode::GetBaseNode() const { return "LyrBas_BaseNode"; }

bool BaseNode::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, "LyrBas_BaseNode");
}

// ---- NameValue

NameValue::NameValue(const char* name) : name_(name) {}

NameValue::~NameValue() = default;

const char* NameValue::GetBaseNode() const { return "LyrBas_NameValue"; }

bool NameValue::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, "LyrBas_NameValue") || BaseNode::IsBaseNodeType(typeName);
}

StringBase NameValue::GetValueStr() const {
  return value_ ? value_->GetValueStr() : StringBase();
}

int NameValue::SetValueStr(const char* text) {
  SetLyrValuePtr(new StrVal(text));
  return 0;
}

void NameValue::SetLyrValuePtr(Value* value) {
  // Setting the value it already holds must not delete it.
  if (value == value_.get()) return;
  value_.reset(value);
  if (value) value->SetOwner(this);
}

// ---- PsfComp

PsfComp::PsfComp(const char* name) : NameValue(name) {}

const char* PsfComp::GetBaseNode() const { return "LyrBas_PsfComp"; }

bool PsfComp::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, "LyrBas_PsfComp") || NameValue::IsBaseNodeType(typeName);
}

StringBase PsfComp::GetFileName() const { return file_ ? StringBase(*file_) : StringBase(); }

void PsfComp::SetFileInfo(std::shared_ptr<const std::string> file, unsigned line,
                          unsigned column) {
  file_ = std::move(file);
  line_ = line;
  column_ = column;
}

// ---- PsfCompList

PsfCompList::~PsfCompList() { Clear(); }

PsfComp* PsfCompList::FindByName(const char* name) const {
  const StringBase wanted(name);
  for (PsfComp* comp : items_)
    if (comp->GetName().Compare(wanted, StringBase::IGNORE_CASE) == 0) return comp;
  return nullptr;
}

void PsfCompList::Clear() {
  // Detach first so that a destructor that looks at the list sees a consistent one.
  std::vector<PsfComp*> doomed;
  doomed.swap(items_);
  for (PsfComp* comp : doomed) delete comp;
}

// ---- Property

Property::Property(const char* name) : PsfComp(name) {}

const char* Property::GetBaseNode() const { return "LyrBas_Property"; }

bool Property::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, "LyrBas_Property") || PsfComp::IsBaseNodeType(typeName);
}

int Property::AddPsfComp(PsfComp* comp) {
  if (!comp) return 1;
  comp->SetOwner(this);
  subs_.Append(comp);
  return 0;
}

// ---- PsfFile

const char* PsfFile::GetBaseNode() const { return "LyrBas_PsfFile"; }

bool PsfFile::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, "LyrBas_PsfFile") || PsfComp::IsBaseNodeType(typeName);
}

// ---- BaseParser

void BaseParser::SetFileInfo(PsfComp* comp) {
  if (!comp) return;
  const ParserPosition& at = CurrentPosition();
  if (at.file)
    comp->SetFileInfo(at.file, at.line, at.column);
  else
    comp->SetFileInfo(nullptr, 0, 0);
}

void BaseParser::SetCurrent(std::shared_ptr<const std::string> file, unsigned line,
                            unsigned column) {
  ParserPosition& at = CurrentPosition();
  if (!file || file->empty()) {
    at = ParserPosition();
    return;
  }
  at.file = std::move(file);
  at.line = line;
  at.column = column;
}

}  // namespace LyrBase
