// The qsf form: set_location_assignment PIN_A1 -to n and set_instance_assignment -name KEY
// VALUE -to n, with the IO standards under their own names and the N side of a pair named
// "p(n)". Clocks go to a companion .sdc.
#include <cctype>

#include "WriterSupport.h"

namespace MbdFormats {
namespace detail {

namespace {

// The qsf name of an IO standard; the value as written when it has none of its own.
std::string standardName(const std::string& written) {
  static const std::pair<const char*, const char*> names[] = {
      {"LVCMOS33", "3.3-V LVCMOS"}, {"LVTTL", "3.3-V LVTTL"},  {"LVTTL33", "3.3-V LVTTL"},
      {"LVCMOS30", "3.0-V LVCMOS"}, {"LVTTL30", "3.0-V LVTTL"}, {"LVCMOS25", "2.5 V"},
      {"LVCMOS18", "1.8 V"},        {"LVCMOS15", "1.5 V"},      {"LVCMOS12", "1.2 V"},
      {"LVDS", "LVDS"},             {"LVDS_25", "LVDS"},        {"SSTL2_I", "SSTL-2 CLASS I"},
      {"SSTL2_II", "SSTL-2 CLASS II"}, {"SSTL18_I", "SSTL-18 CLASS I"},
      {"SSTL18_II", "SSTL-18 CLASS II"}, {"SSTL15", "SSTL-15"}, {"SSTL135", "SSTL-135"}};
  for (const auto& [from, to] : names)
    if (SameWord(written, from)) return to;
  return written;
}

bool isNumber(const std::string& text) {
  if (text.empty()) return false;
  for (unsigned char c : text)
    if (!std::isdigit(c)) return false;
  return true;
}

// The assignment name and value for a setting; an empty name when qsf has no word for it.
std::pair<std::string, std::string> assignment(const Item& item) {
  switch (item.kind) {
    case Item::IoStandard: return {"IO_STANDARD", standardName(item.value)};
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
      return {Upper(item.key), item.flag ? "ON" : item.value};
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
  WriteCompanionSdc(table, options, out);
  if (!out.companionText.empty()) file.Comment("clocks: in the .sdc written with this file");
}

}  // namespace detail
}  // namespace MbdFormats
