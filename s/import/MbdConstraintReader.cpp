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

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
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

std::string FormatOfFile(const std::string& fileName, const std::string& /*text*/) {
  // The registry knows each format's file types; both pdc dialects go to the one pdc reader,
  // which knows the commands of each.
  const FormatInfo* info = FormatForFile(fileName);
  if (info == nullptr) return std::string();
  for (const Format& format : kFormats)
    if (std::strcmp(info->name, format.name) == 0) return format.name;
  return std::string();
}

bool ReadConstraints(const std::string& format, const std::string& text,
                     const std::string& fileName, const ReadOptions& options, ReadResult& result) {
  const std::size_t errorsBefore = result.errors.size();
  const std::string name = Lower(format);
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
