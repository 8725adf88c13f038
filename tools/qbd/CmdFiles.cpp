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
};

// The board that `check` read last, left to the operating system: the process ends right
// after it, and deleting a large tree node by node costs a sixth of reading it. Held from
// here, so that leak checkers count it as reachable.
std::unique_ptr<LoadedBoard>& LastBoard() {
  static auto* last = new std::unique_ptr<LoadedBoard>;
  return *last;
}

void check(const CheckArgs& args) {
  int failed = 0;
  for (const std::string& file : args.files) {
    try {
      auto board = std::make_unique<LoadedBoard>(file);
      if (!args.quiet) std::cout << file << ": ok\n";
      LastBoard() = std::move(board);  // frees the one before
    } catch (const ToolError& e) {
      std::cerr << e.what() << '\n';
      ++failed;
    }
  }
  if (failed) {
    throw ToolError("qbd: " + std::to_string(failed) + " of " + std::to_string(args.files.size()) +
                    " files could not be read");
  }
}

}  // namespace

void addFileCommands(CLI::App& app) {
  auto checkArgs = std::make_shared<CheckArgs>();
  CLI::App* cmd = app.add_subcommand(
      "check", "Read each board file and print every error; exit 1 when any cannot be read");
  cmd->add_option("FILE", checkArgs->files, "Board files")->required();
  cmd->add_flag("-q,--quiet", checkArgs->quiet, "Print only the errors");
  cmd->callback([checkArgs] { check(*checkArgs); });

  auto file = std::make_shared<std::string>();
  cmd = app.add_subcommand("print", "Print a board file in canonical form");
  cmd->add_option("FILE", *file, "Board file")->required();
  cmd->callback([file] {
    LoadedBoard board(*file);
    // Written from the printer's own string: a copy of it would cost the file's size again.
    std::cout << board.tree().WriteString().str();
  });
}

}  // namespace qbd
