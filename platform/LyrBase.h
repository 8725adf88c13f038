// Base objects of the board-description tree: named nodes with typed values and
// sub-properties, value objects, the file node and the parser's file information. The Tcl
// interface base class is in LyrBaseTcl.h; nothing here needs Tcl.
#ifndef LYRBASE_H
#define LYRBASE_H

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "Portability.h"

namespace LyrBase {

class BaseTclIf;

// Every node of the tree. Type names begin "LyrBas_", "LyrBoard_" or "LyrBd_".
class BaseNode {
 public:
  BaseNode() = default;
  BaseNode(const BaseNode&) = delete;
  BaseNode& operator=(const BaseNode&) = delete;
  virtual ~BaseNode() {
    // Relaxed suffices: whoever destroys a node is ordered after every use of it, including
    // the one that gave it a handle, so a node with a handle sees a count of at least one.
    if (nodesWithHandles_.load(std::memory_order_relaxed) != 0) ReleaseHandle();
  }

  // Node memory comes from a pool of small blocks; every node is still deleted on its own.
  static void* operator new(std::size_t size);
  static void* operator new(std::size_t size, std::align_val_t align) {
    return ::operator new(size, align);
  }
  static void* operator new(std::size_t, void* where) noexcept { return where; }
  static void operator delete(void* block, std::size_t size) noexcept;
  static void operator delete(void* block, std::size_t, std::align_val_t align) noexcept {
    ::operator delete(block, align);
  }
  static void operator delete(void*, void*) noexcept {}

  // The node's own type name, such as "LyrBoard_BdPin".
  virtual const char* GetBaseNode() const;
  // True when `typeName` names this node's class or one of its bases (exact comparison).
  virtual bool IsBaseNodeType(const char* typeName) const;
  // The container that holds this node; null for a root or a node not yet added.
  const BaseNode* GetOwner() const { return owner_; }
  virtual void SetOwner(const BaseNode* owner) { owner_ = owner; }
  // How many changes this node and everything it holds have seen (a rename, a new value, a
  // node added or removed); it only grows, so an index built at one count is current while
  // the count stays the same. 0 for a node that never changed, and always 0 for the string
  // values, which cannot change. A board's count never wraps; below the board the counts are
  // kept modulo 2^32, so that a node costs four bytes for it.
  virtual unsigned long long GetModCount() const { return 0; }

  // What a node calls when it is destroyed while some node holds a handle. The library that
  // makes handles sets it once, before it makes the first; a null hook (the default) does
  // nothing.
  using HandleReleaseHook = void (*)(const BaseNode* node);
  static void SetHandleReleaseHook(HandleReleaseHook hook);

 protected:
  // Records a change of this node: its count and the count of each owner up to the root grow.
  void Touch() const {
    for (const BaseNode* node = this; node; node = node->owner_) node->CountChange();
  }
  // Adds one to this node's own count; a node that cannot change keeps none.
  virtual void CountChange() const {}

 private:
  // Hands the dying node to the handle release hook, if one is set.
  void ReleaseHandle() const;
  friend class BaseTclIf;
  // Two words, so that the million small values of a large board cost little: the count of
  // changes lives in the nodes that can change, and which nodes hold handles is the handle
  // table's business.
  const BaseNode* owner_ = nullptr;
  // How many nodes of the process hold a handle, written by the handle table under its lock;
  // while it is 0 a destructor need not ask the table about its node.
  static std::atomic<std::size_t> nodesWithHandles_;
};

// A typed value. Its text is the canonical text of the board file syntax.
class Value : public BaseNode {
 public:
  const char* GetBaseNode() const override;
  bool IsBaseNodeType(const char* typeName) const override;
  // The value as text.
  virtual StringBase GetValueStr() const = 0;
};

// A single string.
class StrVal : public Value {
 public:
  explicit StrVal(const char* text);
  explicit StrVal(StringBase text);
  const char* GetBaseNode() const override;
  bool IsBaseNodeType(const char* typeName) const override;
  StringBase GetValueStr() const override { return text_; }
  // The string.
  const StringBase& GetValue() const { return text_; }

 private:
  StringBase text_;
};

// A list of strings.
class ListStrVal : public Value {
 public:
  // Reads `text` as the canonical text of a list of zero, two or more elements; any other
  // text becomes a one-element list holding the text itself.
  explicit ListStrVal(const char* text);
  explicit ListStrVal(std::vector<StringBase> items);
  const char* GetBaseNode() const override;
  bool IsBaseNodeType(const char* typeName) const override;
  StringBase GetValueStr() const override;
  // The strings, in order.
  const std::vector<StringBase>& GetValue() const { return items_; }

 private:
  std::vector<StringBase> items_;
};

// A list of lists of strings; it owns its elements.
class ListBaseNodePtrVal : public Value {
 public:
  ListBaseNodePtrVal() = default;
  ~ListBaseNodePtrVal() override;
  const char* GetBaseNode() const override;
  bool IsBaseNodeType(const char* typeName) const override;
  StringBase GetValueStr() const override;
  // The elements, in order; each is a ListStrVal.
  const std::vector<BaseNode*>& GetValue() const { return items_.Items(); }
  // Appends an element and takes ownership of it.
  void Append(std::unique_ptr<ListStrVal> item);
  unsigned long long GetModCount() const override { return modCount_; }

 protected:
  void CountChange() const override { ++modCount_; }

 private:
  OwnedList<BaseNode> items_;
  mutable std::uint32_t modCount_ = 0;
};

// A node with a name and a typed value.
class NameValue : public BaseNode {
 public:
  explicit NameValue(const char* name = "");
  // A node named `name` that takes ownership of `value` (null for none); a new node has seen
  // no change yet.
  NameValue(StringBase name, std::unique_ptr<Value> value);
  ~NameValue() override;
  const char* GetBaseNode() const override;
  bool IsBaseNodeType(const char* typeName) const override;

  // The node's name; empty when it has none.
  const StringBase& GetName() const { return name_; }
  void SetName(const char* name) {
    name_ = StringBase(name);
    Touch();
  }
  void SetName(StringBase name) {
    name_ = std::move(name);
    Touch();
  }
  // The value as text; empty when there is no value.
  StringBase GetValueStr() const;
  // Replaces the value with a single string; returns 0.
  int SetValueStr(const char* text);
  // The typed value; null when there is none.
  Value* GetLyrValuePtr() const { return value_.get(); }
  // Replaces the typed value and takes ownership of it (null removes it).
  void SetLyrValuePtr(Value* value);
  unsigned long long GetModCount() const override { return modCount_; }

 protected:
  void CountChange() const override { ++modCount_; }

 private:
  StringBase name_;
  std::unique_ptr<Value> value_;
  // Last, so that a derived class may place four bytes of its own beside it.
  mutable std::uint32_t modCount_ = 0;
};

// A component of a file: a named value that remembers where it was read.
class PsfComp : public NameValue {
 public:
  explicit PsfComp(const char* name = "");
  // A component named `name` that takes ownership of `value` (null for none).
  PsfComp(StringBase name, std::unique_ptr<Value> value);
  const char* GetBaseNode() const override;
  bool IsBaseNodeType(const char* typeName) const override;

  // The file this node was read from; empty for a node made in memory or one whose file
  // number InternFileName never gave.
  StringBase GetFileName() const;
  // Line and column (from 1) where the node was read; 0 for a node made in memory.
  unsigned GetLineNo() const { return line_; }
  unsigned GetColumnNo() const { return column_; }
  // A file name as nodes hold it: 0 for none, else the number InternFileName gave the name.
  using FileId = std::uint32_t;
  // Records where the node was read; `file` comes from InternFileName, or is 0 for none.
  void SetFileInfo(FileId file, unsigned line, unsigned column);
  // The number of the file name `name`, the same for every node read from it, so that a node
  // names its file in four bytes; the name is kept until the process ends. Never 0 (no file)
  // before four billion different names have been numbered.
  static FileId InternFileName(const std::string& name);

 private:
  FileId file_ = 0;
  unsigned line_ = 0;
  unsigned column_ = 0;
};

// A named owning list of components.
using PsfCompList = OwnedList<PsfComp>;

// An attribute, parameter or port: a component with sub-properties.
class Property : public PsfComp {
 public:
  explicit Property(const char* name = "");
  // A property named `name` that takes ownership of `value` (null for none).
  Property(StringBase name, std::unique_ptr<Value> value);
  const char* GetBaseNode() const override;
  bool IsBaseNodeType(const char* typeName) const override;

  // Sub-properties, in order.
  const std::vector<PsfComp*>& GetPsfCompSeqRef() const { return subs_.Items(); }
  // The first sub-property whose name equals `name` ignoring case; null when none.
  PsfComp* GetPsfCompByName(const char* name) const { return subs_.FindByName(name); }
  // Appends a sub-property and takes ownership of it; returns 0 (1 for null).
  int AddPsfComp(PsfComp* comp);
  // Deletes the sub-property `comp`; 0 on success, 1 (nothing done) when it is not one of
  // this property's.
  int RemovePsfComp(const PsfComp* comp);

 private:
  PsfCompList subs_;
};

// A node that stands for a whole file. It remembers the result of the last read.
class PsfFile : public PsfComp {
 public:
  PsfFile() = default;
  const char* GetBaseNode() const override;
  bool IsBaseNodeType(const char* typeName) const override;
  // The code of the last read: 0 after success or when nothing was read.
  int GetErrorCode() const { return errorCode_; }

 protected:
  void SetErrorCode(int code) { errorCode_ = code; }

 private:
  int errorCode_ = 0;
};

// The file information of nodes. The reader stamps each node it reads with its file, line
// and column (PsfComp::SetFileInfo); a node made in memory has none.
class BaseParser {
 public:
  // Marks `comp` as made in memory: no file, line 0 (null is ignored).
  static void SetFileInfo(PsfComp* comp);
};

// The type name of each node class, as its GetBaseNode returns it and IsBaseNodeType tests
// it; a class without one cannot be asked for by NodeCast.
template <class T>
struct NodeTypeName;
template <> struct NodeTypeName<BaseNode> { static constexpr const char* value = "LyrBas_BaseNode"; };
template <> struct NodeTypeName<Value> { static constexpr const char* value = "LyrBas_Value"; };
template <> struct NodeTypeName<StrVal> { static constexpr const char* value = "LyrBas_StrVal"; };
template <> struct NodeTypeName<ListStrVal> { static constexpr const char* value = "LyrBas_ListStrVal"; };
template <> struct NodeTypeName<ListBaseNodePtrVal> {
  static constexpr const char* value = "LyrBas_ListBaseNodePtrVal";
};
template <> struct NodeTypeName<NameValue> { static constexpr const char* value = "LyrBas_NameValue"; };
template <> struct NodeTypeName<PsfComp> { static constexpr const char* value = "LyrBas_PsfComp"; };
template <> struct NodeTypeName<Property> { static constexpr const char* value = "LyrBas_Property"; };
template <> struct NodeTypeName<PsfFile> { static constexpr const char* value = "LyrBas_PsfFile"; };

// The one type test of the tree: `node` as a T when IsBaseNodeType says it is a T or a node
// derived from one; null when it is not, or when `node` is null.
template <class T>
T* NodeCast(BaseNode* node) {
  static_assert(std::is_base_of<BaseNode, T>::value, "NodeCast gives nodes of the tree only");
  return node && node->IsBaseNodeType(NodeTypeName<T>::value) ? static_cast<T*>(node) : nullptr;
}
template <class T>
const T* NodeCast(const BaseNode* node) {
  static_assert(std::is_base_of<BaseNode, T>::value, "NodeCast gives nodes of the tree only");
  return node && node->IsBaseNodeType(NodeTypeName<T>::value) ? static_cast<const T*>(node)
                                                              : nullptr;
}

}  // namespace LyrBase

#endif  // LYRBASE_H
