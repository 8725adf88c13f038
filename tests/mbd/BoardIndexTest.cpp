// The board index brought up to date in place: which edits it follows by reading the changed
// blocks again, which make it start anew, and that what it answers after following an edit is
// what an index built afresh answers.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BoardIndex.h"
#include "MBD.h"

namespace {

using LyrBase::Property;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;
using mbd_detail::BoardIndex;

const char kBoard[] =
    "ATTRIBUTE NAME = Bench\n"
    "BEGIN BLOCK fpga_0\n  ATTRIBUTE BLOCKTYPE = FPGA\n"
    "  PORT p_tx = tx, UCF_NET_STRING = (LOC=A1)\n  PORT p_rx = rx, UCF_NET_STRING = (LOC=B2)\nEND\n"
    "BEGIN BLOCK uart\n  ATTRIBUTE IOTYPE = QOR_UART_V1\n  ATTRIBUTE EXCLUSIVE = g1\n"
    "  ATTRIBUTE ALERT = first\n  PARAMETER C_BAUD = 9600, IO_IS = baud\n"
    "  PORT TX = tx, IO_IS = tx\nEND\n"
    "BEGIN BLOCK spi\n  ATTRIBUTE IOTYPE = QOR_SPI_V1\n  ATTRIBUTE EXCLUSIVE = g1\nEND\n"
    "BEGIN BLOCK UART\n  ATTRIBUTE ALERT = shadowed\nEND\n";

std::unique_ptr<Qbd> ReadBoard(const std::string& text) {
  auto qbd = std::make_unique<Qbd>();
  EXPECT_EQ(qbd->ReadString(text.c_str()), 0) << qbd->GetErrorText().c_str();
  return qbd;
}

QbdBlock* BlockAt(Qbd& qbd, std::size_t n) {
  return static_cast<QbdBlock*>(qbd.GetPsfCompSeqRef(Qbd::BLOCK)[n]);
}

Property* Prop(Qbd& qbd, std::size_t block, QbdBlock::NodeType kind, const char* name) {
  return BlockAt(qbd, block)->GetPropertyByName(kind, name);
}

Property* Attr(const char* name, const char* value) {
  auto* attr = new Property(name);
  attr->SetValueStr(value);
  return attr;
}

std::vector<std::string> Names(const std::vector<QbdBlock*>& blocks) {
  std::vector<std::string> names;
  for (const QbdBlock* block : blocks) names.push_back(block->GetName().str());
  return names;
}

// What a record says of an instance, as text: attributes, parameter and port values, and the
// locations of the FPGA pins on each port.
std::string Facts(const BoardIndex& index, const char* name) {
  const mbd_detail::BlockFacts* facts = index.FactsByName(name);
  if (!facts) return "none";
  std::string text = facts->ExclusiveGroup().str() + ";";
  for (QbdBlock::NodeType kind : {QbdBlock::ATTRIBUTE, QbdBlock::PARAMETER, QbdBlock::PORT})
    for (const auto& prop : facts->Props(kind)) {
      text += facts->Str(prop.name).str() + "=" + facts->Str(prop.value).str();
      if (kind == QbdBlock::PORT)
        for (const auto& pin : facts->Pins(prop)) text += "@" + facts->PinTable().Location(pin).str();
      text += ";";
    }
  return text;
}

// Every answer of `index` equals the answer of an index built afresh over `qbd`.
void ExpectSameAnswers(const BoardIndex& index, const Qbd& qbd) {
  const BoardIndex fresh(&qbd);
  for (const char* name : {"uart", "spi", "fpga_0", "uart2", "usb"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(index.BlockByName(name), fresh.BlockByName(name));
    EXPECT_EQ(Facts(index, name), Facts(fresh, name));
  }
  for (const char* type : {"QOR_UART_V1", "qor_uart_v1", "QOR_SPI_V1", "QOR_USB_V1"}) {
    EXPECT_EQ(Names(index.BlocksOfType(type)), Names(fresh.BlocksOfType(type))) << type;
    EXPECT_EQ(index.HasExactType(type), fresh.HasExactType(type)) << type;
  }
  for (const char* group : {"g1", "g2"})
    EXPECT_EQ(Names(index.BlocksInGroup(group)), Names(fresh.BlocksInGroup(group))) << group;
  EXPECT_EQ(Names(index.FpgaBlocks()), Names(fresh.FpgaBlocks()));
  EXPECT_EQ(index.FpgaPortsOn("tx"), fresh.FpgaPortsOn("tx"));
}

struct EditCase {
  const char* what;
  std::function<void(Qbd&)> edit;
  bool inPlace;  // the index follows it by reading the changed blocks again
};

const EditCase kEdits[] = {
    {"a parameter's value",
     [](Qbd& q) { Prop(q, 1, QbdBlock::PARAMETER, "C_BAUD")->SetValueStr("115200"); }, true},
    {"a port's net", [](Qbd& q) { Prop(q, 1, QbdBlock::PORT, "TX")->SetValueStr("rx"); }, true},
    {"an attribute no map reads",
     [](Qbd& q) { Prop(q, 1, QbdBlock::ATTRIBUTE, "ALERT")->SetValueStr("second"); }, true},
    {"a parameter added",
     [](Qbd& q) { BlockAt(q, 1)->AddProperty(QbdBlock::PARAMETER, Attr("C_MORE", "1")); }, true},
    {"the group, in another case",
     [](Qbd& q) { Prop(q, 1, QbdBlock::ATTRIBUTE, "EXCLUSIVE")->SetValueStr("G1"); }, true},
    {"a board attribute",
     [](Qbd& q) {
       static_cast<Property*>(q.GetPsfCompByName(Qbd::ATTRIBUTE, "NAME"))->SetValueStr("Other");
     },
     true},
    {"two blocks' values",
     [](Qbd& q) {
       Prop(q, 1, QbdBlock::ATTRIBUTE, "ALERT")->SetValueStr("second");
       BlockAt(q, 2)->AddProperty(QbdBlock::ATTRIBUTE, Attr("ALERT", "new"));
     },
     true},
    {"the IO type", [](Qbd& q) { Prop(q, 1, QbdBlock::ATTRIBUTE, "IOTYPE")->SetValueStr("QOR_SPI_V1"); },
     false},
    {"the IO type, in another case",
     [](Qbd& q) { Prop(q, 1, QbdBlock::ATTRIBUTE, "IOTYPE")->SetValueStr("qor_uart_v1"); }, false},
    {"the IO type removed",
     [](Qbd& q) {
       BlockAt(q, 1)->RemoveProperty(QbdBlock::ATTRIBUTE, Prop(q, 1, QbdBlock::ATTRIBUTE, "IOTYPE"));
     },
     false},
    {"an IO type given",
     [](Qbd& q) { BlockAt(q, 3)->AddProperty(QbdBlock::ATTRIBUTE, Attr("IOTYPE", "QOR_USB_V1")); },
     false},
    {"the group", [](Qbd& q) { Prop(q, 1, QbdBlock::ATTRIBUTE, "EXCLUSIVE")->SetValueStr("g2"); },
     false},
    {"the name", [](Qbd& q) { BlockAt(q, 1)->SetName("uart2"); }, false},
    {"the name, in another case", [](Qbd& q) { BlockAt(q, 1)->SetName("Uart"); }, true},
    {"a pin of the FPGA block",
     [](Qbd& q) { Prop(q, 0, QbdBlock::PORT, "p_rx")->SetValueStr("tx"); }, false},
    {"a block made an FPGA block",
     [](Qbd& q) { BlockAt(q, 2)->AddProperty(QbdBlock::ATTRIBUTE, Attr("BLOCKTYPE", "fpga")); },
     false},
    {"the shadowed block of a name",
     [](Qbd& q) { Prop(q, 3, QbdBlock::ATTRIBUTE, "ALERT")->SetValueStr("seen?"); }, false},
    {"a block added",
     [](Qbd& q) {
       auto* block = new QbdBlock();
       block->SetName("usb");
       q.AddPsfComp(Qbd::BLOCK, block);
     },
     false},
    {"a block removed", [](Qbd& q) { q.RemovePsfComp(Qbd::BLOCK, BlockAt(q, 2)); }, false},
};

TEST(BoardIndexRefresh, FollowsEditsOfBlockContentsInPlaceAndAnswersAsAFreshIndex) {
  for (const EditCase& c : kEdits) {
    SCOPED_TRACE(c.what);
    auto qbd = ReadBoard(kBoard);
    BoardIndex index(qbd.get());
    // Records made before the edit must not outlive it.
    for (const char* name : {"uart", "spi", "fpga_0"}) ASSERT_NE(index.FactsByName(name), nullptr);
    c.edit(*qbd);
    ASSERT_FALSE(index.IsCurrentFor(qbd.get()));
    EXPECT_EQ(index.Refresh(qbd.get()), c.inPlace);
    if (!c.inPlace) {
      EXPECT_FALSE(index.IsCurrentFor(qbd.get()));
      continue;
    }
    EXPECT_TRUE(index.IsCurrentFor(qbd.get()));
    ExpectSameAnswers(index, *qbd);
  }
}

TEST(BoardIndexRefresh, StartsAnewOnceMoreBlocksChangedThanTheBoardHas) {
  std::string text;
  const int kBlocks = 80;
  for (int b = 0; b < kBlocks; ++b)
    text += "BEGIN BLOCK b" + std::to_string(b) + "\n  ATTRIBUTE ALERT = a\nEND\n";
  auto qbd = ReadBoard(text);
  BoardIndex index(qbd.get());
  // One block at a time, up to the board's size in all, is followed in place.
  for (int b = 0; b < kBlocks; ++b) {
    Prop(*qbd, static_cast<std::size_t>(b), QbdBlock::ATTRIBUTE, "ALERT")->SetValueStr("b");
    ASSERT_TRUE(index.Refresh(qbd.get())) << b;
  }
  EXPECT_EQ(index.FactsByName("b7")->Attribute("ALERT").str(), "b");
  Prop(*qbd, 0, QbdBlock::ATTRIBUTE, "ALERT")->SetValueStr("c");
  EXPECT_FALSE(index.Refresh(qbd.get()));
  // A new index follows edits again.
  BoardIndex again(qbd.get());
  Prop(*qbd, 1, QbdBlock::ATTRIBUTE, "ALERT")->SetValueStr("c");
  EXPECT_TRUE(again.Refresh(qbd.get()));
  EXPECT_EQ(again.FactsByName("b1")->Attribute("ALERT").str(), "c");
}

}  // namespace
