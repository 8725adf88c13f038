// Finding and sourcing the two board-access script libraries.
#ifndef MBD_BOARDSCRIPTS_H
#define MBD_BOARDSCRIPTS_H

#include <tcl.h>

#include "MbdExport.h"

namespace mbd_detail {

// Where a failure is reported from: the calling unit's source file and revision text.
struct ReportOrigin {
  const char* file;
  int line;
  const char* revision;
};

// Sources "/data/datastructure/qbd_database_access.tcl" then
// "/data/datastructure/qorlib_qbd.tcl" into `interp`. Each is taken from $MYQUORIN when the
// file exists there and from $QUORIN_VLK otherwise (unset variables are empty prefixes).
// 0 on success; 1 or 2 when the first or second script could not be evaluated, after the error
// "Can not evaluate tcl file %s\n" was issued under the domain "VLK" (the second script is not
// tried after the first failed); 1 when this library cannot be bound to the interpreter's Tcl.
// Exported for the board interpreter's class, in the library beside.
LYRWIZ_MBD_EXPORT int SourceBoardScripts(Tcl_Interp* interp, const ReportOrigin& origin);

}  // namespace mbd_detail

#endif  // MBD_BOARDSCRIPTS_H
