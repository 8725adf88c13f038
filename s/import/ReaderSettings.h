// What a setting read from a constraint file means in the neutral fields, whatever the format
// calls it, and the board's KEY=VALUE strings that say the same.
#ifndef MBD_READER_SETTINGS_H
#define MBD_READER_SETTINGS_H

#include <string>
#include <vector>

#include "MbdPinTable.h"

namespace MbdFormats {
namespace detail {

// Sets the neutral field that `key` (any format's word, ignoring case) names from `value`; a
// key no field holds, or a value the field cannot read, is kept as a pass-through (replacing
// one of the same key). A location key sets the location as written.
void ApplySetting(MbdPins::PinSettings& settings, const std::string& key,
                  const std::string& value, bool hasValue);

// The frequency in hertz a period ("10", "10 ns", "10000ps", "83.333ns") or frequency
// ("25 MHz", "12MHZ") text gives; `defaultUnit` ("ns" or "MHz") when the text has none.
// 0 when the text is not a positive number with a known unit.
double PeriodToHz(const std::string& text, const char* defaultUnit);
double FrequencyToHz(const std::string& text, const char* defaultUnit);

// The board's constraint strings for the settings: LOC=..., IOSTANDARD=..., PULLUP, ...,
// DRIVE=..., SLEW=..., TERMINATION=..., PERIOD=... ns, then the pass-throughs in order.
std::vector<std::string> BoardStrings(const MbdPins::PinSettings& settings);

}  // namespace detail
}  // namespace MbdFormats

#endif  // MBD_READER_SETTINGS_H
