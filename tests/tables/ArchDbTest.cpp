#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "LyrWiz_WizUtils.h"

namespace {

// Puts the built-in table back when a test that changed it ends, however it ends.
struct ResetAtEnd {
  ~ResetAtEnd() { ArchDb::reset(); }
};

TEST(ArchDb, BuiltIn_EveryFamilyAndBusHasAUsableRange) {
  for (const char* family : {"ketral4", "ketral2p", "ketral3", "torvala3"})
    for (const char* bus : {"lmb", "opb", "plb"}) {
      SCOPED_TRACE(std::string(family) + "/" + bus);
      const unsigned lo = ArchDb::getMinSizeByArchBus(family, bus);
      const unsigned hi = ArchDb::getMaxSizeByArchBus(family, bus);
      const unsigned def = ArchDb::getDefSizeByArchBus(family, bus);
      EXPECT_GT(lo, 0u);
      EXPECT_LE(lo, def);
      EXPECT_LE(def, hi);
    }
}

TEST(ArchDb, Lookup_IgnoresCase) {
  EXPECT_EQ(ArchDb::getMaxSizeByArchBus("ketral4", "lmb"),
            ArchDb::getMaxSizeByArchBus("KeTrAl4", "LMB"));
  EXPECT_NE(0u, ArchDb::getMaxSizeByArchBus("KETRAL2P", "Plb"));
}

TEST(ArchDb, Lookup_UnknownPairIsZero) {
  EXPECT_EQ(0u, ArchDb::getMinSizeByArchBus("ketral4", "axi"));
  EXPECT_EQ(0u, ArchDb::getMaxSizeByArchBus("nofamily", "lmb"));
  EXPECT_EQ(0u, ArchDb::getDefSizeByArchBus("", ""));
  // No partial or padded matches: the family must be the whole name.
  EXPECT_EQ(0u, ArchDb::getMaxSizeByArchBus("ketral4x", "lmb"));
  EXPECT_EQ(0u, ArchDb::getMaxSizeByArchBus(" ketral4", "lmb"));
}

TEST(ArchDb, SetEntry_AddsAndReplacesUntilReset) {
  ResetAtEnd resetAtEnd;
  const unsigned builtInMax = ArchDb::getMaxSizeByArchBus("ketral4", "lmb");
  ArchDb::setEntry("KETRAL4", "LMB", 1, 2, 3);
  ArchDb::setEntry("newfam", "opb", 7, 9, 8);
  EXPECT_EQ(1u, ArchDb::getMinSizeByArchBus("ketral4", "lmb"));
  EXPECT_EQ(2u, ArchDb::getMaxSizeByArchBus("ketral4", "lmb"));
  EXPECT_EQ(3u, ArchDb::getDefSizeByArchBus("ketral4", "lmb"));
  EXPECT_EQ(9u, ArchDb::getMaxSizeByArchBus("NewFam", "OPB"));
  ArchDb::reset();
  EXPECT_EQ(builtInMax, ArchDb::getMaxSizeByArchBus("ketral4", "lmb"));
  EXPECT_EQ(0u, ArchDb::getMaxSizeByArchBus("newfam", "opb"));
}

// One thread changes an entry back and forth while others look it up: each lookup must see one
// of the two values written, never a torn or missing entry.
TEST(ArchDb, LookupsWhileAnotherThreadChangesTheTable) {
  ArchDb::setEntry("racefam", "lmb", 1, 10, 5);
  std::atomic<bool> stop{false};
  std::atomic<long> odd{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 2; ++t)
    readers.emplace_back([&] {
      while (!stop) {
        const unsigned max = ArchDb::getMaxSizeByArchBus("RACEFAM", "LMB");
        if (max != 0 && max != 10 && max != 20) ++odd;  // 0 between a reset and the set
        if (ArchDb::getMaxSizeByArchBus("ketral4", "plb") != 131071) ++odd;
      }
    });
  for (int i = 0; i < 5000; ++i) {
    ArchDb::setEntry("racefam", "lmb", 1, i % 2 ? 10 : 20, 5);
    if (i % 500 == 0) {
      ArchDb::reset();
      ArchDb::setEntry("racefam", "lmb", 1, 10, 5);
    }
  }
  stop = true;
  for (std::thread& t : readers) t.join();
  ArchDb::reset();
  EXPECT_EQ(odd, 0);
}

TEST(ArchDb, KnowsFamily_WholeNameOnAnyBus) {
  ResetAtEnd resetAtEnd;
  EXPECT_TRUE(ArchDb::knowsFamily("KETRAL3"));
  EXPECT_TRUE(ArchDb::knowsFamily("torvala3"));
  for (const char* unknown : {"", "ketral", "ketral4x", " ketral4", "lmb"})
    EXPECT_FALSE(ArchDb::knowsFamily(unknown)) << "'" << unknown << "'";
  ArchDb::setEntry("NewFam", "axi", 7, 9, 8);
  EXPECT_TRUE(ArchDb::knowsFamily("newfam")) << "a family known on another bus only";
  ArchDb::reset();
  EXPECT_FALSE(ArchDb::knowsFamily("newfam"));
}

}  // namespace
