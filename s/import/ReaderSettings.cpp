// One table of the words formats use for each neutral field; every reader goes through it, so
// PULLMODE=UP in an lpf and PULLUP true in an xdc read the same.
#include "ReaderSettings.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <strings.h>

namespace MbdFormats {
namespace detail {
namespace {

enum class Meaning {
  Location, IoStandard, PullUpFlag, PullDownFlag, KeeperFlag, PullMode, Drive, Slew,
  Termination, Period, Frequency, Direction
};

struct Word {
  const char* key;
  Meaning meaning;
};

const Word kWords[] = {
    {"LOC", Meaning::Location},           {"PACKAGE_PIN", Meaning::Location},
    {"SITE", Meaning::Location},          {"PIN", Meaning::Location},
    {"IOSTANDARD", Meaning::IoStandard},  {"IO_TYPE", Meaning::IoStandard},
    {"IO_STANDARD", Meaning::IoStandard}, {"IO_STD", Meaning::IoStandard},
    {"IOSTD", Meaning::IoStandard},       {"PULLUP", Meaning::PullUpFlag},
    {"WEAK_PULL_UP_RESISTOR", Meaning::PullUpFlag},
    {"PULLDOWN", Meaning::PullDownFlag},  {"KEEPER", Meaning::KeeperFlag},
    {"PULLMODE", Meaning::PullMode},      {"PULL_MODE", Meaning::PullMode},
    {"RES_PULL", Meaning::PullMode},      {"PULLTYPE", Meaning::PullMode},
    {"PULL", Meaning::PullMode},          {"DRIVE", Meaning::Drive},
    {"CURRENT_STRENGTH_NEW", Meaning::Drive}, {"OUT_DRIVE", Meaning::Drive},
    {"DRIVE_STRENGTH", Meaning::Drive},   {"SLEW", Meaning::Slew},
    {"SLEWRATE", Meaning::Slew},          {"SLEW_RATE", Meaning::Slew},
    {"TERMINATION", Meaning::Termination}, {"PERIOD", Meaning::Period},
    {"FREQUENCY", Meaning::Frequency},    {"DIRECTION", Meaning::Direction},
    {"DIR", Meaning::Direction},
};

bool Equal(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

bool OneOf(const std::string& value, std::initializer_list<const char*> words) {
  for (const char* word : words)
    if (Equal(value, word)) return true;
  return false;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Trim(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

void KeepAsWritten(MbdPins::PinSettings& settings, const std::string& key,
                   const std::string& value, bool hasValue) {
  for (MbdPins::PassThrough& kept : settings.passThrough) {
    if (strcasecmp(kept.key.c_str(), key.c_str()) == 0) {
      kept.value = value;
      kept.hasValue = hasValue;
      return;
    }
  }
  settings.passThrough.push_back(MbdPins::PassThrough{key, value, hasValue});
}

// A flag's value: true for none or a yes-word, false for a no-word; `known` false otherwise.
bool FlagValue(const std::string& value, bool hasValue, bool& known) {
  known = true;
  if (!hasValue || value.empty() || OneOf(value, {"true", "yes", "on", "1"})) return true;
  if (OneOf(value, {"false", "no", "off", "0"})) return false;
  known = false;
  return false;
}

bool ReadPullMode(const std::string& value, MbdPins::Pull& pull) {
  using MbdPins::Pull;
  if (OneOf(value, {"UP", "PULLUP", "PULL_UP", "WEAK_PULLUP"})) pull = Pull::Up;
  else if (OneOf(value, {"DOWN", "PULLDOWN", "PULL_DOWN", "WEAK_PULLDOWN"})) pull = Pull::Down;
  else if (OneOf(value, {"KEEPER", "BUSKEEPER", "BUS_KEEPER", "KEEP", "HOLD"})) pull = Pull::Keeper;
  else if (OneOf(value, {"NONE", "OFF", "NO", "FLOAT", "FALSE"})) pull = Pull::None;
  else return false;
  return true;
}

// "8", "8mA", "8 MA" -> "8"; false for anything else.
bool ReadDrive(const std::string& value, std::string& drive) {
  std::size_t i = 0;
  while (i < value.size() && std::isdigit(static_cast<unsigned char>(value[i]))) ++i;
  if (i == 0 || i > 4) return false;
  std::string rest = Trim(value.substr(i));
  if (!rest.empty() && !Equal(rest, "MA")) return false;
  drive = std::to_string(std::atoi(value.substr(0, i).c_str()));
  return true;
}

std::string ReadSlew(const std::string& value) {
  if (OneOf(value, {"FAST", "HIGH"})) return "FAST";
  if (OneOf(value, {"SLOW", "LOW"})) return "SLOW";
  bool digits = !value.empty();
  for (char c : value) digits = digits && std::isdigit(static_cast<unsigned char>(c));
  if (digits) return std::atoi(value.c_str()) == 0 ? "SLOW" : "FAST";
  return Upper(value);
}

bool ReadDirection(const std::string& value, MbdPins::Direction& direction) {
  using MbdPins::Direction;
  if (OneOf(value, {"I", "IN", "INPUT"})) direction = Direction::In;
  else if (OneOf(value, {"O", "OUT", "OUTPUT"})) direction = Direction::Out;
  else if (OneOf(value, {"IO", "INOUT", "BIDIR", "BIDIRECTIONAL"})) direction = Direction::InOut;
  else return false;
  return true;
}

// A positive number and the unit after it (blanks between allowed); false when not a number.
bool NumberAndUnit(const std::string& text, double& number, std::string& unit) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return false;
  char* end = nullptr;
  number = std::strtod(trimmed.c_str(), &end);
  if (end == trimmed.c_str() || !std::isfinite(number) || number <= 0) return false;
  unit = Trim(std::string(end));
  return true;
}

double Scale(const std::string& unit, std::initializer_list<std::pair<const char*, double>> units) {
  for (const auto& known : units)
    if (Equal(unit, known.first)) return known.second;
  return 0;
}

}  // namespace

double PeriodToHz(const std::string& text, const char* defaultUnit) {
  double number = 0;
  std::string unit;
  if (!NumberAndUnit(text, number, unit)) return 0;
  if (unit.empty()) unit = defaultUnit;
  const double seconds =
      Scale(unit, {{"s", 1}, {"ms", 1e-3}, {"us", 1e-6}, {"ns", 1e-9}, {"ps", 1e-12}});
  if (seconds != 0) return 1.0 / (number * seconds);
  const double hertz = Scale(unit, {{"Hz", 1}, {"kHz", 1e3}, {"MHz", 1e6}, {"GHz", 1e9}});
  return number * hertz;
}

double FrequencyToHz(const std::string& text, const char* defaultUnit) {
  double number = 0;
  std::string unit;
  if (!NumberAndUnit(text, number, unit)) return 0;
  if (unit.empty()) unit = defaultUnit;
  const double hertz = Scale(unit, {{"Hz", 1}, {"kHz", 1e3}, {"MHz", 1e6}, {"GHz", 1e9}});
  if (hertz != 0) return number * hertz;
  return PeriodToHz(text, defaultUnit);
}

void ApplySetting(MbdPins::PinSettings& settings, const std::string& key,
                  const std::string& value, bool hasValue) {
  const Word* word = nullptr;
  for (const Word& candidate : kWords)
    if (Equal(key, candidate.key)) word = &candidate;
  if (word == nullptr) return KeepAsWritten(settings, key, value, hasValue);
  bool known = hasValue;
  switch (word->meaning) {
    case Meaning::Location:
      if (hasValue && !value.empty()) settings.location = value;
      else known = false;
      break;
    case Meaning::IoStandard:
      if (hasValue && !value.empty()) settings.ioStandard = value;
      else known = false;
      break;
    case Meaning::PullUpFlag:
    case Meaning::PullDownFlag:
    case Meaning::KeeperFlag: {
      const bool on = FlagValue(value, hasValue, known);
      const MbdPins::Pull pull = word->meaning == Meaning::PullUpFlag     ? MbdPins::Pull::Up
                                 : word->meaning == Meaning::PullDownFlag ? MbdPins::Pull::Down
                                                                          : MbdPins::Pull::Keeper;
      if (known) {
        if (on) settings.pull = pull;
        else if (settings.pull == pull || settings.pull == MbdPins::Pull::Unset)
          settings.pull = MbdPins::Pull::None;
      }
      break;
    }
    case Meaning::PullMode:
      known = hasValue && ReadPullMode(value, settings.pull);
      break;
    case Meaning::Drive:
      known = hasValue && ReadDrive(value, settings.drive);
      break;
    case Meaning::Slew:
      if (hasValue && !value.empty()) settings.slew = ReadSlew(value);
      else known = false;
      break;
    case Meaning::Termination:
      if (hasValue && !value.empty()) settings.termination = value;
      else known = false;
      break;
    case Meaning::Period:
    case Meaning::Frequency: {
      const double hz = word->meaning == Meaning::Period ? PeriodToHz(value, "ns")
                                                         : FrequencyToHz(value, "MHz");
      if (hasValue && hz > 0) settings.frequencyHz = hz;
      else known = false;
      break;
    }
    case Meaning::Direction:
      known = hasValue && ReadDirection(value, settings.direction);
      break;
  }
  if (!known) KeepAsWritten(settings, key, value, hasValue);
}

std::vector<std::string> BoardStrings(const MbdPins::PinSettings& settings) {
  std::vector<std::string> strings;
  if (!settings.location.empty()) strings.push_back("LOC=" + settings.location);
  if (!settings.ioStandard.empty()) strings.push_back("IOSTANDARD=" + settings.ioStandard);
  switch (settings.pull) {
    case MbdPins::Pull::Up: strings.push_back("PULLUP"); break;
    case MbdPins::Pull::Down: strings.push_back("PULLDOWN"); break;
    case MbdPins::Pull::Keeper: strings.push_back("KEEPER"); break;
    case MbdPins::Pull::None: strings.push_back("PULLMODE=NONE"); break;
    case MbdPins::Pull::Unset: break;
  }
  if (!settings.drive.empty()) strings.push_back("DRIVE=" + settings.drive);
  if (!settings.slew.empty()) strings.push_back("SLEW=" + settings.slew);
  if (!settings.termination.empty()) strings.push_back("TERMINATION=" + settings.termination);
  if (settings.frequencyHz > 0) {
    char period[64];
    std::snprintf(period, sizeof period, "PERIOD=%.9g ns", 1e9 / settings.frequencyHz);
    strings.push_back(period);
  }
  for (const MbdPins::PassThrough& kept : settings.passThrough)
    strings.push_back(kept.hasValue ? kept.key + "=" + kept.value : kept.key);
  return strings;
}

}  // namespace detail
}  // namespace MbdFormats
