// What every constraint writer shares: the escapers of each syntax family (Tcl words, quoted
// statements, bare words, comments), the numbers as the formats spell them, and the file being
// written with its notes of what the target could not express.
#ifndef MBD_FORMATS_WRITER_SUPPORT_H
#define MBD_FORMATS_WRITER_SUPPORT_H

#include <string>
#include <unordered_map>
#include <vector>

#include "MbdConstraintWriter.h"

namespace MbdFormats {
namespace detail {

using WriteFn = void (*)(const MbdPins::PinTable&, const WriteOptions&, WriteOutput&);

void WriteUcf(const MbdPins::PinTable&, const WriteOptions&, WriteOutput&);
void WriteXdc(const MbdPins::PinTable&, const WriteOptions&, WriteOutput&);
void WriteSdc(const MbdPins::PinTable&, const WriteOptions&, WriteOutput&);
void WritePcf(const MbdPins::PinTable&, const WriteOptions&, WriteOutput&);
void WriteLpf(const MbdPins::PinTable&, const WriteOptions&, WriteOutput&);
void WriteCst(const MbdPins::PinTable&, const WriteOptions&, WriteOutput&);
void WriteQsf(const MbdPins::PinTable&, const WriteOptions&, WriteOutput&);
void WritePdc(const MbdPins::PinTable&, const WriteOptions&, WriteOutput&);
void WriteCcf(const MbdPins::PinTable&, const WriteOptions&, WriteOutput&);
void WriteCsv(const MbdPins::PinTable&, const WriteOptions&, WriteOutput&);
void WriteJson(const MbdPins::PinTable&, const WriteOptions&, WriteOutput&);

// The length of the Unicode next-line, line separator or paragraph separator at byte `i`,
// which some readers take for the end of a line; 0 when none starts there.
std::size_t SeparatorAt(const std::string& text, std::size_t i);
// That character spelled \u0085, \u2028 or \u2029; only where SeparatorAt finds one.
const char* SeparatorEscape(const std::string& text, std::size_t i);

// The text with every control character, and the Unicode line and paragraph separators and
// next-line, spelled out as \n, \t, \xHH or \uHHHH, so that it can never end a line.
std::string EscapeControls(const std::string& text);
// True when the text holds a character EscapeControls would spell out.
bool HasControls(const std::string& text);

// One Tcl word whose value is exactly `text`: bare when it holds only plain characters (and not
// `braced`), braced when braces keep it whole, otherwise with every special character escaped
// by a backslash; never spans a line.
std::string TclWord(const std::string& text, bool braced = false);
// One Tcl word in double quotes whose value is exactly `text`: [ ] $ \ " escaped, control
// characters spelled as Tcl escapes; never spans a line.
std::string TclQuoted(const std::string& text);
// `text` as a list of one element, as get_ports and its kind read their pattern argument.
std::string TclListElement(const std::string& text);
// [get_ports WORD] naming exactly the port `name`.
std::string TclGetPorts(const std::string& name);
// Why get_ports cannot name `name`: a leading "-" is read as an option whatever the quoting,
// and not every reader takes "--"; empty when get_ports can name it.
std::string GetPortsCannotName(const std::string& name);

// The name of the first character of `text` in `forbidden` (or a blank, a control character,
// or "//" when `slashes`), as a message names it; empty when there is none.
std::string ForbiddenIn(const std::string& text, const std::string& forbidden, bool slashes);

// After `done` of `total` rows have gone into `text` (and only then, at a fixed early count),
// reserves room for the rest at the rate so far: a large file built by doubling would hold
// its old and new copies at once, three times its size, at the last step.
void ReserveAtRate(std::string& text, std::size_t done, std::size_t total);

// A frequency in MHz, with no trailing zeros ("12", "33.333333").
std::string Megahertz(double hertz);
// A clock period in ns with at least three decimals and at most six ("10.000", "83.333333").
std::string Nanoseconds(double hertz);
// True when a and b are equal ignoring ASCII case.
bool SameWord(const std::string& a, const std::string& b);

// The file being written. Comments carry board text escaped; notes of what the target cannot
// express go both into a comment and into `unexpressed`.
struct Item;

class FileWriter {
 public:
  // `format` names the target in notes; `lead` starts a comment ("# ", "// "); `tcl` makes
  // comments safe for a Tcl reader (a trailing backslash would join the next line).
  FileWriter(const char* format, const char* lead, bool tcl, WriteOutput& out);

  // The header comment naming the source, and with `lenient` the table's problems.
  void Header(const MbdPins::PinTable& table, const WriteOptions& options);
  // The comments for the instance ports whose net reaches no FPGA pin, at the end of a file.
  void Unconnected(const MbdPins::PinTable& table);
  void Line(const std::string& text);
  void Comment(const std::string& text);
  // One comment and one note for the settings of `row` the target has no word for.
  void Unexpressed(const std::string& port, const std::vector<std::string>& what);
  // The row's settings other than location, clock and direction, each in the target's words
  // as `word` gives them, in order; the ones it gives no word (an empty one) are noted with
  // Unexpressed for `port`. Empty when none has a word.
  std::vector<std::string> Settings(const std::string& port, const MbdPins::PinSettings& settings,
                                    std::string (*word)(const Item&));
  // The companion .sdc (WriteCompanionSdc) and, when one was written, a comment naming it.
  void CompanionSdc(const MbdPins::PinTable& table, const WriteOptions& options);
  // A port the target cannot name: a comment and an error note; nothing else of it is written.
  void Refused(const std::string& port, const std::string& why);
  // The comments every writer makes for a row: no location, malformed strings (also noted).
  // False when the row has no FPGA pin, or a name the target refuses (`forbidden` as in
  // ForbiddenIn); nothing else is written for it then.
  bool RowNotes(const MbdPins::PinRow& row, const std::string& forbidden, bool slashes);
  // The format's name, as notes give it.
  const std::string& Format() const { return format_; }

 private:
  std::string format_;
  std::string lead_;
  bool tcl_;
  WriteOutput& out_;
};

// The rows of a table by design name, for finding a pair's other side in constant time.
class RowIndex {
 public:
  explicit RowIndex(const MbdPins::PinTable& table);
  // The first paired row named `name` that has an FPGA pin; null when none.
  const MbdPins::PinRow* Find(const std::string& name) const;

 private:
  std::unordered_map<std::string, const MbdPins::PinRow*> rows_;
};

// One neutral setting of a row, in the order writers write them.
struct Item {
  enum Kind { IoStandard, Pull, Drive, Slew, Termination, Pass } kind;
  std::string key;    // the pass-through key; empty otherwise
  std::string value;  // the value as the table holds it; "up", "down", ... for a pull
  bool flag = false;  // a pass-through flag without a value
};
// The row's settings other than location, clock and direction.
std::vector<Item> Items(const MbdPins::PinSettings& settings);
// The item as a note names it: "io standard LVCMOS33", "pull down", "IN_TERM=NONE".
std::string Describe(const Item& item);

// The companion .sdc of a format that keeps its clocks there: written when a row has a clock.
// What the .sdc could not write (a clock on a port get_ports cannot name) joins
// `out.unexpressed`, marked as the .sdc's.
void WriteCompanionSdc(const MbdPins::PinTable& table, const WriteOptions& options,
                       WriteOutput& out);

}  // namespace detail
}  // namespace MbdFormats

#endif  // MBD_FORMATS_WRITER_SUPPORT_H
