// Reading any importable file: CSV pin tables and netlists by the board library's readers, the
// constraint formats by theirs, all into one TableRead.
#include "MbdImportFiles.h"

#include "MbdConstraintReader.h"

namespace MbdImport {

namespace {

TableRead ReadConstraintText(const std::string& format, const std::string& text,
                             const std::string& path, const FileOptions& options) {
  MbdFormats::ReadOptions readOptions;
  readOptions.includeCommented = options.includeCommented;
  MbdFormats::ReadResult result;
  MbdFormats::ReadConstraints(format, text, path, readOptions, result);
  TableRead out;
  out.table = std::move(result.table);
  out.table.source = path;
  for (const MbdFormats::ReadError& e : result.errors)
    out.errors.push_back(ImportError{e.file, e.line, e.column, e.message});
  // Commands refused or not understood (exec, open, source, ...) were skipped, never run.
  for (const MbdFormats::ReadError& e : result.skipped) {
    Guess note;
    note.kind = GuessKind::Skipped;
    note.file = e.file;
    note.line = e.line;
    note.message = e.message;
    out.notes.push_back(std::move(note));
  }
  return out;
}

}  // namespace

std::string LowerAscii(std::string text) { return Port_AsciiLower(std::move(text)); }

std::string FileExtension(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return LowerAscii(path.substr(dot + 1));
}

bool IsImportFormat(const std::string& format) {
  for (const std::string& f : ImportFormats())
    if (f == format) return true;
  return false;
}

const std::vector<std::string>& ImportFormats() {
  static const std::vector<std::string> formats = [] {
    std::vector<std::string> list{"csv", "net"};
    for (const std::string& f : MbdFormats::ReaderFormats()) list.push_back(f);
    return list;
  }();
  return formats;
}

std::string ImportFormatOf(const std::string& path, const std::string& text,
                           const std::string& given) {
  if (!given.empty()) return LowerAscii(given);
  const std::string ext = FileExtension(path);
  if (ext == "csv" || ext == "txt" || ext == "tsv") return "csv";
  if (ext == "net") return "net";
  return MbdFormats::FormatOfFile(path, text);
}

TableRead ReadImportText(const std::string& format, const std::string& text,
                         const std::string& path, const FileOptions& options) {
  if (format == "csv") return ReadPinCsv(text, path, options.columns);
  if (format == "net") {
    if (!options.fpga.empty()) return ReadNetlist(text, path, options.fpga);
    TableRead out;
    out.errors.push_back(ImportError{path, 0, 0, "a netlist needs the FPGA part's reference"});
    return out;
  }
  for (const std::string& f : MbdFormats::ReaderFormats())
    if (f == format) return ReadConstraintText(format, text, path, options);
  TableRead out;
  out.errors.push_back(ImportError{path, 0, 0, "cannot import format \"" + format + "\""});
  return out;
}

}  // namespace MbdImport
