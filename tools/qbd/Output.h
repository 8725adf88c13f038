// The two output forms of every query: an aligned table for people and JSON for programs.
// A command builds its result once, as JSON, and the table is drawn from that same value, so
// the two forms cannot disagree.
#ifndef QBD_OUTPUT_H
#define QBD_OUTPUT_H

#include <functional>
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
// Rows handed over one at a time, so that a long result is never held whole.
using RowSink = std::function<void(const Json&)>;
// Makes the rows of a table, in order, handing each to the sink; may be run more than once and
// makes the same rows each time.
using RowSource = std::function<void(const RowSink&)>;
// Like printTable, for rows made by `rows`, which runs twice: once to size the columns, once
// to print. Only one row is held at a time.
void streamTable(std::ostream& out, const RowSource& rows, const std::vector<Column>& columns);

// JSON written as it is made, byte for byte as printJson would write the whole value: a
// result of any length costs only the piece being written. Open containers, name members and
// write values in order; finish() closes what is open and ends the line.
class JsonStream {
 public:
  explicit JsonStream(std::ostream& out) : out_(out) {}
  JsonStream(const JsonStream&) = delete;
  JsonStream& operator=(const JsonStream&) = delete;

  void beginObject() { open('{'); }
  void beginArray() { open('['); }
  // Closes the innermost open object or array.
  void end();
  // Names the member of the open object whose value comes next.
  void key(const std::string& name);
  // A whole value, as the next member or item.
  void value(const Json& item);
  // Closes every open container and writes the final line feed.
  void finish();

 private:
  struct Level {
    char close;
    bool empty;
  };
  void open(char bracket);
  // Starts a new member or item, unless a key has just started it.
  void startItem();
  void indent(std::size_t depth);

  std::ostream& out_;
  std::vector<Level> levels_;
  bool keyed_ = false;
};

// The text with line feeds, tabs and other control characters spelled out (\n, \t, \xNN; C1
// controls such as U+0085 and the separators U+2028 and U+2029 as \uXXXX), so
// that it stays on one line; the text itself when it has none.
std::string escapeControls(const std::string& text);
// The text as valid UTF-8: each byte that is not part of a well-formed UTF-8 sequence spelled
// out as \xNN; the text itself when it is valid.
std::string spellInvalidUtf8(const std::string& text);
// Width of the text on a terminal, counting each UTF-8 sequence once.
std::size_t displayWidth(const std::string& text);

}  // namespace qbd

#endif  // QBD_OUTPUT_H
