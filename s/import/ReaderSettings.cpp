// Settings as board strings, read by the one neutral reading every other part of the system uses.
#include "ReaderSettings.h"

#include <strings.h>

#include "MbdRules.h"

namespace MbdFormats {
namespace detail {
namespace {

// The length of the key of "KEY=VALUE" or "KEY".
std::size_t KeyLength(const std::string& string) {
  const std::size_t equals = string.find('=');
  return equals == std::string::npos ? string.size() : equals;
}

}  // namespace

bool HoldsOneSetting(const std::string& key, const std::string& value, bool hasValue) {
  const MbdRules::ConstraintReading reading =
      MbdRules::ReadConstraint(StringBase(BoardString(key, value, hasValue)));
  if (reading.items.size() != 1) return false;
  const MbdRules::Constraint& item = reading.items.front();
  return item.hasValue == hasValue && item.key.str() == key &&
         (!hasValue || item.value.str() == Port_TrimBlanks(value));
}

std::string BoardString(const std::string& key, const std::string& value, bool hasValue) {
  return hasValue ? key + "=" + value : key;
}

void PutString(std::vector<std::string>& strings, std::string string) {
  const std::size_t length = KeyLength(string);
  for (std::string& existing : strings) {
    if (KeyLength(existing) == length &&
        strncasecmp(existing.c_str(), string.c_str(), length) == 0) {
      existing = std::move(string);
      return;
    }
  }
  strings.push_back(std::move(string));
}

double FrequencyOf(const std::string& key, const std::string& value) {
  return SettingsOf({BoardString(key, value, true)}).frequencyHz;
}

MbdPins::PinSettings SettingsOf(const std::vector<std::string>& strings) {
  std::vector<StringBase> board;
  board.reserve(strings.size());
  for (const std::string& string : strings) board.emplace_back(string);
  return MbdPins::ReadSettings(board);
}

}  // namespace detail
}  // namespace MbdFormats
