#include "NodePool.h"

#include <cstdint>
#include <mutex>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace LyrBase {
namespace detail {

namespace {

constexpr std::size_t kClasses = NodePool::kMaxPooled / NodePool::kGrain;
// Large enough that carving costs nothing per node, small enough for a tiny board.
constexpr std::size_t kChunkBytes = std::size_t(1) << 16;
// Once a thread has carved this much, it carves from large chunks that the system may back
// with huge pages: a large board then costs a few hundred page faults instead of tens of
// thousands, and a small one never pays for a large chunk.
constexpr std::size_t kLargeAfterBytes = std::size_t(4) << 20;
constexpr std::size_t kLargeChunkBytes = std::size_t(2) << 20;

struct FreeBlock {
  FreeBlock* next;
};

std::size_t ClassOf(std::size_t size) { return size == 0 ? 0 : (size - 1) / NodePool::kGrain; }

// Blocks that threads gave back when they ended, for the next thread that runs short. Never
// destroyed: nodes may be deleted during static destruction.
struct Reserve {
  std::mutex mutex;
  FreeBlock* lists[kClasses] = {};
  // Every chunk, linked through its first block, so that the memory stays reachable.
  FreeBlock* chunks = nullptr;
};

Reserve& SharedReserve() {
  static Reserve* reserve = new Reserve;
  return *reserve;
}

// Each thread carves and recycles on its own, without locks. Plain data, so that reaching it
// costs no initialisation check; the Retirer below hands its lists on when the thread ends.
struct ThreadCache {
  FreeBlock* lists[kClasses];
  char* cursor;
  char* end;
  std::size_t carved;  // bytes of chunks taken so far
  bool retirerArmed;
};

thread_local ThreadCache cache;

struct Retirer {
  ~Retirer() {
    Reserve& reserve = SharedReserve();
    std::lock_guard<std::mutex> lock(reserve.mutex);
    for (std::size_t c = 0; c < kClasses; ++c) {
      FreeBlock* list = cache.lists[c];
      while (list) {
        FreeBlock* next = list->next;
        list->next = reserve.lists[c];
        reserve.lists[c] = list;
        list = next;
      }
      cache.lists[c] = nullptr;
    }
    // The rest of the chunk is lost to the pool, at most one chunk per thread.
    cache.cursor = cache.end = nullptr;
  }
};

void ArmRetirer() {
  static thread_local Retirer retirer;
  (void)retirer;
  cache.retirerArmed = true;
}

// Takes the reserve's blocks of that class, if any; the first one is returned.
FreeBlock* TakeFromReserve(std::size_t c) {
  Reserve& reserve = SharedReserve();
  std::lock_guard<std::mutex> lock(reserve.mutex);
  FreeBlock* list = reserve.lists[c];
  reserve.lists[c] = nullptr;
  return list;
}

// A chunk of `bytes`, aligned to its size when it is a large one so that huge pages can back
// it; throws std::bad_alloc.
void* NewChunk(std::size_t bytes) {
  if (bytes < kLargeChunkBytes) return ::operator new(bytes);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // Mapped with room to align and trimmed to the chunk: an aligned allocation from the heap
  // would keep the slack too and take twice the address space, which a process under a memory
  // limit (ulimit -v) runs out of. Chunks live as long as the process, so none is unmapped.
  const std::size_t span = bytes + kLargeChunkBytes;
  void* mapped = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t chunk = (start + kLargeChunkBytes - 1) & ~(kLargeChunkBytes - 1);
  if (chunk > start) ::munmap(mapped, chunk - start);
  const std::uintptr_t tail = chunk + bytes;
  if (start + span > tail) ::munmap(reinterpret_cast<void*>(tail), start + span - tail);
  // Advice only: where huge pages are off the chunk is made of ordinary pages.
  (void)::madvise(reinterpret_cast<void*>(chunk), bytes, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(chunk);
#else
  return ::operator new(bytes, std::align_val_t(kLargeChunkBytes));
#endif
}

void* Carve(std::size_t c) {
  if (!cache.retirerArmed) ArmRetirer();
  const std::size_t bytes = (c + 1) * NodePool::kGrain;
  if (static_cast<std::size_t>(cache.end - cache.cursor) < bytes) {
    // Blocks that ended threads left behind go first; looking costs a lock, so only here.
    if (FreeBlock* list = TakeFromReserve(c)) {
      cache.lists[c] = list->next;
      return list;
    }
    // The chunk stays for the life of the process; its blocks circulate in the free lists.
    const std::size_t chunkBytes = cache.carved >= kLargeAfterBytes ? kLargeChunkBytes : kChunkBytes;
    auto* chunk = static_cast<FreeBlock*>(NewChunk(chunkBytes));
    cache.carved += chunkBytes;
    {
      Reserve& reserve = SharedReserve();
      std::lock_guard<std::mutex> lock(reserve.mutex);
      chunk->next = reserve.chunks;
      reserve.chunks = chunk;
    }
    cache.cursor = reinterpret_cast<char*>(chunk) + NodePool::kGrain;
    cache.end = reinterpret_cast<char*>(chunk) + chunkBytes;
  }
  void* block = cache.cursor;
  cache.cursor += bytes;
  return block;
}

}  // namespace

void* NodePool::Allocate(std::size_t size) {
  if (kNodePoolBypassed || size > kMaxPooled) return ::operator new(size);
  const std::size_t c = ClassOf(size);
  if (FreeBlock* block = cache.lists[c]) {
    // Recycled blocks are scattered over memory that has gone cold; start fetching the next
    // one now so that the next node of this size does not wait for it.
    __builtin_prefetch(block->next);
    cache.lists[c] = block->next;
    return block;
  }
  return Carve(c);
}

void NodePool::Release(void* block, std::size_t size) noexcept {
  if (!block) return;
  if (kNodePoolBypassed || size > kMaxPooled) {
    ::operator delete(block);
    return;
  }
  if (!cache.retirerArmed) ArmRetirer();
  const std::size_t c = ClassOf(size);
  auto* freed = static_cast<FreeBlock*>(block);
  freed->next = cache.lists[c];
  cache.lists[c] = freed;
}

}  // namespace detail
}  // namespace LyrBase
