// Constraint files from the neutral pin table: one writer per target format, each following its
// own reader's rules for names, and a registry of the formats that readers, the language server
// and the docs ask what a format can express. Whatever a target cannot express is named in a
// comment of the file and returned, never dropped silently.
#ifndef MBD_CONSTRAINT_WRITER_H
#define MBD_CONSTRAINT_WRITER_H

#include <string>
#include <vector>

#include "MbdExport.h"
#include "MbdPinTable.h"

namespace MbdFormats {

// How a file is written.
struct WriteOptions {
  std::string source;    // the board file named in the file's header comment; empty: no header
  bool lenient = false;  // also write the table's problems (its failed checks) as comments
};

// A written file.
struct WriteOutput {
  std::string text;                // the file
  std::string companionExtension;  // ".sdc" for a format whose clocks live in a second file;
                                   // empty when the format keeps them itself or has none
  std::string companionText;       // that file; empty when there is none
  std::vector<MbdPins::Problem> unexpressed;  // what the target could not express, by port,
                                              // each also a comment in `text`; error is true
                                              // for a port the target cannot name at all.
                                              // A note of the companion starts "in the .sdc: "
                                              // (and its comment is in companionText): the
                                              // port is in `text`, its clock is not
};

// Writes `table` in `format`; false (and `out` left empty) when the format is unknown.
// A row whose fpgaPin is empty is an instance port whose net reaches no FPGA pin: it is
// noted in a comment. Rows of one net on several pins are written once per pin.
LYRWIZ_MBD_EXPORT bool WriteConstraints(const std::string& format, const MbdPins::PinTable& table,
                                        const WriteOptions& options, WriteOutput& out);

// The formats WriteConstraints knows, in the registry's order.
LYRWIZ_MBD_EXPORT const std::vector<std::string>& WriterFormats();

// A neutral setting a format may or may not be able to state.
enum class Setting : unsigned {
  Location = 1u << 0,
  IoStandard = 1u << 1,
  PullUp = 1u << 2,
  PullDown = 1u << 3,
  Keeper = 1u << 4,
  Drive = 1u << 5,
  Slew = 1u << 6,
  Termination = 1u << 7,
  Clock = 1u << 8,       // a clock's frequency, in the file or its companion (not ucf: it
                         // copies the board's strings, so only a PERIOD string is written)
  PairN = 1u << 9,       // the N side of a differential pair written as its own location
  Direction = 1u << 10,
  PassThrough = 1u << 11,  // target-specific KEY=VALUE kept as written (some keys, see below)
};

// One format of the registry.
struct FormatInfo {
  const char* name;         // "xdc"
  const char* extensions;   // the file types it is read from, blank-separated: ".xdc"
  const char* syntax;       // "tcl", "statements", "bare words", "table" or "json"
  unsigned settings;        // the Setting bits it can express
  const char* clockFile;    // "" when clocks are in the file itself, ".sdc" for a companion
  const char* summary;      // one line for help and docs
};

// Every format, in a fixed order (ucf first, then the toolchain formats, then csv and json).
LYRWIZ_MBD_EXPORT const std::vector<FormatInfo>& Formats();
// The format named `name` (compared ignoring case); null when none.
LYRWIZ_MBD_EXPORT const FormatInfo* FindFormat(const std::string& name);
// The format a file is read as from its extension (".lpf"); null when none claims it. A ".pdc"
// may be either of two dialects; the registry names the set_io one, readers decide by content.
LYRWIZ_MBD_EXPORT const FormatInfo* FormatForFile(const std::string& path);
// True when `format` can state `setting`; false for an unknown format.
LYRWIZ_MBD_EXPORT bool Expresses(const std::string& format, Setting setting);
// The names of the formats that can state `setting`, in registry order; empty when none.
LYRWIZ_MBD_EXPORT std::vector<std::string> FormatsExpressing(Setting setting);
// True when `format` writes the pass-through key `key` (compared ignoring case) as it is;
// false for a key it has no word for, or an unknown format.
LYRWIZ_MBD_EXPORT bool KnowsPassThrough(const std::string& format, const std::string& key);

}  // namespace MbdFormats

#endif  // MBD_CONSTRAINT_WRITER_H
