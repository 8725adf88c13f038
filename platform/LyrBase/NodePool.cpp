#include "NodePool.h"

#include <mutex>
#include <new>

namespace LyrBase {
namespace detail {

namespace {

constexpr std::size_t kClasses = NodePool::kMaxPooled / NodePool::kGrain;
// Large enough that carving costs nothing per node, small enough for a tiny board.
constexpr std::size_t kChunkBytes = std::size_t(1) << 16;

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
    auto* chunk = static_cast<FreeBlock*>(::operator new(kChunkBytes));
    {
      Reserve& reserve = SharedReserve();
      std::lock_guard<std::mutex> lock(reserve.mutex);
      chunk->next = reserve.chunks;
      reserve.chunks = chunk;
    }
    cache.cursor = reinterpret_cast<char*>(chunk) + NodePool::kGrain;
    cache.end = reinterpret_cast<char*>(chunk) + kChunkBytes;
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
