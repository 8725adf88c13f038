// The cst form: IO_LOC "n" A1; and IO_PORT "n" KEY=VALUE ...; one statement per line, a pair's
// two balls on its P side's line (IO_LOC "x_p" P,N;). Clocks go to a companion .sdc.
#include "WriterSupport.h"

namespace MbdFormats {
namespace detail {

namespace {

const char* const kForbidden = "#;\" ";
// A ball stands bare, and a comma would split it into a pair's two balls.
const char* const kForbiddenBall = "#;\" ,";

// The IO_PORT assignment for a setting; empty when cst has no word for it or its value.
std::string assignment(const Item& item) {
  if (!ForbiddenIn(item.value, kForbidden, true).empty()) return "";
  switch (item.kind) {
    case Item::IoStandard: return "IO_TYPE=" + item.value;
    case Item::Pull: return "PULL_MODE=" + Port_AsciiUpper(item.value);
    case Item::Drive: return "DRIVE=" + item.value;
    case Item::Slew:
      if (item.value != "FAST" && item.value != "SLOW") return "";
      return "SLEW_RATE=" + item.value;
    case Item::Termination: return "";
    case Item::Pass:
      if (!KnowsPassThrough("cst", item.key)) return "";
      return Port_AsciiUpper(item.key) + "=" + (item.flag ? std::string("ON") : item.value);
  }
  return "";
}

}  // namespace

void WriteCst(const MbdPins::PinTable& table, const WriteOptions& options, WriteOutput& out) {
  FileWriter file("cst", "// ", false, out);
  file.Header(table, options);
  const RowIndex index(table);
  for (const MbdPins::PinRow& row : table.rows) {
    if (!file.RowNotes(row, kForbidden, true)) continue;
    const MbdPins::PinSettings& s = row.settings;
    const MbdPins::PinRow* partner = row.partner.empty() ? nullptr : index.Find(row.partner);
    const bool partnerLocated =
        partner && !partner->settings.location.empty() &&
        ForbiddenIn(partner->settings.location, kForbiddenBall, true).empty();
    if (row.pairSide == MbdPins::PairSide::N && partnerLocated) {
      file.Comment(row.name + ": the N side of " + row.partner + ", located on its line");
      continue;
    }
    const std::string quotedName = "\"" + row.name + "\"";
    if (!s.location.empty()) {
      const std::string bad = ForbiddenIn(s.location, kForbiddenBall, true);
      if (!bad.empty()) {
        // Left out whole, as its settings alone would read as a port without a place.
        file.Refused(row.name, "its location \"" + s.location + "\": it holds " + bad);
        continue;
      }
      std::string balls = s.location;
      if (row.pairSide == MbdPins::PairSide::P && partnerLocated)
        balls += "," + partner->settings.location;
      file.Line("IO_LOC " + quotedName + " " + balls + ";");
    }
    std::string port;
    for (const std::string& text : file.Settings(row.name, s, assignment)) port += " " + text;
    if (!port.empty()) file.Line("IO_PORT " + quotedName + port + ";");
  }
  file.Unconnected(table);
  file.CompanionSdc(table, options);
}

}  // namespace detail
}  // namespace MbdFormats
