// Room kept aside so that running out of memory ends the program with its one error line
// rather than an abort: when an allocation fails, the reserve is given back and the failure
// is thrown as std::bad_alloc, so that whatever runs while the stack unwinds (destructors of
// large JSON values allocate to free their children) finds memory, and main can report it.
#ifndef QBD_MEMORY_RESERVE_H
#define QBD_MEMORY_RESERVE_H

#include <cstddef>

namespace qbd {

// The size of the reserve: enough for the unwinding of a result of a few hundred thousand rows.
constexpr std::size_t MEMORY_RESERVE_BYTES = std::size_t(16) << 20;

// Sets the reserve aside and installs the new-handler that spends it; returns false (nothing
// installed) when even the reserve cannot be had.
bool keepMemoryReserve();

}  // namespace qbd

#endif  // QBD_MEMORY_RESERVE_H
