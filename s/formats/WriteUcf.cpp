// The ucf form: NET "n" KEY = "value"; lines copied from the board's constraint strings, one
// group per FPGA pin of each exported net, each string once per net. A clock is written only
// as the board's own PERIOD (or FREQUENCY) string; a frequency known only from a clock
// instance has no string to copy, so it is noted, not made up, and the board's lines stay
// the board's.
#include <cctype>
#include <unordered_map>
#include <unordered_set>

#include "MbdRules.h"
#include "WriterSupport.h"

namespace MbdFormats {
namespace detail {

namespace {

// A quoted string: quotes and backslashes escaped with a backslash, control characters
// spelled out, so that no text from the board can end the string or the line.
std::string quoted(const std::string& text, EscapeText escape) {
  std::string result;
  for (char c : text) {
    if (c == '"' || c == '\\') result += '\\';
    result += c;
  }
  return "\"" + escape(result) + "\"";
}

// True for a key the file can hold unquoted: letters, digits and '_' only.
bool isWord(const std::string& key) {
  if (key.empty()) return false;
  for (unsigned char c : key)
    if (!std::isalnum(c) && c != '_') return false;
  return true;
}

// NET "n" KEY = "value";  or  NET "n" FLAG;  for a plain flag. A key that is not a word cannot
// be written unquoted, so it becomes a comment instead of a line.
std::string constraintLine(const std::string& name, const MbdRules::Constraint& c,
                           EscapeText escape) {
  const std::string key = c.key.str();
  if (!isWord(key))
    return "# not written: the key " + quoted(key, escape) + " of net " + quoted(name, escape) +
           " is not a word";
  std::string line = "NET " + quoted(name, escape) + " " + key;
  if (c.hasValue) line += " = " + quoted(c.value.str(), escape);
  return line + ";";
}

// True when the row's frequency comes from no string of its own (a clock instance's): the
// strings the form copies do not carry it.
bool clockOnlyFromInstance(const MbdPins::PinRow& row) {
  if (row.settings.frequencyHz <= 0) return false;
  const std::vector<StringBase> strings(row.strings.begin(), row.strings.end());
  return MbdPins::ReadSettings(strings).frequencyHz <= 0;
}

}  // namespace

void WriteUcf(const MbdPins::PinTable& table, const WriteOptions& options, WriteOutput& out) {
  FileWriter file("ucf", "# ", false, out);
  file.Header(table, options);
  // Nets match ignoring case; a string is written once per net however many pins carry it,
  // and each pin of a net once however many ports share the net. Only a net on several rows
  // needs that record, so most rows keep none; each row looks its net up once.
  struct Net {
    unsigned rows = 0;
    std::unordered_set<std::string> pins;
    std::unordered_set<std::string> written;
  };
  std::unordered_map<std::string, Net> nets;
  nets.reserve(table.rows.size());
  std::vector<Net*> netOf(table.rows.size(), nullptr);
  for (std::size_t i = 0; i < table.rows.size(); ++i)
    if (!table.rows[i].fpgaPin.empty()) {
      netOf[i] = &nets[Port_AsciiLower(table.rows[i].net)];
      ++netOf[i]->rows;
    }
  std::unordered_set<std::string> single;
  for (std::size_t i = 0; i < table.rows.size(); ++i) {
    const MbdPins::PinRow& row = table.rows[i];
    Net* net = netOf[i];
    if (!net) continue;
    const bool shared = net->rows > 1;
    if (shared && !net->pins.insert(row.fpgaBlock + '.' + row.fpgaPin).second) continue;
    std::unordered_set<std::string>& written = shared ? net->written : single;
    if (!shared) single.clear();
    std::vector<UcfLine> lines;
    std::vector<std::string> malformed;
    for (const std::string& text : row.strings) {
      if (!written.insert(text).second) continue;
      if (!UcfLines(row.name, text, lines)) malformed.push_back(text);
    }
    const bool clockUnwritten = clockOnlyFromInstance(row);
    if (lines.empty() && malformed.empty() && !clockUnwritten) continue;
    const std::string port = row.instance.empty() ? row.name : row.instance + "." + row.port;
    file.Comment(port + " -> " + row.fpgaBlock + "." + row.fpgaPin);
    for (const UcfLine& line : lines) file.Line(EscapeControls(line.text));
    for (const std::string& bad : malformed) {
      file.Line("# skipped \"" + EscapeControls(bad) + "\": not " +
                MbdRules::ConstraintFormsText());
      out.unexpressed.push_back({row.name, "skipped \"" + bad + "\": not a constraint", false});
    }
    if (clockUnwritten)
      file.Unexpressed(row.name, {"clock " + Megahertz(row.settings.frequencyHz) +
                                  " MHz (from a clock instance; no PERIOD string of the pin "
                                  "states it)"});
  }
  file.Unconnected(table);
}

}  // namespace detail

bool UcfLines(const std::string& name, const std::string& constraint,
              std::vector<UcfLine>& lines, EscapeText escape) {
  const MbdRules::ConstraintReading reading = MbdRules::ReadConstraint(StringBase(constraint));
  if (reading.form == MbdRules::ConstraintForm::Malformed) return false;
  if (!escape) escape = detail::EscapeControls;
  for (const MbdRules::Constraint& c : reading.items)
    lines.push_back(UcfLine{c.key.str(), c.value.str(), c.hasValue,
                            detail::constraintLine(name, c, escape)});
  return true;
}

}  // namespace MbdFormats
