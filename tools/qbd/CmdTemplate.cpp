// qbd expand and qbd set-part: the two commands that change a generic board template and
// write it back in the board file syntax.
#include <iostream>
#include <memory>
#include <sstream>

#include "Board.h"
#include "Commands.h"
#include "MbdRules.h"
#include "Suggest.h"
#include "ToolError.h"

namespace qbd {

void writeBoard(LoadedBoard& board, const QueryArgs& args) {
  if (args.json) {
    printJson(std::cout, Json{{"file", board.path()}, {"board", str(board.tree().WriteString())}});
    return;
  }
  // Written from the printer's own string: a copy of it would cost the file's size again.
  std::cout << board.tree().WriteString().str();
}

namespace {

struct TemplateArgs : QueryArgs {
  std::string family, device, package, speed;
  bool force = false;
};

// Each line of the library's messages as an error of the board file.
std::string fromLibrary(const std::string& file, const std::string& messages) {
  std::istringstream lines(MbdRules::MessageAsError(messages));
  std::string line, result;
  while (std::getline(lines, line))
    if (!line.empty()) result += (result.empty() ? "" : "\n") + file + ": error: " + line;
  return result;
}

// A family the size database does not know gives a board whose memory sizes the wizard
// cannot offer; it is refused unless the user insists.
void checkFamily(const std::string& family, bool force) {
  if (force || MbdRules::SizesKnownFor(MbdRules::SizeFamily(StringBase(family)))) return;
  std::vector<std::string> known;
  std::string list;
  for (const StringBase& name : MbdRules::KnownFamilies()) {
    known.push_back(str(name));
    list += (list.empty() ? "" : ", ") + str(name);
  }
  throw ToolError("qbd: error: unknown FPGA family \"" + family + "\"" +
                  didYouMean(family, known) + "; known families: " + list +
                  " (--force sets it anyway)");
}

void expand(const QueryArgs& args) {
  LoadedBoard board(args.board);
  if (!MBD::IsGenericBoard(&board.tree())) {
    throw ToolError(board.path() + ": error: not a generic template (its NAME is not \"" +
                    str(MBD::GENERIC_NAME) + "\"); there is nothing to expand");
  }
  board.model();
  writeBoard(board, args);
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
  checkFamily(args.family, args.force);
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
  writeBoard(board, args);
}

}  // namespace

void addTemplateCommands(CLI::App& app) {
  auto expandArgs = std::make_shared<QueryArgs>();
  CLI::App* cmd = addQuery(
      app, "expand", "Expand a generic template's multi-instance blocks and write the board",
      *expandArgs);
  cmd->callback([expandArgs] { expand(*expandArgs); });

  auto part = std::make_shared<TemplateArgs>();
  cmd = addQuery(app, "set-part",
                 "Set the FPGA part of a generic template and write the (expanded) board",
                 *part);
  cmd->add_option("--family", part->family, "FPGA family (see qbd families)")
      ->required()
      ->check(nonEmpty());
  cmd->add_flag("--force", part->force, "Set a family the size database does not know");
  cmd->add_option("--device", part->device, "FPGA device")->check(nonEmpty());
  cmd->add_option("--package", part->package, "FPGA package")->check(nonEmpty());
  cmd->add_option("--speed", part->speed, "FPGA speed grade")->check(nonEmpty());
  cmd->callback([part] { setPart(*part); });
}

}  // namespace qbd
