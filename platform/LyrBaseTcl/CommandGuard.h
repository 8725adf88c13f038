// The one wrapper through which every command procedure of the Tcl side runs: it binds the
// calling shared object to the interpreter's Tcl, and no C++ exception leaves through Tcl's C
// frames (that would end the whole process): an allocation failure becomes the Tcl error
// {QBD NOMEM}, any other exception {QBD FAILED}, both located at the command and its first word.
// Only stub-built targets use it (it calls their BindTclStubs).
#ifndef LYRBASE_COMMANDGUARD_H
#define LYRBASE_COMMANDGUARD_H

#include <exception>
#include <new>

#include "BaseTclIf.h"
#include "TclStubs.h"

namespace LyrBase {

// Runs `Body` with the arguments Tcl passes; its result, or TCL_ERROR with the failure as the
// interpreter's result when it threw or the interpreter's Tcl cannot be bound. Hidden, as each
// shared object's instances must call that object's own BindTclStubs.
template <Tcl_ObjCmdProc* Body>
__attribute__((visibility("hidden"))) int GuardedCommand(ClientData clientData, Tcl_Interp* interp,
                                                         int objc,
                                                         Tcl_Obj* const objv[]) noexcept {
  if (!BindTclStubs(interp) || !BaseTclIf::InitStubs(interp)) return TCL_ERROR;
  try {
    return Body(clientData, interp, objc, objv);
  } catch (const std::bad_alloc&) {
    return BaseTclIf::CommandFailed(interp, objc, objv, nullptr);
  } catch (const std::exception& failure) {
    return BaseTclIf::CommandFailed(interp, objc, objv, failure.what());
  } catch (...) {
    return BaseTclIf::CommandFailed(interp, objc, objv, "unexpected failure");
  }
}

}  // namespace LyrBase

#endif  // LYRBASE_COMMANDGUARD_H
