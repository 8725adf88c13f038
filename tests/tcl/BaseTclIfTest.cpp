// The base library's Tcl interface: the handle table, the error reporter, the interpreter.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "LyrBase.h"
#include "TclTestSupport.h"

namespace {

using LyrBase::BaseTclIf;
using LyrBase::NameValue;
using tcltest_support::Interp;

std::string Word(const LyrBase::BaseNode* node) {
  Tcl_Obj* obj = BaseTclIf::CreateTclObjFromPtr(node);
  Tcl_IncrRefCount(obj);
  std::string word = Tcl_GetString(obj);
  Tcl_DecrRefCount(obj);
  return word;
}

LyrBase::BaseNode* Decode(const std::string& word) {
  Tcl_Obj* obj = Tcl_NewStringObj(word.c_str(), static_cast<int>(word.size()));
  Tcl_IncrRefCount(obj);
  LyrBase::BaseNode* node = BaseTclIf::GetPtrFromTclObj(nullptr, obj);
  Tcl_DecrRefCount(obj);
  return node;
}

TEST(BaseTclIf, Handle_DecodesBackToItsNode) {
  auto a = std::make_unique<NameValue>("a");
  auto b = std::make_unique<NameValue>("b");
  const std::string wordA = Word(a.get());
  EXPECT_EQ(Decode(wordA), a.get());
  EXPECT_EQ(Word(a.get()), wordA);  // the same node keeps its word
  EXPECT_NE(Word(b.get()), wordA);
  EXPECT_EQ(Decode(Word(b.get())), b.get());
  EXPECT_EQ(Word(nullptr), "");
  EXPECT_EQ(BaseTclIf::GetPtrFromTclObj(nullptr, nullptr), nullptr);
}

TEST(BaseTclIf, Handle_DiesWithItsNode) {
  const unsigned before = BaseTclIf::LiveHandleCount();
  auto node = std::make_unique<NameValue>("n");
  const std::string word = Word(node.get());
  EXPECT_EQ(BaseTclIf::LiveHandleCount(), before + 1);
  node.reset();
  EXPECT_EQ(Decode(word), nullptr);
  EXPECT_EQ(BaseTclIf::LiveHandleCount(), before);
}

// A thread remembers the word it decoded last; the node's death, in this thread or another,
// must still end the word, and another node's death must not end it.
TEST(BaseTclIf, Handle_DecodedAgainAfterADeathAnswersAsTheTableDoes) {
  for (const bool elsewhere : {false, true}) {
    auto node = std::make_unique<NameValue>("n");
    auto other = std::make_unique<NameValue>("other");
    const std::string word = Word(node.get());
    const std::string otherWord = Word(other.get());
    EXPECT_EQ(Decode(word), node.get());
    other.reset();
    EXPECT_EQ(Decode(word), node.get()) << "another node died";
    EXPECT_EQ(Decode(otherWord), nullptr);
    EXPECT_EQ(Decode(word), node.get());
    EXPECT_EQ(Decode(word), node.get());
    if (elsewhere) {
      std::thread([&node] { node.reset(); }).join();
    } else {
      node.reset();
    }
    EXPECT_EQ(Decode(word), nullptr) << (elsewhere ? "died in another thread" : "died here");
  }
}

TEST(BaseTclIf, Handle_RetiredForExactlyTheNodesThatHadOne) {
  // Handles on a value, a sub-property and the property itself; the nodes without one die
  // first, and must leave every word standing.
  const unsigned before = BaseTclIf::LiveHandleCount();
  auto prop = std::make_unique<LyrBase::Property>("p");
  prop->SetValueStr("v");
  auto* withWord = new LyrBase::PsfComp("kept");
  auto* without = new LyrBase::PsfComp("dropped");
  prop->AddPsfComp(withWord);
  prop->AddPsfComp(without);
  const std::string words[] = {Word(prop.get()), Word(prop->GetLyrValuePtr()), Word(withWord)};
  const LyrBase::BaseNode* nodes[] = {prop.get(), prop->GetLyrValuePtr(), withWord};
  EXPECT_EQ(BaseTclIf::LiveHandleCount(), before + 3);
  ASSERT_EQ(prop->RemovePsfComp(without), 0);
  prop->SetName("renamed");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Decode(words[i]), nodes[i]) << words[i];
  prop.reset();
  for (const std::string& word : words) EXPECT_EQ(Decode(word), nullptr) << word;
  EXPECT_EQ(BaseTclIf::LiveHandleCount(), before);
}

TEST(BaseTclIf, Handle_NotRevivedByANodeAtTheSameAddress) {
  // Allocate until a new node lands where a dead one was, then check the old word stays dead.
  auto first = std::make_unique<NameValue>("first");
  const void* address = first.get();
  const std::string oldWord = Word(first.get());
  first.reset();
  std::vector<std::unique_ptr<NameValue>> nodes;
  for (int i = 0; i < 64 && (nodes.empty() || nodes.back().get() != address); ++i)
    nodes.push_back(std::make_unique<NameValue>("later"));
  for (const auto& node : nodes) EXPECT_NE(Word(node.get()), oldWord);
  EXPECT_EQ(Decode(oldWord), nullptr);
}

TEST(BaseTclIf, Handle_ForgedWordsDecodeToNull) {
  auto node = std::make_unique<NameValue>("n");
  const std::string word = Word(node.get());
  const std::string serial = word.substr(word.find('#') + 1);
  const std::string address = std::to_string(reinterpret_cast<std::uintptr_t>(node.get()));
  for (const std::string& forged :
       {std::string(""), " " + word, word + " ", "QBD#" + serial, "qbd#0" + serial,
        "qbd#+" + serial, "qbd#" + serial + "x", std::string("qbd#"), std::string("qbd#0"),
        "qbd#" + std::string(40, '9'), address, "qbd#" + address, word + " " + word}) {
    EXPECT_EQ(Decode(forged), nullptr) << "'" << forged << "'";
  }
  EXPECT_EQ(Decode(word), node.get());
}

TEST(BaseTclIf, LyrTclError_SetsTheMessageAsResult) {
  Interp tcl;
  Tcl_Obj* objv[] = {Tcl_NewStringObj("cmd", -1)};
  Tcl_IncrRefCount(objv[0]);
  EXPECT_EQ(BaseTclIf::LyrTclError(1, objv, tcl.interp, 0, "went wrong\n"), TCL_ERROR);
  EXPECT_STREQ(Tcl_GetStringResult(tcl.interp), "went wrong\n");
  EXPECT_EQ(BaseTclIf::LyrTclError(1, objv, tcl.interp, 1, "went wrong\n"), TCL_ERROR);
  EXPECT_STREQ(Tcl_GetStringResult(tcl.interp), "cmd: went wrong\n");
  Tcl_DecrRefCount(objv[0]);
}

// BaseTclIf itself, with its protected interpreter visible.
struct Shell : BaseTclIf {};

TEST(BaseTclIf, TclMain_SetsTheCommandLineAndRegistersTheBaseCommands) {
  Shell shell;
  char program[] = "prog";
  char first[] = "one";
  char second[] = "two words";
  char* argv[] = {program, first, second};
  shell.Tcl_Main(3, argv);
  Tcl_Interp* interp = shell.GetInterp();
  ASSERT_NE(interp, nullptr);
  EXPECT_STREQ(Tcl_GetVar(interp, "argv0", TCL_GLOBAL_ONLY), "prog");
  EXPECT_STREQ(Tcl_GetVar(interp, "argc", TCL_GLOBAL_ONLY), "2");
  EXPECT_STREQ(Tcl_GetVar(interp, "argv", TCL_GLOBAL_ONLY), "one {two words}");
  Tcl_CmdInfo info;
  EXPECT_TRUE(Tcl_GetCommandInfo(interp, "lyrbase_get_handle", &info));
  EXPECT_TRUE(Tcl_GetCommandInfo(interp, "lyrbase_get_value", &info));
  shell.Tcl_Main();  // an interpreter exists already: nothing changes
  EXPECT_EQ(shell.GetInterp(), interp);
}

TEST(BaseTclIf, CreateCommand_NeedsAnInterpreterAndAName) {
  Shell shell;
  char name[] = "probe";
  EXPECT_EQ(shell.CreateCommand(name, BaseTclIf::LyrBaseGetValue), 1);  // no interpreter yet
  shell.Tcl_Main();
  EXPECT_EQ(shell.CreateCommand(nullptr, BaseTclIf::LyrBaseGetValue), 1);
  EXPECT_EQ(shell.CreateCommand(name, BaseTclIf::LyrBaseGetValue), 0);
  Tcl_CmdInfo info;
  EXPECT_TRUE(Tcl_GetCommandInfo(shell.GetInterp(), "probe", &info));
}

TEST(BaseTclIf, Handle_NamesItsNodeOnlyInTheThreadThatMadeIt) {
  auto node = std::make_unique<NameValue>("n");
  const std::string word = Word(node.get());
  LyrBase::BaseNode* elsewhere = node.get();
  std::string wordThere;
  std::thread other([&] {
    elsewhere = Decode(word);
    wordThere = Word(node.get());
    Tcl_FinalizeThread();  // Tcl keeps per-thread data for every thread that makes a word
  });
  other.join();
  EXPECT_EQ(elsewhere, nullptr);
  EXPECT_EQ(wordThere, word);  // asking again elsewhere does not move the node to that thread
  EXPECT_EQ(Decode(word), node.get());
}

// Threads racing to make the first word of the same nodes must leave one entry per node, and
// none once the nodes are gone.
TEST(BaseTclIf, Handle_FirstWordsMadeConcurrentlyLeaveNothingBehind) {
  const unsigned before = BaseTclIf::LiveHandleCount();
  for (int round = 0; round < 50; ++round) {
    std::vector<std::unique_ptr<NameValue>> nodes;
    for (int i = 0; i < 64; ++i) nodes.push_back(std::make_unique<NameValue>("n"));
    std::vector<std::string> words[2];
    auto makeWords = [&nodes](std::vector<std::string>& out) {
      for (const auto& node : nodes) out.push_back(Word(node.get()));
      Tcl_FinalizeThread();
    };
    std::thread a(makeWords, std::ref(words[0]));
    std::thread b(makeWords, std::ref(words[1]));
    a.join();
    b.join();
    ASSERT_EQ(words[0], words[1]);
    ASSERT_EQ(BaseTclIf::LiveHandleCount(), before + nodes.size());
  }
  EXPECT_EQ(BaseTclIf::LiveHandleCount(), before);
}

}  // namespace
