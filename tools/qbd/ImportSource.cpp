#include "ImportSource.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "MbdImportFiles.h"
#include "ToolError.h"

namespace qbd {

namespace {

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string readWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ToolError(path + ": error: cannot open: " + std::strerror(errno));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw ToolError(path + ": error: cannot read: " + std::strerror(errno));
  return text.str();
}

bool known(const std::string& format) {
  for (const std::string& f : MbdImport::ImportFormats())
    if (f == format) return true;
  return false;
}

MbdImport::TableRead readOne(const std::string& path, const ImportOptions& options) {
  const std::string text = readWhole(path);
  const std::string format = MbdImport::ImportFormatOf(path, text, options.format);
  if (!known(format))
    throw ToolError(path + ": error: " +
                        (format.empty() ? std::string("cannot tell the format from the file name")
                                        : "cannot import format \"" + format + "\"") +
                        ": expected one of " + importFormats() + " (choose with --format)",
                    EXIT_USAGE);
  if (format == "net" && options.fpga.empty())
    throw ToolError(path + ": error: a netlist needs --fpga REF, the FPGA part's reference",
                    EXIT_USAGE);
  MbdImport::FileOptions fileOptions;
  fileOptions.columns = options.columns;
  fileOptions.fpga = options.fpga;
  fileOptions.includeCommented = options.includeCommented;
  return MbdImport::ReadImportText(format, text, path, fileOptions);
}

}  // namespace

std::string importFormatOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return MbdImport::ImportFormatOf(path, text.str(), "");
}

bool isBoardFile(const std::string& path, const std::string& format) {
  if (!format.empty()) return lower(format) == "qbd";
  // Standard input has no extension to tell; what comes there is a board, as for every command.
  if (path == "-") return true;
  const std::size_t dot = path.rfind('.');
  return dot != std::string::npos && path.find('/', dot) == std::string::npos &&
         lower(path.substr(dot + 1)) == "qbd";
}

std::string importFormats() {
  std::string list;
  for (const std::string& f : MbdImport::ImportFormats()) list += (list.empty() ? "" : ", ") + f;
  return list;
}

ImportedTable readImport(const std::vector<std::string>& files, const ImportOptions& options) {
  ImportedTable out;
  std::string errors;
  for (const std::string& path : files) {
    MbdImport::TableRead read = readOne(path, options);
    for (const MbdImport::ImportError& e : read.errors)
      errors += (errors.empty() ? "" : "\n") + MbdImport::FormatError(e);
    if (!read.errors.empty()) continue;
    MbdImport::MergeTable(out.table, read.table);
    out.notes.insert(out.notes.end(), read.notes.begin(), read.notes.end());
  }
  if (!errors.empty()) throw ToolError(errors);
  if (files.size() > 1) out.table.source = files.front();
  return out;
}

}  // namespace qbd
