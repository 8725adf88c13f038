// Memory for the nodes of the tree. A board holds hundreds of thousands of small nodes of a
// handful of sizes; the pool hands out blocks of a few size classes carved from large chunks
// and recycles them through free lists, so that a node costs no allocator header and making
// or deleting one is a few instructions. Every node is still deleted on its own. Each thread
// recycles through lists of its own, without locks, and hands what it does not need (more
// than a few batches, or everything when it ends) to a shared reserve that every thread takes
// from before it asks the system for more: a node may be freed on any thread, and memory
// freed on one serves the others.
// Internal to the platform libraries.
#ifndef LYRBASE_NODEPOOL_H
#define LYRBASE_NODEPOOL_H

#include <cstddef>

namespace LyrBase {
namespace detail {

// True in builds where node memory comes straight from operator new, so that the address
// sanitizer sees every use after a delete (a recycled block would hide it).
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kNodePoolBypassed = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kNodePoolBypassed = true;
#else
inline constexpr bool kNodePoolBypassed = false;
#endif
#else
inline constexpr bool kNodePoolBypassed = false;
#endif

class NodePool {
 public:
  // Blocks come in multiples of this, which is also their alignment (nodes hold pointers and
  // strings; a node that asks for more goes to the aligned operator new). Requests larger
  // than kMaxPooled go to operator new.
  static constexpr std::size_t kGrain = 8;
  static constexpr std::size_t kMaxPooled = 256;

  // A block of at least `size` bytes, aligned to kGrain; throws std::bad_alloc.
  static void* Allocate(std::size_t size);
  // Gives back a block that Allocate returned for the same `size` (null is ignored).
  static void Release(void* block, std::size_t size) noexcept;
};

}  // namespace detail
}  // namespace LyrBase

#endif  // LYRBASE_NODEPOOL_H
