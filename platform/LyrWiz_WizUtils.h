// Wizard utilities: the wizard's module model, the architecture size database, and the base
// class through which a host registers Tcl commands in its interpreter.
#ifndef LYRWIZ_WIZUTILS_H
#define LYRWIZ_WIZUTILS_H

#include "LyrWiz_WizUtils/Module.h"
#include "LyrWiz_WizUtils/ArchDb.h"
#include "LyrWiz_WizUtils/TclCommandsRegister.h"

#endif  // LYRWIZ_WIZUTILS_H
