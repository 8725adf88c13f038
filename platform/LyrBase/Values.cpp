// The typed values and their canonical text.
#include <cstring>

#include "LyrBase.h"
#include "ValueText.h"

namespace LyrBase {

namespace {

bool Is(const char* typeName, const char* own) {
  return typeName && std::strcmp(typeName, own) == 0;
}

}  // namespace

// ---- Value

const char* Value::GetBaseNode() const { return NodeTypeName<Value>::value; }

bool Value::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, NodeTypeName<Value>::value) || BaseNode::IsBaseNodeType(typeName);
}

// ---- StrVal

StrVal::StrVal(const char* text) : text_(text) {}

StrVal::StrVal(StringBase text) : text_(std::move(text)) {}

const char* StrVal::GetBaseNode() const { return NodeTypeName<StrVal>::value; }

bool StrVal::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, NodeTypeName<StrVal>::value) || Value::IsBaseNodeType(typeName);
}

// ---- ListStrVal

ListStrVal::ListStrVal(const char* text) {
  const std::string whole(text ? text : "");
  // Only the exact canonical text of a list that is not a single element reads as a list;
  // everything else, including a single element's text, is one element. So the value text
  // of the result is always `text` itself.
  if (detail::ParseList(whole, items_) && items_.size() != 1) {
    std::string canonical;
    canonical.reserve(whole.size());
    detail::AppendList(canonical, items_);
    if (canonical == whole) return;
  }
  items_.assign(1, StringBase(whole));
}

ListStrVal::ListStrVal(std::vector<StringBase> items) : items_(std::move(items)) {}

const char* ListStrVal::GetBaseNode() const { return NodeTypeName<ListStrVal>::value; }

bool ListStrVal::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, NodeTypeName<ListStrVal>::value) || Value::IsBaseNodeType(typeName);
}

StringBase ListStrVal::GetValueStr() const {
  if (items_.size() == 1) return items_.front();
  std::string out;
  detail::AppendList(out, items_);
  return StringBase(std::move(out));
}

// ---- ListBaseNodePtrVal

ListBaseNodePtrVal::~ListBaseNodePtrVal() = default;

const char* ListBaseNodePtrVal::GetBaseNode() const { return NodeTypeName<ListBaseNodePtrVal>::value; }

bool ListBaseNodePtrVal::IsBaseNodeType(const char* typeName) const {
  return Is(typeName, NodeTypeName<ListBaseNodePtrVal>::value) || Value::IsBaseNodeType(typeName);
}

StringBase ListBaseNodePtrVal::GetValueStr() const {
  const std::vector<BaseNode*>& items = items_.Items();
  if (items.size() == 1) return static_cast<const ListStrVal*>(items.front())->GetValueStr();
  std::string out = "(";
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i) out += ", ";
    const auto* list = static_cast<const ListStrVal*>(items[i]);
    // A one-element inner list is written as its element; others keep their parentheses.
    if (list->GetValue().size() == 1)
      detail::AppendWord(out, list->GetValue().front().str(), true);
    else
      out += list->GetValueStr().str();
  }
  out += ')';
  return StringBase(std::move(out));
}

void ListBaseNodePtrVal::Append(std::unique_ptr<ListStrVal> item) {
  if (!item) return;
  item->SetOwner(this);
  items_.Append(std::move(item));
  Touch();
}

}  // namespace LyrBase
