// qbd lint: run the checks over board files and report the findings.
#include <iostream>
#include <memory>
#include <set>

#include "Board.h"
#include "Commands.h"
#include "MbdLint.h"
#include "ToolError.h"

namespace qbd {

namespace {

using MbdLint::Finding;
using MbdLint::Severity;

struct LintArgs {
  std::vector<std::string> boards;
  std::vector<std::string> disabled;
  bool json = false;
  bool werror = false;
};

Json findingJson(const Finding& f) {
  return Json{{"file", f.file},         {"line", f.line},
              {"column", f.column},     {"severity", MbdLint::SeverityName(f.severity)},
              {"code", f.code},         {"message", f.message}};
}

Json readErrorJson(const LyrBoard::ReadError& e) {
  return Json{{"file", e.file},     {"line", e.line},     {"column", e.column},
              {"code", e.code},     {"message", e.message}};
}

void runLint(const LintArgs& args) {
  std::set<std::string> disabled;
  for (const std::string& code : args.disabled) disabled.insert(MbdLint::FindCheck(code)->code);
  Json files = Json::array();
  Json findings = Json::array();
  std::size_t errors = 0, warnings = 0, unreadable = 0;
  for (const std::string& path : args.boards) {
    try {
      LoadedBoard board(path);
      for (const Finding& f : MbdLint::LintBoard(board.tree(), board.path())) {
        if (disabled.count(f.code)) continue;
        ++(f.severity == Severity::Error ? errors : warnings);
        if (args.json) findings.push_back(findingJson(f));
        else std::cout << escapeControls(MbdLint::FormatFinding(f)) << '\n';  // one finding, one line
      }
      files.push_back({{"file", board.path()}, {"read", true}});
    } catch (const ReadFailure& e) {
      ++unreadable;
      Json errors = Json::array();
      for (const LyrBoard::ReadError& error : e.errors()) errors.push_back(readErrorJson(error));
      files.push_back({{"file", path}, {"read", false}, {"errors", errors}});
      std::cerr << e.what() << '\n';
    }
  }
  if (args.json) {
    printJson(std::cout, Json{{"files", files}, {"findings", findings}, {"errors", errors},
                              {"warnings", warnings}, {"unreadable", unreadable}});
  }
  // The summary is for the reader, on standard error, with either form of the findings.
  const bool failed = unreadable != 0 || errors != 0 || (args.werror && warnings != 0);
  std::cerr << "qbd lint: " << (failed ? "error: " : "") << errors << " error(s), " << warnings
            << " warning(s), " << unreadable << " unreadable file(s)\n";
  if (failed) throw ToolError("", EXIT_FAILED);
}

std::string checkList() {
  std::string text = "Checks:\n";
  for (const MbdLint::Check& c : MbdLint::Checks())
    text += std::string("  ") + c.code + "  " + MbdLint::SeverityName(c.severity) +
            (c.severity == Severity::Error ? "    " : "  ") + c.summary + "\n";
  return text;
}

}  // namespace

void addLintCommand(CLI::App& app) {
  auto args = std::make_shared<LintArgs>();
  CLI::App* cmd = app.add_subcommand(
      "lint", "Check board files for mistakes the reader cannot see; exit 1 on errors");
  cmd->add_option("BOARD", args->boards, "Board files (.qbd)")->required();
  cmd->add_flag("--json", args->json, "Print the findings as JSON");
  cmd->add_flag("--werror", args->werror, "Treat warnings as errors for the exit status");
  cmd->add_option("--disable", args->disabled, "Skip the check with this code (repeatable, or "
                                                "comma-separated)")
      ->delimiter(',')
      ->check([](const std::string& code) {
        return MbdLint::FindCheck(code) ? std::string() : "unknown check code " + code;
      });
  cmd->footer(checkList());
  cmd->callback([args] { runLint(*args); });
}

}  // namespace qbd
