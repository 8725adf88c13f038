// What qbd constraints and qbd top share: the options that name the exported ports, and the
// two writers over the library's pin table.
#ifndef QBD_EXPORT_H
#define QBD_EXPORT_H

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "Commands.h"

namespace qbd {

struct ExportArgs : QueryArgs {
  std::vector<std::string> instances;
  std::string format = "ucf";
  std::string hdl;
  std::string output;
  bool strict = false;
  bool lenient = false;
  bool bus = false;
  std::string prefix;
  std::string renameFile;
  std::vector<std::string> choose;
};

// Adds --bus, --prefix, --rename, --choose, --lenient and -o to a command.
void addExportOptions(CLI::App& cmd, ExportArgs& args);
// The board's constraints in args.format; throws ToolError (the problems already on standard
// error) when the checks fail, or under --strict when the format left something out.
void writeConstraints(const ExportArgs& args);
// The top-level module or entity in args.hdl; throws ToolError likewise.
void writeTop(const ExportArgs& args);

}  // namespace qbd

#endif  // QBD_EXPORT_H
