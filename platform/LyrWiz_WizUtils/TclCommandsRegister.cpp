// The registration scheme: commands first, then the scripts that may call them.
#include "TclCommandsRegister.h"

#include <tcl.h>

#include "../LyrBaseTcl/TclStubs.h"

bool LyrWiz_TclCommandsRegister::registerInterp(Tcl_Interp* interp) {
  if (!interp) return false;
  // A script sourced before its commands exist would fail, so a failed registration stops here.
  return addCommands(interp) && sourceTclFiles(interp);
}

bool LyrWiz_TclCommandsRegister::createCommand(Tcl_Interp* interp, char* name,
                                               Tcl_ObjCmdProc* proc) {
  if (!interp || !name || !proc) return false;
  if (!LyrBase::BindTclStubs(interp)) return false;
  return Tcl_CreateObjCommand(interp, name, proc, nullptr, nullptr) != nullptr;
}
