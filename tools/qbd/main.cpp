// qbd: board-description queries, checks and pictures from the shell.
#include <csignal>
#include <iostream>
#include <new>
#include <set>

#include <CLI/CLI.hpp>

#include "CommandOutput.h"
#include "Commands.h"
#include "FileOutput.h"
#include "MemoryReserve.h"
#include "Suggest.h"
#include "ToolError.h"

namespace qbd {

CLI::App* addQuery(CLI::App& app, const std::string& name, const std::string& description,
                   QueryArgs& args) {
  CLI::App* cmd = app.add_subcommand(name, description);
  cmd->add_option("BOARD", args.board, "Board file (.qbd), or - for standard input")->required();
  cmd->add_flag("--json", args.json, "Print the result as JSON");
  return cmd;
}

const CLI::Validator& nonEmpty() {
  static const CLI::Validator validator(
      [](std::string& value) { return value.empty() ? std::string("empty value") : std::string(); },
      "");
  return validator;
}

void emit(const QueryArgs& args, const Json& result,
          const std::function<void(std::ostream&, const Json&)>& table) {
  if (args.json) {
    printJson(std::cout, result);
  } else {
    table(std::cout, result);
  }
}

namespace {

std::string& sharedOutput() {
  static std::string path;
  return path;
}

bool& sharedForce() {
  static bool force = false;
  return force;
}

std::set<const CLI::App*>& selfWriting() {
  static std::set<const CLI::App*> commands;
  return commands;
}

}  // namespace

void addOutputOption(CLI::App& app) {
  for (CLI::App* cmd : app.get_subcommands({})) {
    if (!cmd->get_option_no_throw("--output"))
      cmd->add_option("-o,--output", sharedOutput(),
                      "Write to this file, replaced once the command has finished (default, "
                      "or -: standard output)")
          ->check(nonEmpty());
    // A command with a --force of its own (set-part's) lets it cover the output file too.
    if (!cmd->get_option_no_throw("--force"))
      cmd->add_flag("--force", sharedForce(), "Replace an output file that is write-protected");
  }
  // Runs once the command line is read, before the command itself.
  app.parse_complete_callback([&app] {
    for (const CLI::App* cmd : app.get_subcommands()) {
      if (cmd->get_option_no_throw("--force") && cmd->count("--force") > 0) sharedForce() = true;
      if (selfWriting().count(cmd) == 0) openCommandOutput(sharedOutput(), sharedForce());
    }
  });
}

bool outputForce() { return sharedForce(); }

const std::string& outputPath() { return sharedOutput(); }

void writesOutputItself(CLI::App* cmd) { selfWriting().insert(cmd); }

std::vector<std::string> commandNames(const CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::App* cmd : app.get_subcommands({})) names.push_back(cmd->get_name());
  return names;
}

}  // namespace qbd

namespace {

bool isCommand(const CLI::App& app, const std::string& name) {
  for (const CLI::App* cmd : app.get_subcommands({}))
    if (cmd->check_name(name)) return true;
  return false;
}

// A command that failed with a verdict (an empty message: it has said everything itself)
// still wrote a whole result, which goes to its file; any other failure leaves the file alone.
void finishOutput(const qbd::ToolError* error) {
  if (error && (*error->what() || error->status() != qbd::EXIT_FAILED)) {
    qbd::abandonCommandOutput();
    return;
  }
  qbd::commitCommandOutput();
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Query, check and draw board-description (.qbd) files."};
  app.name("qbd");
  app.require_subcommand(1, 1);
  app.fallthrough(false);
  app.set_version_flag("--version", std::string("qbd ") + QBD_VERSION);
  qbd::addInfoCommands(app);
  qbd::addTableCommands(app);
  qbd::addPinCommands(app);
  qbd::addClockCommands(app);
  qbd::addModuleCommands(app);
  qbd::addTemplateCommands(app);
  qbd::addFileCommands(app);
  qbd::addLintCommand(app);
  qbd::addDiagramCommand(app);
  qbd::addExportCommands(app);
  qbd::addVocabularyCommands(app);
  qbd::addImportCommand(app);
  qbd::addDiffCommand(app);
  qbd::addOutputOption(app);
  qbd::addLspCommand(app);
  // Past a file size limit a write fails with EFBIG and is reported, rather than killing the
  // program half-way through a file.
  std::signal(SIGXFSZ, SIG_IGN);
  qbd::takeStandardOutput();
  if (!qbd::keepMemoryReserve()) {
    std::cerr << "qbd: error: out of memory\n";
    return qbd::EXIT_FAILED;
  }
  try {
    // Said plainly, rather than as the "a subcommand is required" that the parser would give.
    if (argc > 1 && argv[1][0] != '-' && !isCommand(app, argv[1]))
      throw CLI::ExtrasError(std::string("unknown command ") + argv[1] +
                                 qbd::didYouMean(argv[1], qbd::commandNames(app)),
                             CLI::ExitCodes::ExtrasError);
    try {
      app.parse(argc, argv);
    } catch (const qbd::ToolError& e) {
      finishOutput(&e);
      throw;
    } catch (...) {
      qbd::abandonCommandOutput();
      throw;
    }
    finishOutput(nullptr);
    qbd::finishStandardOutput();
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "qbd: error: " << e.what() << "\nRun 'qbd --help' or 'qbd COMMAND --help'.\n";
    return qbd::EXIT_USAGE;
  } catch (const qbd::ToolError& e) {
    // An empty message means the command has already said what went wrong.
    if (*e.what()) std::cerr << e.what() << '\n';
    return e.status();
  } catch (const std::bad_alloc&) {
    std::cerr << "qbd: error: out of memory\n";
    return qbd::EXIT_FAILED;
  } catch (const std::exception& e) {
    std::cerr << "qbd: error: " << e.what() << '\n';
    return qbd::EXIT_FAILED;
  }
  return 0;
}
