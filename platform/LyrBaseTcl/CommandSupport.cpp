// What the commands of the Tcl side share: binding this library to the interpreter's Tcl, and
// reporting errors.
#include "BaseTclIf.h"
#include "TclStubs.h"

namespace LyrBase {

bool BaseTclIf::InitStubs(Tcl_Interp* interp) { return BindTclStubs(interp); }

int BaseTclIf::LyrTclError(int objc, Tcl_Obj* const objv[], Tcl_Interp* interp, int flags,
                           const char* message) {
  if (!interp) return TCL_ERROR;
  Tcl_Obj* result = Tcl_NewObj();
  if (flags != 0 && objc > 0 && objv && objv[0]) {
    Tcl_AppendObjToObj(result, objv[0]);
    Tcl_AppendToObj(result, ": ", 2);
  }
  Tcl_AppendToObj(result, message ? message : "", -1);
  Tcl_SetObjResult(interp, result);
  return TCL_ERROR;
}

int BaseTclIf::CommandFailed(Tcl_Interp* interp, int objc, Tcl_Obj* const objv[],
                             const char* what) noexcept {
  if (!interp) return TCL_ERROR;
  // Only Tcl's allocator is used from here on: it does not throw.
  Tcl_Obj* result = Tcl_NewObj();
  for (int i = 0; i < objc && i < 2 && objv && objv[i]; ++i) {
    if (i > 0) Tcl_AppendToObj(result, " ", 1);
    Tcl_AppendObjToObj(result, objv[i]);
  }
  Tcl_AppendToObj(result, ": ", 2);
  Tcl_AppendToObj(result, what ? what : "out of memory", -1);
  Tcl_SetObjResult(interp, result);
  Tcl_SetErrorCode(interp, "QBD", what ? "FAILED" : "NOMEM", static_cast<const char*>(nullptr));
  return TCL_ERROR;
}

}  // namespace LyrBase
