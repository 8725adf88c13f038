// The Tcl side of the base-object library: the Tcl interface base class, the handle table that
// turns live nodes into Tcl words and back, and the base commands over property nodes. Only
// code that talks to Tcl includes this header and links its library (LyrBaseTcl).
#ifndef LYRBASETCL_H
#define LYRBASETCL_H

#include "LyrBase.h"
#include "LyrBaseTcl/BaseTclIf.h"

#endif  // LYRBASETCL_H
