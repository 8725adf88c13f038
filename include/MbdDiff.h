// What changed between two boards, by FPGA pin, instance, port, parameter and clock, rather than
// by text line: the order of lines and blocks, comments, spacing and the letter case of names
// that the board matches ignoring case do not count. Pins are matched by net, and a pin whose
// net is gone is matched by its ball to a pin with a new net (a renamed net). Settings are
// compared as the neutral reading reads them, so PULLUP=TRUE and PULLMODE=UP are equal.
#ifndef MBD_DIFF_H
#define MBD_DIFF_H

#include <string>
#include <vector>

#include "LyrBoard.h"
#include "MbdExport.h"

namespace MbdDiff {

// What a record is about.
enum class Subject : unsigned char { Pin, Instance, Port, Parameter, Attribute, Clock };
// What happened to it.
enum class Change : unsigned char { Added, Removed, Moved, Renamed, Changed };

// One difference. `before` is empty for an addition, `after` for a removal.
struct Record {
  Subject subject = Subject::Pin;
  Change change = Change::Changed;
  std::string name;   // the pin's net (the first board's, for a rename), the instance,
                      // "INSTANCE.PORT", "INSTANCE.PARAMETER", "INSTANCE.ATTRIBUTE" or the
                      // board attribute's name
  std::string field;  // what changed: "location", "net", "io standard", "pull", "drive",
                      // "slew", "termination", "frequency", "direction", a pass-through key,
                      // "value", "role", "range"; empty for an addition or removal
  std::string before;
  std::string after;
};

struct DiffOptions {
  // Compare instances, their ports and parameters, and the board attributes. Off when one
  // side is a draft from a constraint file, whose instances are guesses: only pins count.
  bool instances = true;
  // Pin fields one side cannot state ("io standard", "pull", "drive", "slew", "termination",
  // "frequency", "direction", "pass-through" for every pass-through key): not compared.
  std::vector<std::string> unknownFields;
};

// `options` with the pin fields a file of `format` cannot state added to unknownFields: the
// settings the format registry says it cannot express, and clocks it keeps in a companion
// file. For a format the registry does not know (a netlist), every field but location and net.
LYRWIZ_MBD_EXPORT DiffOptions OptionsForFormat(const std::string& format, DiffOptions options);

// Every difference from `a` to `b`: pins in a's order, then pins only b has in b's order,
// then instances likewise. Empty when the boards mean the same. Linear in the boards' size.
LYRWIZ_MBD_EXPORT std::vector<Record> DiffBoards(const LyrBoard::Qbd& a, const LyrBoard::Qbd& b,
                                                 const DiffOptions& options = DiffOptions());

// "pin", "instance", "port", "parameter", "attribute", "clock".
LYRWIZ_MBD_EXPORT const char* SubjectName(Subject subject);
// "added", "removed", "moved", "renamed", "changed".
LYRWIZ_MBD_EXPORT const char* ChangeName(Change change);
// One line: "pin led_0: moved E4 -> E5", "instance uart_1: added (QOR_UART_V1)",
// "pin btn: pull up -> none"; an empty value shows as "(none)".
LYRWIZ_MBD_EXPORT std::string FormatRecord(const Record& record);

}  // namespace MbdDiff

#endif  // MBD_DIFF_H
