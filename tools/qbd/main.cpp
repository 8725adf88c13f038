// qbd: board-description queries, checks and pictures from the shell.
#include <csignal>
#include <iostream>
#include <new>

#include <CLI/CLI.hpp>

#include "Commands.h"
#include "FileOutput.h"
#include "ToolError.h"

namespace qbd {

CLI::App* addQuery(CLI::App& app, const std::string& name, const std::string& description,
                   QueryArgs& args) {
  CLI::App* cmd = app.add_subcommand(name, description);
  cmd->add_option("BOARD", args.board, "Board file (.qbd)")->required();
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

}  // namespace qbd

namespace {

bool isCommand(const CLI::App& app, const std::string& name) {
  for (const CLI::App* cmd : app.get_subcommands({}))
    if (cmd->check_name(name)) return true;
  return false;
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
  qbd::addImportCommand(app);
  qbd::addDiffCommand(app);
  // Past a file size limit a write fails with EFBIG and is reported, rather than killing the
  // program half-way through a file.
  std::signal(SIGXFSZ, SIG_IGN);
  qbd::takeStandardOutput();
  try {
    // Said plainly, rather than as the "a subcommand is required" that the parser would give.
    if (argc > 1 && argv[1][0] != '-' && !isCommand(app, argv[1]))
      throw CLI::ExtrasError(std::string("unknown command ") + argv[1], CLI::ExitCodes::ExtrasError);
    app.parse(argc, argv);
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
