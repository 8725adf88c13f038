// qbd::constraints and qbd::top: a board opened by qbd::open written as a constraint file or a
// top-level module, through the library's pin table and writers.
//
//   qbd::constraints BOARD ?-format F? ?-instances LIST? ?-bus? ?-prefix P? ?-rename DICT?
//                    ?-choose DICT? ?-strict? ?-lenient?
//   qbd::top BOARD ?-hdl verilog|vhdl? ?-instances LIST? ?-bus? ?-prefix P? ?-rename DICT?
//            ?-choose DICT? ?-lenient? ?-name NAME?
//
// The result is the file's text. A failed check (unless -lenient), a name the target cannot
// write, or under -strict a setting the format cannot state is an error with the code
// {QBD EXPORT} and one problem per line of the message.
#ifndef QBD_EXPORT_COMMANDS_H
#define QBD_EXPORT_COMMANDS_H

#include <string>

#include <tcl.h>

#include "MBD.h"

namespace qbdtcl {

// The command's result for objv[2..] (objv[1] is the board); `source` names the board's file.
int Constraints(Tcl_Interp* interp, MBD& model, const std::string& source, int objc,
                Tcl_Obj* const objv[]);
int Top(Tcl_Interp* interp, MBD& model, const std::string& source, int objc,
        Tcl_Obj* const objv[]);

}  // namespace qbdtcl

#endif  // QBD_EXPORT_COMMANDS_H
