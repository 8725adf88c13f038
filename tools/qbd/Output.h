// The two output forms of every query: an aligned table for people and JSON for programs.
// A command builds its result once, as JSON, and the table is drawn from that same value, so
// the two forms cannot disagree.
#ifndef QBD_OUTPUT_H
#define QBD_OUTPUT_H

#include <iosfwd>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace qbd {

// Objects keep the order in which their keys were set.
using Json = nlohmann::ordered_json;

// A column of a table: its heading and the key of the row object it shows.
struct Column {
  std::string header;
  std::string key;
};

// Text of one cell: strings as they are (control characters escaped), numbers in decimal,
// arrays joined with ", ", true/false as yes/no; "-" for null, absent or empty.
std::string cellText(const Json& value);
// Rows (an array of objects) under the headings, columns padded to the widest cell.
void printTable(std::ostream& out, const Json& rows, const std::vector<Column>& columns);
// One "Label:  value" line per column of a single object, labels padded alike.
void printFields(std::ostream& out, const Json& object, const std::vector<Column>& columns);
// The value as indented JSON; bytes that are not UTF-8 become U+FFFD.
void printJson(std::ostream& out, const Json& value);
// The text with line feeds, tabs and other control characters spelled out (\n, \t, \xNN), so
// that it stays on one line; the text itself when it has none.
std::string escapeControls(const std::string& text);
// Width of the text on a terminal, counting each UTF-8 sequence once.
std::size_t displayWidth(const std::string& text);

}  // namespace qbd

#endif  // QBD_OUTPUT_H
