// qbdsh [--help | --version] [--] [SCRIPT [ARG...]]: runs a Tcl script, or commands read from
// standard input, in the board interpreter with the qbd package (qbd::open, qbd::close) built in.
//
// When QUORIN_VLK is unset it is pointed at this project's copy of the board-access scripts:
// the source tree's for the program in its build tree, the installed one otherwise.
//
// Errors are reported as one line "qbdsh: ..." (the stack trace only with QBD_TRACE).
// Exit status: a script's error gives 1; commands from standard input give 1 when any failed
// and standard input is not a terminal, or when the input ends inside an unfinished command;
// `exit N` gives N; an unknown option gives 2; otherwise 0.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "LyrWiz_BoardTclIf.h"
#include "QbdPackage.h"

namespace {

bool SameDirectory(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

// The tree that holds data/datastructure for this program: the source tree for the program in
// its build tree; for an installed copy the data directory beside its bin directory, wherever
// the installation was moved; the configured installation path when /proc cannot tell.
std::string ScriptTree() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return QBDSH_INSTALLED_TREE;
  if (SameDirectory(self.parent_path(), QBDSH_BUILD_DIR)) return QBDSH_SOURCE_TREE;
  return (self.parent_path().parent_path() / QBDSH_DATA_FROM_PREFIX).string();
}

void PointAtBoardScripts() {
  if (std::getenv("QUORIN_VLK")) return;
  setenv("QUORIN_VLK", ScriptTree().c_str(), 1);
}

void SetArguments(Tcl_Interp* interp, const char* argv0, int argc, char** argv) {
  Tcl_Obj* args = Tcl_NewListObj(0, nullptr);
  for (int i = 0; i < argc; ++i)
    Tcl_ListObjAppendElement(nullptr, args, Tcl_NewStringObj(argv[i], -1));
  Tcl_SetVar2Ex(interp, "argv0", nullptr, Tcl_NewStringObj(argv0, -1), TCL_GLOBAL_ONLY);
  Tcl_SetVar2Ex(interp, "argv", nullptr, args, TCL_GLOBAL_ONLY);
  Tcl_SetVar2Ex(interp, "argc", nullptr, Tcl_NewIntObj(argc), TCL_GLOBAL_ONLY);
}

void Print(Tcl_Channel channel, Tcl_Obj* text) {
  if (!channel) return;
  Tcl_WriteObj(channel, text);
  Tcl_WriteChars(channel, "\n", 1);
  Tcl_Flush(channel);
}

// "qbdsh: MESSAGE" on standard error, one line per line of the message, with "error: " in
// front unless the message says it already ("error writing ...", "FILE:1:1: error: ..."). With QBD_TRACE set (not 0) the Tcl stack trace
// follows, for the script's author.
void PrintError(Tcl_Interp* interp) {
  std::string message = Tcl_GetStringResult(interp);
  while (!message.empty() && message.back() == '\n') message.pop_back();
  const bool labelled =
      message.find("error:") != std::string::npos || message.compare(0, 6, "error ") == 0;
  std::string text;
  std::size_t start = 0;
  do {
    const std::size_t end = std::min(message.find('\n', start), message.size());
    text += std::string("qbdsh: ") + (labelled || start != 0 ? "" : "error: ") +
            message.substr(start, end - start) + "\n";
    start = end + 1;
  } while (start < message.size());
  const char* trace = std::getenv("QBD_TRACE");
  if (trace && std::strcmp(trace, "0") != 0) {
    if (const char* info = Tcl_GetVar2(interp, "errorInfo", nullptr, TCL_GLOBAL_ONLY))
      text += std::string(info) + "\n";
  }
  // Written with stdio: the Tcl channel may be the one that failed.
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
}

int RunScript(Tcl_Interp* interp, const char* path) {
  if (Tcl_EvalFile(interp, path) == TCL_OK) return 0;
  PrintError(interp);
  return 1;
}

// Reads whole commands (which may span lines) and evaluates each at global level, printing a
// non-empty result.
int RunStandardInput(Tcl_Interp* interp) {
  const bool interactive = isatty(0) != 0;
  Tcl_SetVar2Ex(interp, "tcl_interactive", nullptr, Tcl_NewIntObj(interactive ? 1 : 0),
                TCL_GLOBAL_ONLY);
  Tcl_Channel out = Tcl_GetStdChannel(TCL_STDOUT);
  bool failed = false;
  std::string command;
  std::string line;
  for (;;) {
    if (interactive && out) {
      Tcl_WriteChars(out, command.empty() ? "% " : "> ", 2);
      Tcl_Flush(out);
    }
    if (!std::getline(std::cin, line)) break;
    command += line;
    command += '\n';
    if (!Tcl_CommandComplete(command.c_str())) continue;
    const int code = Tcl_EvalEx(interp, command.c_str(), static_cast<int>(command.size()),
                                TCL_EVAL_GLOBAL);
    command.clear();
    if (code != TCL_OK) {
      failed = true;
      PrintError(interp);
    } else if (Tcl_GetCharLength(Tcl_GetObjResult(interp)) > 0) {
      Print(out, Tcl_GetObjResult(interp));
    }
  }
  // The input ended inside a command (an open brace or quote): it was never run, which a
  // caller must hear about rather than take the silence for success.
  if (command.find_first_not_of(" \t\r\n") != std::string::npos) {
    Tcl_Obj* message = Tcl_ObjPrintf(
        "qbdsh: standard input ended inside an unfinished command (%d lines not run)",
        static_cast<int>(std::count(command.begin(), command.end(), '\n')));
    Tcl_IncrRefCount(message);
    Print(Tcl_GetStdChannel(TCL_STDERR), message);
    Tcl_DecrRefCount(message);
    return 1;
  }
  return failed && !interactive ? 1 : 0;
}

constexpr const char* kUsage =
    "Usage: qbdsh [--help | --version] [--] [SCRIPT [ARG...]]\n"
    "Runs SCRIPT with ARG... in $argv, or commands from standard input, in a Tcl interpreter\n"
    "that holds the board commands and the board-access procedures (docs/tcl.md):\n"
    "  qbd::open FILE          read a board; returns its handle\n"
    "  qbd::close HANDLE       release a board and every handle into it\n"
    "  qget_qbd_handle ...     handles of blocks, parameters, ports and their parts\n"
    "  qget_qbd_value ...      the value of what a handle names\n"
    "  qget_qbd_rule ...       the board's rules (FPGA block, roles, locations, ...)\n"
    "  qbd::constraints B ...  a constraint file of board B's pins in a toolchain's format\n"
    "  qbd::top B ...          the top-level ports (Verilog or VHDL) that match it\n"
    "Use -- before a script whose name begins with -.\n"
    "An error ends a script with one line \"qbdsh: ...\" on standard error and status 1; set\n"
    "QBD_TRACE=1 to see the Tcl stack trace as well.\n";

// Handles the options before the script; the exit status when the program is done with them,
// nothing when it goes on to run *first (moved past the options).
std::optional<int> ReadOptions(int argc, char** argv, int* first) {
  *first = 1;
  if (argc < 2 || argv[1][0] != '-') return std::nullopt;
  const char* option = argv[1];
  if (std::strcmp(option, "--") == 0) {
    *first = 2;
    return std::nullopt;
  }
  if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (std::strcmp(option, "--version") == 0) {
    std::printf("qbdsh %s\n", QBD_VERSION);
    return 0;
  }
  std::fprintf(stderr, "qbdsh: unknown option %s\n%s", option, kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  if (const std::optional<int> done = ReadOptions(argc, argv, &first)) return *done;
  const char* program = argv[0];
  argc -= first - 1;
  argv += first - 1;
  PointAtBoardScripts();
  LyrWiz_BoardTclIf* shell = LyrWiz_BoardTclIf::ConstructBoardTclIf();
  Tcl_Interp* interp = shell->GetInterp();
  int status = 1;
  if (Qbd_Init(interp) != TCL_OK) {
    std::fprintf(stderr, "qbdsh: %s\n", Tcl_GetStringResult(interp));
  } else if (argc > 1) {
    SetArguments(interp, argv[1], argc - 2, argv + 2);
    status = RunScript(interp, argv[1]);
  } else {
    SetArguments(interp, program, 0, nullptr);
    status = RunStandardInput(interp);
  }
  // The host owns the instance; releasing it deletes the interpreter and the boards it opened.
  delete static_cast<LyrBase::BaseNode*>(shell);
  Tcl_Exit(status);
}
