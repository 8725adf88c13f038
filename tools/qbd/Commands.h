// The subcommands of qbd, one registration function per family, and what query commands share.
#ifndef QBD_COMMANDS_H
#define QBD_COMMANDS_H

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

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
void addExportCommands(CLI::App& app);    // top
void addVocabularyCommands(CLI::App& app);  // iotypes, roles, families
void addLspCommand(CLI::App& app);        // lsp
void addImportCommand(CLI::App& app);     // import
void addDiffCommand(CLI::App& app);       // diff

// Gives every subcommand of `app` the shared -o,--output option: what the command prints goes
// to that file, which is replaced only when the command has finished. Call after every
// command is added.
void addOutputOption(CLI::App& app);
// The -o value of the command that runs; empty when it was not given.
const std::string& outputPath();
// True when --force allows the -o file to replace a write-protected file.
bool outputForce();
// Marks a command that writes its -o file itself; its standard output is left alone.
void writesOutputItself(CLI::App* cmd);
// The names of the subcommands of `app`, for "did you mean".
std::vector<std::string> commandNames(const CLI::App& app);

// What every query takes: the board file first ("-" for standard input), and --json.
struct QueryArgs {
  std::string board;
  bool json = false;
};

// A subcommand with the BOARD argument and the --json flag bound to `args`.
CLI::App* addQuery(CLI::App& app, const std::string& name, const std::string& description,
                   QueryArgs& args);
// Refuses an empty value as wrong usage: an empty value would read as "not given".
const CLI::Validator& nonEmpty();
class LoadedBoard;
// The board in the file syntax on std::cout, or with --json {"file", "board"} holding that text.
void writeBoard(LoadedBoard& board, const QueryArgs& args);
// Prints `result` as JSON, or through `table` when JSON was not asked for.
void emit(const QueryArgs& args, const Json& result,
          const std::function<void(std::ostream&, const Json&)>& table);

}  // namespace qbd

#endif  // QBD_COMMANDS_H
