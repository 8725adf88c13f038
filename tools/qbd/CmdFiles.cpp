// qbd check and qbd print: the board reader and printer on their own, without the model.
#include <iostream>
#include <memory>

#include "Board.h"
#include "Commands.h"
#include "ToolError.h"

namespace qbd {

namespace {

struct CheckArgs {
  std::vector<std::string> files;
  bool quiet = false;
  bool json = false;
};

Json readErrorJson(const LyrBoard::ReadError& e) {
  return Json{{"file", e.file}, {"line", e.line}, {"column", e.column}, {"code", e.code},
              {"message", e.message}};
}

// The board that `check` read last, left to the operating system: the process ends right
// after it, and deleting a large tree node by node costs a sixth of reading it. Held from
// here, so that leak checkers count it as reachable.
std::unique_ptr<LoadedBoard>& LastBoard() {
  static auto* last = new std::unique_ptr<LoadedBoard>;
  return *last;
}

void check(const CheckArgs& args) {
  std::size_t failed = 0;
  Json files = Json::array();
  for (const std::string& file : args.files) {
    try {
      auto board = std::make_unique<LoadedBoard>(file);
      if (args.json) files.push_back({{"file", board->path()}, {"read", true}});
      else if (!args.quiet) std::cout << board->path() << ": ok\n";
      LastBoard() = std::move(board);  // frees the one before
    } catch (const ReadFailure& e) {
      std::cerr << e.what() << '\n';
      Json errors = Json::array();
      for (const LyrBoard::ReadError& error : e.errors()) errors.push_back(readErrorJson(error));
      if (args.json)
        files.push_back({{"file", file == "-" ? STDIN_NAME : file}, {"read", false},
                         {"errors", errors}});
      ++failed;
    }
  }
  if (args.json) printJson(std::cout, Json{{"files", files}, {"unreadable", failed}});
  if (failed) {
    // The result is complete: it goes to its file, and the exit status says what it found.
    std::cerr << "qbd: error: " << failed << " of " << args.files.size()
              << " files could not be read\n";
    throw ToolError("", EXIT_FAILED);
  }
}

}  // namespace

void addFileCommands(CLI::App& app) {
  auto checkArgs = std::make_shared<CheckArgs>();
  CLI::App* cmd = app.add_subcommand(
      "check", "Read each board file and print every error; exit 1 when any cannot be read");
  cmd->add_option("FILE", checkArgs->files, "Board files (- for standard input)")->required();
  cmd->add_flag("-q,--quiet", checkArgs->quiet, "Print only the errors");
  cmd->add_flag("--json", checkArgs->json,
                "Print each file with whether it was read and its errors, as JSON");
  cmd->callback([checkArgs] { check(*checkArgs); });

  auto file = std::make_shared<QueryArgs>();
  addQuery(app, "print", "Print a board file in canonical form", *file)->callback([file] {
    LoadedBoard board(file->board);
    writeBoard(board, *file);
  });
}

}  // namespace qbd
