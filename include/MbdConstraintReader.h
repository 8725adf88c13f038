// Reading pin-constraint files back into the neutral pin table: one reader per format, each
// giving the ports it found with their locations and settings, and every line it could not
// read or refused as a located record. The Tcl-syntax formats (xdc, sdc, qsf, pdc) are
// evaluated in a safe interpreter whose commands only record what they are told, so variables,
// loops and -dict forms read as the tools read them; anything else a script asks for is
// reported and skipped, never run. This library links Tcl; the board library stays Tcl-free.
#ifndef MBD_CONSTRAINT_READER_H
#define MBD_CONSTRAINT_READER_H

#include <cstddef>
#include <string>
#include <vector>

#include "MbdExport.h"
#include "MbdPinTable.h"

namespace MbdFormats {

struct ReadOptions {
  // Read commented-out command lines (a master file shipped with every line commented) as if
  // they were not commented; prose comments stay comments and still give headings.
  bool includeCommented = false;
  // Bounds on a Tcl-syntax file's evaluation: a script that passes either is stopped with an
  // error at the command it had reached.
  unsigned long commandLimit = 5000000;
  unsigned timeLimitMs = 10000;
};

// One located message: FILE:LINE:COLUMN: error: MESSAGE. Line and column count from 1; a
// column of 0 means the whole line (Tcl reports commands by line only).
struct ReadError {
  std::string file;
  unsigned line = 0;
  unsigned column = 0;
  std::string message;
};

// "FILE:LINE:COLUMN: error: MESSAGE" (or "warning" when `warning`); "FILE:LINE: ..." when
// the column is 0.
LYRWIZ_MBD_EXPORT std::string FormatReadError(const ReadError& error, bool warning = false);

// A run of pin lines under one comment heading. Master files offer alternative wirings of the
// same balls as separate runs ("Pmod JA as single-ended", "... as differential"), so two rows
// of different sets on one ball are alternatives, not a conflict.
struct LineSet {
  std::string heading;            // the comment above the run, marker and blanks trimmed
  unsigned firstLine = 0;         // the heading's line; the first pin line when no heading
  std::vector<std::size_t> rows;  // indices into ReadResult::table.rows, in file order
};

struct ReadResult {
  // One row per port and line set, in the order first met. A row gets name (as written,
  // bus bits as `led[3]`, with busStem/busIndex filled), settings, pairSide/partner when the
  // file states a pair, file, line (where the port was first met in its set), heading, and
  // `strings`: LOC=... first, then each setting as a board's KEY=VALUE string in the file's
  // own key (IO_TYPE=LVCMOS33 from an lpf; a later one of a key replaces an earlier one, as in
  // the tools). `settings` is MbdPins::ReadSettings of those strings, so every synonym means
  // what it means on a board; values that only one format words its own way (a qsf's numbered
  // SLEW_RATE, a pdc's -SLEW High) are turned into the board's words first; the direction
  // (pdc -DIRECTION, ccf Pin_in) is set apart, being no constraint string on a board.
  // net/instance/port/fpgaBlock/fpgaPin stay empty.
  // A port given a second, different location in the same set gets a second row.
  MbdPins::PinTable table;
  std::vector<LineSet> lineSets;
  // The file does not read: a table with errors must not become a board.
  std::vector<ReadError> errors;
  // Commands refused (exec, open, source, ...) or not understood, and settings or locations a
  // board string cannot hold as they are: each skipped without harm, with its place. The table
  // is still good. (A setting no neutral field holds is no such thing: it is kept, as a
  // pass-through.)
  std::vector<ReadError> skipped;
};

// Every format a reader exists for: "ccf", "cst", "lpf", "pcf", "pdc", "qsf", "sdc", "ucf",
// "xdc".
LYRWIZ_MBD_EXPORT const std::vector<std::string>& ReaderFormats();

// The format of a file by its type, as the format registry knows it (ignoring case): "pdc"
// for either pdc dialect, since one reader knows the commands of both and reads a file that
// mixes them. Empty when no reader claims the type. When `dialect` is given it gets the pdc
// dialect `text` holds, found from its command words (commented-out ones too, as masters
// ship): "set_io", "ldc", "mixed" when it holds both, empty when it holds neither or the
// file is no pdc. Only messages and reports need it: the writer writes the set_io dialect.
LYRWIZ_MBD_EXPORT std::string FormatOfFile(const std::string& fileName, const std::string& text,
                                           std::string* dialect = nullptr);

// Reads `text` (the contents of `fileName`, which only names it in messages) as `format` into
// `result`, appending its rows, line sets and messages to what it holds (rows of two calls
// are not merged: the caller decides how files combine). False when there are errors
// (result.errors) or the format is unknown (one error saying so); true otherwise, skipped
// commands included.
LYRWIZ_MBD_EXPORT bool ReadConstraints(const std::string& format, const std::string& text,
                                       const std::string& fileName, const ReadOptions& options,
                                       ReadResult& result);

}  // namespace MbdFormats

#endif  // MBD_CONSTRAINT_READER_H
