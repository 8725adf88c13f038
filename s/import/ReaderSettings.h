// A setting read from a constraint file, as the board's KEY=VALUE string: the neutral reading
// (MbdPins::ReadSettings and its synonym table) then gives it its meaning, the same one a board
// string with that key has. Values whose words only one format uses are turned into the board's
// words by that format's reader, before they get here.
#ifndef MBD_READER_SETTINGS_H
#define MBD_READER_SETTINGS_H

#include <string>
#include <vector>

#include "MbdPinTable.h"

namespace MbdFormats {
namespace detail {

// "KEY=VALUE", or "KEY" for a flag.
std::string BoardString(const std::string& key, const std::string& value, bool hasValue);

// True when the board string of KEY and VALUE reads back as that one setting (the value
// trimmed of blanks, as a board reads it); false for a key or value that would read as
// something else, such as a value "x LOC=Z9", which a board reads as two assignments.
bool HoldsOneSetting(const std::string& key, const std::string& value, bool hasValue);

// Puts the string among a pin's strings: in place of one with the same key (ignoring case),
// as a later assignment replaces an earlier one in the tools, or else at the end.
void PutString(std::vector<std::string>& strings, std::string string);

// The frequency in hertz a PERIOD or FREQUENCY string of that value gives; 0 when the
// neutral reading reads none (not a positive number with a known unit).
double FrequencyOf(const std::string& key, const std::string& value);

// The settings of a pin's strings, through the neutral reading.
MbdPins::PinSettings SettingsOf(const std::vector<std::string>& strings);

}  // namespace detail
}  // namespace MbdFormats

#endif  // MBD_READER_SETTINGS_H
