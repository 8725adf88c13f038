// The lexical rules of value text shared by the values, the board reader and the printer:
// which bytes end a bare word, when a text must be quoted, and how lists are written.
// Internal to the platform libraries.
#ifndef LYRBASE_VALUETEXT_H
#define LYRBASE_VALUETEXT_H

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "Portability.h"

namespace LyrBase {
namespace detail {

// Bytes that end a bare word: , ( ) " # backslash, and control bytes other than the tab.
// '=' is handled apart, since values may hold it and names may not.
constexpr std::array<bool, 256> MakeBareStops() {
  std::array<bool, 256> stops{};
  for (int c = 0; c < 0x20; ++c) stops[static_cast<std::size_t>(c)] = c != '\t';
  for (char c : {',', '(', ')', '"', '#', '\\'}) stops[static_cast<unsigned char>(c)] = true;
  return stops;
}
inline constexpr std::array<bool, 256> kBareStops = MakeBareStops();

inline bool IsBareStop(char c) { return kBareStops[static_cast<unsigned char>(c)]; }
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// True when `text` would not read back as itself written bare; `allowEquals` for values.
bool NeedsQuotes(const char* text, std::size_t size, bool allowEquals);
// Appends `text` in double quotes with \" \\ \t \n escapes.
void AppendQuoted(std::string& out, const char* text, std::size_t size);
// Appends `text` bare when it reads back bare, quoted otherwise.
void AppendWord(std::string& out, const std::string& text, bool allowEquals);
// Appends "(a, b, c)": every item as AppendWord writes a value.
void AppendList(std::string& out, const std::vector<StringBase>& items);
// Reads "(item, item, ...)" of bare or quoted items; false when `text` is not such a list.
bool ParseList(const std::string& text, std::vector<StringBase>& items);

}  // namespace detail
}  // namespace LyrBase

#endif  // LYRBASE_VALUETEXT_H
