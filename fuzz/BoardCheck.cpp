#include "BoardCheck.h"

#include <vector>

namespace qbd_fuzz {

namespace {

using LyrBase::ListBaseNodePtrVal;
using LyrBase::ListStrVal;
using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBase::StrVal;
using LyrBase::Value;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string ListShape(const std::vector<StringBase>& items) {
  std::string out = "[";
  for (const StringBase& item : items) out += Quoted(item.str()) + " ";
  return out + "]";
}

// The value's class and structure as text, so that two values compare by one string test.
std::string ValueShape(const Value* value) {
  if (!value) return "none";
  if (auto* s = LyrBase::NodeCast<StrVal>(value)) return "StrVal " + Quoted(s->GetValue().str());
  if (auto* l = LyrBase::NodeCast<ListStrVal>(value)) return "ListStrVal " + ListShape(l->GetValue());
  if (auto* ll = LyrBase::NodeCast<ListBaseNodePtrVal>(value)) {
    std::string out = "ListBaseNodePtrVal [";
    for (const LyrBase::BaseNode* item : ll->GetValue()) {
      auto* inner = LyrBase::NodeCast<ListStrVal>(item);
      out += inner ? ListShape(inner->GetValue()) : std::string("<not a list>");
    }
    return out + "]";
  }
  return std::string("unknown ") + value->GetBaseNode();
}

std::string Differ(const std::string& path, const std::string& what, const std::string& a,
                   const std::string& b) {
  return path + ": " + what + " differs: " + Quoted(a) + " vs " + Quoted(b);
}

std::string CompDifference(const std::string& path, const PsfComp* a, const PsfComp* b);

template <class T>
std::string SeqDifference(const std::string& path, const std::vector<T*>& a,
                          const std::vector<T*>& b) {
  if (a.size() != b.size())
    return Differ(path, "count", std::to_string(a.size()), std::to_string(b.size()));
  for (size_t i = 0; i < a.size(); ++i) {
    std::string diff = CompDifference(path + "[" + std::to_string(i) + "]", a[i], b[i]);
    if (!diff.empty()) return diff;
  }
  return std::string();
}

std::string BlockDifference(const std::string& path, const QbdBlock* a, const QbdBlock* b) {
  const QbdBlock::NodeType kinds[] = {QbdBlock::ATTRIBUTE, QbdBlock::PARAMETER, QbdBlock::PORT};
  const char* names[] = {".ATTRIBUTE", ".PARAMETER", ".PORT"};
  for (int k = 0; k < 3; ++k) {
    std::string diff = SeqDifference(path + names[k], a->GetPropSeqRef(kinds[k]),
                                     b->GetPropSeqRef(kinds[k]));
    if (!diff.empty()) return diff;
  }
  return std::string();
}

std::string CompDifference(const std::string& path, const PsfComp* a, const PsfComp* b) {
  if (!a || !b) return (a || b) ? path + ": null on one side" : std::string();
  if (std::string(a->GetBaseNode()) != b->GetBaseNode())
    return Differ(path, "kind", a->GetBaseNode(), b->GetBaseNode());
  if (a->GetName() != b->GetName()) return Differ(path, "name", a->GetName().str(), b->GetName().str());
  const std::string shapeA = ValueShape(a->GetLyrValuePtr());
  const std::string shapeB = ValueShape(b->GetLyrValuePtr());
  if (shapeA != shapeB) return Differ(path + " " + a->GetName().str(), "value", shapeA, shapeB);
  if (a->GetValueStr() != b->GetValueStr())
    return Differ(path, "value text", a->GetValueStr().str(), b->GetValueStr().str());
  auto* propA = LyrBase::NodeCast<Property>(a);
  auto* propB = LyrBase::NodeCast<Property>(b);
  if (propA && propB) {
    std::string diff = SeqDifference(path + " " + a->GetName().str() + ".sub",
                                     propA->GetPsfCompSeqRef(), propB->GetPsfCompSeqRef());
    if (!diff.empty()) return diff;
  }
  auto* blockA = LyrBase::NodeCast<QbdBlock>(a);
  auto* blockB = LyrBase::NodeCast<QbdBlock>(b);
  if (blockA && blockB) return BlockDifference(path + " " + a->GetName().str(), blockA, blockB);
  return std::string();
}

size_t CompCount(const PsfComp* comp) {
  size_t count = 1;
  if (auto* prop = LyrBase::NodeCast<Property>(comp))
    for (const PsfComp* sub : prop->GetPsfCompSeqRef()) count += CompCount(sub);
  if (auto* block = LyrBase::NodeCast<QbdBlock>(comp))
    for (QbdBlock::NodeType kind : {QbdBlock::ATTRIBUTE, QbdBlock::PARAMETER, QbdBlock::PORT})
      for (const Property* prop : block->GetPropSeqRef(kind)) count += CompCount(prop);
  return count;
}

}  // namespace

int ReadBoard(Qbd& board, const std::string& bytes, const char* sourceName) {
  return board.ReadBuffer(bytes.data(), bytes.size(), sourceName);
}

std::string TreeDifference(const Qbd& a, const Qbd& b) {
  std::string diff = SeqDifference("board.ATTRIBUTE", a.GetPsfCompSeqRef(Qbd::ATTRIBUTE),
                                   b.GetPsfCompSeqRef(Qbd::ATTRIBUTE));
  if (!diff.empty()) return diff;
  return SeqDifference("board.BLOCK", a.GetPsfCompSeqRef(Qbd::BLOCK),
                       b.GetPsfCompSeqRef(Qbd::BLOCK));
}

size_t NodeCount(const Qbd& board) {
  size_t count = 0;
  for (Qbd::NodeType kind : {Qbd::ATTRIBUTE, Qbd::BLOCK})
    for (const PsfComp* comp : board.GetPsfCompSeqRef(kind)) count += CompCount(comp);
  return count;
}

}  // namespace qbd_fuzz
