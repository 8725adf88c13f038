// qbd diff: what changed between two boards by pin, instance, port and clock; either side may
// be a file a board is drafted from. Exit 0 when equal, 1 when different, 2 on error.
#include <iostream>
#include <memory>

#include "Board.h"
#include "Commands.h"
#include "ImportSource.h"
#include "MbdDiff.h"
#include "ToolError.h"

namespace qbd {

namespace {

struct DiffArgs {
  std::string a, b;
  ImportOptions read;
  bool json = false;
  bool pinsOnly = false;
};

// A side of the diff: the board as written, or the draft of an importable file.
struct Side {
  std::unique_ptr<LoadedBoard> board;
  std::unique_ptr<LyrBoard::Qbd> draft;
  std::string path;
  LyrBoard::Qbd& tree() { return board ? board->tree() : *draft; }
  // As messages name it: "<stdin>" for a board read from standard input.
  std::string name() const { return board ? board->path() : path; }
};

Side loadSide(const std::string& path, const ImportOptions& read) {
  Side side;
  side.path = path;
  if (isBoardFile(path, "")) {
    side.board = std::make_unique<LoadedBoard>(path);
  } else {
    ImportedTable imported = readImport({path}, read);
    side.draft = MbdImport::BuildDraft(imported.table, MbdImport::DraftOptions()).board;
  }
  return side;
}

Json recordJson(const MbdDiff::Record& r) {
  return Json{{"subject", MbdDiff::SubjectName(r.subject)},
              {"change", MbdDiff::ChangeName(r.change)},
              {"name", r.name},
              {"field", r.field},
              {"before", r.before},
              {"after", r.after}};
}

void runDiff(const DiffArgs& args) {
  std::vector<MbdDiff::Record> records;
  std::string nameA, nameB;
  MbdDiff::DiffOptions options;
  options.instances = !args.pinsOnly && isBoardFile(args.a, "") && isBoardFile(args.b, "");
  // What an imported side's format cannot state is unknown there, not changed.
  for (const std::string& side : {args.a, args.b})
    if (!isBoardFile(side, "")) options = MbdDiff::OptionsForFormat(importFormatOf(side), options);
  try {
    Side a = loadSide(args.a, args.read);
    Side b = loadSide(args.b, args.read);
    records = MbdDiff::DiffBoards(a.tree(), b.tree(), options);
    nameA = a.name();
    nameB = b.name();
  } catch (const ToolError& e) {
    // diff's own convention: 2 for trouble, so that 1 always means "different".
    throw ToolError(e.what(), EXIT_USAGE);
  }
  if (args.json) {
    Json changes = Json::array();
    for (const MbdDiff::Record& r : records) changes.push_back(recordJson(r));
    printJson(std::cout, Json{{"a", nameA},
                              {"b", nameB},
                              {"compared", options.instances ? "boards" : "pins"},
                              {"equal", records.empty()},
                              {"changes", changes}});
  } else {
    for (const MbdDiff::Record& r : records)
      std::cout << escapeControls(MbdDiff::FormatRecord(r)) << '\n';
  }
  if (!records.empty()) throw ToolError("", EXIT_FAILED);
}

}  // namespace

void addDiffCommand(CLI::App& app) {
  auto args = std::make_shared<DiffArgs>();
  CLI::App* cmd = app.add_subcommand(
      "diff", "What changed between two boards by pin, instance, port and clock; exit 0 when "
              "equal, 1 when different, 2 on error");
  cmd->add_option("A", args->a, "Board (.qbd) or importable file")->required();
  cmd->add_option("B", args->b, "Board (.qbd) or importable file")->required();
  cmd->add_flag("--json", args->json, "Print the changes as JSON");
  cmd->add_flag("--pins-only", args->pinsOnly,
                "Compare FPGA pins only (always so when a side is not a board)");
  cmd->add_option("--columns", args->read.columns, "A CSV side's columns in order")->delimiter(',');
  cmd->add_option("--fpga", args->read.fpga, "A netlist side's FPGA part reference")
      ->check(nonEmpty());
  cmd->add_flag("--include-commented", args->read.includeCommented,
                "Read the commented-out lines of a master constraint file");
  cmd->callback([args] { runDiff(*args); });
}

}  // namespace qbd
