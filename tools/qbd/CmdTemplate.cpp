// qbd expand and qbd set-part: the two commands that change a generic board template and
// write it back in the board file syntax.
#include <iostream>
#include <memory>
#include <sstream>

#include "Board.h"
#include "Commands.h"
#include "FileOutput.h"
#include "ToolError.h"

namespace qbd {

namespace {

struct TemplateArgs {
  std::string board;
  std::string output;
  bool force = false;
  std::string family, device, package, speed;
};

void writeBoard(LoadedBoard& board, const std::string& output, bool force) {
  if (output.empty() || output == "-") {
    std::cout << str(board.tree().WriteString());
    return;
  }
  replaceFile(output, str(board.tree().WriteString()), force);
}

// Each line of the library's messages, prefixed with the board file.
std::string fromLibrary(const std::string& file, const std::string& messages) {
  std::istringstream lines(messages);
  std::string line, result;
  while (std::getline(lines, line))
    if (!line.empty()) result += (result.empty() ? "" : "\n") + file + ": " + line;
  return result;
}

void expand(const TemplateArgs& args) {
  LoadedBoard board(args.board);
  if (!MBD::IsGenericBoard(&board.tree())) {
    throw ToolError(board.path() + ": error: not a generic template (its NAME is not \"" +
                    str(MBD::GENERIC_NAME) + "\"); there is nothing to expand");
  }
  board.model();
  writeBoard(board, args.output, args.force);
}

// Runs one setter; a missing attribute on a template is an error of its own.
void set(LoadedBoard& board, int (MBD::*setter)(StringBase), const char* attr,
         const std::string& value, std::string& failures) {
  if (value.empty()) return;
  if ((board.model().*setter)(StringBase(value)) != 0 && board.model().isGeneric()) {
    failures += (failures.empty() ? "" : "\n") + board.path() +
                ": error: the FPGA block has no " + attr + " attribute to set";
  }
}

void setPart(const TemplateArgs& args) {
  LoadedBoard board(args.board);
  Port_MsgCapture messages;
  std::string failures;
  set(board, &MBD::setArch, MBD::ARCH_NAME, args.family, failures);
  set(board, &MBD::setDevice, MBD::DEVICE_NAME, args.device, failures);
  set(board, &MBD::setPackage, MBD::PACKAGE_NAME, args.package, failures);
  set(board, &MBD::setSpeedGrade, MBD::SPEED_GRADE_NAME, args.speed, failures);
  if (!board.model().isGeneric()) {
    const std::string warning = fromLibrary(board.path(), messages.text());
    throw ToolError(warning.empty() ? board.path() + ": error: not a generic template"
                                    : warning);
  }
  if (!failures.empty()) throw ToolError(failures);
  writeBoard(board, args.output, args.force);
}

}  // namespace

void addTemplateCommands(CLI::App& app) {
  auto expandArgs = std::make_shared<TemplateArgs>();
  CLI::App* cmd = app.add_subcommand(
      "expand", "Expand a generic template's multi-instance blocks and write the board");
  cmd->add_option("TEMPLATE", expandArgs->board, "Generic board template (.qbd)")->required();
  cmd->add_option("-o,--output", expandArgs->output, "Output file (default: standard output)")
      ->check(nonEmpty());
  cmd->add_flag("--force", expandArgs->force, "Replace an output file that is write-protected");
  cmd->callback([expandArgs] { expand(*expandArgs); });

  auto part = std::make_shared<TemplateArgs>();
  cmd = app.add_subcommand("set-part",
                           "Set the FPGA part of a generic template and write the (expanded) "
                           "board");
  cmd->add_option("TEMPLATE", part->board, "Generic board template (.qbd)")->required();
  cmd->add_option("--family", part->family, "FPGA family")->required()->check(nonEmpty());
  cmd->add_option("--device", part->device, "FPGA device")->check(nonEmpty());
  cmd->add_option("--package", part->package, "FPGA package")->check(nonEmpty());
  cmd->add_option("--speed", part->speed, "FPGA speed grade")->check(nonEmpty());
  cmd->add_option("-o,--output", part->output, "Output file (default: standard output)")
      ->check(nonEmpty());
  cmd->add_flag("--force", part->force, "Replace an output file that is write-protected");
  cmd->callback([part] { setPart(*part); });
}

}  // namespace qbd
