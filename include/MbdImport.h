// From what users have to a board: a draft board tree built from a neutral pin table (read
// from a constraint file, a CSV pin table or a schematic netlist), with a report of every guess
// the draft made, so that the author knows which lines to check. The grouping of pins into
// instances follows what the file shows: bus stems, _p/_n pairs, comment headings, clocks, the
// component a net reaches; the same ball in two alternative line sets makes an EXCLUSIVE group.
#ifndef MBD_IMPORT_H
#define MBD_IMPORT_H

#include <memory>
#include <string>
#include <vector>

#include "LyrBoard.h"
#include "MbdExport.h"
#include "MbdPinTable.h"

namespace MbdImport {

// What a guess is about.
enum class GuessKind : unsigned char {
  Group,        // pins put into one instance (by bus stem, pair, heading, component, prefix)
  IoType,       // an instance's IOTYPE left as a placeholder
  PassThrough,  // a setting no neutral field holds, kept as written
  Exclusive,    // instances that share balls made alternatives
  ClockRange,   // a clock's RANGE taken as its one frequency
  Rename,       // a name changed to fit the board (bus bit, clash, unusable characters)
  UnnamedNet,   // a netlist net without a name of its own
  NoLocation,   // a pin the input gives no location
  Conflict,     // two lines that disagree; the first wins
  Skipped,      // input left out of the draft (power nets, unusable lines)
  Identity,     // the board's vendor, name, revision or FPGA part not known
};

// One guess of the draft, or one fact of the input the draft could not settle.
struct Guess {
  GuessKind kind = GuessKind::Group;
  std::string instance;  // the draft's instance it concerns; empty when none
  std::string port;      // the input's port (pin) name it concerns; empty when none
  std::string file;      // where the input said it; empty when unknown
  unsigned line = 0;     // 0 when unknown
  std::string message;   // one line
};

// "group", "io_type", "pass_through", ... as the JSON report names the kind.
LYRWIZ_MBD_EXPORT const char* GuessKindName(GuessKind kind);
// "FILE:LINE: note: MESSAGE" (or "note: MESSAGE" without a place), as the report prints.
LYRWIZ_MBD_EXPORT std::string FormatGuess(const Guess& guess);

// An input that cannot be read, with its place.
struct ImportError {
  std::string file;
  unsigned line = 0;
  unsigned column = 0;
  std::string message;  // what was expected, what was found; without "error:"
};
// "FILE:LINE:COLUMN: error: MESSAGE"; "FILE:LINE: error: MESSAGE" when the column is 0.
LYRWIZ_MBD_EXPORT std::string FormatError(const ImportError& error);

// A table read from a file: the rows, the errors (the table is not to be used when there are
// any) and the reader's own notes (what it skipped, what it named itself).
struct TableRead {
  MbdPins::PinTable table;
  std::vector<ImportError> errors;
  std::vector<Guess> notes;
};

// Reads a CSV pin table (RFC 4180: commas, double-quoted cells, "" for a quote, CRLF or LF).
// `columns` names the columns in order (name, loc, iostandard, pull, drive, slew, dir,
// termination, frequency, group, heading; "-" or "skip" for a column to ignore; any other
// name keeps the column as a pass-through setting of that key). When `columns` is empty the
// first line is the header and its names are recognised with their usual synonyms (pin, ball,
// site, io_type, ...); when given, a first line that repeats them is skipped.
LYRWIZ_MBD_EXPORT TableRead ReadPinCsv(const std::string& text, const std::string& source,
                                       const std::vector<std::string>& columns);

// Reads a schematic netlist in the S-expression form (export (components ...) (nets ...)):
// every net that reaches a pin of the part `fpgaRef` is one row, located at that pin; the row's
// instance is the component the net reaches (through series resistors and resistor networks),
// power and ground nets are skipped, unnamed nets are named after the pin and noted. A netlist
// without the part is an error that lists the parts it has.
LYRWIZ_MBD_EXPORT TableRead ReadNetlist(const std::string& text, const std::string& source,
                                        const std::string& fpgaRef);

// Adds the rows of `from` (another file of the same board) to `into`: a row whose name is
// already there without a location or with the same location fills the settings that row
// leaves empty (an .sdc's clock beside an .xdc's pins); any other row is appended.
LYRWIZ_MBD_EXPORT void MergeTable(MbdPins::PinTable& into, const MbdPins::PinTable& from);

// What the draft cannot know from a pin table.
struct DraftOptions {
  std::string family, device, package, speedGrade;  // the FPGA block's part; empty: left out
  std::string vendor, name, revision;  // the board's identity; empty: a placeholder, reported
};

// A draft board and every guess made for it.
struct Draft {
  std::unique_ptr<LyrBoard::Qbd> board;  // never null
  std::vector<Guess> guesses;
};

// The draft of `table`: one FPGA block with one pin per port (LOC, the neutral settings as
// constraint strings, DIR), and the ports grouped into instances. Rows of table.problems are
// passed on as notes. An empty table gives a board with an FPGA block and no pins.
LYRWIZ_MBD_EXPORT Draft BuildDraft(const MbdPins::PinTable& table, const DraftOptions& options);

// The constraint strings a pin with these settings is drafted with, LOC first; empty when the
// settings say nothing.
LYRWIZ_MBD_EXPORT std::vector<std::string> SettingStrings(const MbdPins::PinSettings& settings);

}  // namespace MbdImport

#endif  // MBD_IMPORT_H
