// The node model: type names, ownership, owners, lookups by name.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "LyrBoard.h"

namespace {

using LyrBase::BaseNode;
using LyrBase::ListBaseNodePtrVal;
using LyrBase::ListStrVal;
using LyrBase::PsfComp;
using LyrBase::Property;
using LyrBase::StrVal;
using LyrBoard::BdParam;
using LyrBoard::BdPin;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

// Nodes that report their own destruction, to see who deletes what.
template <class Base>
struct Tracked : Base {
  template <class... Args>
  explicit Tracked(bool* gone, Args... args) : Base(args...), gone_(gone) {}
  ~Tracked() override { *gone_ = true; }
  bool* gone_;
};

struct TypeCase {
  std::unique_ptr<BaseNode> node;
  const char* name;
  std::vector<const char*> bases;
};

TEST(Nodes, TypeNames_NameTheClassAndEveryBase) {
  std::vector<TypeCase> cases;
  cases.push_back({std::make_unique<LyrBase::NameValue>(), "LyrBas_NameValue",
                   {"LyrBas_BaseNode"}});
  cases.push_back({std::make_unique<PsfComp>(), "LyrBas_PsfComp",
                   {"LyrBas_NameValue", "LyrBas_BaseNode"}});
  cases.push_back({std::make_unique<Property>(), "LyrBas_Property",
                   {"LyrBas_PsfComp", "LyrBas_NameValue", "LyrBas_BaseNode"}});
  cases.push_back({std::make_unique<BdParam>(), "LyrBoard_BdParam",
                   {"LyrBas_Property", "LyrBas_PsfComp", "LyrBas_NameValue", "LyrBas_BaseNode"}});
  cases.push_back({std::make_unique<BdPin>(), "LyrBoard_BdPin",
                   {"LyrBas_Property", "LyrBas_PsfComp", "LyrBas_NameValue", "LyrBas_BaseNode"}});
  cases.push_back({std::make_unique<QbdBlock>(), "LyrBoard_QbdBlock",
                   {"LyrBas_PsfComp", "LyrBas_NameValue", "LyrBas_BaseNode"}});
  cases.push_back({std::make_unique<Qbd>(), "LyrBoard_Qbd",
                   {"LyrBas_PsfFile", "LyrBas_PsfComp", "LyrBas_NameValue", "LyrBas_BaseNode"}});
  cases.push_back({std::make_unique<StrVal>("x"), "LyrBas_StrVal", {"LyrBas_Value", "LyrBas_BaseNode"}});
  cases.push_back({std::make_unique<ListStrVal>("x"), "LyrBas_ListStrVal",
                   {"LyrBas_Value", "LyrBas_BaseNode"}});
  cases.push_back({std::make_unique<ListBaseNodePtrVal>(), "LyrBas_ListBaseNodePtrVal",
                   {"LyrBas_Value", "LyrBas_BaseNode"}});
  for (const TypeCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_STREQ(c.node->GetBaseNode(), c.name);
    EXPECT_TRUE(c.node->IsBaseNodeType(c.name));
    for (const char* base : c.bases) EXPECT_TRUE(c.node->IsBaseNodeType(base)) << base;
    EXPECT_FALSE(c.node->IsBaseNodeType("LyrBas_Value") && c.node->IsBaseNodeType("LyrBas_PsfComp"));
    EXPECT_FALSE(c.node->IsBaseNodeType(nullptr));
    EXPECT_FALSE(c.node->IsBaseNodeType("lyrbas_basenode")) << "comparison is exact";
  }
  EXPECT_FALSE(BdPin().IsBaseNodeType("LyrBoard_BdParam"));
  EXPECT_FALSE(Property().IsBaseNodeType("LyrBoard_BdPin"));
}

// The type test gives the node itself for its own class and its bases, and null for any
// other class, for a null node, and through a const node alike.
TEST(Nodes, NodeCast_OwnClassAndBasesOnly) {
  using LyrBase::NodeCast;
  BdPin pin;
  QbdBlock block;
  Qbd board;
  StrVal text("x");
  ListStrVal list("x");
  BaseNode* const nodes[] = {&pin, &block, &board, &text, &list};
  struct Case {
    BaseNode* node;
    bool property, pinClass, param, comp, blockClass, file, value, listClass;
  };
  const Case cases[] = {
      {&pin, true, true, false, true, false, false, false, false},
      {&block, false, false, false, true, true, false, false, false},
      {&board, false, false, false, true, false, true, false, false},
      {&text, false, false, false, false, false, false, true, false},
      {&list, false, false, false, false, false, false, true, true},
  };
  ASSERT_EQ(std::size(cases), std::size(nodes));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.node->GetBaseNode());
    const auto same = [&c](const void* cast, bool expected) {
      return cast == (expected ? static_cast<const void*>(c.node) : nullptr);
    };
    EXPECT_TRUE(same(NodeCast<Property>(c.node), c.property));
    EXPECT_TRUE(same(NodeCast<BdPin>(c.node), c.pinClass));
    EXPECT_TRUE(same(NodeCast<BdParam>(c.node), c.param));
    EXPECT_TRUE(same(NodeCast<PsfComp>(c.node), c.comp));
    EXPECT_TRUE(same(NodeCast<QbdBlock>(c.node), c.blockClass));
    EXPECT_TRUE(same(NodeCast<Qbd>(c.node), c.file));
    EXPECT_TRUE(same(NodeCast<LyrBase::Value>(c.node), c.value));
    EXPECT_TRUE(same(NodeCast<ListStrVal>(c.node), c.listClass));
    EXPECT_EQ(NodeCast<BaseNode>(static_cast<const BaseNode*>(c.node)), c.node);
  }
  EXPECT_EQ(NodeCast<QbdBlock>(static_cast<BaseNode*>(nullptr)), nullptr);
  EXPECT_EQ(NodeCast<StrVal>(static_cast<const BaseNode*>(nullptr)), nullptr);
}

TEST(Nodes, Containers_DeleteWhatWasAdded) {
  bool block = false, prop = false, sub = false, value = false, attr = false, element = false;
  {
    Qbd board;
    auto* b = new Tracked<QbdBlock>(&block);
    auto* p = new Tracked<BdParam>(&prop, "C_X");
    p->AddPsfComp(new Tracked<PsfComp>(&sub, "IO_IS"));
    p->SetLyrValuePtr(new Tracked<StrVal>(&value, "1"));
    b->AddProperty(QbdBlock::PARAMETER, p);
    ASSERT_EQ(board.AddPsfComp(Qbd::BLOCK, b), 0);
    ASSERT_EQ(board.AddPsfComp(Qbd::ATTRIBUTE, new Tracked<Property>(&attr, "NAME")), 0);
    auto lists = std::make_unique<ListBaseNodePtrVal>();
    lists->Append(std::unique_ptr<ListStrVal>(new Tracked<ListStrVal>(&element, "e")));
    EXPECT_FALSE(element);
  }
  EXPECT_TRUE(block && prop && sub && value && attr && element);
}

TEST(Nodes, Owners_AreTheContainers) {
  Qbd board;
  auto* block = new QbdBlock();
  auto* pin = new BdPin("P", "net");
  auto* sub = new PsfComp("IO_IS");
  auto* attr = new Property("NAME");
  EXPECT_EQ(block->GetOwner(), nullptr);
  pin->AddPsfComp(sub);
  block->AddProperty(QbdBlock::PORT, pin);
  board.AddPsfComp(Qbd::BLOCK, block);
  board.AddPsfComp(Qbd::ATTRIBUTE, attr);
  EXPECT_EQ(sub->GetOwner(), pin);
  EXPECT_EQ(pin->GetOwner(), block);
  EXPECT_EQ(block->GetOwner(), &board);
  EXPECT_EQ(attr->GetOwner(), &board);
  EXPECT_EQ(pin->GetLyrValuePtr()->GetOwner(), pin);
  EXPECT_EQ(board.GetOwner(), nullptr);
}

TEST(Nodes, Add_RejectsNullUnknownKindsAndNonBlocks) {
  bool gone = false;
  Qbd board;
  EXPECT_EQ(board.AddPsfComp(Qbd::BLOCK, new Tracked<Property>(&gone, "not a block")), 1);
  EXPECT_TRUE(gone);
  gone = false;
  EXPECT_EQ(board.AddPsfComp(static_cast<Qbd::NodeType>(3), new Tracked<QbdBlock>(&gone)), 1);
  EXPECT_TRUE(gone);
  EXPECT_EQ(board.AddPsfComp(Qbd::ATTRIBUTE, nullptr), 1);
  EXPECT_TRUE(board.GetPsfCompSeqRef(Qbd::BLOCK).empty());
  EXPECT_TRUE(board.GetPsfCompSeqRef(Qbd::ATTRIBUTE).empty());
  EXPECT_TRUE(board.GetPsfCompSeqRef(static_cast<Qbd::NodeType>(0)).empty());

  QbdBlock block;
  gone = false;
  EXPECT_EQ(block.AddProperty(static_cast<QbdBlock::NodeType>(0), new Tracked<Property>(&gone)), 1);
  EXPECT_TRUE(gone);
  EXPECT_EQ(block.AddProperty(QbdBlock::PORT, nullptr), 1);
  EXPECT_TRUE(block.GetPropSeqRef(static_cast<QbdBlock::NodeType>(0)).empty());
  EXPECT_EQ(Property().AddPsfComp(nullptr), 1);
}

TEST(Nodes, Lookup_IgnoresCaseAndTakesTheFirst) {
  Qbd board;
  auto* first = new QbdBlock();
  first->SetName("Uart_0");
  auto* second = new QbdBlock();
  second->SetName("UART_0");
  board.AddPsfComp(Qbd::BLOCK, first);
  board.AddPsfComp(Qbd::BLOCK, second);
  EXPECT_EQ(board.GetPsfCompByName(Qbd::BLOCK, "uart_0"), first);
  EXPECT_EQ(board.GetPsfCompByName(Qbd::BLOCK, "uart_1"), nullptr);
  EXPECT_EQ(board.GetPsfCompByName(Qbd::ATTRIBUTE, "uart_0"), nullptr);
  ASSERT_EQ(board.GetPsfCompSeqRef(Qbd::BLOCK).size(), 2u);
  EXPECT_EQ(board.GetPsfCompSeqRef(Qbd::BLOCK)[1], second);

  first->AddProperty(QbdBlock::PARAMETER, new BdParam("C_BAUD"));
  first->GetPropertyByName(QbdBlock::PARAMETER, "c_baud")->SetValueStr("9600");
  first->AddProperty(QbdBlock::PARAMETER, new BdParam("c_baud"));
  EXPECT_EQ(first->GetPropertyValueStr(QbdBlock::PARAMETER, "C_BAUD"), StringBase("9600"));
  EXPECT_EQ(first->GetPropertyByName(QbdBlock::PORT, "C_BAUD"), nullptr) << "kinds are apart";
  EXPECT_TRUE(first->GetPropertyValueStr(QbdBlock::PARAMETER, "C_MISSING").IsEmpty());

  Property prop("P");
  prop.AddPsfComp(new PsfComp("Io_Is"));
  prop.AddPsfComp(new PsfComp("IO_IS"));
  EXPECT_EQ(prop.GetPsfCompByName("io_is"), prop.GetPsfCompSeqRef()[0]);
  EXPECT_EQ(prop.GetPsfCompByName("DIR"), nullptr);
}

TEST(Nodes, Values_ReplaceAndRemove) {
  BdPin pin("CLK", "sys_clk");
  ASSERT_NE(LyrBase::NodeCast<StrVal>(pin.GetLyrValuePtr()), nullptr);
  EXPECT_EQ(pin.GetValueStr(), StringBase("sys_clk"));
  EXPECT_EQ(pin.SetValueStr("other"), 0);
  EXPECT_EQ(pin.GetValueStr(), StringBase("other"));
  pin.SetLyrValuePtr(new ListStrVal(std::vector<StringBase>{"a", "b"}));
  EXPECT_EQ(pin.GetValueStr(), StringBase("(a, b)"));
  pin.SetLyrValuePtr(pin.GetLyrValuePtr());
  EXPECT_EQ(pin.GetValueStr(), StringBase("(a, b)")) << "setting the same value keeps it";
  pin.SetLyrValuePtr(nullptr);
  EXPECT_EQ(pin.GetLyrValuePtr(), nullptr);
  EXPECT_TRUE(pin.GetValueStr().IsEmpty());
  EXPECT_TRUE(PsfComp("x").GetValueStr().IsEmpty());
}

TEST(Nodes, FileInfo_OfANodeMadeInMemoryIsEmpty) {
  PsfComp copied("c");
  copied.SetFileInfo(LyrBase::PsfComp::InternFileName("boards/x.qbd"), 12, 3);
  LyrBase::BaseParser::SetFileInfo(&copied);
  LyrBase::BaseParser::SetFileInfo(nullptr);
  EXPECT_TRUE(copied.GetFileName().IsEmpty());
  EXPECT_EQ(copied.GetLineNo(), 0u);
  EXPECT_EQ(copied.GetColumnNo(), 0u);
}

namespace more {

// Each case does something to a list of three tracked nodes a, b, c and says which of them
// must have been deleted and what the list holds afterwards.
struct OwnedCase {
  const char* what;
  std::function<void(OwnedList<PsfComp>&, PsfComp* nodes[3], PsfComp& stranger)> act;
  std::array<bool, 3> gone;
  std::vector<int> left;  // indexes into nodes, in list order
};

TEST(OwnedList, DeletesExactlyWhatLeavesTheList) {
  const std::vector<OwnedCase> cases = {
      {"nothing", [](auto&, auto, auto&) {}, {false, false, false}, {0, 1, 2}},
      {"remove the middle", [](auto& l, auto n, auto&) { EXPECT_TRUE(l.Remove(n[1])); },
       {false, true, false}, {0, 2}},
      {"remove a stranger", [](auto& l, auto, auto& s) { EXPECT_FALSE(l.Remove(&s)); },
       {false, false, false}, {0, 1, 2}},
      {"remove null", [](auto& l, auto, auto&) { EXPECT_FALSE(l.Remove(nullptr)); },
       {false, false, false}, {0, 1, 2}},
      {"take the first: not deleted",
       [](auto& l, auto n, auto&) {
         std::unique_ptr<PsfComp> taken = l.Take(n[0]);
         EXPECT_EQ(taken.get(), n[0]);
         taken.release();  // the case's owner deletes it below, so it is seen as kept here
       },
       {false, false, false}, {1, 2}},
      {"take a stranger", [](auto& l, auto, auto& s) { EXPECT_EQ(l.Take(&s), nullptr); },
       {false, false, false}, {0, 1, 2}},
      {"append null", [](auto& l, auto, auto&) { l.Append(nullptr); }, {false, false, false},
       {0, 1, 2}},
      {"clear", [](auto& l, auto, auto&) { l.Clear(); }, {true, true, true}, {}},
      {"swap with an empty list",
       [](auto& l, auto, auto&) {
         OwnedList<PsfComp> other;
         l.Swap(other);
       },
       {true, true, true}, {}},
  };
  for (const OwnedCase& c : cases) {
    SCOPED_TRACE(c.what);
    bool gone[3] = {false, false, false};
    bool strangerGone = false;
    Tracked<PsfComp> stranger(&strangerGone, "s");
    PsfComp* nodes[3];
    OwnedList<PsfComp> list;
    for (int i = 0; i < 3; ++i) {
      nodes[i] = new Tracked<PsfComp>(&gone[i], "n");
      list.Append(std::unique_ptr<PsfComp>(nodes[i]));
    }
    c.act(list, nodes, stranger);
    std::vector<int> left;
    for (PsfComp* item : list.Items())
      left.push_back(static_cast<int>(std::find(nodes, nodes + 3, item) - nodes));
    EXPECT_EQ(left, c.left);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(gone[i], c.gone[i]) << "node " << i;
    EXPECT_FALSE(strangerGone);
    // Whatever is still listed goes with the list; a taken node is its taker's.
    for (int i = 0; i < 3; ++i)
      if (!gone[i] && std::find(left.begin(), left.end(), i) == left.end()) delete nodes[i];
  }
}

TEST(OwnedList, TheListsEndDeletesEveryNodeOnce) {
  constexpr int kCount = 100;
  std::vector<int> deletes(kCount, 0);
  struct Counted : PsfComp {
    explicit Counted(int* count) : count_(count) {}
    ~Counted() override { ++*count_; }
    int* count_;
  };
  {
    OwnedList<PsfComp> list;
    for (int i = 0; i < kCount; ++i) list.Append(std::make_unique<Counted>(&deletes[i]));
    ASSERT_EQ(list.Items().size(), static_cast<std::size_t>(kCount));
  }
  EXPECT_EQ(std::count(deletes.begin(), deletes.end(), 1), kCount);
}

TEST(Nodes, FileNames_AreSharedPerName) {
  const PsfComp::FileId a = PsfComp::InternFileName("boards/a.qbd");
  const PsfComp::FileId again = PsfComp::InternFileName(std::string("boards/") + "a.qbd");
  const PsfComp::FileId b = PsfComp::InternFileName("boards/b.qbd");
  ASSERT_NE(a, 0u);
  EXPECT_EQ(a, again);
  EXPECT_NE(a, b);
  PsfComp named("n");
  named.SetFileInfo(a, 1, 1);
  EXPECT_EQ(named.GetFileName(), StringBase("boards/a.qbd"));
  named.SetFileInfo(b, 1, 1);
  EXPECT_EQ(named.GetFileName(), StringBase("boards/b.qbd"));
  // A number no name was given names no file.
  named.SetFileInfo(0xFFFFFFF0u, 1, 1);
  EXPECT_TRUE(named.GetFileName().IsEmpty());

  // Threads that ask at once for one new name all get the same number.
  std::vector<PsfComp::FileId> got(8, 0);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < got.size(); ++t)
    threads.emplace_back([&got, t] { got[t] = PsfComp::InternFileName("boards/threads.qbd"); });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(std::count(got.begin(), got.end(), got[0]), static_cast<std::ptrdiff_t>(got.size()));

  // Two boards read under one name name the same file from their nodes.
  Qbd one, two;
  ASSERT_EQ(one.ReadString("ATTRIBUTE A = 1\n", "shared.qbd"), 0);
  ASSERT_EQ(two.ReadString("ATTRIBUTE A = 2\n", "shared.qbd"), 0);
  EXPECT_EQ(one.GetPsfCompSeqRef(Qbd::ATTRIBUTE)[0]->GetFileName(), StringBase("shared.qbd"));
  EXPECT_EQ(two.GetPsfCompSeqRef(Qbd::ATTRIBUTE)[0]->GetFileName(), StringBase("shared.qbd"));
}

}  // namespace more

}  // namespace

namespace {

TEST(Nodes, PortMadeWithItsValue_OwnsItOrGetsAnEmptyString) {
  bool gone = false;
  {
    auto* value = new Tracked<StrVal>(&gone, "net_a");
    BdPin pin(StringBase("P"), std::unique_ptr<LyrBase::Value>(value));
    EXPECT_EQ(pin.GetName(), StringBase("P"));
    EXPECT_EQ(pin.GetLyrValuePtr(), value);
    EXPECT_EQ(value->GetOwner(), &pin);
    EXPECT_EQ(pin.GetValueStr(), StringBase("net_a"));
    EXPECT_FALSE(gone);
  }
  EXPECT_TRUE(gone) << "the port deletes the value it was made with";
  BdPin bare(StringBase("Q"), nullptr);
  ASSERT_NE(bare.GetLyrValuePtr(), nullptr);
  EXPECT_TRUE(bare.GetValueStr().IsEmpty());
  EXPECT_TRUE(bare.GetLyrValuePtr()->IsBaseNodeType("LyrBas_StrVal"));
}

}  // namespace
