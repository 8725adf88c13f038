// qbd constraints (every format) and qbd top: the board's pin table, built and checked by the
// library, written by the library's writers. The commands read options, report the table's
// problems on standard error and decide the exit; they know no format.
#include "Export.h"

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "Board.h"
#include "FileOutput.h"
#include "MbdConstraintWriter.h"
#include "MbdPinTable.h"
#include "MbdTopLevel.h"
#include "ToolError.h"

namespace qbd {

namespace {

// The rename map of the file; throws ToolError naming the file and line when it cannot be read.
std::map<std::string, std::string> renameMap(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ToolError(escapeControls(path) + ": error: cannot read the rename map");
  std::ostringstream text;
  text << in.rdbuf();
  std::map<std::string, std::string> rename;
  std::string error;
  unsigned line = 0;
  if (!MbdPins::ReadRenameMap(text.str(), rename, error, line))
    throw ToolError(escapeControls(path) + ":" + std::to_string(line) +
                    ": error: " + escapeControls(error));
  return rename;
}

MbdPins::TableOptions tableOptions(const ExportArgs& args) {
  MbdPins::TableOptions options;
  options.instances = args.instances;
  options.bus = args.bus;
  options.prefix = args.prefix;
  if (!args.renameFile.empty()) options.rename = renameMap(args.renameFile);
  for (const std::string& choice : args.choose) {
    const auto eq = choice.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == choice.size())
      throw ToolError("qbd: error: --choose expects GROUP=INSTANCE, found \"" +
                          escapeControls(choice) + "\"",
                      EXIT_USAGE);
    options.choose[choice.substr(0, eq)] = choice.substr(eq + 1);
  }
  return options;
}

// Writes each problem on standard error as PATH: SEVERITY: PORT: MESSAGE; true when one of
// them is an error (and `errorsAsWarnings` is false).
bool report(const std::string& path, const std::vector<MbdPins::Problem>& problems,
            bool errorsAsWarnings) {
  bool failed = false;
  for (const MbdPins::Problem& p : problems) {
    const bool error = p.error && !errorsAsWarnings;
    failed = failed || error;
    std::cerr << escapeControls(path) << (error ? ": error: " : p.error ? ": warning: " : ": note: ")
              << (p.port.empty() ? std::string() : escapeControls(p.port) + ": ")
              << escapeControls(p.message) << '\n';
  }
  return failed;
}

// The companion beside `output`: its extension replaced by `extension` (".sdc"), or added when
// that would name the output itself.
std::string companionPath(const std::string& output, const std::string& extension) {
  const auto slash = output.find_last_of('/');
  const auto dot = output.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  const std::string replaced = (hasExtension ? output.substr(0, dot) : output) + extension;
  return replaced == output ? output + extension : replaced;
}

// The checked table of the board. The board is read here and let go before anything is
// written: the table holds all a writer needs, so the tree and the file's text never share
// the memory at once.
MbdPins::PinTable checkedTable(const ExportArgs& args) {
  const MbdPins::TableOptions options = tableOptions(args);
  MbdPins::PinTable table;
  {
    LoadedBoard board(args.board);
    table = MbdPins::BuildPinTable(board.model(), options);
    table.source = board.path();  // "<stdin>" for a board read from standard input
  }
  if (report(table.source, table.problems, args.lenient)) throw ToolError("");
  return table;
}

}  // namespace

void writeConstraints(const ExportArgs& args) {
  const MbdPins::PinTable table = checkedTable(args);
  MbdFormats::WriteOptions options;
  options.source = table.source;
  options.lenient = args.lenient;
  MbdFormats::WriteOutput out;
  if (!MbdFormats::WriteConstraints(args.format, table, options, out))
    throw ToolError("qbd: error: unknown format \"" + escapeControls(args.format) + "\"",
                    EXIT_USAGE);
  // A port the target cannot name fails the file whatever else was asked; anything else the
  // target left out fails it only under --strict, and is then an error.
  if (args.strict)
    for (MbdPins::Problem& p : out.unexpressed) p.error = true;
  if (report(table.source, out.unexpressed, args.lenient)) throw ToolError("");
  if (args.output.empty()) {
    std::cout << out.text;
    if (!out.companionText.empty())
      std::cerr << escapeControls(table.source) << ": note: the clocks of a " << args.format
                << " file go in a " << out.companionExtension
                << " file beside it: write both with -o FILE, or the clocks alone with --format sdc\n";
    return;
  }
  if (!out.companionText.empty())
    replaceFile(companionPath(args.output, out.companionExtension), out.companionText,
                outputForce());
  replaceFile(args.output, out.text, outputForce());
}

void writeTop(const ExportArgs& args) {
  MbdTop::TopOptions options;
  if (!MbdTop::HdlNamed(args.hdl, options.hdl))
    throw ToolError("qbd: error: --hdl expects verilog or vhdl, found \"" +
                        escapeControls(args.hdl) + "\"",
                    EXIT_USAGE);
  const MbdPins::PinTable table = checkedTable(args);
  options.source = table.source;
  MbdTop::TopOutput out;
  if (!MbdTop::WriteTop(table, options, out)) {
    report(table.source, out.problems, false);
    throw ToolError("");
  }
  std::string text = out.text;
  if (args.json) {
    std::ostringstream json;
    printJson(json, Json{{"file", table.source}, {"hdl", args.hdl}, {"text", out.text}});
    text = json.str();
  }
  if (args.output.empty())
    std::cout << text;
  else
    replaceFile(args.output, text, outputForce());
}

void addExportOptions(CLI::App& cmd, ExportArgs& args) {
  cmd.add_flag("--bus", args.bus, "Group numbered nets into vectors (led_0..led_7 -> led[0..7])");
  cmd.add_option("--prefix", args.prefix, "Put this before every port name");
  cmd.add_option("--rename", args.renameFile,
                 "A file of lines NET NAME: the design's name of a net (before --prefix)")
      ->check(nonEmpty());
  cmd.add_option("--choose", args.choose,
                 "GROUP=INSTANCE: the one instance of an EXCLUSIVE group to export (repeatable)")
      ->allow_extra_args(false);
  cmd.add_flag("--lenient", args.lenient,
               "Write even when the checks fail, the failures as comments");
  cmd.add_option("-o,--output", args.output,
                 "Output file, replaced whole only when written (default: standard output)")
      ->check(nonEmpty());
}

void addExportCommands(CLI::App& app) {
  auto args = std::make_shared<ExportArgs>();
  CLI::App* cmd = app.add_subcommand(
      "top", "A top-level Verilog module or VHDL entity whose ports are the exported names");
  cmd->add_option("BOARD", args->board, "Board file (.qbd)")->required();
  cmd->add_option("INSTANCE", args->instances, "Instances (all when none is given)");
  cmd->add_option("--hdl", args->hdl, "verilog or vhdl")->required();
  cmd->add_flag("--json", args->json, "Print {file, hdl, text}, the module or entity as a string");
  addExportOptions(*cmd, *args);
  cmd->callback([args] { writeTop(*args); });
}

}  // namespace qbd
