// Compiled into every stub-built shared object, so that each binds its own stub pointer.
#include "TclStubs.h"

#include <atomic>
#include <mutex>

#ifndef USE_TCL_STUBS
#error "TclStubs.cpp belongs to targets built against the Tcl stubs"
#endif

namespace LyrBase {

bool BindTclStubs(Tcl_Interp* interp) {
  // Once per process: interpreters of other threads would otherwise write the pointer again
  // while this thread's commands read it. One process holds one Tcl, so the first answer holds.
  // Every command call passes here, so once bound the answer is one load, not the once flag
  // (which costs a thread-local access and a library call each time).
  static std::once_flag once;
  static std::atomic<bool> bound{false};
  if (!interp) return false;
  if (bound.load(std::memory_order_acquire)) return true;
  std::call_once(once, [interp] {
    bound.store(Tcl_InitStubs(interp, "8.6", 0) != nullptr, std::memory_order_release);
  });
  return bound.load(std::memory_order_acquire);
}

}  // namespace LyrBase
