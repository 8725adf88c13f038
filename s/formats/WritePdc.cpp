// The pdc form (the set_io dialect): one set_io command per port with its ball, IO standard,
// pull, slew, drive and direction as options. Clocks go to a companion .sdc.
#include "WriterSupport.h"

namespace MbdFormats {
namespace detail {

namespace {

// The set_io option and value for a setting; an empty option when pdc has no word for it.
std::pair<std::string, std::string> option(const Item& item) {
  switch (item.kind) {
    case Item::IoStandard: return {"-io_std", item.value};
    case Item::Pull:
      if (item.value == "up") return {"-RES_PULL", "Up"};
      if (item.value == "down") return {"-RES_PULL", "Down"};
      if (item.value == "keeper") return {"-RES_PULL", "Hold"};
      return {"-RES_PULL", "None"};
    case Item::Drive: return {"-OUT_DRIVE", item.value};
    case Item::Slew:
      if (item.value == "FAST") return {"-SLEW", "High"};
      if (item.value == "SLOW") return {"-SLEW", "Low"};
      return {};
    case Item::Termination: return {};
    case Item::Pass:
      if (!KnowsPassThrough("pdc", item.key)) return {};
      return {"-" + Port_AsciiUpper(item.key), item.flag ? "On" : item.value};
  }
  return {};
}

// The option's name and value as Tcl words; empty when pdc has no option for it.
std::string optionWords(const Item& item) {
  const auto [name, value] = option(item);
  return name.empty() ? std::string() : TclWord(name) + " " + TclWord(value);
}

const char* directionName(MbdPins::Direction direction) {
  switch (direction) {
    case MbdPins::Direction::In: return "INPUT";
    case MbdPins::Direction::Out: return "OUTPUT";
    case MbdPins::Direction::InOut: return "INOUT";
    case MbdPins::Direction::Unset: break;
  }
  return "";
}

}  // namespace

void WritePdc(const MbdPins::PinTable& table, const WriteOptions& options, WriteOutput& out) {
  FileWriter file("pdc", "# ", true, out);
  file.Header(table, options);
  for (const MbdPins::PinRow& row : table.rows) {
    if (!file.RowNotes(row, "", false)) continue;
    const MbdPins::PinSettings& s = row.settings;
    std::string line = "set_io -port_name " + TclWord(row.name, true);
    if (!s.location.empty()) line += " -pin_name " + TclWord(s.location) + " -fixed true";
    for (const std::string& words : file.Settings(row.name, s, optionWords)) line += " " + words;
    if (s.direction != MbdPins::Direction::Unset)
      line += std::string(" -DIRECTION ") + directionName(s.direction);
    file.Line(line);
  }
  file.Unconnected(table);
  file.CompanionSdc(table, options);
}

}  // namespace detail
}  // namespace MbdFormats
