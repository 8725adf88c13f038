// The subcommands of qbd, one registration function per family, and what query commands share.
#ifndef QBD_COMMANDS_H
#define QBD_COMMANDS_H

#include <functional>
#include <iosfwd>
#include <string>

#include <CLI/CLI.hpp>

#include "Output.h"

namespace qbd {

void addInfoCommands(CLI::App& app);      // info, blocks
void addTableCommands(CLI::App& app);     // params, ports
void addPinCommands(CLI::App& app);       // pins, constraints
void addClockCommands(CLI::App& app);     // clocks, reset, memory
void addModuleCommands(CLI::App& app);    // modules
void addTemplateCommands(CLI::App& app);  // expand, set-part
void addFileCommands(CLI::App& app);      // check, print
void addLintCommand(CLI::App& app);       // lint
void addDiagramCommand(CLI::App& app);    // diagram
void addImportCommand(CLI::App& app);     // import
void addDiffCommand(CLI::App& app);       // diff

// What every query takes: the board file first, and --json.
struct QueryArgs {
  std::string board;
  bool json = false;
};

// A subcommand with the BOARD argument and the --json flag bound to `args`.
CLI::App* addQuery(CLI::App& app, const std::string& name, const std::string& description,
                   QueryArgs& args);
// Refuses an empty value as wrong usage: an empty value would read as "not given".
const CLI::Validator& nonEmpty();
// Prints `result` as JSON, or through `table` when JSON was not asked for.
void emit(const QueryArgs& args, const Json& result,
          const std::function<void(std::ostream&, const Json&)>& table);

}  // namespace qbd

#endif  // QBD_COMMANDS_H
