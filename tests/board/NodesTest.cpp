// The node model: type names, ownership, owners, lookups by name.
#include <gtest/gtest.h>

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
  ASSERT_NE(dynamic_cast<StrVal*>(pin.GetLyrValuePtr()), nullptr);
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

}  // namespace
