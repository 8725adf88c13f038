// The Tcl package "qbd": the board query commands, plus qbd::open and qbd::close, for any Tcl
// 8.6 interpreter.
//
//   qbd::open FILE     reads the board file, builds the board model over it (a generic template
//                      is expanded) and returns the board's handle; a file that cannot be read
//                      is an error whose message is the reader's error text
//   qbd::close HANDLE  releases a board opened in this interpreter; every handle into it is
//                      invalid afterwards. An error for any word that is not such a board.
//
//   qbd::constraints HANDLE ?option value ...?   a constraint file of the board (QbdExport.h)
//   qbd::top HANDLE ?option value ...?           its top-level module or entity
//
// Boards opened in an interpreter are released with it.
#ifndef QBD_PACKAGE_H
#define QBD_PACKAGE_H

#include <tcl.h>

extern "C" {
// The package's entry point, called by `load` (and by programs that embed it): registers the
// commands and provides the package; TCL_ERROR when the interpreter's Tcl is not 8.6.
int Qbd_Init(Tcl_Interp* interp);
}

#endif  // QBD_PACKAGE_H
