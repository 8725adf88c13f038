// The node classes of the base-object library: type names, ownership and file positions.
#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "LyrBase.h"
#include "NodePool.h"

namespace LyrBase {

// The common 64-bit layout, where these sizes decide how much memory a large board takes: the
// four bytes of a component's file number sit beside its count of changes.
#if defined(__LP64__) && (defined(__GNUC__) || defined(__clang__))
static_assert(sizeof(StrVal) == 48 && sizeof(PsfComp) == 72, "node layout grew");
#endif

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

std::atomic<std::size_t> BaseNode::nodesWithHandles_{0};

void BaseNode::ReleaseHandle() const {
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

NameValue::NameValue(StringBase name, std::unique_ptr<Value> value)
    : name_(std::move(name)), value_(std::move(value)) {
  if (value_) value_->SetOwner(this);
}

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

PsfComp::PsfComp(StringBase name, std::unique_ptr<Value> value)
    : NameValue(std::move(name), std::move(value)) {}

const char* PsfComp::GetBaseNode() const { return NodeTypeName<PsfComp>::value; }

bool PsfComp::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, NodeTypeName<PsfComp>::value) || NameValue::IsBaseNodeType(typeName);
}

namespace {

// Every file name nodes were read from, numbered from 1. Never destroyed: nodes may outlive
// static destruction order. Each name is stored once, as a key of `ids`, which stays where it
// is; `names` points at the keys in the order they were numbered.
struct FileNames {
  std::mutex mutex;
  std::unordered_map<std::string, PsfComp::FileId> ids;
  std::vector<const std::string*> names;
};

FileNames& Files() {
  static auto* const files = new FileNames;
  return *files;
}

}  // namespace

StringBase PsfComp::GetFileName() const {
  if (file_ == 0) return StringBase();
  FileNames& files = Files();
  std::lock_guard<std::mutex> lock(files.mutex);
  // A number InternFileName never gave (a host may record any) names no file.
  if (file_ > files.names.size()) return StringBase();
  return StringBase(*files.names[file_ - 1]);
}

void PsfComp::SetFileInfo(FileId file, unsigned line, unsigned column) {
  file_ = file;
  line_ = line;
  column_ = column;
}

PsfComp::FileId PsfComp::InternFileName(const std::string& name) {
  FileNames& files = Files();
  std::lock_guard<std::mutex> lock(files.mutex);
  auto known = files.ids.find(name);
  if (known != files.ids.end()) return known->second;
  // A process that read four billion differently named files would need more numbers: its
  // later files name none rather than a wrong one.
  if (files.names.size() >= UINT32_MAX) return 0;
  files.names.reserve(files.names.size() + 1);  // so that the key below is never left unnamed
  const auto id = static_cast<FileId>(files.names.size() + 1);
  files.names.push_back(&files.ids.emplace(name, id).first->first);
  return id;
}

// ---- Property

Property::Property(const char* name) : PsfComp(name) {}

Property::Property(StringBase name, std::unique_ptr<Value> value)
    : PsfComp(std::move(name), std::move(value)) {}

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
  if (comp) comp->SetFileInfo(0, 0, 0);
}

}  // namespace LyrBase
