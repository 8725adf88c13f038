// The board interpreter: one instance per process, its initialisation and the script search.
#include <gtest/gtest.h>

#include <string>

#include "LyrWiz_BoardTclIf.h"
#include "TclTestSupport.h"

namespace {

using tcltest_support::EnvVar;
using tcltest_support::Interp;
using tcltest_support::kFirstScript;
using tcltest_support::kSecondScript;
using tcltest_support::Tree;

// Sight of what the class keeps protected: the per-thread record, and a Tcl_Main that makes
// Tcl_Init fail so that Tcl_AppInit's failure path runs.
struct Probe : LyrWiz_BoardTclIf {
  static ThreadData* Record() {
    return static_cast<ThreadData*>(
        Tcl_GetThreadData(GetThreadDataKey(), static_cast<int>(sizeof(ThreadData))));
  }
};

struct BrokenInit : LyrWiz_BoardTclIf {
  void Tcl_Main() override {
    interp = Tcl_CreateInterp();
    Tcl_Eval(interp, "proc tclInit {} {error {no library}}");
    appInitResult = Tcl_AppInit();
  }
  int appInitResult = -1;
};

void Destroy(LyrWiz_BoardTclIf* instance) { delete static_cast<LyrBase::BaseNode*>(instance); }

std::string Var(Tcl_Interp* interp, const char* name) {
  const char* value = Tcl_GetVar(interp, name, TCL_GLOBAL_ONLY);
  return value ? value : "<unset>";
}

bool HasCommand(Tcl_Interp* interp, const char* name) {
  Tcl_CmdInfo info;
  return Tcl_GetCommandInfo(interp, name, &info) != 0;
}

// Two scripts that count how often they were sourced, found through QUORIN_VLK.
struct CountingScripts {
  Tree tree{"boardtclif", {{kFirstScript, "incr ::first"}, {kSecondScript, "incr ::second"}}};
  EnvVar user{"MYQUORIN", nullptr};
  EnvVar install{"QUORIN_VLK", tree.Path().c_str()};
};

TEST(LyrWiz_BoardTclIf, Construct_ReturnsOneInstanceAndSourcesOnce) {
  CountingScripts scripts;
  LyrWiz_BoardTclIf* first = LyrWiz_BoardTclIf::ConstructBoardTclIf();
  LyrWiz_BoardTclIf* again = LyrWiz_BoardTclIf::ConstructBoardTclIf();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, again);
  Tcl_Interp* interp = first->GetInterp();
  EXPECT_EQ(Var(interp, "first"), "1");
  EXPECT_EQ(Var(interp, "second"), "1");
  for (const char* command :
       {"qget_qbd_handle", "qget_qbd_value", "qget_qbd_rule", "lyrbase_get_handle",
        "lyrbase_get_value"})
    EXPECT_TRUE(HasCommand(interp, command)) << command;
  // Tcl_Init ran: the library's procedures are there.
  EXPECT_EQ(Tcl_Eval(interp, "info procs auto_load"), TCL_OK);
  EXPECT_STREQ(Tcl_GetStringResult(interp), "auto_load");
  Destroy(first);
}

TEST(LyrWiz_BoardTclIf, Construct_AfterDestructionBuildsAFreshInstance) {
  CountingScripts scripts;
  LyrWiz_BoardTclIf* first = LyrWiz_BoardTclIf::ConstructBoardTclIf();
  Tcl_Eval(first->GetInterp(), "set ::marker old");
  Destroy(first);
  LyrWiz_BoardTclIf* second = LyrWiz_BoardTclIf::ConstructBoardTclIf();
  ASSERT_NE(second, nullptr);
  Tcl_Interp* interp = second->GetInterp();
  ASSERT_NE(interp, nullptr);
  EXPECT_EQ(Var(interp, "marker"), "<unset>");
  EXPECT_EQ(Var(interp, "first"), "1");
  EXPECT_TRUE(HasCommand(interp, "qget_qbd_handle"));
  EXPECT_EQ(LyrWiz_BoardTclIf::ConstructBoardTclIf(), second);
  Destroy(second);
}

TEST(LyrWiz_BoardTclIf, AppInit_FillsThePerThreadRecord) {
  CountingScripts scripts;
  LyrWiz_BoardTclIf* instance = LyrWiz_BoardTclIf::ConstructBoardTclIf();
  auto* record = Probe::Record();
  EXPECT_EQ(record->interp, instance->GetInterp());
  EXPECT_EQ(record->flag, 1);
  Destroy(instance);
  EXPECT_EQ(record->interp, nullptr);  // no dangling interpreter left behind
  LyrBase::BaseTclIf::Tcl_AppExit(nullptr);
  EXPECT_EQ(record->flag, 0);
}

TEST(LyrWiz_BoardTclIf, AppInit_StopsWhenTclInitFails) {
  CountingScripts scripts;
  auto* broken = new BrokenInit;
  broken->Tcl_Main();
  EXPECT_EQ(broken->appInitResult, 1);
  EXPECT_FALSE(HasCommand(broken->GetInterp(), "qget_qbd_handle"));
  EXPECT_FALSE(HasCommand(broken->GetInterp(), "lyrbase_get_handle"));
  Destroy(broken);
}

// The search, on a bare interpreter: file by file, the user's tree first.
struct SearchCase {
  const char* name;
  std::map<std::string, std::string> user;     // MYQUORIN tree
  std::map<std::string, std::string> install;  // QUORIN_VLK tree
  int code;
  const char* first;   // value of ::first afterwards
  const char* second;  // value of ::second afterwards
  const char* failedScript;  // the script named in the error; null when none
};

TEST(LyrWiz_BoardTclIf, SourceBoardTclFile_SearchesEachScriptOnItsOwn) {
  const SearchCase cases[] = {
      {"both-user", {{kFirstScript, "set ::first my"}, {kSecondScript, "set ::second my"}},
       {{kFirstScript, "set ::first vlk"}, {kSecondScript, "set ::second vlk"}}, 0, "my", "my",
       nullptr},
      {"first-user", {{kFirstScript, "set ::first my"}},
       {{kFirstScript, "set ::first vlk"}, {kSecondScript, "set ::second vlk"}}, 0, "my", "vlk",
       nullptr},
      {"second-user", {{kSecondScript, "set ::second my"}},
       {{kFirstScript, "set ::first vlk"}, {kSecondScript, "set ::second vlk"}}, 0, "vlk", "my",
       nullptr},
      {"first-fails", {{kFirstScript, "set ::first my; error bad"}},
       {{kSecondScript, "set ::second vlk"}}, 1, "my", "<unset>", kFirstScript},
      {"second-missing", {}, {{kFirstScript, "set ::first vlk"}}, 2, "vlk", "<unset>",
       kSecondScript},
      {"nothing", {}, {}, 1, "<unset>", "<unset>", kFirstScript},
  };
  for (const SearchCase& c : cases) {
    SCOPED_TRACE(c.name);
    Tree user(std::string(c.name) + "-my", c.user);
    Tree install(std::string(c.name) + "-vlk", c.install);
    EnvVar userVar("MYQUORIN", user.Path().c_str());
    EnvVar installVar("QUORIN_VLK", install.Path().c_str());
    Interp tcl;
    Port_MsgCapture capture;
    EXPECT_EQ(LyrWiz_BoardTclIf::SourceBoardTclFile(tcl.interp), c.code);
    EXPECT_EQ(tcl.Var("first"), c.first);
    EXPECT_EQ(tcl.Var("second"), c.second);
    if (!c.failedScript) {
      EXPECT_TRUE(capture.texts(Port_MsgKind::Error).empty());
      continue;
    }
    ASSERT_EQ(capture.texts(Port_MsgKind::Error).size(), 1u);
    // A script found in the user's tree fails under that path; otherwise under QUORIN_VLK's.
    const bool inUser = c.user.count(c.failedScript) != 0;
    const std::string path = (inUser ? user.Path() : install.Path()) + "/" + c.failedScript;
    EXPECT_EQ(capture.texts(Port_MsgKind::Error)[0].rfind("Can not evaluate tcl file " + path + "\n", 0), 0u)
        << capture.texts(Port_MsgKind::Error)[0];
  }
}

TEST(LyrWiz_BoardTclIf, SourceBoardTclFile_UnsetVariablesGiveBarePaths) {
  EnvVar userVar("MYQUORIN", nullptr);
  EnvVar installVar("QUORIN_VLK", nullptr);
  Interp tcl;
  Port_MsgCapture capture;
  EXPECT_EQ(LyrWiz_BoardTclIf::SourceBoardTclFile(tcl.interp), 1);
  ASSERT_EQ(capture.texts(Port_MsgKind::Error).size(), 1u);
  EXPECT_EQ(capture.texts(Port_MsgKind::Error)[0].rfind(
                "Can not evaluate tcl file /data/datastructure/qbd_database_access.tcl\n", 0),
            0u);
}

}  // namespace
