// What the Tcl-syntax readers share: the port objects a command was given, and the clocks of
// create_clock (xdc, sdc and the ldc dialect of pdc write the same command).
#ifndef MBD_TCL_COMMON_H
#define MBD_TCL_COMMON_H

#include <string>
#include <vector>

#include "TclRecorder.h"

namespace MbdFormats {
namespace detail {

struct PortWord {
  std::string name;
  bool pattern = false;
};

// The ports the object words name; the words that name no port are counted in `others` (the
// first one kept in `firstOther`). False with a Tcl error when a word is not a list.
bool PortsOf(TclRecorder& recorder, Tcl_Obj* const* words, int count, std::vector<PortWord>& ports,
             int& others, std::string& firstOther);

// create_clock -period P [-name N] [-waveform W] [-add] PORTS
int CreateClock(TclRecorder& recorder, int objc, Tcl_Obj* const objv[]);

// The comment syntax of the Tcl-syntax formats, with the commands that tell a commented-out
// command from prose.
CommentSyntax TclComments(std::vector<const char*> commands);

}  // namespace detail
}  // namespace MbdFormats

#endif  // MBD_TCL_COMMON_H
