// The reader for each format, chosen by name or by file name.
#include "MbdConstraintReader.h"

#include <cctype>
#include <cstring>

#include "MbdConstraintWriter.h"
#include "Readers.h"

namespace MbdFormats {
namespace {

struct Format {
  const char* name;
  detail::Reader reader;
};

const Format kFormats[] = {
    {"ccf", detail::ReadCcf}, {"cst", detail::ReadCst}, {"lpf", detail::ReadLpf},
    {"pcf", detail::ReadPcf}, {"pdc", detail::ReadPdc}, {"qsf", detail::ReadQsf},
    {"sdc", detail::ReadSdc}, {"ucf", detail::ReadUcf}, {"xdc", detail::ReadXdc},
};

// The pdc dialect of `text` by the first word of each line, comment marks and blanks before
// it skipped: set_io in one, ldc_* commands in the other.
std::string PdcDialect(const std::string& text) {
  bool setIo = false, ldc = false;
  std::size_t at = 0;
  while (at < text.size() && !(setIo && ldc)) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::size_t word = at;
    while (word < end && (text[word] == ' ' || text[word] == '\t' || text[word] == '#')) ++word;
    std::size_t stop = word;
    while (stop < end && (std::isalnum(static_cast<unsigned char>(text[stop])) || text[stop] == '_'))
      ++stop;
    const std::string first = text.substr(word, stop - word);
    setIo = setIo || first == "set_io";
    ldc = ldc || first.compare(0, 4, "ldc_") == 0;
    at = end + 1;
  }
  return setIo && ldc ? "mixed" : setIo ? "set_io" : ldc ? "ldc" : "";
}

}  // namespace

std::string FormatReadError(const ReadError& error, bool warning) {
  std::string text = error.file + ":" + std::to_string(error.line) + ":";
  if (error.column != 0) text += std::to_string(error.column) + ":";
  return text + (warning ? " warning: " : " error: ") + error.message;
}

const std::vector<std::string>& ReaderFormats() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list;
    for (const Format& format : kFormats) list.push_back(format.name);
    return list;
  }();
  return names;
}

std::string FormatOfFile(const std::string& fileName, const std::string& text,
                         std::string* dialect) {
  // The registry knows each format's file types; both pdc dialects go to the one pdc reader,
  // which knows the commands of each. The dialect is only reported.
  if (dialect != nullptr) dialect->clear();
  const FormatInfo* info = FormatForFile(fileName);
  if (info == nullptr) return std::string();
  for (const Format& format : kFormats) {
    if (std::strcmp(info->name, format.name) != 0) continue;
    if (dialect != nullptr && std::strcmp(format.name, "pdc") == 0) *dialect = PdcDialect(text);
    return format.name;
  }
  return std::string();
}

bool ReadConstraints(const std::string& format, const std::string& text,
                     const std::string& fileName, const ReadOptions& options, ReadResult& result) {
  const std::size_t errorsBefore = result.errors.size();
  const std::string name = Port_AsciiLower(format);
  for (const Format& known : kFormats) {
    if (name == known.name) {
      known.reader(text, fileName, options, result);
      return result.errors.size() == errorsBefore;
    }
  }
  std::string list;
  for (const Format& known : kFormats) list += (list.empty() ? "" : ", ") + std::string(known.name);
  result.errors.push_back(ReadError{
      fileName, 1, 1, "unknown constraint format \"" + format + "\" (known: " + list + ")"});
  return false;
}

}  // namespace MbdFormats
