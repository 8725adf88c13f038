// The registry of constraint formats: what each can express, the files it is read from, the
// pass-through keys it knows, and its writer.
#include <cstring>

#include "MbdConstraintWriter.h"
#include "WriterSupport.h"

namespace MbdFormats {

namespace {

constexpr unsigned bits(std::initializer_list<Setting> settings) {
  unsigned result = 0;
  for (Setting s : settings) result |= static_cast<unsigned>(s);
  return result;
}

using S = Setting;
constexpr unsigned kPulls = bits({S::PullUp, S::PullDown, S::Keeper});
constexpr unsigned kEverything = ~0u;

struct Entry {
  FormatInfo info;
  detail::WriteFn write;
  std::vector<const char*> passThrough;  // the keys written as they are; empty: none
  bool allPassThrough = false;           // every key (the board's own form, the tables)
};

const std::vector<Entry>& entries() {
  static const std::vector<Entry> table = {
      // The board's own strings, copied: a clock only where a PERIOD string states it, so the
      // form cannot be said to express a clock (one from a clock instance is noted instead).
      {{"ucf", ".ucf", "statements", kEverything & ~bits({S::Direction, S::Clock}), "",
        "NET \"n\" KEY = \"value\"; the board's constraint strings as written (a clock only "
        "as the board's own PERIOD string)"},
       detail::WriteUcf, {}, true},
      {{"xdc", ".xdc", "tcl",
        bits({S::Location, S::IoStandard, S::Drive, S::Slew, S::Termination, S::Clock, S::PairN,
              S::PassThrough}) | kPulls,
        "", "set_property PACKAGE_PIN / -dict {IOSTANDARD ...}, create_clock -period (ns)"},
       detail::WriteXdc,
       {"DIFF_TERM", "IBUF_LOW_PWR", "IN_TERM", "IOB", "OFFCHIP_TERM", "PRE_EMPHASIS",
        "EQUALIZATION", "LVDS_PRE_EMPHASIS", "ODT", "OUTPUT_IMPEDANCE", "VCCAUX_IO",
        "INTERNAL_VREF", "DCI_CASCADE", "DQS_BIAS", "IBUF_DELAY_VALUE", "IFD_DELAY_VALUE",
        "DIFF_TERM_ADV"}},
      {{"sdc", ".sdc", "tcl", bits({S::Clock}), "", "create_clock -period (ns): the clocks alone"},
       detail::WriteSdc, {}},
      {{"pcf", ".pcf", "bare words", bits({S::Location, S::PullUp, S::Clock}), "",
        "set_io n BALL [-pullup yes], set_frequency n MHz"},
       detail::WritePcf, {}},
      {{"lpf", ".lpf", "statements",
        bits({S::Location, S::IoStandard, S::PullUp, S::PullDown, S::Drive, S::Slew,
              S::Termination, S::Clock, S::PassThrough}),
        "", "LOCATE COMP \"n\" SITE \"A1\"; IOBUF PORT \"n\" IO_TYPE=...; FREQUENCY PORT"},
       detail::WriteLpf,
       {"OPENDRAIN", "DIFFRESISTOR", "CLAMP", "HYSTERESIS", "BANK_VCC", "VREF", "DIFFDRIVE"}},
      {{"cst", ".cst", "statements",
        bits({S::Location, S::IoStandard, S::Drive, S::Slew, S::Clock, S::PairN,
              S::PassThrough}) | kPulls,
        ".sdc",
        "IO_LOC \"n\" A1; IO_PORT \"n\" IO_TYPE=... PULL_MODE=...; pairs IO_LOC \"p\" P,N;"},
       detail::WriteCst,
       {"OPEN_DRAIN", "HYSTERESIS", "PCI_CLAMP", "BANK_VCCIO", "VREF", "DIFF_RESISTOR",
        "SINGLE_RESISTOR"}},
      {{"qsf", ".qsf", "tcl",
        bits({S::Location, S::IoStandard, S::PullUp, S::Keeper, S::Drive, S::Clock, S::PairN,
              S::PassThrough}),
        ".sdc", "set_location_assignment PIN_A1 -to n, set_instance_assignment -name ..."},
       detail::WriteQsf,
       {"FAST_INPUT_REGISTER", "FAST_OUTPUT_REGISTER", "FAST_OUTPUT_ENABLE_REGISTER",
        "IO_MAXIMUM_TOGGLE_RATE", "INPUT_TERMINATION", "OUTPUT_TERMINATION", "PCI_IO",
        "PCI_CLAMP"}},
      {{"pdc", ".pdc", "tcl",
        bits({S::Location, S::IoStandard, S::Drive, S::Slew, S::Clock, S::PairN, S::Direction,
              S::PassThrough}) | kPulls,
        ".sdc", "set_io -port_name n -pin_name A1 -fixed true -io_std ..."},
       detail::WritePdc, {"SCHMITT_TRIGGER", "IN_DELAY", "OUT_LOAD"}},
      {{"ccf", ".ccf", "statements",
        bits({S::Location, S::Drive, S::Slew, S::Clock, S::PairN, S::PassThrough}) | kPulls,
        ".sdc", "Net \"n\" Loc = \"A1\" | PULLUP=true;"},
       detail::WriteCcf, {"SCHMITT_TRIGGER", "DELAY_IBF", "DELAY_OBF", "FF_IBF", "FF_OBF"}},
      {{"csv", ".csv", "table", kEverything, "", "the neutral reading, one row per port"},
       detail::WriteCsv, {}, true},
      {{"json", ".json", "json", kEverything, "", "the neutral reading as JSON"},
       detail::WriteJson, {}, true},
  };
  return table;
}

const Entry* findEntry(const std::string& name) {
  for (const Entry& e : entries())
    if (detail::SameWord(e.info.name, name)) return &e;
  return nullptr;
}

}  // namespace

bool WriteConstraints(const std::string& format, const MbdPins::PinTable& table,
                      const WriteOptions& options, WriteOutput& out) {
  out = WriteOutput();
  const Entry* entry = findEntry(format);
  if (!entry) return false;
  entry->write(table, options, out);
  return true;
}

const std::vector<std::string>& WriterFormats() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> result;
    for (const Entry& e : entries()) result.push_back(e.info.name);
    return result;
  }();
  return names;
}

const std::vector<FormatInfo>& Formats() {
  static const std::vector<FormatInfo> infos = [] {
    std::vector<FormatInfo> result;
    for (const Entry& e : entries()) result.push_back(e.info);
    return result;
  }();
  return infos;
}

const FormatInfo* FindFormat(const std::string& name) {
  const Entry* entry = findEntry(name);
  return entry ? &Formats()[static_cast<std::size_t>(entry - entries().data())] : nullptr;
}

const FormatInfo* FormatForFile(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return nullptr;
  const std::string extension = Port_AsciiUpper(path.substr(dot));
  for (const FormatInfo& info : Formats()) {
    const std::string list = Port_AsciiUpper(info.extensions);
    std::size_t start = 0;
    while (start < list.size()) {
      std::size_t end = list.find(' ', start);
      if (end == std::string::npos) end = list.size();
      if (list.compare(start, end - start, extension) == 0) return &info;
      start = end + 1;
    }
  }
  return nullptr;
}

bool Expresses(const std::string& format, Setting setting) {
  const FormatInfo* info = FindFormat(format);
  return info && (info->settings & static_cast<unsigned>(setting)) != 0;
}

std::vector<std::string> FormatsExpressing(Setting setting) {
  std::vector<std::string> result;
  for (const FormatInfo& info : Formats())
    if (info.settings & static_cast<unsigned>(setting)) result.push_back(info.name);
  return result;
}

bool KnowsPassThrough(const std::string& format, const std::string& key) {
  const Entry* entry = findEntry(format);
  if (!entry) return false;
  if (entry->allPassThrough) return true;
  for (const char* known : entry->passThrough)
    if (detail::SameWord(known, key)) return true;
  return false;
}

}  // namespace MbdFormats
