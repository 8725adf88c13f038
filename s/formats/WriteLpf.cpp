// The lpf form: LOCATE COMP "n" SITE "A1"; IOBUF PORT "n" KEY=VALUE ...; FREQUENCY PORT "n" F MHZ;
// The reader cuts at '#' and '//' even inside quotes, so names and values holding them, or a
// quote, a ';' or a blank, cannot be carried.
#include "WriterSupport.h"

namespace MbdFormats {
namespace detail {

namespace {

const char* const kForbidden = "#;\" ";

// The IOBUF assignment for a setting; empty when lpf has no word for it or its value.
std::string assignment(const Item& item) {
  if (!ForbiddenIn(item.value, kForbidden, true).empty()) return "";
  switch (item.kind) {
    case Item::IoStandard: return "IO_TYPE=" + item.value;
    case Item::Pull:
      if (item.value == "keeper") return "";
      return "PULLMODE=" + Port_AsciiUpper(item.value);
    case Item::Drive: return "DRIVE=" + item.value;
    case Item::Slew:
      if (item.value != "FAST" && item.value != "SLOW") return "";
      return "SLEWRATE=" + item.value;
    case Item::Termination: return "TERMINATION=" + item.value;
    case Item::Pass:
      if (!KnowsPassThrough("lpf", item.key)) return "";
      return Port_AsciiUpper(item.key) + "=" + (item.flag ? std::string("ON") : item.value);
  }
  return "";
}

}  // namespace

void WriteLpf(const MbdPins::PinTable& table, const WriteOptions& options, WriteOutput& out) {
  FileWriter file("lpf", "# ", false, out);
  file.Header(table, options);
  for (const MbdPins::PinRow& row : table.rows) {
    if (!file.RowNotes(row, kForbidden, true)) continue;
    const MbdPins::PinSettings& s = row.settings;
    if (row.pairSide == MbdPins::PairSide::N) {
      file.Unexpressed(row.name, {"the N side of pair " + row.partner +
                                  " (lpf constrains the P side only)"});
      continue;
    }
    const std::string quotedName = "\"" + row.name + "\"";
    if (!s.location.empty()) {
      // A port whose ball cannot be written is left out whole: its other settings alone
      // would read as a port without a place.
      const std::string bad = ForbiddenIn(s.location, kForbidden, true);
      if (!bad.empty()) {
        file.Refused(row.name, "its location \"" + s.location + "\": it holds " + bad);
        continue;
      }
      file.Line("LOCATE COMP " + quotedName + " SITE \"" + s.location + "\";");
    }
    std::string iobuf;
    for (const std::string& text : file.Settings(row.name, s, assignment)) iobuf += " " + text;
    if (!iobuf.empty()) file.Line("IOBUF PORT " + quotedName + iobuf + ";");
    if (s.frequencyHz > 0)
      file.Line("FREQUENCY PORT " + quotedName + " " + Megahertz(s.frequencyHz) + " MHZ;");
  }
  file.Unconnected(table);
}

}  // namespace detail
}  // namespace MbdFormats
