// The value command hands out the word it gave before while the value's text stays the same:
// whatever changes under it (the value, the node at an address, the interpreter), every
// answer must be the text a fresh lookup gives.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "LyrWiz_BoardTclCommandsRegister.h"
#include "TclTestSupport.h"

namespace {

using tcltest_support::Board;
using tcltest_support::HandleWord;
using tcltest_support::Interp;
using LyrBoard::QbdBlock;

struct OpenRegister : LyrWiz_BoardTclCommandsRegister {
  using LyrWiz_BoardTclCommandsRegister::addCommands;
};

constexpr char kBoard[] = R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart_0
  ATTRIBUTE BLOCKTYPE = CORE
  PARAMETER C_BAUDRATE = 115200, IO_IS = baud
  PORT RX = uart_rx, IO_IS = rx
END
)";

// An interpreter with the board commands and $b, the handle of the board's first block.
struct BoardInterp {
  explicit BoardInterp(const char* text = kBoard) : board(Board(text)) {
    OpenRegister registrar;
    EXPECT_TRUE(registrar.addCommands(tcl.interp));
    block = LyrBase::NodeCast<QbdBlock>(board->GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK).at(0));
    EXPECT_EQ(tcl.Eval("set b " + HandleWord(block)), TCL_OK);
  }
  std::string Eval(const std::string& script) const {
    std::string result;
    EXPECT_EQ(tcl.Eval(script, &result), TCL_OK) << script << ": " << result;
    return result;
  }
  LyrBase::Property* Param(const char* name) const {
    return block->GetPropertyByName(QbdBlock::PARAMETER, name);
  }
  Interp tcl;
  std::unique_ptr<LyrBoard::Qbd> board;
  QbdBlock* block = nullptr;
};

const char kByName[] = "qget_qbd_value $b PARAMETER C_BAUDRATE";

TEST(ValueWords, AnswerFollowsEveryChangeOfTheValue) {
  BoardInterp t;
  const std::string byHandle = "qget_qbd_value " + HandleWord(t.Param("C_BAUDRATE"));
  EXPECT_EQ(t.Eval(kByName), "115200");
  EXPECT_EQ(t.Eval(byHandle), "115200");
  struct Change {
    const char* text;  // the new single-string value; null for a list of two
    const char* expected;
  };
  for (const Change& c : {Change{"9600", "9600"}, Change{"115201", "115201"},
                          Change{"", ""}, Change{nullptr, "(a b, c)"}, Change{"115200", "115200"}}) {
    if (c.text) {
      t.Param("C_BAUDRATE")->SetValueStr(c.text);
    } else {
      t.Param("C_BAUDRATE")->SetLyrValuePtr(
          new LyrBase::ListStrVal(std::vector<StringBase>{"a b", "c"}));
    }
    EXPECT_EQ(t.Eval(kByName), c.expected);
    EXPECT_EQ(t.Eval(byHandle), c.expected);
    EXPECT_EQ(t.Eval(kByName), c.expected) << "asked again";
  }
}

TEST(ValueWords, ANewPropertyWhereAnOldOneWasGetsItsOwnValue) {
  // Nodes are handed out again last freed, first out: the new parameter mostly lands where
  // the old one was, under the same name and with another value.
  BoardInterp t;
  for (int round = 0; round < 20; ++round) {
    EXPECT_EQ(t.block->RemoveProperty(QbdBlock::PARAMETER, t.Param("C_BAUDRATE")), 0);
    const std::string value = "v" + std::to_string(round);
    auto* fresh = new LyrBoard::BdParam("C_BAUDRATE");
    fresh->SetValueStr(value.c_str());
    EXPECT_EQ(t.block->AddProperty(QbdBlock::PARAMETER, fresh), 0);
    EXPECT_EQ(t.Eval(kByName), value);
  }
}

TEST(ValueWords, ManyPropertiesEachGetTheirOwnValue) {
  // More parameters than the interpreter keeps words for, asked in rounds in two orders.
  std::string text = "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = big_0\n";
  for (int i = 0; i < 300; ++i)
    text += "  PARAMETER P" + std::to_string(i) + " = " + std::to_string(i * 7) + "\n";
  text += "END\n";
  BoardInterp t(text.c_str());
  EXPECT_EQ(t.Eval("set wrong {}\n"
                   "proc check {b i} {\n"
                   "  if {[qget_qbd_value $b PARAMETER P$i] ne [expr {$i * 7}]} { lappend ::wrong $i }\n"
                   "}\n"
                   "foreach round {1 2 3} {\n"
                   "  for {set i 299} {$i >= 0} {incr i -1} { check $b $i }\n"
                   "  for {set i 0} {$i < 300} {incr i} { check $b $i }\n"
                   "}\n"
                   "set wrong"),
            "");
}

TEST(ValueWords, AScriptThatChangesItsAnswerLeavesTheNextAnswerAlone) {
  BoardInterp t;
  EXPECT_EQ(t.Eval(std::string("set v [") + kByName + "]; append v x; set v"), "115200x");
  EXPECT_EQ(t.Eval(std::string("set w [") + kByName + "]; lappend w y; set w"), "115200 y");
  EXPECT_EQ(t.Eval(std::string("expr {[") + kByName + "] + 1}"), "115201");
  EXPECT_EQ(t.Eval(std::string("string length [") + kByName + "]"), "6");
  EXPECT_EQ(t.Eval(kByName), "115200");
}

TEST(ValueWords, EachInterpreterKeepsItsOwnWords) {
  // Two interpreters of one thread asked in turn, then one deleted and another made (often at
  // the same address): none may answer from words another one held.
  auto first = std::make_unique<BoardInterp>();
  auto second = std::make_unique<BoardInterp>();
  second->Param("C_BAUDRATE")->SetValueStr("57600");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(first->Eval(kByName), "115200");
    EXPECT_EQ(second->Eval(kByName), "57600");
  }
  first.reset();
  auto third = std::make_unique<BoardInterp>();
  third->Param("C_BAUDRATE")->SetValueStr("300");
  EXPECT_EQ(third->Eval(kByName), "300");
  EXPECT_EQ(second->Eval(kByName), "57600");
  EXPECT_EQ(third->Eval(kByName), "300");
}

}  // namespace
