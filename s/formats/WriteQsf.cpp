// The qsf form: set_location_assignment PIN_A1 -to n and set_instance_assignment -name KEY
// VALUE -to n, with the IO standards under their own names and the N side of a pair named
// "p(n)". Clocks go to a companion .sdc.
#include <cctype>

#include "QsfStandards.h"
#include "WriterSupport.h"

namespace MbdFormats {
namespace detail {

namespace {

bool isNumber(const std::string& text) {
  if (text.empty()) return false;
  for (unsigned char c : text)
    if (!std::isdigit(c)) return false;
  return true;
}

// The assignment name and value for a setting; an empty name when qsf has no word for it.
std::pair<std::string, std::string> assignment(const Item& item) {
  switch (item.kind) {
    case Item::IoStandard: return {"IO_STANDARD", QsfStandardName(item.value)};
    case Item::Pull:
      if (item.value == "up") return {"WEAK_PULL_UP_RESISTOR", "ON"};
      if (item.value == "keeper") return {"ENABLE_BUS_HOLD_CIRCUITRY", "ON"};
      if (item.value == "none") return {"WEAK_PULL_UP_RESISTOR", "OFF"};
      return {};
    case Item::Drive:
      return {"CURRENT_STRENGTH_NEW", isNumber(item.value) ? item.value + "MA" : item.value};
    case Item::Slew:
      if (!isNumber(item.value)) return {};
      return {"SLEW_RATE", item.value};
    case Item::Termination: return {};
    case Item::Pass:
      if (!KnowsPassThrough("qsf", item.key)) return {};
      return {Port_AsciiUpper(item.key), item.flag ? "ON" : item.value};
  }
  return {};
}

// A value word: bare when plain, otherwise in double quotes as qsf files write them.
std::string value(const std::string& text) {
  const std::string bare = TclWord(text);
  return bare == text ? text : TclQuoted(text);
}

}  // namespace

void WriteQsf(const MbdPins::PinTable& table, const WriteOptions& options, WriteOutput& out) {
  FileWriter file("qsf", "# ", true, out);
  file.Header(table, options);
  for (const MbdPins::PinRow& row : table.rows) {
    if (!file.RowNotes(row, "", false)) continue;
    const MbdPins::PinSettings& s = row.settings;
    const bool negative = row.pairSide == MbdPins::PairSide::N && !row.partner.empty();
    const std::string to = " -to " + TclWord(negative ? row.partner + "(n)" : row.name);
    if (!s.location.empty())
      file.Line("set_location_assignment " + TclWord("PIN_" + s.location) + to);
    std::vector<std::string> missing;
    for (const Item& item : Items(s)) {
      const auto [name, text] = assignment(item);
      if (name.empty())
        missing.push_back(Describe(item));
      else
        file.Line("set_instance_assignment -name " + TclWord(name) + " " + value(text) + to);
    }
    file.Unexpressed(row.name, missing);
  }
  file.Unconnected(table);
  file.CompanionSdc(table, options);
}

}  // namespace detail
}  // namespace MbdFormats
