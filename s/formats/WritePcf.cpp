// The pcf form: set_io NAME BALL with -pullup where asked, set_frequency in MHz. The reader has
// no quoting (it splits on blanks and cuts at '#'), so a name it cannot carry is refused.
#include "WriterSupport.h"

namespace MbdFormats {
namespace detail {

namespace {

// What in a bare pcf word the reader would split, cut or take for an option; empty when none.
std::string unfit(const std::string& word) {
  if (!word.empty() && word[0] == '-') return "a leading \"-\"";
  return ForbiddenIn(word, " #", false);
}

}  // namespace

void WritePcf(const MbdPins::PinTable& table, const WriteOptions& options, WriteOutput& out) {
  FileWriter file("pcf", "# ", false, out);
  file.Header(table, options);
  for (const MbdPins::PinRow& row : table.rows) {
    if (row.fpgaPin.empty()) continue;
    const std::string badName = unfit(row.name);
    if (!badName.empty()) {
      file.Refused(row.name, "the port name: it holds " + badName);
      continue;
    }
    if (!file.RowNotes(row, " #", false)) continue;
    const MbdPins::PinSettings& s = row.settings;
    if (row.pairSide == MbdPins::PairSide::N) {
      file.Unexpressed(row.name, {"the N side of pair " + row.partner +
                                  " (pcf constrains the P side only)"});
      continue;
    }
    const std::string badBall = unfit(s.location);
    if (!s.location.empty() && !badBall.empty()) {
      file.Refused(row.name, "its location \"" + s.location + "\": it holds " + badBall);
      continue;
    }
    std::string options_;
    std::vector<std::string> missing;
    for (const Item& item : Items(s)) {
      if (item.kind == Item::Pull && (item.value == "up" || item.value == "none") &&
          !s.location.empty())
        options_ += item.value == "up" ? " -pullup yes" : " -pullup no";
      else
        missing.push_back(Describe(item));
    }
    file.Unexpressed(row.name, missing);
    // The reader takes options only before the name: trailing ones are ignored with a warning.
    if (!s.location.empty()) file.Line("set_io" + options_ + " " + row.name + " " + s.location);
    if (s.frequencyHz > 0) file.Line("set_frequency " + row.name + " " + Megahertz(s.frequencyHz));
  }
  file.Unconnected(table);
}

}  // namespace detail
}  // namespace MbdFormats
