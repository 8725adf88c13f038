// qbd lsp: the language server for board files, on standard input and output.
#include <iostream>

#include "Commands.h"
#include "LspServer.h"
#include "ToolError.h"

namespace qbd {

void addLspCommand(CLI::App& app) {
  CLI::App* cmd = app.add_subcommand(
      "lsp", "Serve the Language Server Protocol on standard input and output (for editors)");
  // Editors pass --stdio to every server they start; it is the only transport there is.
  cmd->add_flag("--stdio", "Talk over standard input and output (the default)");
  cmd->callback([] {
    qbdlsp::LspServer server(std::cin, std::cout, std::cerr);
    const int status = server.run();
    if (status != 0) throw ToolError("", status);
  });
}

}  // namespace qbd
