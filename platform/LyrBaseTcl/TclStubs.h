// Binding a stub-built shared object to the Tcl of the process.
//
// The libraries an extension loads are built against the Tcl stub table instead of linking
// libtcl, so that one build loads into any tclsh 8.6. The stub archive's pointer to the table is
// a hidden symbol: every shared object that calls Tcl holds its own copy, and each must set it
// (Tcl_InitStubs) from an interpreter before its first call into Tcl. Each stub-built target
// compiles TclStubs.cpp once (CMake: qbd_tcl_stubs) and calls BindTclStubs at its entry points:
// the command procedures (through the command guard), registration, package init.
#ifndef LYRBASE_TCLSTUBS_H
#define LYRBASE_TCLSTUBS_H

#include <tcl.h>

namespace LyrBase {

// Binds the calling shared object's stub pointer to the Tcl of `interp`, the first time only
// (later calls, from any thread, return the first answer); false when that Tcl is not 8.6, and
// for a null `interp`. Hidden: each shared object must reach its own copy.
__attribute__((visibility("hidden"))) bool BindTclStubs(Tcl_Interp* interp);

}  // namespace LyrBase

#endif  // LYRBASE_TCLSTUBS_H
