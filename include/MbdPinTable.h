// The neutral reading of a board's pin constraints: what each FPGA pin's constraint strings mean,
// whatever words the board used for it, as one table with a row per exported port. Every
// constraint-file writer, reader, the import, the diff, the top-level port lists, lint, Tcl,
// Python and the language server go through this table, so a synonym or a pair rule is read
// one way everywhere.
#ifndef MBD_PIN_TABLE_H
#define MBD_PIN_TABLE_H

#include <map>
#include <string>
#include <vector>

#include "LyrBoard.h"
#include "MBD.h"
#include "MbdExport.h"
#include "Portability.h"

namespace MbdPins {

enum class Pull : unsigned char { Unset, Up, Down, Keeper, None };
enum class Direction : unsigned char { Unset, In, Out, InOut };
enum class PairSide : unsigned char { None, P, N };

// A KEY=VALUE (or a flag) that no neutral field holds, kept as written for the targets that
// know the key.
struct PassThrough {
  std::string key;
  std::string value;
  bool hasValue = true;  // false for a plain flag
};

// What one FPGA pin's constraint strings mean.
struct PinSettings {
  std::string location;     // the ball, as ReadableLocation reads it; empty when none
  std::string ioStandard;   // as written (LVCMOS33, SSTL2_II); empty when unset
  Pull pull = Pull::Unset;
  std::string drive;        // milliamps as decimal text ("8"); empty when unset
  std::string slew;         // "FAST" or "SLOW"; another value upper-cased as written; empty when unset
  std::string termination;  // as written; empty when unset
  double frequencyHz = 0;   // clock frequency; 0 when the pin carries no clock
  Direction direction = Direction::Unset;
  std::vector<PassThrough> passThrough;  // in board order
  std::vector<std::string> malformed;    // strings that fit no constraint form, as written
};

// One exported port: a board net as the design names it, with the FPGA pin that carries it.
struct PinRow {
  std::string name;       // the design's port name (the net, or as bus / prefix / rename made
                          // it); empty for an unwired row
  std::string net;        // the board net
  std::string instance;   // the instance whose port is on the net; empty for an FPGA pin alone
  std::string port;       // that instance port's name; empty likewise
  std::string fpgaBlock;  // the FPGA block and pin that carry the net
  std::string fpgaPin;
  std::string file;       // where the pin was read, when another file than the table's
                          // source; empty when it is the source
  unsigned line = 0;      // 0 when unknown
  PinSettings settings;
  // The pin's constraint strings as written on the board. Rows of one net carry the same
  // strings on each pin; the form that copies them writes each string once per net.
  std::vector<std::string> strings;
  PairSide pairSide = PairSide::None;
  std::string partner;    // the design's name of the pair's other side; empty when unpaired
  std::string busStem;    // with bus naming, "led" for led[3]; empty otherwise
  int busIndex = -1;      // with bus naming, 3 for led[3]; -1 otherwise
  std::string heading;    // read from a constraint file: the comment heading above the line
};

// Something that stops a table from being written, or that a writer had to leave out. A
// writer that writes notes writes them as comments, `PORT: MESSAGE` (or `MESSAGE` when port is
// empty), with control characters spelled out: the message holds board text as written.
struct Problem {
  std::string port;       // the design's port name it concerns; empty for the whole table
  std::string message;    // one line, without "error:" or the file name
  bool error = true;      // false for a note a lenient or non-strict run writes as a comment
};

// The rows are made in the order the chosen instances and their ports stand on the board; a
// net is exported with the first chosen port on it, one row per FPGA pin carrying it. After
// them come the unwired rows: one per port of a chosen instance whose net reaches no FPGA pin,
// with fpgaBlock, fpgaPin and name empty and no settings. They are no ports of the design (no
// check, name or top-level port concerns them); a file notes them in a comment.
struct PinTable {
  std::string source;               // the board or constraint file the table came from
  std::vector<PinRow> rows;         // in board order
  std::vector<Problem> problems;    // the checks' findings, in the order found
};

// True for an unwired row: a port whose net reaches no FPGA pin.
inline bool IsUnwired(const PinRow& row) { return row.fpgaPin.empty(); }
// True when some problem of the table is an error; false for none or notes only.
LYRWIZ_MBD_EXPORT bool HasErrors(const PinTable& table);

// How the design names its ports and which instances are exported.
struct TableOptions {
  std::vector<std::string> instances;         // empty: every instance
  bool bus = false;                           // led_0..led_7 -> led[0]..led[7]
  std::string prefix;                         // put before every name
  std::map<std::string, std::string> rename;  // board net -> design name, applied before prefix
  std::map<std::string, std::string> choose;  // EXCLUSIVE group -> the one instance exported
};

// The neutral settings of one FPGA pin's constraint strings, synonyms read as one meaning. A
// known key whose value this reading cannot read (PULL_MODE=WEIRD, DRIVE=MAX) is kept as a
// pass-through, as is a second LOC; a string of none of the forms goes to `malformed`. A
// string repeated word for word is read once.
LYRWIZ_MBD_EXPORT PinSettings ReadSettings(const std::vector<StringBase>& constraintStrings);
// The direction a DIR sub-property gives (I/IN/INPUT, O/OUT/OUTPUT, IO/INOUT/BIDIR, ignoring
// case and blanks); Unset for anything else.
LYRWIZ_MBD_EXPORT Direction ReadDirection(const std::string& dir);
// "up", "down", "keeper", "none"; empty for Unset.
LYRWIZ_MBD_EXPORT const char* PullName(Pull pull);
// "in", "out", "inout"; empty for Unset.
LYRWIZ_MBD_EXPORT const char* DirectionName(Direction direction);

// The sub-property of the P side's FPGA pin that names the N side's FPGA pin (same FPGA block)
// of a differential pair: PORT clk_p_pin = clk_p, UCF_NET_STRING = (...), DIFF_N = clk_n_pin.
LYRWIZ_MBD_EXPORT extern const char* const DIFF_N;

// The table for the chosen instances of the model's board, with the checks' findings in
// `problems` (no location, two nets on one ball, one net on several balls, alternatives
// exported together, a template not expanded, an unknown instance, a broken pair, two nets
// given one name). Rows are made even where a check fails, so a lenient caller can still
// write them. With no instance named, every instance is exported but of each EXCLUSIVE group
// only the one `choose` names, or else the group's first on the board. Bus naming groups names
// STEM_N or STEMN (N without leading zeros) into STEM[N] when a stem has two or more members,
// their numbers run without a gap, and no other port is named STEM; other names stay as they
// are. A pin's frequency is its PERIOD or FREQUENCY string's, else the frequency parameter of
// a clock instance with a port on its net; its direction is the DIR of the FPGA pin, else of
// the instance port.
LYRWIZ_MBD_EXPORT PinTable BuildPinTable(MBD& model, const TableOptions& options);

// A rename map read from two-column text: each line "NET NAME" (blanks or tabs between; blank
// lines and lines starting with "#" skipped). False, with the reason in `error` and its line
// (from 1) in `errorLine`, for a line of another shape or a net named twice; `rename` then
// holds the lines before it.
LYRWIZ_MBD_EXPORT bool ReadRenameMap(const std::string& text,
                                     std::map<std::string, std::string>& rename,
                                     std::string& error, unsigned& errorLine);

// One synonym the reading knows: a key (and value, where the value carries the meaning) and
// the neutral field it sets.
struct Synonym {
  const char* key;
  const char* value;    // null when any value is read
  const char* meaning;  // "pull", "slew", "drive", "io standard", ...
};
// Every synonym, for docs, hover and completion.
LYRWIZ_MBD_EXPORT const std::vector<Synonym>& Synonyms();

}  // namespace MbdPins

#endif  // MBD_PIN_TABLE_H
