// The top-level module (Verilog) or entity (VHDL) whose ports are exactly the exported ports of
// a pin table, so that a design and the constraint file written from the same table agree by
// construction. A name that is no plain identifier of the language is written as an escaped
// (Verilog `\name `) or extended (VHDL `\name\`) identifier, or refused with an error naming the
// port: nothing from the board becomes code of its own.
#ifndef MBD_TOP_LEVEL_H
#define MBD_TOP_LEVEL_H

#include <string>
#include <vector>

#include "MbdExport.h"
#include "MbdPinTable.h"

namespace MbdTop {

enum class Hdl : unsigned char { Verilog, Vhdl };

struct TopOptions {
  Hdl hdl = Hdl::Verilog;
  std::string name = "top";  // the module's or entity's name, an identifier of the language
  std::string source;        // the board named in the header comment; empty: no header
};

struct TopOutput {
  std::string text;                         // the module or entity; empty on failure
  std::vector<MbdPins::Problem> problems;   // ports the language cannot name, errors
};

// The language of a name ("verilog", "v", "vhdl", "vhd", ignoring case); false when none.
LYRWIZ_MBD_EXPORT bool HdlNamed(const std::string& name, Hdl& hdl);

// The module or entity of the table's wired rows, one port per name (a bus as one vector port
// of its lowest to highest bit), in the order the rows first give each, with the direction the
// rows agree on (inout when they give none or disagree). False, with the reasons in
// `out.problems` and no text, when a port or the module name cannot be written in the
// language, or two ports would be one identifier there.
LYRWIZ_MBD_EXPORT bool WriteTop(const MbdPins::PinTable& table, const TopOptions& options,
                                TopOutput& out);

}  // namespace MbdTop

#endif  // MBD_TOP_LEVEL_H
