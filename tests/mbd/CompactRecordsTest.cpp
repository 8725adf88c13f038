// The pieces of the model's compact records: texts named by 32-bit offsets, and the store
// whose runs stay in place while more are appended.
#include <gmock/gmock.h>

#include <cstdint>
#include <string>
#include <vector>

#include "CompactRecords.h"

namespace {

using mbd_detail::GrowOnlyStore;
using mbd_detail::GrowOnlyText;
using mbd_detail::TextBuffer;
using mbd_detail::TextRef;

TEST(CompactRecords, TextBuffer_FitsOnlyWithinThirtyTwoBitOffsets) {
  constexpr std::size_t kMax = UINT32_MAX;
  struct Case {
    std::size_t held, adding;
    bool fits;
  };
  const Case cases[] = {
      {0, 0, true},
      {0, kMax, true},
      {0, kMax + 1, false},
      {kMax, 0, true},
      {kMax, 1, false},
      {kMax - 10, 10, true},
      {kMax - 10, 11, false},
      {kMax + 1, 0, false},
      // Sums that wrap a 64-bit size must not pass for small ones.
      {SIZE_MAX, 1, false},
      {1, SIZE_MAX, false},
      {SIZE_MAX / 2 + 1, SIZE_MAX / 2 + 1, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TextBuffer::Fits(c.held, c.adding), c.fits) << c.held << " + " << c.adding;
}

TEST(CompactRecords, TextBuffer_GivesBackEveryTextKept) {
  TextBuffer buffer;
  const std::vector<std::string> texts = {"", "LOC=A1", std::string("a\0b", 3), "", "x"};
  std::vector<TextRef> refs;
  for (const std::string& t : texts) refs.push_back(buffer.Keep(t));
  buffer.ShrinkToFit();
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(buffer.Str(refs[i]).str(), texts[i]);
}

TEST(CompactRecords, GrowOnlyStore_RunsStayInPlaceAndWhole) {
  GrowOnlyStore<std::uint32_t> store;
  // Runs of many sizes, some larger than a block, some that would straddle two.
  const std::uint32_t sizes[] = {1, 63, 2, 64, 100, 1, 1000, 7, 5000, 0, 129, 3};
  std::vector<std::pair<std::uint32_t, const std::uint32_t*>> runs;
  std::uint32_t next = 0;
  for (std::uint32_t size : sizes) {
    const std::uint32_t at = store.AppendRun(size);
    for (std::uint32_t i = 0; i < size; ++i) {
      EXPECT_EQ(*store.At(at + i), 0u);  // value-initialised
      *store.At(at + i) = next + i;
    }
    runs.emplace_back(at, size ? store.At(at) : nullptr);
    next += size;
  }
  // Each run is contiguous from its first element and still where it was.
  next = 0;
  for (std::size_t r = 0; r < runs.size(); ++r) {
    for (std::uint32_t i = 0; i < sizes[r]; ++i) {
      ASSERT_EQ(store.At(runs[r].first + i), runs[r].second + i);
      ASSERT_EQ(runs[r].second[i], next + i);
    }
    next += sizes[r];
  }
}

TEST(CompactRecords, GrowOnlyStore_RefusesRunsPastThirtyTwoBitIndexes) {
  GrowOnlyStore<char> store;
  EXPECT_THROW(store.AppendRun(UINT32_MAX), std::length_error);
  // Refused without being taken: a small run still goes in, at the start.
  EXPECT_EQ(store.AppendRun(10), 0u);
}

TEST(CompactRecords, GrowOnlyText_KeepsTextsThatStayInPlace) {
  GrowOnlyText store;
  std::vector<std::pair<TextRef, std::string>> kept;
  for (int i = 0; i < 300; ++i) {
    const std::string text(static_cast<std::size_t>(i % 97), static_cast<char>('a' + i % 26));
    kept.emplace_back(store.Keep(text), text);
  }
  for (const auto& k : kept) EXPECT_EQ(store.Str(k.first).str(), k.second);
}

}  // namespace
