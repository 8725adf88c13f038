// The memory of tree nodes: blocks that do not overlap, recycling, hand-over between threads,
// and nodes that are still deleted one by one.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "LyrBase/NodePool.h"
#include "LyrBoard.h"

namespace {

using LyrBase::detail::kNodePoolBypassed;
using LyrBase::detail::NodePool;

TEST(NodePool, Blocks_AreAlignedWritableAndDisjoint) {
  // Sizes at and around the class edges, and beyond the pooled range.
  const std::size_t sizes[] = {1, 7, 8, 9, 56, 88, 112, 255, 256, 257, 1000};
  for (const std::size_t size : sizes) {
    SCOPED_TRACE(size);
    std::vector<unsigned char*> blocks;
    for (int i = 0; i < 600; ++i) {
      auto* block = static_cast<unsigned char*>(NodePool::Allocate(size));
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % NodePool::kGrain, 0u);
      std::memset(block, i & 0xFF, size);
      blocks.push_back(block);
    }
    // A block that overlapped another would have lost its pattern.
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      const unsigned char want = static_cast<unsigned char>(i & 0xFF);
      EXPECT_TRUE(std::all_of(blocks[i], blocks[i] + size, [&](unsigned char c) { return c == want; }))
          << "block " << i;
    }
    for (unsigned char* block : blocks) NodePool::Release(block, size);
  }
}

TEST(NodePool, ReleasedBlocks_ComeBackForTheSameClassOnly) {
  if (kNodePoolBypassed) GTEST_SKIP() << "the sanitizer build takes node memory from operator new";
  void* a = NodePool::Allocate(100);
  NodePool::Release(a, 100);
  void* other = NodePool::Allocate(40);  // another class: not the freed block
  EXPECT_NE(other, a);
  void* again = NodePool::Allocate(104);  // 100 and 104 share a class
  EXPECT_EQ(again, a);
  NodePool::Release(other, 40);
  NodePool::Release(again, 104);
}

TEST(NodePool, BlocksOfAnEndedThread_ServeTheNextThread) {
  if (kNodePoolBypassed) GTEST_SKIP() << "the sanitizer build takes node memory from operator new";
  // A class no node of this test program uses, so that other tests leave nothing in it.
  constexpr std::size_t kSize = 248;
  std::set<void*> released;
  std::thread([&] {
    std::vector<void*> blocks;
    for (int i = 0; i < 10; ++i) blocks.push_back(NodePool::Allocate(kSize));
    for (void* block : blocks) {
      released.insert(block);
      NodePool::Release(block, kSize);
    }
  }).join();
  void* reused = nullptr;
  std::thread([&] {
    reused = NodePool::Allocate(kSize);
    NodePool::Release(reused, kSize);
  }).join();
  EXPECT_EQ(released.count(reused), 1u);
}

// A node type that asks for more alignment than the pool's blocks have.
struct alignas(64) WideNode : LyrBase::StrVal {
  WideNode() : StrVal("wide") {}
};

TEST(NodePool, OverAlignedNodes_GetTheirAlignment) {
  std::vector<std::unique_ptr<LyrBase::BaseNode>> nodes;
  for (int i = 0; i < 8; ++i) {
    auto node = std::make_unique<WideNode>();
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(node.get()) % 64, 0u);
    EXPECT_EQ(node->GetValueStr(), StringBase("wide"));
    nodes.push_back(std::move(node));
  }
}

TEST(NodePool, NodesMadeOnOneThread_AreDeletedOnAnother) {
  std::vector<LyrBase::PsfComp*> comps;
  std::thread([&] {
    for (int i = 0; i < 1000; ++i) {
      auto* comp = new LyrBase::PsfComp(("p" + std::to_string(i)).c_str());
      comp->SetValueStr("v");
      comps.push_back(comp);
    }
  }).join();
  for (std::size_t i = 0; i < comps.size(); ++i)
    EXPECT_EQ(comps[i]->GetName(), StringBase(("p" + std::to_string(i)).c_str()));
  for (LyrBase::PsfComp* comp : comps) delete comp;
  // The freed memory serves new nodes here; they start clean.
  LyrBoard::BdPin pin("n", "v");
  auto fresh = std::make_unique<LyrBase::Property>();
  EXPECT_TRUE(fresh->GetName().IsEmpty());
  EXPECT_EQ(fresh->GetLyrValuePtr(), nullptr);
  EXPECT_TRUE(fresh->GetPsfCompSeqRef().empty());
}

TEST(NodePool, AThreadThatCarvesMegabytes_GetsDisjointBlocks) {
  // A fresh thread starts with small chunks and moves on to large ones after a few megabytes;
  // blocks on both sides of the change must stay whole.
  constexpr std::size_t kSize = 64;
  constexpr std::size_t kCount = (std::size_t(12) << 20) / kSize;
  std::size_t misaligned = 0, damaged = 0;
  std::thread([&] {
    std::vector<std::uint32_t*> blocks(kCount);
    for (std::size_t i = 0; i < kCount; ++i) {
      blocks[i] = static_cast<std::uint32_t*>(NodePool::Allocate(kSize));
      if (reinterpret_cast<std::uintptr_t>(blocks[i]) % NodePool::kGrain != 0) ++misaligned;
      std::fill(blocks[i], blocks[i] + kSize / 4, static_cast<std::uint32_t>(i));
    }
    for (std::size_t i = 0; i < kCount; ++i)
      if (!std::all_of(blocks[i], blocks[i] + kSize / 4,
                       [&](std::uint32_t word) { return word == static_cast<std::uint32_t>(i); }))
        ++damaged;
    for (std::uint32_t* block : blocks) NodePool::Release(block, kSize);
  }).join();
  EXPECT_EQ(misaligned, 0u);
  EXPECT_EQ(damaged, 0u);
}

// Memory the process holds, from /proc/self/statm (resident pages); 0 where it cannot tell.
std::size_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t size = 0, resident = 0;
  statm >> size >> resident;
  return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// A board of some 40,000 nodes (nearly 3 MB of them), read afresh each time.
std::unique_ptr<LyrBoard::Qbd> ReadLargeBoard() {
  static const std::string text = [] {
    std::string t;
    for (int b = 0; b < 1000; ++b) {
      t += "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = core_" + std::to_string(b) + "\n";
      for (int p = 0; p < 10; ++p)
        t += "  PARAMETER C_P" + std::to_string(p) + " = " + std::to_string(b * p) +
             ", IO_IS = role" + std::to_string(p) + "\n";
      t += "END\n";
    }
    return t;
  }();
  auto qbd = std::make_unique<LyrBoard::Qbd>();
  EXPECT_EQ(qbd->ReadString(text.c_str()), 0);
  return qbd;
}

// Runs `round` many times and returns how much the process grew after the first few, which
// fill the pool.
template <typename Round>
std::size_t GrowthOverRounds(Round round) {
  constexpr int kWarmUp = 3;
  constexpr int kRounds = 30;
  for (int r = 0; r < kWarmUp; ++r) round();
  const std::size_t before = ResidentBytes();
  for (int r = kWarmUp; r < kRounds; ++r) round();
  const std::size_t after = ResidentBytes();
  return after > before ? after - before : 0;
}

// Generous: one round's board takes nearly 3 MB, the rounds after the first few together
// some 75 MB when none of it is used again.
constexpr std::size_t kFlat = std::size_t(24) << 20;

TEST(NodePool, ReadOnAWorkerFreedOnMain_MemoryStaysFlat) {
  // One long-lived worker reads every board; this thread frees each one.
  std::atomic<LyrBoard::Qbd*> handed{nullptr};
  std::atomic<bool> stop{false};
  std::thread worker([&] {
    while (!stop.load()) {
      if (handed.load() != nullptr) {
        std::this_thread::yield();
        continue;
      }
      handed.store(ReadLargeBoard().release());
    }
  });
  const std::size_t growth = GrowthOverRounds([&] {
    LyrBoard::Qbd* board = nullptr;
    while ((board = handed.load()) == nullptr) std::this_thread::yield();
    handed.store(nullptr);
    delete board;
  });
  stop = true;
  worker.join();
  delete handed.load();
  EXPECT_LT(growth, kFlat);
}

TEST(NodePool, ReadOnThreadsThatEnd_MemoryStaysFlat) {
  // A new thread per board, as a host that starts a task per file does; this thread frees.
  const std::size_t growth = GrowthOverRounds([] {
    std::unique_ptr<LyrBoard::Qbd> board;
    std::thread([&board] { board = ReadLargeBoard(); }).join();
    board.reset();
  });
  EXPECT_LT(growth, kFlat);
}

TEST(NodePool, HeldInAThreadLocalFreedAtThreadExit_MemoryStaysFlat) {
  const std::size_t growth = GrowthOverRounds([] {
    std::thread([] {
      // Made before the thread's first node, so that it is destroyed after anything the pool
      // set up for the thread.
      thread_local std::unique_ptr<LyrBoard::Qbd> holder;
      holder = ReadLargeBoard();
    }).join();
  });
  EXPECT_LT(growth, kFlat);
}

TEST(NodePool, BlocksFreedOnAnotherThread_ServeTheThreadThatMakesNodes) {
  if (kNodePoolBypassed) GTEST_SKIP() << "the sanitizer build takes node memory from operator new";
  // A class no node of this test program uses. The maker allocates, this thread frees far
  // more than a thread keeps, and the maker's next blocks are among those freed.
  constexpr std::size_t kSize = 240;
  constexpr int kCount = 5000;
  std::vector<void*> made(kCount);
  std::thread([&] {
    for (void*& block : made) block = NodePool::Allocate(kSize);
  }).join();
  const std::set<void*> freed(made.begin(), made.end());
  for (void* block : made) NodePool::Release(block, kSize);
  int reused = 0;
  std::thread([&] {
    std::vector<void*> again(kCount);
    for (void*& block : again) block = NodePool::Allocate(kSize);
    for (void* block : again) reused += static_cast<int>(freed.count(block));
    for (void* block : again) NodePool::Release(block, kSize);
  }).join();
  // All but what this thread may keep (two batches of 32 KB) came back.
  EXPECT_GE(reused, kCount - 2 * (32 << 10) / 240 - 1);
}

TEST(NodePool, UseOfARemovedNode_IsReportedInTheSanitizerBuild) {
  if (!kNodePoolBypassed) GTEST_SKIP() << "only the sanitizer build watches every node's memory";
  ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
  EXPECT_DEATH(
      {
        LyrBoard::Qbd board;
        board.ReadString("ATTRIBUTE A = 1\nATTRIBUTE B = 2\n");
        LyrBase::PsfComp* first = board.GetPsfCompSeqRef(LyrBoard::Qbd::ATTRIBUTE)[0];
        board.RemovePsfComp(LyrBoard::Qbd::ATTRIBUTE, first);
        std::fprintf(stderr, "%u\n", first->GetLineNo());
      },
      "heap-use-after-free");
}

}  // namespace
