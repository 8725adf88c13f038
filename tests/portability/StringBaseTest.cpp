#include <gtest/gtest.h>

#include <map>

#include "Portability.h"

namespace {

TEST(StringBase, Compare_IgnoreCaseAndExact) {
  const StringBase s("UCF_Net_String");
  EXPECT_EQ(s.Compare("ucf_net_string", StringBase::IGNORE_CASE), 0);
  EXPECT_NE(s.Compare("ucf_net_string", StringBase::EXACT), 0);
  EXPECT_EQ(s.Compare(StringBase("UCF_Net_String"), StringBase::EXACT), 0);
  EXPECT_NE(s.Compare("UCF_NET_STRIN", StringBase::IGNORE_CASE), 0) << "length counts";
  EXPECT_NE(s.Compare(static_cast<const char*>(nullptr), StringBase::IGNORE_CASE), 0);
  EXPECT_EQ(StringBase().Compare("", StringBase::IGNORE_CASE), 0);
  // Only ASCII letters fold; other bytes compare as they are.
  EXPECT_NE(StringBase("\xC3\xA9").Compare("\xC3\x89", StringBase::IGNORE_CASE), 0);
  EXPECT_LT(StringBase("abc").Compare("ABD", StringBase::IGNORE_CASE), 0);
  EXPECT_GT(StringBase("abd").Compare("ABC", StringBase::IGNORE_CASE), 0);
}

TEST(StringBase, Less_IsByteOrderWithShorterFirst) {
  EXPECT_TRUE(StringBase("B") < StringBase("a")) << "upper case sorts before lower case";
  EXPECT_TRUE(StringBase("z") < StringBase("\xE9")) << "bytes compare unsigned";
  EXPECT_TRUE(StringBase("ab") < StringBase("abc"));
  EXPECT_FALSE(StringBase("abc") < StringBase("ab"));
  EXPECT_FALSE(StringBase("ab") < StringBase("ab"));
  EXPECT_TRUE(StringBase("") < StringBase("a"));
  std::multimap<StringBase, int> table{{"UCF_NET_STRING", 1}, {"CONNECTOR", 2}, {"UCF_NET_STRING", 3}, {"IO_IS", 4}};
  std::vector<int> order;
  for (const auto& e : table) order.push_back(e.second);
  EXPECT_EQ(order, (std::vector<int>{2, 4, 1, 3})) << "equal keys keep insertion order";
  EXPECT_TRUE(StringBase("a") == StringBase(std::string("a")));
  EXPECT_TRUE(StringBase("a") != StringBase("A"));
}

TEST(StringBase, Range_SelectsInclusiveAndNothingWhenReversed) {
  const StringBase s("LOC=W1");
  EXPECT_EQ(s.Extract(Port_Range(0, 2)), StringBase("LOC"));
  EXPECT_EQ(s.Extract(Port_Range(4, 100)), StringBase("W1")) << "clamped to the string";
  EXPECT_TRUE(s.Extract(Port_Range(3, 2)).IsEmpty());
  EXPECT_TRUE(s.Extract(Port_Range(6, 9)).IsEmpty());
  EXPECT_EQ(s.Extract(Port_Range(5, 5)), StringBase("1"));
  EXPECT_EQ(s.Compare(Port_Range(0, 2), StringBase("loc"), StringBase::IGNORE_CASE), 0);
  EXPECT_NE(s.Compare(Port_Range(0, 3), StringBase("loc"), StringBase::IGNORE_CASE), 0);
  EXPECT_EQ(s.Compare(Port_Range(1, 0), StringBase(""), StringBase::EXACT), 0);
}

TEST(StringBase, Search_ReturnsNposWhenAbsent) {
  const StringBase family("Ketral4-LX");
  EXPECT_EQ(StringBase::NPOS, 0xFFFFFFFFu);
  EXPECT_EQ(family.GetIndexOfString("ketral4", StringBase::IGNORE_CASE), 0u);
  EXPECT_EQ(family.GetIndexOfString("ketral4", StringBase::EXACT), StringBase::NPOS);
  EXPECT_EQ(family.GetIndexOfString("-lx", StringBase::IGNORE_CASE), 7u);
  EXPECT_EQ(family.GetIndexOfString("torvala3", StringBase::IGNORE_CASE), StringBase::NPOS);
  EXPECT_EQ(family.GetIndexOfString("Ketral4-LX and more", StringBase::IGNORE_CASE), StringBase::NPOS);
  EXPECT_EQ(family.GetIndexOfString("", StringBase::EXACT), 0u);
  EXPECT_EQ(family.GetIndexOfString(nullptr, StringBase::EXACT), StringBase::NPOS);

  const StringBase ucf(" loc = P12=x");
  EXPECT_EQ(ucf.GetIndexOfFirstChar('=', '\0'), 5u);
  EXPECT_EQ(StringBase("no equals").GetIndexOfFirstChar('=', '\0'), StringBase::NPOS);
  EXPECT_EQ(StringBase("a;b=c").GetIndexOfFirstChar('=', ';'), StringBase::NPOS) << "stops at ';'";
  EXPECT_EQ(StringBase().GetIndexOfFirstChar('=', '\0'), StringBase::NPOS);
}

TEST(StringBase, Trim_BothEndsOfTheSetOnly) {
  StringBase s(" \t io_is \t\t");
  s.Trim(" \t", StringBase::TRIM_BOTH);
  EXPECT_EQ(s, StringBase("io_is"));
  StringBase inner("  a \t b  ");
  inner.Trim(" \t", StringBase::TRIM_BOTH);
  EXPECT_EQ(inner, StringBase("a \t b"));
  StringBase blank(" \t \t");
  blank.Trim(" \t", StringBase::TRIM_BOTH);
  EXPECT_TRUE(blank.IsEmpty());
  StringBase tabsKept("\tx\t");
  tabsKept.Trim(" ", StringBase::TRIM_BOTH);
  EXPECT_EQ(tabsKept, StringBase("\tx\t"));
  StringBase lead("  x  ");
  lead.Trim(" ", StringBase::TRIM_LEADING);
  EXPECT_EQ(lead, StringBase("x  "));
}

TEST(StringBase, Format_ReplacesTheContent) {
  StringBase s("old text");
  EXPECT_EQ(s.Format("%d", 11), StringBase("11"));
  EXPECT_EQ(s, StringBase("11"));
  EXPECT_EQ(s.Format("%s_%d", "uart", 10), StringBase("uart_10"));
  EXPECT_EQ(s.Format("%d", static_cast<int>(2147483648u)), StringBase("-2147483648"));
  // An empty format is what is tested: a literal "" would be a zero-length format to g++, a
  // format that is no literal a risk to clang; both are meant here.
  const std::string empty;
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wformat-security"
#endif
  EXPECT_TRUE(s.Format(empty.c_str()).IsEmpty());
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
  EXPECT_TRUE(s.Format(nullptr).IsEmpty());
  const std::string longText(5000, 'x');
  EXPECT_EQ(s.Format("%s", longText.c_str()).GetLength(), 5000u);
}

TEST(StringBase, Value_CopiesAreIndependent) {
  StringBase a("net");
  StringBase b = a;
  b += "_1";
  a += static_cast<const char*>(nullptr);
  EXPECT_EQ(a, StringBase("net"));
  EXPECT_EQ(b, StringBase("net_1"));
  EXPECT_EQ(a + "_" + b, StringBase("net_net_1"));
  EXPECT_STREQ(StringBase(static_cast<const char*>(nullptr)).c_str(), "");
  EXPECT_EQ(StringBase("a\0b", 3).GetLength(), 3u);
}

}  // namespace
