// qbd diagram: the board as a Graphviz graph, or rendered by dot into SVG, PNG or PDF.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <memory>
#include <sstream>

#include "Board.h"
#include "Commands.h"
#include "Diagram.h"
#include "FileOutput.h"
#include "ToolError.h"

extern char** environ;

namespace qbd {

namespace {

struct DiagramArgs : QueryArgs {};

// The image format the file name asks for ("svg", "png", "pdf"); empty for DOT text.
std::string imageFormat(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos) return std::string();
  const StringBase ext(path.substr(dot + 1));
  for (const char* format : {"svg", "png", "pdf"})
    if (EqualsIgnoringCase(ext, StringBase(format))) return format;
  return std::string();
}

// Runs `dot -T<format> -o <path>` with the graph on its standard input; `target` is the file
// the picture is for, as messages name it.
void render(const std::string& graph, const std::string& format, const std::string& path,
            const std::string& target) {
  int fds[2];
  if (pipe(fds) != 0) throw ToolError(std::string("qbd: error: pipe: ") + std::strerror(errno));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[1]);
  const std::string type = "-T" + format;
  std::string outPath = path;
  char* argv[] = {const_cast<char*>("dot"), const_cast<char*>(type.c_str()),
                  const_cast<char*>("-o"), outPath.data(), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, "dot", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[0]);
  if (spawned != 0) {
    close(fds[1]);
    throw ToolError("qbd: error: cannot run dot (" + std::string(std::strerror(spawned)) +
                    "); install Graphviz, or write a .dot file");
  }
  std::signal(SIGPIPE, SIG_IGN);  // a dot that dies early must not take qbd with it
  std::size_t written = 0;
  while (written < graph.size()) {
    const ssize_t n = write(fds[1], graph.data() + written, graph.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  close(fds[1]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw ToolError("qbd: error: dot failed to render " + target);
}

void diagram(const DiagramArgs& args) {
  LoadedBoard board(args.board);
  board.model();  // a generic template is drawn expanded
  const MBD::BoardId id = board.model().getBoardId();
  std::string title = str(id.vendor) + " " + str(id.name);
  if (!id.revision.IsEmpty()) title += " rev " + str(id.revision);
  title = Port_TrimBlanks(title);
  title = title.empty() ? board.path() : title + "  (" + board.path() + ")";
  const std::string& output = outputPath();
  if (args.json) {
    const Json result{{"file", board.path()}, {"title", title},
                      {"dot", boardDot(board.tree(), title)}};
    if (output.empty() || output == "-") return printJson(std::cout, result);
    std::ostringstream text;
    printJson(text, result);
    return replaceFile(output, text.str());
  }
  if (output.empty() || output == "-") return writeBoardDot(std::cout, board.tree(), title);
  const std::string graph = boardDot(board.tree(), title);
  const std::string format = imageFormat(output);
  if (!format.empty()) {
    // dot writes the picture beside the target, which it replaces only once dot succeeded.
    ReplacingFile picture(output, outputForce());
    render(graph, format, picture.temporaryPath(), output);
    return picture.commit();
  }
  replaceFile(output, graph, outputForce());
}

}  // namespace

void addDiagramCommand(CLI::App& app) {
  auto args = std::make_shared<DiagramArgs>();
  CLI::App* cmd = addQuery(
      app, "diagram", "Graphviz picture of instances, ports, nets and FPGA pins with locations",
      *args);
  // The shared -o, read here: .svg, .png or .pdf is rendered with dot.
  writesOutputItself(cmd);
  cmd->footer("With -o FILE: .svg, .png or .pdf is rendered with dot, anything else gets the DOT "
              "text.\nWith --json: {\"file\", \"title\", \"dot\"}, the DOT text as a string.");
  cmd->callback([args] { diagram(*args); });
}

}  // namespace qbd
