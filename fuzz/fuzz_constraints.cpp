// Fuzz target: the readers of the line formats (pcf, lpf, cst, ccf, ucf). The first byte picks
// the format and whether commented-out commands are read; the rest is the file. Any bytes read
// into rows and located messages that hold together, the same on a second read.
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "MbdConstraintReader.h"

namespace {

using qbd_fuzz::Require;

const char* const kFormats[] = {"pcf", "lpf", "cst", "ccf", "ucf"};

unsigned LineCount(const std::string& text) {
  unsigned lines = 1;
  for (char c : text) lines += c == '\n';
  return lines;
}

void CheckMessages(const std::vector<MbdFormats::ReadError>& messages, const std::string& file,
                   unsigned lines) {
  for (const MbdFormats::ReadError& m : messages) {
    Require(m.file == file, "a message names another file");
    Require(m.line >= 1 && m.line <= lines, "a message outside the file: " + m.message);
    Require(m.column >= 1, "a message without a column: " + m.message);
    Require(!m.message.empty(), "an empty message");
  }
}

void CheckRows(const MbdFormats::ReadResult& result, unsigned lines) {
  std::vector<unsigned> seen(result.table.rows.size(), 0);
  for (const MbdFormats::LineSet& set : result.lineSets)
    for (std::size_t row : set.rows) {
      Require(row < seen.size(), "a line set names a row that is not there");
      ++seen[row];
    }
  for (std::size_t i = 0; i < result.table.rows.size(); ++i) {
    const MbdPins::PinRow& row = result.table.rows[i];
    Require(seen[i] == 1, "a row in no line set, or in two");
    Require(!row.name.empty(), "a row without a name");
    Require(row.line >= 1 && row.line <= lines, "a row outside the file");
    Require(row.settings.location.empty() ==
                (row.strings.empty() || row.strings[0].rfind("LOC=", 0) != 0),
            "the location and the LOC string disagree");
    Require(row.busIndex < 0 || row.name.size() > row.busStem.size(), "a bus bit without its stem");
  }
}

bool SameRows(const MbdFormats::ReadResult& a, const MbdFormats::ReadResult& b) {
  if (a.table.rows.size() != b.table.rows.size() || a.errors.size() != b.errors.size() ||
      a.skipped.size() != b.skipped.size())
    return false;
  for (std::size_t i = 0; i < a.table.rows.size(); ++i)
    if (a.table.rows[i].name != b.table.rows[i].name ||
        a.table.rows[i].strings != b.table.rows[i].strings)
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string format = kFormats[data[0] % 5];
  MbdFormats::ReadOptions options;
  options.includeCommented = (data[0] & 0x80) != 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string file = "fuzz." + format;
  MbdFormats::ReadResult result;
  const bool ok = MbdFormats::ReadConstraints(format, text, file, options, result);
  Require(ok == result.errors.empty(), "the answer and the errors disagree");
  const unsigned lines = LineCount(text);
  CheckMessages(result.errors, file, lines);
  CheckMessages(result.skipped, file, lines);
  CheckRows(result, lines);
  MbdFormats::ReadResult again;
  MbdFormats::ReadConstraints(format, text, file, options, again);
  Require(SameRows(result, again), "a second read differs");
  return 0;
}
