#include <gtest/gtest.h>

#include "Portability.h"

namespace {

struct NumberCase {
  const char* text;
  int base;
  unsigned value;
  std::size_t consumed;  // bytes before the end pointer
};

TEST(Numbers, Conversions_LikeStrtoulInThirtyTwoBits) {
  const NumberCase cases[] = {
      {"100000000", 10, 100000000u, 9},
      {"  42 MHz", 10, 42u, 4},
      {"123abc", 10, 123u, 3},
      {"abc", 10, 0u, 0},
      {"", 10, 0u, 0},
      {"-", 10, 0u, 0},
      {"+7", 10, 7u, 2},
      {"-2", 10, 4294967294u, 2},
      {"-4294967295", 10, 1u, 11},
      {"4294967295", 10, 4294967295u, 10},
      {"4294967296", 10, 0xFFFFFFFFu, 10},
      {"99999999999999999999999", 10, 0xFFFFFFFFu, 23},
      {"0x1F", 10, 0u, 1},
      {"0x1F", 0, 31u, 4},
      {"0X3", 0, 3u, 3},
      {"017", 0, 15u, 3},
      {"08", 0, 0u, 1},
      {"0x", 0, 0u, 1},
      {"0", 0, 0u, 1},
      {"12", 0, 12u, 2},
      {"-1", 0, 0xFFFFFFFFu, 2},
      {"ff", 16, 255u, 2},
      {"0x100000000", 0, 0xFFFFFFFFu, 11},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " base " + std::to_string(c.base));
    char* end = nullptr;
    EXPECT_EQ(UT_STR::StrToUINT32(c.text, &end, c.base), c.value);
    EXPECT_EQ(static_cast<std::size_t>(end - c.text), c.consumed);
    EXPECT_EQ(UT_STR::StrToUINT32(c.text, nullptr, c.base), c.value);
  }
  EXPECT_EQ(UT_STR::StrToUINT32(nullptr, nullptr, 10), 0u);
  char* end = reinterpret_cast<char*>(1);
  EXPECT_EQ(UT_STR::StrToUINT32(nullptr, &end, 10), 0u);
  EXPECT_EQ(end, nullptr);
  EXPECT_EQ(UT_STR::StrToUINT32("12", nullptr, 1), 0u) << "no such base";
}

}  // namespace
