// The neutral reading of one FPGA pin's constraint strings: the words real boards mix for one
// meaning (SLEW, SLEWRATE, SLEW_RATE; PULLUP, PULL_MODE=UP, ...) read through one table, so that
// a writer, an import or the editor never needs to know which word a board used.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "MbdPinTable.h"
#include "MbdRules.h"

namespace MbdPins {

namespace {

// What a key sets. A pull key with a value of its own (PULLUP=TRUE) and one whose value names
// the mode (PULL_MODE=UP) are different readings of the same field.
enum class Field {
  IoStandard,
  PullUpFlag,
  PullDownFlag,
  KeeperFlag,
  PullMode,
  Drive,
  Slew,
  Termination,
  Period,
  Frequency
};

struct Entry {
  const char* key;
  Field field;
  const char* meaning;
};

// Every key the reading knows. Keys compare ignoring case; a key not here passes through.
const Entry kEntries[] = {
    {"IOSTANDARD", Field::IoStandard, "io standard"},
    {"IO_STANDARD", Field::IoStandard, "io standard"},
    {"IO_TYPE", Field::IoStandard, "io standard"},
    {"IOSTD", Field::IoStandard, "io standard"},
    {"PULLUP", Field::PullUpFlag, "pull up (flag, or TRUE/FALSE)"},
    {"WEAK_PULL_UP_RESISTOR", Field::PullUpFlag, "pull up (ON/OFF)"},
    {"PULLDOWN", Field::PullDownFlag, "pull down (flag, or TRUE/FALSE)"},
    {"KEEPER", Field::KeeperFlag, "keeper (flag, or TRUE/FALSE)"},
    {"BUS_HOLD", Field::KeeperFlag, "keeper (flag, or TRUE/FALSE)"},
    {"PULL_MODE", Field::PullMode, "pull (UP, DOWN, KEEPER, NONE)"},
    {"PULLMODE", Field::PullMode, "pull (UP, DOWN, KEEPER, NONE)"},
    {"PULLTYPE", Field::PullMode, "pull (PULLUP, PULLDOWN, KEEPER, NONE)"},
    {"PULL", Field::PullMode, "pull (UP, DOWN, KEEPER, NONE)"},
    {"RES_PULL", Field::PullMode, "pull (UP, DOWN, HOLD, NONE)"},
    {"DRIVE", Field::Drive, "drive (mA: 8, 8MA, 8 mA)"},
    {"DRIVE_STRENGTH", Field::Drive, "drive (mA)"},
    {"CURRENT_STRENGTH", Field::Drive, "drive (mA)"},
    {"CURRENT_STRENGTH_NEW", Field::Drive, "drive (mA: \"8MA\")"},
    {"SLEW", Field::Slew, "slew (FAST, SLOW)"},
    {"SLEWRATE", Field::Slew, "slew (FAST, SLOW)"},
    {"SLEW_RATE", Field::Slew, "slew (FAST, SLOW)"},
    {"TERMINATION", Field::Termination, "termination"},
    {"IN_TERM", Field::Termination, "termination"},
    {"TERM", Field::Termination, "termination"},
    {"PERIOD", Field::Period, "clock frequency (a period: 10000 ps, 10 ns, 10ns HIGH 50%)"},
    {"FREQUENCY", Field::Frequency, "clock frequency (12 MHz, 25MHz, 100000000 Hz)"},
};

const Entry* entryFor(const std::string& key) {
  static const std::unordered_map<std::string, const Entry*> byKey = [] {
    std::unordered_map<std::string, const Entry*> map;
    for (const Entry& e : kEntries) map.emplace(e.key, &e);
    return map;
  }();
  const auto it = byKey.find(Port_AsciiUpper(key));
  return it == byKey.end() ? nullptr : it->second;
}

// 1 for a word that switches a flag key on, 0 for one that switches it off, -1 for neither.
int switchOf(const std::string& value) {
  const std::string v = Port_AsciiUpper(value);
  if (v == "TRUE" || v == "YES" || v == "ON" || v == "1" || v == "ENABLE") return 1;
  if (v == "FALSE" || v == "NO" || v == "OFF" || v == "0" || v == "DISABLE") return 0;
  return -1;
}

// The pull a PULL_MODE-like value names; Unset when it names none.
Pull pullNamed(const std::string& value) {
  const std::string v = Port_AsciiUpper(value);
  if (v == "UP" || v == "PULLUP" || v == "PULL_UP") return Pull::Up;
  if (v == "DOWN" || v == "PULLDOWN" || v == "PULL_DOWN") return Pull::Down;
  if (v == "KEEPER" || v == "BUS_KEEPER" || v == "BUSKEEPER" || v == "HOLD" || v == "BUS_HOLD")
    return Pull::Keeper;
  if (v == "NONE" || v == "OFF" || v == "NO" || v == "FLOATING") return Pull::None;
  return Pull::Unset;
}

// A run of decimal digits and a unit after it (blanks between allowed); false when the text
// does not start with a number or the number is out of range.
bool numberAndUnit(const std::string& text, double& number, std::string& unit) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::size_t end = i;
  bool digits = false;
  while (end < text.size() &&
         (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.')) {
    digits = digits || text[end] != '.';
    ++end;
  }
  if (!digits || end - i > 30) return false;
  char* stop = nullptr;
  const std::string numberText = text.substr(i, end - i);
  number = std::strtod(numberText.c_str(), &stop);
  if (stop != numberText.c_str() + numberText.size() || !std::isfinite(number)) return false;
  while (end < text.size() && (text[end] == ' ' || text[end] == '\t')) ++end;
  std::size_t unitEnd = end;
  while (unitEnd < text.size() && std::isalpha(static_cast<unsigned char>(text[unitEnd])))
    ++unitEnd;
  unit = Port_AsciiUpper(text.substr(end, unitEnd - end));
  return true;
}

// The frequency a PERIOD value gives; 0 when it is not a period this reading knows. A period
// without a unit is in nanoseconds, as the legacy form reads it; "HIGH 50%" after it is the
// duty cycle, which every target writes from the period alone.
double frequencyOfPeriod(const std::string& value) {
  double number = 0;
  std::string unit;
  if (!numberAndUnit(value, number, unit) || number <= 0) return 0;
  static const std::unordered_map<std::string, double> seconds = {
      {"PS", 1e-12}, {"NS", 1e-9}, {"", 1e-9}, {"US", 1e-6}, {"MS", 1e-3}, {"S", 1.0}};
  const auto it = seconds.find(unit);
  if (it != seconds.end()) return 1.0 / (number * it->second);
  static const std::unordered_map<std::string, double> hertz = {
      {"HZ", 1.0}, {"KHZ", 1e3}, {"MHZ", 1e6}, {"GHZ", 1e9}};
  const auto hz = hertz.find(unit);
  return hz == hertz.end() ? 0 : number * hz->second;
}

// The frequency a FREQUENCY value gives; 0 when it is none. Without a unit it is in hertz.
double frequencyOfValue(const std::string& value) {
  double number = 0;
  std::string unit;
  if (!numberAndUnit(value, number, unit) || number <= 0) return 0;
  static const std::unordered_map<std::string, double> hertz = {
      {"", 1.0}, {"HZ", 1.0}, {"KHZ", 1e3}, {"MHZ", 1e6}, {"GHZ", 1e9}};
  const auto hz = hertz.find(unit);
  return hz == hertz.end() ? 0 : number * hz->second;
}

// Milliamps as decimal text: "8", "8MA", "8 mA" read as "8"; empty for anything else.
std::string milliamps(const std::string& value) {
  std::string digits;
  std::size_t i = 0;
  while (i < value.size() && std::isdigit(static_cast<unsigned char>(value[i]))) digits += value[i++];
  while (i < value.size() && value[i] == ' ') ++i;
  const std::string rest = Port_AsciiUpper(value.substr(i));
  if (digits.empty() || digits.size() > 6 || !(rest.empty() || rest == "MA")) return std::string();
  while (digits.size() > 1 && digits[0] == '0') digits.erase(0, 1);
  return digits;
}

// Reads one assignment into the settings; false when the key is known but its value is not,
// so that the caller keeps it as a pass-through instead of losing it.
bool readKnown(const Entry& entry, const MbdRules::Constraint& c, PinSettings& settings) {
  const std::string value = c.value.str();
  switch (entry.field) {
    case Field::IoStandard:
      if (!c.hasValue || value.empty()) return false;
      settings.ioStandard = value;
      return true;
    case Field::PullUpFlag:
    case Field::PullDownFlag:
    case Field::KeeperFlag: {
      const int on = c.hasValue ? switchOf(value) : 1;
      if (on < 0) return false;
      const Pull pull = entry.field == Field::PullUpFlag     ? Pull::Up
                        : entry.field == Field::PullDownFlag ? Pull::Down
                                                             : Pull::Keeper;
      if (on) settings.pull = pull;
      else if (settings.pull == Pull::Unset || settings.pull == pull)
        settings.pull = Pull::None;
      return true;
    }
    case Field::PullMode: {
      const Pull pull = c.hasValue ? pullNamed(value) : Pull::Unset;
      if (pull == Pull::Unset) return false;
      settings.pull = pull;
      return true;
    }
    case Field::Drive: {
      const std::string mA = c.hasValue ? milliamps(value) : std::string();
      if (mA.empty()) return false;
      settings.drive = mA;
      return true;
    }
    case Field::Slew:
      if (!c.hasValue || value.empty()) return false;
      settings.slew = Port_AsciiUpper(value);
      return true;
    case Field::Termination:
      if (!c.hasValue || value.empty()) return false;
      settings.termination = value;
      return true;
    case Field::Period:
    case Field::Frequency: {
      const double hz = !c.hasValue                ? 0
                        : entry.field == Field::Period ? frequencyOfPeriod(value)
                                                       : frequencyOfValue(value);
      if (hz <= 0) return false;
      settings.frequencyHz = hz;
      return true;
    }
  }
  return false;
}

void readItem(const MbdRules::Constraint& c, PinSettings& settings, bool& located) {
  const std::string key = c.key.str();
  if (c.hasValue && Port_AsciiUpper(key) == "LOC") {
    // The first location is the pin's, as the model reads it; a second one is kept for the
    // writers to name rather than dropped.
    const std::string location = MbdRules::ReadableLocation(c.value).str();
    if (!located) {
      settings.location = location;
      located = true;
      return;
    }
  } else if (const Entry* entry = entryFor(key)) {
    if (readKnown(*entry, c, settings)) return;
  }
  settings.passThrough.push_back(PassThrough{key, c.value.str(), c.hasValue});
}

}  // namespace

PinSettings ReadSettings(const std::vector<StringBase>& constraintStrings) {
  PinSettings settings;
  bool located = false;
  // A string repeated on a pin says nothing new; the constraint files write it once too.
  std::unordered_set<std::string> seen;
  for (const StringBase& text : constraintStrings) {
    if (!seen.insert(text.str()).second) continue;
    const MbdRules::ConstraintReading reading = MbdRules::ReadConstraint(text);
    if (reading.form == MbdRules::ConstraintForm::Malformed) {
      settings.malformed.push_back(text.str());
      continue;
    }
    for (const MbdRules::Constraint& c : reading.items) readItem(c, settings, located);
  }
  return settings;
}

const std::vector<Synonym>& Synonyms() {
  static const std::vector<Synonym> all = [] {
    std::vector<Synonym> list;
    list.push_back(Synonym{"LOC", nullptr, "location"});
    for (const Entry& e : kEntries) list.push_back(Synonym{e.key, nullptr, e.meaning});
    return list;
  }();
  return all;
}

const char* PullName(Pull pull) {
  switch (pull) {
    case Pull::Up: return "up";
    case Pull::Down: return "down";
    case Pull::Keeper: return "keeper";
    case Pull::None: return "none";
    case Pull::Unset: break;
  }
  return "";
}

const char* DirectionName(Direction direction) {
  switch (direction) {
    case Direction::In: return "in";
    case Direction::Out: return "out";
    case Direction::InOut: return "inout";
    case Direction::Unset: break;
  }
  return "";
}

Direction ReadDirection(const std::string& dir) {
  const std::string d = Port_AsciiUpper(dir);
  if (d == "I" || d == "IN" || d == "INPUT") return Direction::In;
  if (d == "O" || d == "OUT" || d == "OUTPUT") return Direction::Out;
  if (d == "IO" || d == "INOUT" || d == "BIDIR" || d == "B") return Direction::InOut;
  return Direction::Unset;
}

}  // namespace MbdPins
