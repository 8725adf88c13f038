#include "BoardTestSupport.h"

#include <stdexcept>
#include <vector>

namespace boardtest {

using LyrBase::ListBaseNodePtrVal;
using LyrBase::ListStrVal;
using LyrBase::NameValue;
using LyrBase::PsfComp;
using LyrBase::Property;
using LyrBase::StrVal;
using LyrBase::Value;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

std::unique_ptr<Qbd> Board(const char* text) {
  auto board = std::make_unique<Qbd>();
  board->ReadString(text);
  return board;
}

namespace {

// Length-prefixed so that no text can fake structure.
std::string Quote(const StringBase& s) {
  return std::to_string(s.GetLength()) + ":" + s.str();
}

std::string DescribeValue(const Value* value) {
  if (!value) return "none";
  std::string out = std::string(value->GetBaseNode()) + " " + Quote(value->GetValueStr());
  if (const auto* list = LyrBase::NodeCast<ListStrVal>(value)) {
    out += " [";
    for (const StringBase& item : list->GetValue()) out += Quote(item) + ";";
    out += "]";
  } else if (const auto* lists = LyrBase::NodeCast<ListBaseNodePtrVal>(value)) {
    out += " [";
    for (const LyrBase::BaseNode* item : lists->GetValue())
      out += DescribeValue(LyrBase::NodeCast<Value>(item)) + ";";
    out += "]";
  }
  return out;
}

std::string DescribeNode(const NameValue& node) {
  return std::string(node.GetBaseNode()) + " " + Quote(node.GetName()) + " = " +
         DescribeValue(node.GetLyrValuePtr());
}

std::string DescribeProperty(const char* kind, const Property& prop) {
  std::string out = std::string(kind) + " " + DescribeNode(prop) + "\n";
  for (const PsfComp* sub : prop.GetPsfCompSeqRef()) out += "    sub " + DescribeNode(*sub) + "\n";
  return out;
}

}  // namespace

std::string Describe(const Qbd& board) {
  std::string out;
  for (const PsfComp* attr : board.GetPsfCompSeqRef(Qbd::ATTRIBUTE)) {
    const auto* prop = LyrBase::NodeCast<Property>(attr);
    if (!prop) throw std::logic_error("a board attribute that is not a property");
    out += DescribeProperty("board-attribute", *prop);
  }
  for (const PsfComp* comp : board.GetPsfCompSeqRef(Qbd::BLOCK)) {
    // The block list holds blocks only: the board refuses anything else.
    const auto& block = *LyrBase::NodeCast<QbdBlock>(comp);
    out += "block " + Quote(block.GetName()) + "\n";
    for (auto kind : {QbdBlock::ATTRIBUTE, QbdBlock::PARAMETER, QbdBlock::PORT})
      for (const Property* prop : block.GetPropSeqRef(kind))
        out += "  " + DescribeProperty(std::to_string(kind).c_str(), *prop);
  }
  return out;
}

std::string RandomText(std::mt19937& rng, std::size_t maxLength) {
  static const std::vector<std::string> kPieces = {
      "a", "Z", "0", "_", "-", ".", ":", "/", " ", "\t", ",", "=", "(", ")", "\"", "#",
      "\\", "\n", "\xC3\xA9", "\xFF", "LOC", "ATTRIBUTE", "END", "BEGIN BLOCK", "'", ";"};
  std::uniform_int_distribution<std::size_t> length(0, maxLength);
  std::uniform_int_distribution<std::size_t> piece(0, kPieces.size() - 1);
  std::string out;
  for (std::size_t n = length(rng); n > 0; --n) out += kPieces[piece(rng)];
  return out;
}

namespace {

std::unique_ptr<ListStrVal> RandomList(std::mt19937& rng) {
  std::vector<StringBase> items;
  for (int n = std::uniform_int_distribution<int>(0, 3)(rng); n > 0; --n)
    items.emplace_back(RandomText(rng, 4));
  return std::make_unique<ListStrVal>(std::move(items));
}

Value* RandomValue(std::mt19937& rng) {
  switch (std::uniform_int_distribution<int>(0, 3)(rng)) {
    case 0:
      return RandomList(rng).release();
    case 1: {
      // The reader makes lists of lists with at least one element.
      auto lists = std::make_unique<ListBaseNodePtrVal>();
      for (int n = std::uniform_int_distribution<int>(1, 3)(rng); n > 0; --n)
        lists->Append(RandomList(rng));
      return lists.release();
    }
    default:
      return new StrVal(RandomText(rng, 6).c_str());
  }
}

template <class Node>
Node* RandomProperty(std::mt19937& rng) {
  auto* prop = new Node(RandomText(rng, 4).c_str());
  prop->SetLyrValuePtr(RandomValue(rng));
  for (int n = std::uniform_int_distribution<int>(0, 3)(rng); n > 0; --n) {
    auto* sub = new PsfComp(RandomText(rng, 4).c_str());
    sub->SetLyrValuePtr(RandomValue(rng));
    prop->AddPsfComp(sub);
  }
  return prop;
}

}  // namespace

std::unique_ptr<Qbd> RandomBoard(std::mt19937& rng) {
  auto board = std::make_unique<Qbd>();
  std::uniform_int_distribution<int> few(0, 3);
  for (int n = few(rng); n > 0; --n) board->AddPsfComp(Qbd::ATTRIBUTE, RandomProperty<Property>(rng));
  for (int b = std::uniform_int_distribution<int>(1, 4)(rng); b > 0; --b) {
    auto* block = new QbdBlock();
    for (int n = few(rng); n > 0; --n) {
      Property* attr = RandomProperty<Property>(rng);
      // Now and then an INSTANCE attribute, the reader's source of a block name.
      if (few(rng) == 0) attr->SetName(few(rng) ? "INSTANCE" : "instance");
      block->AddProperty(QbdBlock::ATTRIBUTE, attr);
    }
    for (int n = few(rng); n > 0; --n)
      block->AddProperty(QbdBlock::PARAMETER, RandomProperty<LyrBoard::BdParam>(rng));
    for (int n = few(rng); n > 0; --n)
      block->AddProperty(QbdBlock::PORT, RandomProperty<LyrBoard::BdPin>(rng));
    // A name of its own, its INSTANCE value, or none.
    const int naming = few(rng);
    if (naming == 0) block->SetName(RandomText(rng, 4).c_str());
    else if (naming == 1) block->SetName(block->GetPropertyValueStr(QbdBlock::ATTRIBUTE, "INSTANCE").c_str());
    board->AddPsfComp(Qbd::BLOCK, block);
  }
  return board;
}

}  // namespace boardtest
