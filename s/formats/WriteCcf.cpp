// The ccf form: Net "n" Loc = "A1" | KEY=value ...; one statement per port. Names and values
// cannot hold a quote or '#'. Clocks go to a companion .sdc.
#include "WriterSupport.h"

namespace MbdFormats {
namespace detail {

namespace {

const char* const kForbidden = "\"#;";
const char* const kForbiddenValue = "\"#;| ";

// The option for a setting; empty when ccf has no word for it or its value.
std::string option(const Item& item) {
  if (!ForbiddenIn(item.value, kForbiddenValue, false).empty()) return "";
  switch (item.kind) {
    case Item::IoStandard: return "";
    case Item::Pull:
      if (item.value == "up") return "PULLUP=true";
      if (item.value == "down") return "PULLDOWN=true";
      if (item.value == "keeper") return "KEEPER=true";
      return "PULLUP=false";
    case Item::Drive: return "DRIVE=" + item.value;
    case Item::Slew:
      if (item.value == "FAST") return "SLEW=fast";
      if (item.value == "SLOW") return "SLEW=slow";
      return "";
    case Item::Termination: return "";
    case Item::Pass:
      if (!KnowsPassThrough("ccf", item.key)) return "";
      return Port_AsciiUpper(item.key) + "=" + (item.flag ? std::string("true") : item.value);
  }
  return "";
}

}  // namespace

void WriteCcf(const MbdPins::PinTable& table, const WriteOptions& options, WriteOutput& out) {
  FileWriter file("ccf", "# ", false, out);
  file.Header(table, options);
  for (const MbdPins::PinRow& row : table.rows) {
    if (!file.RowNotes(row, kForbidden, false)) continue;
    const MbdPins::PinSettings& s = row.settings;
    std::string line = "Net \"" + row.name + "\"";
    if (!s.location.empty()) {
      const std::string bad = ForbiddenIn(s.location, kForbiddenValue, false);
      if (!bad.empty()) {
        file.Refused(row.name, "its location \"" + s.location + "\": it holds " + bad);
        continue;
      }
      line += " Loc = \"" + s.location + "\"";
    }
    std::string options_;
    for (const std::string& text : file.Settings(row.name, s, option))
      options_ += (options_.empty() && s.location.empty() ? " " : " | ") + text;
    if (!s.location.empty() || !options_.empty()) file.Line(line + options_ + ";");
  }
  file.Unconnected(table);
  file.CompanionSdc(table, options);
}

}  // namespace detail
}  // namespace MbdFormats
