// The board query commands, behind the static procedures of both scripting classes.
#ifndef MBD_BOARDCOMMANDS_H
#define MBD_BOARDCOMMANDS_H

#include <tcl.h>

namespace mbd_detail {

// qget_qbd_handle H KIND [NAME] | H block TYPE NAME.
int BoardGetHandle(ClientData clientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
// qget_qbd_handle H block TYPE NAME.
int BoardGetBlockHandle(ClientData clientData, Tcl_Interp* interp, int objc,
                        Tcl_Obj* const objv[]);
// qget_qbd_value H [value|name|handleType] | H KIND NAME | H x y z.
int BoardGetValue(ClientData clientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);

// The names under which both classes register the handle and value procedures.
constexpr char kHandleCommand[] = "qget_qbd_handle";
constexpr char kValueCommand[] = "qget_qbd_value";

// Messages every board command answers with alike, so that a script traps them alike.
constexpr char kWrongCount[] = "invalid number of parameters specified\n";
constexpr char kNullHandle[] = "a null handle was provided\n";
constexpr char kInvalidHandle[] = "an invalid handle was provided\n";

}  // namespace mbd_detail

#endif  // MBD_BOARDCOMMANDS_H
