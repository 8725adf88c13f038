#include "NodePool.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <new>

#include <pthread.h>

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

// A free block; the first block of a batch also links the batches of the shared reserve.
// Every pooled block has room for both words.
struct FreeBlock {
  FreeBlock* next;
  FreeBlock* nextBatch;
};

constexpr std::size_t kMinBlock = sizeof(FreeBlock);
static_assert(kMinBlock % NodePool::kGrain == 0, "the smallest block is a whole class");

std::size_t ClassOf(std::size_t size) {
  return (size < kMinBlock ? kMinBlock - 1 : size - 1) / NodePool::kGrain;
}

// A thread keeps at most about this many bytes of free blocks of one class on its hot list,
// and one batch as large beside it; beyond that its frees go to the shared reserve, a batch
// at a time, so that memory freed on one thread serves the others. The lock is taken once per
// batch (128 to 2,048 blocks), and not at all by a thread that frees and makes nodes in turn.
constexpr std::size_t kBatchBytes = std::size_t(32) << 10;

// Blocks in a batch of each class, worked out once so that a free costs no division.
struct BatchSizes {
  std::uint32_t of[kClasses];
  constexpr BatchSizes() : of() {
    for (std::size_t c = 0; c < kClasses; ++c) {
      const std::size_t blocks = kBatchBytes / ((c + 1) * NodePool::kGrain);
      of[c] = static_cast<std::uint32_t>(blocks < 32 ? 32 : blocks);
    }
  }
};
constexpr BatchSizes kBatch;

std::uint32_t BatchOf(std::size_t c) { return kBatch.of[c]; }

// The rest of a chunk a thread was carving when it ended, for the next thread that carves.
struct Span {
  Span* next;
  char* end;
};

// What threads gave back, for any thread that runs short. Never destroyed: nodes may be
// deleted during static destruction.
struct Reserve {
  std::mutex mutex;
  FreeBlock* batches[kClasses] = {};  // per class, batches linked through nextBatch
  // How many batches each class has, written under the lock; read without it, so that a
  // thread that carves asks for the lock only when there is something to take.
  std::atomic<std::uint32_t> batchCount[kClasses] = {};
  Span* spans = nullptr;
  // Every chunk, linked through its first block, so that the memory stays reachable.
  FreeBlock* chunks = nullptr;
};

Reserve& SharedReserve() {
  static Reserve* reserve = new Reserve;
  return *reserve;
}

// Each thread carves and recycles on its own, without locks. Plain data, so that reaching it
// costs no initialisation check.
enum ThreadState : unsigned char { kUnarmed, kArmed, kRetired };
struct ThreadCache {
  FreeBlock* lists[kClasses];    // the hot lists
  std::uint32_t counts[kClasses];  // blocks on each hot list (at most, after a batch came in)
  FreeBlock* spare[kClasses];    // one full batch held back, or null
  char* cursor;
  char* end;
  std::size_t carved;  // bytes of chunks taken so far
  ThreadState state;
};

thread_local ThreadCache cache;

// Pushes the list from `head` as one batch of class c onto the reserve (null is ignored).
void PushBatch(Reserve& reserve, std::size_t c, FreeBlock* head) {
  if (!head) return;
  head->nextBatch = reserve.batches[c];
  reserve.batches[c] = head;
  reserve.batchCount[c].fetch_add(1, std::memory_order_relaxed);
}

// Hands everything the ending thread holds to the reserve. It runs after the thread's
// thread_local objects are destroyed (a destructor of the thread-specific data, which the
// system calls after them), so nodes that a thread_local holder frees at exit come back too;
// a block freed even later goes straight to the reserve (Release).
void RetireThread(void* data) {
  auto& mine = *static_cast<ThreadCache*>(data);
  Reserve& reserve = SharedReserve();
  std::lock_guard<std::mutex> lock(reserve.mutex);
  for (std::size_t c = 0; c < kClasses; ++c) {
    PushBatch(reserve, c, mine.lists[c]);
    PushBatch(reserve, c, mine.spare[c]);
    mine.lists[c] = mine.spare[c] = nullptr;
    mine.counts[c] = 0;
  }
  if (mine.cursor && static_cast<std::size_t>(mine.end - mine.cursor) >= NodePool::kMaxPooled) {
    auto* span = reinterpret_cast<Span*>(mine.cursor);
    span->next = reserve.spans;
    span->end = mine.end;
    reserve.spans = span;
  }
  mine.cursor = mine.end = nullptr;
  mine.state = kRetired;
}

pthread_key_t retireKey;
bool retireKeyMade = false;

void ArmRetirer() {
  static std::once_flag once;
  std::call_once(once, [] { retireKeyMade = ::pthread_key_create(&retireKey, RetireThread) == 0; });
  // A non-null value makes the system call RetireThread when the thread ends. Without a key
  // (the process ran out of them) the thread's free blocks stay its own, as they did before.
  if (retireKeyMade) (void)::pthread_setspecific(retireKey, &cache);
  cache.state = kArmed;
}

// A free block of class c from the reserve: a whole batch becomes the hot list; null when the
// reserve has none.
FreeBlock* TakeFromReserve(std::size_t c) {
  Reserve& reserve = SharedReserve();
  if (reserve.batchCount[c].load(std::memory_order_relaxed) == 0) return nullptr;
  FreeBlock* batch;
  {
    std::lock_guard<std::mutex> lock(reserve.mutex);
    batch = reserve.batches[c];
    if (batch) {
      reserve.batches[c] = batch->nextBatch;
      reserve.batchCount[c].fetch_sub(1, std::memory_order_relaxed);
    }
  }
  if (!batch) return nullptr;
  cache.lists[c] = batch->next;
  cache.counts[c] = BatchOf(c) - 1;
  return batch;
}

// The rest of a chunk an ended thread left; false when there is none.
bool TakeSpan() {
  Reserve& reserve = SharedReserve();
  std::lock_guard<std::mutex> lock(reserve.mutex);
  Span* span = reserve.spans;
  if (!span) return false;
  reserve.spans = span->next;
  cache.cursor = reinterpret_cast<char*>(span);
  cache.end = span->end;
  return true;
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

// A block of class c when the thread's own lists are empty: the held-back batch, what other
// threads gave back, the chunk being carved, the rest of an ended thread's chunk, and only
// then a new chunk. What others gave back goes first, so that a thread that makes nodes while
// another frees them takes no new memory while the freed is there.
void* Refill(std::size_t c) {
  if (cache.state == kUnarmed) ArmRetirer();
  cache.counts[c] = 0;
  if (FreeBlock* batch = cache.spare[c]) {
    cache.spare[c] = nullptr;
    cache.lists[c] = batch->next;
    cache.counts[c] = BatchOf(c) - 1;
    return batch;
  }
  if (void* block = TakeFromReserve(c)) return block;
  const std::size_t bytes = (c + 1) * NodePool::kGrain;
  if (static_cast<std::size_t>(cache.end - cache.cursor) < bytes) {
    if (!TakeSpan()) {
      // The chunk stays for the life of the process; its blocks circulate in the free lists.
      const std::size_t chunkBytes =
          cache.carved >= kLargeAfterBytes ? kLargeChunkBytes : kChunkBytes;
      auto* chunk = static_cast<FreeBlock*>(NewChunk(chunkBytes));
      cache.carved += chunkBytes;
      {
        Reserve& reserve = SharedReserve();
        std::lock_guard<std::mutex> lock(reserve.mutex);
        chunk->next = reserve.chunks;
        reserve.chunks = chunk;
      }
      cache.cursor = reinterpret_cast<char*>(chunk) + kMinBlock;
      cache.end = reinterpret_cast<char*>(chunk) + chunkBytes;
    }
  }
  void* block = cache.cursor;
  cache.cursor += bytes;
  return block;
}

// The hot list of class c is full: it is held back as the spare batch, and the batch held back
// before goes to the reserve.
void SpillFull(std::size_t c) {
  FreeBlock* full = cache.lists[c];
  cache.lists[c] = nullptr;
  cache.counts[c] = 0;
  FreeBlock* older = cache.spare[c];
  cache.spare[c] = full;
  if (!older) return;
  Reserve& reserve = SharedReserve();
  std::lock_guard<std::mutex> lock(reserve.mutex);
  PushBatch(reserve, c, older);
}

// A block freed after its thread handed everything back goes straight to the reserve.
void ReleaseRetired(FreeBlock* freed, std::size_t c) {
  freed->next = nullptr;
  Reserve& reserve = SharedReserve();
  std::lock_guard<std::mutex> lock(reserve.mutex);
  PushBatch(reserve, c, freed);
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
    --cache.counts[c];
    return block;
  }
  return Refill(c);
}

void NodePool::Release(void* block, std::size_t size) noexcept {
  if (!block) return;
  if (kNodePoolBypassed || size > kMaxPooled) {
    ::operator delete(block);
    return;
  }
  const std::size_t c = ClassOf(size);
  auto* freed = static_cast<FreeBlock*>(block);
  if (cache.state != kArmed) {
    if (cache.state == kRetired) return ReleaseRetired(freed, c);
    ArmRetirer();
  }
  freed->next = cache.lists[c];
  cache.lists[c] = freed;
  if (++cache.counts[c] >= BatchOf(c)) SpillFull(c);
}

}  // namespace detail
}  // namespace LyrBase
