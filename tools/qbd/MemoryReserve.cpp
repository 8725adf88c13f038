#include "MemoryReserve.h"

#include <cstdlib>
#include <new>

namespace qbd {

namespace {

void* reserve = nullptr;

// Gives the reserve back and fails the allocation that ran out: the caller unwinds with the
// reserve's room, and later failures throw at once.
void spendReserve() {
  std::free(reserve);
  reserve = nullptr;
  std::set_new_handler(nullptr);
  throw std::bad_alloc();
}

}  // namespace

bool keepMemoryReserve() {
  reserve = std::malloc(MEMORY_RESERVE_BYTES);
  if (!reserve) return false;
  std::set_new_handler(spendReserve);
  return true;
}

}  // namespace qbd
