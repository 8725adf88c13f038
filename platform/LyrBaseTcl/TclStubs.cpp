// Compiled into every stub-built shared object, so that each binds its own stub pointer.
#include "TclStubs.h"

#include <mutex>

#ifndef USE_TCL_STUBS
#error "TclStubs.cpp belongs to targets built against the Tcl stubs"
#endif

namespace LyrBase {

bool BindTclStubs(Tcl_Interp* interp) {
  // Once per process: interpreters of other threads would otherwise write the pointer again
  // while this thread's commands read it. One process holds one Tcl, so the first answer holds.
  static std::once_flag once;
  static bool bound = false;
  if (!interp) return false;
  std::call_once(once, [interp] { bound = Tcl_InitStubs(interp, "8.6", 0) != nullptr; });
  return bound;
}

}  // namespace LyrBase
