#include "ImportSource.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "MbdConstraintReader.h"
#include "ToolError.h"

namespace qbd {

namespace {

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string extension(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return lower(path.substr(dot + 1));
}

std::string formatOf(const std::string& path, const std::string& given) {
  if (!given.empty()) return lower(given);
  const std::string ext = extension(path);
  if (ext == "txt" || ext == "tsv") return "csv";
  return ext;
}

std::string readWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ToolError(path + ": error: cannot open: " + std::strerror(errno));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw ToolError(path + ": error: cannot read: " + std::strerror(errno));
  return text.str();
}

// A constraint file through its format's reader: its errors as import errors, what it skipped
// or refused (exec, open, an unknown command) as notes.
MbdImport::TableRead readConstraintFile(const std::string& format, const std::string& text,
                                        const std::string& path, const ImportOptions& options) {
  MbdFormats::ReadOptions readOptions;
  readOptions.includeCommented = options.includeCommented;
  MbdFormats::ReadResult result;
  MbdFormats::ReadConstraints(format, text, path, readOptions, result);
  MbdImport::TableRead out;
  out.table = std::move(result.table);
  out.table.source = path;
  for (const MbdFormats::ReadError& e : result.errors)
    out.errors.push_back(MbdImport::ImportError{e.file, e.line, e.column, e.message});
  for (const MbdFormats::ReadError& e : result.skipped) {
    MbdImport::Guess note;
    note.kind = MbdImport::GuessKind::Skipped;
    note.file = e.file;
    note.line = e.line;
    note.message = e.message;
    out.notes.push_back(std::move(note));
  }
  return out;
}

MbdImport::TableRead readOne(const std::string& path, const ImportOptions& options) {
  const std::string format = formatOf(path, options.format);
  if (format == "csv") return MbdImport::ReadPinCsv(readWhole(path), path, options.columns);
  if (format == "net") {
    if (options.fpga.empty())
      throw ToolError(path + ": error: a netlist needs --fpga REF, the FPGA part's reference",
                      EXIT_USAGE);
    return MbdImport::ReadNetlist(readWhole(path), path, options.fpga);
  }
  const std::string text = readWhole(path);
  const std::string constraintFormat = options.format.empty()
                                           ? MbdFormats::FormatOfFile(path, text)
                                           : lower(options.format);
  bool known = false;
  for (const std::string& f : MbdFormats::ReaderFormats()) known = known || f == constraintFormat;
  if (!known)
    throw ToolError(path + ": error: cannot import format \"" + format + "\": expected one of " +
                        importFormats() + " (choose with --format)",
                    EXIT_USAGE);
  return readConstraintFile(constraintFormat, text, path, options);
}

}  // namespace

std::string importFormatOf(const std::string& path) {
  const std::string format = formatOf(path, "");
  if (format == "csv" || format == "net") return format;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return MbdFormats::FormatOfFile(path, text.str());
}

bool isBoardFile(const std::string& path, const std::string& format) {
  return formatOf(path, format) == "qbd";
}

std::string importFormats() {
  std::string list = "csv, net";
  for (const std::string& f : MbdFormats::ReaderFormats()) list += ", " + f;
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
