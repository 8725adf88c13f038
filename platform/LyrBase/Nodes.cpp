// The node classes of the base-object library: type names, ownership and file positions.
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_set>

#include "LyrBase.h"
#include "NodePool.h"

namespace LyrBase {

namespace {

bool Is(const char* typeName, const char* own) {
  return typeName && std::strcmp(typeName, own) == 0;
}

}  // namespace

// ---- BaseNode

namespace {
// Set once by the handle library when it loads, read by every destructor after.
std::atomic<BaseNode::HandleReleaseHook> handleReleaseHook{nullptr};
}  // namespace

void BaseNode::SetHandleReleaseHook(HandleReleaseHook hook) { handleReleaseHook.store(hook); }

BaseNode::~BaseNode() {
  // Relaxed suffices: whoever destroys a node is ordered after every use of it, including the
  // one that gave it a handle; the hook reads the serial again under the table's lock.
  if (handleSerial_.load(std::memory_order_relaxed) == 0) return;
  if (HandleReleaseHook hook = handleReleaseHook.load()) hook(this);
}

void* BaseNode::operator new(std::size_t size) { return detail::NodePool::Allocate(size); }

void BaseNode::operator delete(void* block, std::size_t size) noexcept {
  detail::NodePool::Release(block, size);
}

const char* BaseNode::GetBaseNode() const { return NodeTypeName<BaseNode>::value; }

bool BaseNode::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, NodeTypeName<BaseNode>::value);
}

// ---- NameValue

NameValue::NameValue(const char* name) : name_(name) {}

NameValue::~NameValue() = default;

const char* NameValue::GetBaseNode() const { return NodeTypeName<NameValue>::value; }

bool NameValue::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, NodeTypeName<NameValue>::value) || BaseNode::IsBaseNodeType(typeName);
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
  Touch();
}

// ---- PsfComp

PsfComp::PsfComp(const char* name) : NameValue(name) {}

const char* PsfComp::GetBaseNode() const { return NodeTypeName<PsfComp>::value; }

bool PsfComp::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, NodeTypeName<PsfComp>::value) || NameValue::IsBaseNodeType(typeName);
}

StringBase PsfComp::GetFileName() const { return file_ ? StringBase(*file_) : StringBase(); }

void PsfComp::SetFileInfo(const std::string* file, unsigned line, unsigned column) {
  file_ = file;
  line_ = line;
  column_ = column;
}

const std::string* PsfComp::InternFileName(const std::string& name) {
  // Never destroyed: nodes may outlive static destruction order. A set of nodes keeps every
  // name where it was first stored.
  static std::mutex* const mutex = new std::mutex;
  static auto* const names = new std::unordered_set<std::string>;
  std::lock_guard<std::mutex> lock(*mutex);
  return &*names->insert(name).first;
}

// ---- Property

Property::Property(const char* name) : PsfComp(name) {}

const char* Property::GetBaseNode() const { return NodeTypeName<Property>::value; }

bool Property::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, NodeTypeName<Property>::value) || PsfComp::IsBaseNodeType(typeName);
}

int Property::AddPsfComp(PsfComp* comp) {
  if (!comp) return 1;
  comp->SetOwner(this);
  subs_.Append(std::unique_ptr<PsfComp>(comp));
  Touch();
  return 0;
}

int Property::RemovePsfComp(const PsfComp* comp) {
  if (!comp || !subs_.Remove(comp)) return 1;
  Touch();
  return 0;
}

// ---- PsfFile

const char* PsfFile::GetBaseNode() const { return NodeTypeName<PsfFile>::value; }

bool PsfFile::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, NodeTypeName<PsfFile>::value) || PsfComp::IsBaseNodeType(typeName);
}

// ---- BaseParser

void BaseParser::SetFileInfo(PsfComp* comp) {
  // The reader stamps what it reads itself; any node made after a read was not read.
  if (comp) comp->SetFileInfo(nullptr, 0, 0);
}

}  // namespace LyrBase
