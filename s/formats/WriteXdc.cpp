// The xdc form: set_property PACKAGE_PIN per port, the other settings in one -dict, and
// create_clock with the period in ns. Every name goes through get_ports as a one-element list.
#include "WriterSupport.h"

namespace MbdFormats {
namespace detail {

namespace {

// The xdc property and value for a setting; an empty key when xdc has no word for it.
std::pair<std::string, std::string> property(const Item& item) {
  switch (item.kind) {
    case Item::IoStandard: return {"IOSTANDARD", item.value};
    case Item::Pull:
      if (item.value == "up") return {"PULLUP", "TRUE"};
      if (item.value == "down") return {"PULLDOWN", "TRUE"};
      if (item.value == "keeper") return {"KEEPER", "TRUE"};
      return {"PULLTYPE", "NONE"};
    case Item::Drive: return {"DRIVE", item.value};
    case Item::Slew: return {"SLEW", item.value};
    case Item::Termination: return {"IN_TERM", item.value};
    case Item::Pass:
      if (!KnowsPassThrough("xdc", item.key)) return {};
      return {Port_AsciiUpper(item.key), item.flag ? "TRUE" : item.value};
  }
  return {};
}

}  // namespace

void WriteXdc(const MbdPins::PinTable& table, const WriteOptions& options, WriteOutput& out) {
  FileWriter file("xdc", "# ", true, out);
  file.Header(table, options);
  for (const MbdPins::PinRow& row : table.rows) {
    if (row.fpgaPin.empty()) continue;
    const std::string unnamable = GetPortsCannotName(row.name);
    if (!unnamable.empty()) {
      file.Refused(row.name, "the port name: it holds " + unnamable);
      continue;
    }
    if (!file.RowNotes(row, "", false)) continue;
    const std::string ports = TclGetPorts(row.name);
    const MbdPins::PinSettings& s = row.settings;
    if (!s.location.empty())
      file.Line("set_property PACKAGE_PIN " + TclWord(s.location) + " " + ports);
    std::string dict;
    std::vector<std::string> missing;
    for (const Item& item : Items(s)) {
      const auto [key, value] = property(item);
      if (key.empty()) {
        missing.push_back(Describe(item));
        continue;
      }
      dict += (dict.empty() ? "" : " ") + TclListElement(key) + " " + TclListElement(value);
    }
    file.Unexpressed(row.name, missing);
    if (!dict.empty()) file.Line("set_property -dict " + TclWord(dict, true) + " " + ports);
    if (s.frequencyHz > 0)
      file.Line("create_clock -period " + Nanoseconds(s.frequencyHz) + " -name " +
                TclWord(row.name, true) + " " + ports);
  }
  file.Unconnected(table);
}

void WriteSdc(const MbdPins::PinTable& table, const WriteOptions& options, WriteOutput& out) {
  FileWriter file("sdc", "# ", true, out);
  file.Header(table, options);
  bool any = false;
  for (const MbdPins::PinRow& row : table.rows) {
    if (row.fpgaPin.empty() || row.settings.frequencyHz <= 0) continue;
    if (row.name.empty()) {
      file.Refused("(net " + row.net + ")", "an empty port name");
      continue;
    }
    const std::string unnamable = GetPortsCannotName(row.name);
    if (!unnamable.empty()) {
      file.Refused(row.name, "the port name: it holds " + unnamable);
      continue;
    }
    any = true;
    const double hz = row.settings.frequencyHz;
    file.Line("create_clock -name " + TclWord(row.name, true) + " -period " + Nanoseconds(hz) +
              " -waveform {0.000 " + Nanoseconds(2 * hz) + "} " + TclGetPorts(row.name));
  }
  if (!any) file.Comment("no clocks");
}

}  // namespace detail
}  // namespace MbdFormats
