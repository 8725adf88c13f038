// The steps of BuildPinTable that name the rows and check them, apart from the walk that
// makes the rows, so that each reads on its own.
#ifndef MBD_PIN_TABLE_STEPS_H
#define MBD_PIN_TABLE_STEPS_H

#include <vector>

#include "MbdPinTable.h"

namespace MbdPins {
namespace detail {

// Gives every row its design name: rename, then bus grouping, then prefix. Adds a note for a
// rename entry that names no exported net and an error for two nets given one name.
void NameRows(const TableOptions& options, PinTable& table);
// Adds the errors of the rows in board order: no location, a second location, two nets on one
// ball, one net on several balls. The rows of a net stand together, as the builder makes them.
void CheckRows(PinTable& table);

}  // namespace detail
}  // namespace MbdPins

#endif  // MBD_PIN_TABLE_STEPS_H
