// The wizard's registration scheme: commands first, then scripts, and the combined answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LyrWiz_WizUtils.h"
#include "TclTestSupport.h"

namespace {

using tcltest_support::Interp;

// Records the order of the hook calls and answers as told.
struct Recorder : LyrWiz_TclCommandsRegister {
  Recorder(bool addResult, bool sourceResult) : add(addResult), source(sourceResult) {}
  bool addCommands(Tcl_Interp*) override {
    calls.push_back("add");
    return add;
  }
  bool sourceTclFiles(Tcl_Interp*) override {
    calls.push_back("source");
    return source;
  }
  using LyrWiz_TclCommandsRegister::createCommand;
  bool add, source;
  std::vector<std::string> calls;
};

int Answer(ClientData, Tcl_Interp* interp, int, Tcl_Obj* const[]) {
  Tcl_SetObjResult(interp, Tcl_NewStringObj("42", -1));
  return TCL_OK;
}

TEST(LyrWiz_TclCommandsRegister, RegisterInterp_CommandsThenScripts) {
  struct Case {
    bool add, source, result;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {true, true, true, {"add", "source"}},
      {true, false, false, {"add", "source"}},
      {false, true, false, {"add"}},  // scripts are not sourced without their commands
  };
  Interp tcl;
  for (const Case& c : cases) {
    Recorder recorder(c.add, c.source);
    EXPECT_EQ(recorder.registerInterp(tcl.interp), c.result);
    EXPECT_EQ(recorder.calls, c.calls);
  }
}

TEST(LyrWiz_TclCommandsRegister, RegisterInterp_NullInterpreterCallsNoHook) {
  Recorder recorder(true, true);
  EXPECT_FALSE(recorder.registerInterp(nullptr));
  EXPECT_TRUE(recorder.calls.empty());
}

TEST(LyrWiz_TclCommandsRegister, CreateCommand_RegistersUnderTheName) {
  Recorder recorder(true, true);
  Interp tcl;
  char name[] = "answer";
  EXPECT_FALSE(recorder.createCommand(nullptr, name, Answer));
  EXPECT_FALSE(recorder.createCommand(tcl.interp, nullptr, Answer));
  EXPECT_FALSE(recorder.createCommand(tcl.interp, name, nullptr));
  EXPECT_TRUE(recorder.createCommand(tcl.interp, name, Answer));
  std::string result;
  EXPECT_EQ(tcl.Eval("answer", &result), TCL_OK);
  EXPECT_EQ(result, "42");
}

}  // namespace
