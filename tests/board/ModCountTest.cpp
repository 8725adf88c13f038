// Modification counts: every change a host can make to the tree shows at the root, and the
// removal operations take out exactly the node they are given.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "BoardTestSupport.h"

namespace {

using LyrBase::ListBaseNodePtrVal;
using LyrBase::ListStrVal;
using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::BdPin;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

const char kBoard[] = R"(ATTRIBUTE NAME = Counted
BEGIN BLOCK uart_0
  ATTRIBUTE IOTYPE = QOR_UART_V1
  PARAMETER C_BAUD = 9600, IO_IS = baud
  PORT TX = tx, DIR = O
END
)";

QbdBlock& FirstBlock(Qbd& board) {
  return *static_cast<QbdBlock*>(board.GetPsfCompSeqRef(Qbd::BLOCK).at(0));
}
Property& Param(Qbd& board) { return *FirstBlock(board).GetPropSeqRef(QbdBlock::PARAMETER).at(0); }

struct EditCase {
  const char* what;
  std::function<void(Qbd&)> edit;
};

TEST(ModCount, EveryEditAnywhereRaisesTheBoardsCount) {
  const EditCase cases[] = {
      {"rename a block", [](Qbd& b) { FirstBlock(b).SetName("uart_9"); }},
      {"change an attribute value",
       [](Qbd& b) { FirstBlock(b).GetPropSeqRef(QbdBlock::ATTRIBUTE)[0]->SetValueStr("X"); }},
      {"set a typed value", [](Qbd& b) { Param(b).SetLyrValuePtr(new ListStrVal("(1, 2)")); }},
      {"rename a sub-property", [](Qbd& b) { Param(b).GetPsfCompSeqRef()[0]->SetName("ROLE"); }},
      {"change a sub-property value",
       [](Qbd& b) { Param(b).GetPsfCompSeqRef()[0]->SetValueStr("rate"); }},
      {"add a sub-property", [](Qbd& b) { Param(b).AddPsfComp(new PsfComp("NOTE")); }},
      {"remove a sub-property",
       [](Qbd& b) { ASSERT_EQ(Param(b).RemovePsfComp(Param(b).GetPsfCompSeqRef()[0]), 0); }},
      {"add a port", [](Qbd& b) { FirstBlock(b).AddProperty(QbdBlock::PORT, new BdPin("RX", "rx")); }},
      {"remove a parameter",
       [](Qbd& b) { ASSERT_EQ(FirstBlock(b).RemoveProperty(QbdBlock::PARAMETER, &Param(b)), 0); }},
      {"add a block", [](Qbd& b) { b.AddPsfComp(Qbd::BLOCK, new QbdBlock()); }},
      {"remove a block",
       [](Qbd& b) { ASSERT_EQ(b.RemovePsfComp(Qbd::BLOCK, &FirstBlock(b)), 0); }},
      {"add a board attribute", [](Qbd& b) { b.AddPsfComp(Qbd::ATTRIBUTE, new Property("A")); }},
      {"rename the board", [](Qbd& b) { b.GetPsfCompSeqRef(Qbd::ATTRIBUTE)[0]->SetValueStr("N"); }},
      {"grow a list of lists in place",
       [](Qbd& b) {
         auto* lists = new ListBaseNodePtrVal();
         Param(b).SetLyrValuePtr(lists);
         const auto before = b.GetModCount();
         lists->Append(std::make_unique<ListStrVal>("(1, 2)"));
         EXPECT_GT(b.GetModCount(), before);
       }},
      {"read again", [](Qbd& b) { ASSERT_EQ(b.ReadString(kBoard), 0); }},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.what);
    auto board = boardtest::Board(kBoard);
    const unsigned long long before = board->GetModCount();
    c.edit(*board);
    EXPECT_GT(board->GetModCount(), before);
  }
}

TEST(ModCount, LookupsAndPrintingChangeNothing) {
  auto board = boardtest::Board(kBoard);
  const unsigned long long before = board->GetModCount();
  EXPECT_NE(board->GetPsfCompByName(Qbd::BLOCK, "UART_0"), nullptr);
  EXPECT_FALSE(FirstBlock(*board).GetPropertyValueStr(QbdBlock::PORT, "tx").IsEmpty());
  EXPECT_FALSE(board->WriteString().IsEmpty());
  EXPECT_EQ(board->GetModCount(), before);
}

TEST(ModCount, RemovingTakesOutOnlyTheGivenNodeOfThatKind) {
  auto board = boardtest::Board(kBoard);
  QbdBlock& block = FirstBlock(*board);
  Property& param = Param(*board);
  const unsigned long long before = board->GetModCount();
  // A node of another kind, of another block, or null is refused and nothing changes.
  EXPECT_EQ(block.RemoveProperty(QbdBlock::PORT, &param), 1);
  EXPECT_EQ(block.RemoveProperty(QbdBlock::PARAMETER, nullptr), 1);
  EXPECT_EQ(board->RemovePsfComp(Qbd::ATTRIBUTE, &block), 1);
  Property stranger("C_BAUD");
  EXPECT_EQ(block.RemoveProperty(QbdBlock::PARAMETER, &stranger), 1);
  EXPECT_EQ(param.RemovePsfComp(&stranger), 1);
  EXPECT_EQ(board->GetModCount(), before);
  ASSERT_EQ(block.GetPropSeqRef(QbdBlock::PARAMETER).size(), 1u);

  bool gone = false;
  struct Watched : BdPin {
    explicit Watched(bool* g) : BdPin("RX", "rx"), gone(g) {}
    ~Watched() override { *gone = true; }
    bool* gone;
  };
  auto* watched = new Watched(&gone);
  block.AddProperty(QbdBlock::PORT, watched);
  EXPECT_EQ(block.RemoveProperty(QbdBlock::PORT, watched), 0);
  EXPECT_TRUE(gone) << "the block owned the port, so removing deletes it";
  ASSERT_EQ(block.GetPropSeqRef(QbdBlock::PORT).size(), 1u);
  EXPECT_EQ(block.GetPropSeqRef(QbdBlock::PORT)[0]->GetName(), StringBase("TX"));

  EXPECT_EQ(board->RemovePsfComp(Qbd::BLOCK, &block), 0);
  EXPECT_TRUE(board->GetPsfCompSeqRef(Qbd::BLOCK).empty());
  EXPECT_EQ(board->GetPsfCompSeqRef(Qbd::ATTRIBUTE).size(), 1u);
}

}  // namespace
