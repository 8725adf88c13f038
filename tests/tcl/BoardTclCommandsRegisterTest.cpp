// The registrar for the wizard's interpreter, and the promise that both scripting classes
// answer every command line alike.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "LyrWiz_BoardTclCommandsRegister.h"
#include "LyrWiz_BoardTclIf.h"
#include "TclTestSupport.h"

namespace {

using tcltest_support::Board;
using tcltest_support::HandleWord;
using tcltest_support::EnvVar;
using tcltest_support::Interp;
using tcltest_support::kFirstScript;
using tcltest_support::kSecondScript;
using tcltest_support::Tree;

// The hooks, reachable from the test.
struct OpenRegister : LyrWiz_BoardTclCommandsRegister {
  using LyrWiz_BoardTclCommandsRegister::addCommands;
  using LyrWiz_BoardTclCommandsRegister::sourceTclFiles;
};

// The board interpreter's block form, which it keeps protected.
struct OpenBoardTclIf : LyrWiz_BoardTclIf {
  using LyrWiz_BoardTclIf::LyrTclBoardGetBlockHandle;
};

constexpr char kBoard[] = R"(
ATTRIBUTE VENDOR = Fenwick
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT rx_pin = uart_rx, UCF_NET_STRING = ("LOC=T3", "IOSTANDARD=LVCMOS33")
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart_0
  PARAMETER C_BAUDRATE = 115200, IO_IS = baud
  PORT RX = uart_rx, IO_IS = rx
END
)";

TEST(LyrWiz_BoardTclCommandsRegister, Hooks_RefuseANullInterpreter) {
  OpenRegister registrar;
  Port_MsgCapture capture;
  EXPECT_FALSE(registrar.addCommands(nullptr));
  EXPECT_FALSE(registrar.sourceTclFiles(nullptr));
  EXPECT_FALSE(registrar.registerInterp(nullptr));
  EXPECT_TRUE(capture.texts(Port_MsgKind::Error).empty());
}

TEST(LyrWiz_BoardTclCommandsRegister, AddCommands_RegistersTheCommands) {
  OpenRegister registrar;
  Interp tcl;
  EXPECT_TRUE(registrar.addCommands(tcl.interp));
  EXPECT_TRUE(tcl.HasCommand("qget_qbd_handle"));
  EXPECT_TRUE(tcl.HasCommand("qget_qbd_value"));
  std::string result;
  EXPECT_EQ(tcl.Eval("qget_qbd_value nothing", &result), TCL_ERROR);
  EXPECT_EQ(result, "a null handle was provided\n");
  EXPECT_EQ(tcl.Eval("qget_qbd_rule net_key Net_A", &result), TCL_OK);
  EXPECT_EQ(result, "net_a");
}

TEST(LyrWiz_BoardTclCommandsRegister, SourceTclFiles_TakesEachScriptWhereItIsFound) {
  Tree user("register-my", {{kSecondScript, "set ::second my"}});
  Tree install("register-vlk",
               {{kFirstScript, "set ::first vlk"}, {kSecondScript, "set ::second vlk"}});
  EnvVar userVar("MYQUORIN", user.Path().c_str());
  EnvVar installVar("QUORIN_VLK", install.Path().c_str());
  OpenRegister registrar;
  Interp tcl;
  EXPECT_TRUE(registrar.sourceTclFiles(tcl.interp));
  EXPECT_EQ(tcl.Var("first"), "vlk");
  EXPECT_EQ(tcl.Var("second"), "my");
}

TEST(LyrWiz_BoardTclCommandsRegister, SourceTclFiles_StopsAtAFailingScript) {
  Tree install("register-bad",
               {{kFirstScript, "error broken"}, {kSecondScript, "set ::second vlk"}});
  EnvVar userVar("MYQUORIN", nullptr);
  EnvVar installVar("QUORIN_VLK", install.Path().c_str());
  OpenRegister registrar;
  Interp tcl;
  Port_MsgCapture capture;
  EXPECT_FALSE(registrar.sourceTclFiles(tcl.interp));
  EXPECT_EQ(tcl.Var("second"), "<unset>");
  ASSERT_EQ(capture.texts(Port_MsgKind::Error).size(), 1u);
  EXPECT_EQ(capture.texts(Port_MsgKind::Error)[0].rfind(
                "Can not evaluate tcl file " + install.Path() + "/" + kFirstScript + "\n", 0),
            0u);
  // registerInterp passes the failure on, after the commands were added.
  Interp other;
  EXPECT_FALSE(registrar.registerInterp(other.interp));
  EXPECT_TRUE(other.HasCommand("qget_qbd_handle"));
}

TEST(LyrWiz_BoardTclCommandsRegister, BlockForm_ReportsAWrongKeyword) {
  auto board = Board(kBoard);
  Interp tcl;
  const std::string words[] = {"qget_qbd_handle", HandleWord(board.get()), "blocks", "FPGA", "*"};
  Tcl_Obj* objv[5];
  for (int i = 0; i < 5; ++i) {
    objv[i] = Tcl_NewStringObj(words[i].c_str(), -1);
    Tcl_IncrRefCount(objv[i]);
  }
  for (Tcl_ObjCmdProc* proc : {&LyrWiz_BoardTclCommandsRegister::LyrTclBoardGetBlockHandle,
                               &OpenBoardTclIf::LyrTclBoardGetBlockHandle}) {
    EXPECT_EQ(proc(nullptr, tcl.interp, 5, objv), TCL_ERROR);
    EXPECT_STREQ(Tcl_GetStringResult(tcl.interp),
                 "Wrong usage:qget_qbd_blocktype_handle $pQbdHandle 'block' $type $name");
  }
  for (Tcl_Obj* obj : objv) Tcl_DecrRefCount(obj);
}

TEST(LyrWiz_BoardTclCommandsRegister, BothClasses_AnswerEveryLineAlike) {
  auto board = Board(kBoard);
  Interp tcl;
  Tcl_CreateObjCommand(tcl.interp, "r_handle", LyrWiz_BoardTclCommandsRegister::LyrBoardGetHandle,
                       nullptr, nullptr);
  Tcl_CreateObjCommand(tcl.interp, "r_value", LyrWiz_BoardTclCommandsRegister::LyrBoardGetValue,
                       nullptr, nullptr);
  Tcl_CreateObjCommand(tcl.interp, "i_handle", LyrWiz_BoardTclIf::LyrBoardGetHandle, nullptr,
                       nullptr);
  Tcl_CreateObjCommand(tcl.interp, "i_value", LyrWiz_BoardTclIf::LyrBoardGetValue, nullptr,
                       nullptr);
  Tcl_SetVar(tcl.interp, "b", HandleWord(board.get()).c_str(), TCL_GLOBAL_ONLY);
  // "H" and "V" stand for the handle and value commands of the class under test.
  const char* lines[] = {
      "H $b block FPGA *",         "H $b BLOCK {} uart_0",      "H $b block x",
      "H nothing block FPGA *",    "H $b PARENT",               "H $b PARENT x",
      "H $b ATTRIBUTE *",          "H $b PORT x",               "H [H $b block {} uart_0] PORT *",
      "H [H $b block {} uart_0] BUS x",    "H [H $b block {} uart_0] PORT RX x",
      "H [H [H $b block {} uart_0] PORT RX] PARENT",            "H $b",
      "H nothing PARENT",          "V $b",                      "V $b handleType",
      "V $b kind",                 "V [H $b block {} uart_0] PARAMETER C_BAUDRATE",
      "V [H $b block {} uart_0] PARAMETER NOSUCH",              "V [H $b block {} uart_0] COLOUR x",
      "V [H [H $b block {} uart_0] PORT RX] x y z",              "V",
      "V a b c d e",
      "V [H [H $b block FPGA fpga_0] PORT rx_pin] SUBPROPERTY UCF_NET_STRING",
  };
  const auto spell = [](std::string line, const char* prefix) {
    for (std::size_t i = 0; i < line.size(); ++i) {
      const bool commandWord = i == 0 || line[i - 1] == '[';
      if (!commandWord || (line[i] != 'H' && line[i] != 'V')) continue;
      const std::string command = std::string(prefix) + (line[i] == 'H' ? "handle" : "value");
      line.replace(i, 1, command);
      i += command.size() - 1;
    }
    return line;
  };
  for (const char* line : lines) {
    std::string viaRegister, viaInterp;
    const int codeRegister = tcl.Eval(spell(line, "r_"), &viaRegister);
    const int codeInterp = tcl.Eval(spell(line, "i_"), &viaInterp);
    EXPECT_EQ(codeRegister, codeInterp) << line;
    EXPECT_EQ(viaRegister, viaInterp) << line;
  }
  // A few of the answers, so that agreeing on nonsense would not pass.
  std::string result;
  EXPECT_EQ(tcl.Eval("r_value [r_handle $b block {} uart_0] PARAMETER C_BAUDRATE", &result),
            TCL_OK);
  EXPECT_EQ(result, "115200");
  EXPECT_EQ(tcl.Eval("i_value $b", &result), TCL_ERROR);
  EXPECT_EQ(result, "the given handle is of type QBD. It does not have a value associated\n");
}

}  // namespace
