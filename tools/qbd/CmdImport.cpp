// qbd import: a draft board from constraint files, CSV pin tables or a schematic netlist, with
// a report of every guess the draft made.
#include <iostream>
#include <memory>
#include <sstream>

#include "Board.h"
#include "Commands.h"
#include "FileOutput.h"
#include "ImportSource.h"
#include "MbdImport.h"
#include "MbdImportFiles.h"
#include "Suggest.h"
#include "ToolError.h"

namespace qbd {

namespace {

struct ImportArgs {
  std::vector<std::string> files;
  ImportOptions read;
  MbdImport::DraftOptions draft;
  std::string report;
  bool quiet = false;
  bool json = false;
};

Json guessJson(const MbdImport::Guess& g) {
  return Json{{"kind", MbdImport::GuessKindName(g.kind)},
              {"instance", g.instance},
              {"port", g.port},
              {"file", g.file},
              {"line", g.line},
              {"message", g.message}};
}

std::size_t countBlocks(const LyrBoard::Qbd& board) { return blocks(board).size(); }

// The report of the guesses, as --report writes it and --json prints it beside the board.
Json reportJson(const ImportArgs& args, const ImportedTable& imported, const LyrBoard::Qbd& board,
                const std::vector<MbdImport::Guess>& guesses) {
  Json list = Json::array();
  for (const MbdImport::Guess& g : guesses) list.push_back(guessJson(g));
  return Json{{"sources", args.files},
              {"pins", imported.table.rows.size()},
              {"instances", countBlocks(board) - 1},
              {"guesses", list}};
}

void runImport(const ImportArgs& args) {
  ImportedTable imported = readImport(args.files, args.read);
  MbdImport::Draft draft = MbdImport::BuildDraft(imported.table, args.draft);
  std::vector<MbdImport::Guess> guesses = std::move(imported.notes);
  guesses.insert(guesses.end(), draft.guesses.begin(), draft.guesses.end());

  const std::string board = str(draft.board->WriteString());
  if (!args.report.empty()) {
    std::ostringstream text;
    printJson(text, reportJson(args, imported, *draft.board, guesses));
    replaceFile(args.report, text.str());
  }
  // The shared -o option puts this in its file once the command has finished.
  if (args.json) {
    Json result = reportJson(args, imported, *draft.board, guesses);
    result["board"] = board;
    printJson(std::cout, result);
  } else {
    std::cout << board;
  }
  if (args.quiet) return;
  for (const MbdImport::Guess& g : guesses)
    std::cerr << escapeControls(MbdImport::FormatGuess(g)) << '\n';
  std::cerr << "qbd import: " << imported.table.rows.size() << " pin(s), "
            << countBlocks(*draft.board) - 1 << " instance(s), " << guesses.size()
            << " guess(es) to check\n";
}

}  // namespace

void addImportCommand(CLI::App& app) {
  auto args = std::make_shared<ImportArgs>();
  CLI::App* cmd = app.add_subcommand(
      "import", "Draft a board from constraint files, a CSV pin table or a netlist");
  cmd->add_option("FILE", args->files, "Files to read (" + importFormats() + ")")->required();
  cmd->add_option("--format", args->read.format, choiceList(MbdImport::ImportFormats()))
      ->check(nonEmpty());
  cmd->add_option("--columns", args->read.columns,
                  "A CSV table's columns in order (name,loc,iostandard,pull,drive,slew,dir,...)")
      ->delimiter(',');
  cmd->add_option("--fpga", args->read.fpga, "A netlist's FPGA part reference (U1)")
      ->check(nonEmpty());
  cmd->add_flag("--include-commented", args->read.includeCommented,
                "Read the commented-out lines of a master constraint file");
  cmd->add_option("--fpga-family", args->draft.family, "The FPGA block's FAMILY")->check(nonEmpty());
  cmd->add_option("--device", args->draft.device, "The FPGA block's DEVICE")->check(nonEmpty());
  cmd->add_option("--package", args->draft.package, "The FPGA block's PACKAGE")->check(nonEmpty());
  cmd->add_option("--speed", args->draft.speedGrade, "The FPGA block's SPEED_GRADE")
      ->check(nonEmpty());
  cmd->add_option("--vendor", args->draft.vendor, "The board's VENDOR")->check(nonEmpty());
  cmd->add_option("--name", args->draft.name, "The board's NAME")->check(nonEmpty());
  cmd->add_option("--revision", args->draft.revision, "The board's REVISION")->check(nonEmpty());
  cmd->add_option("--report", args->report, "Write the guesses as JSON to this file")
      ->check(nonEmpty());
  cmd->add_flag("-q,--quiet", args->quiet, "Do not list the guesses on standard error");
  cmd->add_flag("--json", args->json,
                "Print {sources, pins, instances, guesses, board}: the report and the board text");
  cmd->callback([args] { runImport(*args); });
}

}  // namespace qbd
