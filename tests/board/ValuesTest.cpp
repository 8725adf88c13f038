// Value objects and their canonical text.
#include <gtest/gtest.h>

#include "BoardTestSupport.h"

namespace {

using LyrBase::ListBaseNodePtrVal;
using LyrBase::ListStrVal;

std::vector<StringBase> Items(const ListStrVal& v) { return v.GetValue(); }
std::vector<StringBase> Strings(std::initializer_list<const char*> items) {
  return std::vector<StringBase>(items.begin(), items.end());
}

TEST(Values, ListText_ReadsCanonicalListsOfZeroTwoOrMore) {
  struct Case {
    const char* text;
    std::vector<StringBase> items;
  };
  const Case cases[] = {
      {"()", {}},
      {"(a, b)", Strings({"a", "b"})},
      {"(LOC=W1, IOSTANDARD=LVCMOS33)", Strings({"LOC=W1", "IOSTANDARD=LVCMOS33"})},
      {"(\"\", x)", Strings({"", "x"})},
      {"(\" a\", \"b,c\", \"q\\\"\\\\\")", Strings({" a", "b,c", "q\"\\"})},
      {"(PERIOD = 10000 ps, x)", Strings({"PERIOD = 10000 ps", "x"})},
      // Not canonical, or a single element: the text itself is the one element.
      {"(a)", Strings({"(a)"})},
      {"(a,b)", Strings({"(a,b)"})},
      {"( a, b)", Strings({"( a, b)"})},
      {"(\"a\", \"b\")", Strings({"(\"a\", \"b\")"})},
      {"((a, b), c)", Strings({"((a, b), c)"})},
      {"(a, b", Strings({"(a, b"})},
      {"", Strings({""})},
      {"plain", Strings({"plain"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const ListStrVal value(c.text);
    EXPECT_EQ(Items(value), c.items);
    EXPECT_EQ(value.GetValueStr(), StringBase(c.text));
  }
  EXPECT_EQ(Items(ListStrVal(static_cast<const char*>(nullptr))), Strings({""}));
}

TEST(Values, ListText_IsItsOwnTextForRandomTexts) {
  std::mt19937 rng(20261208);
  for (int i = 0; i < 3000; ++i) {
    std::string text = boardtest::RandomText(rng, 12);
    // Lists of random items, written canonically, must come back as lists too.
    if (i % 3 == 0) {
      std::vector<StringBase> items;
      for (int n = i % 5; n > 0; --n) items.emplace_back(boardtest::RandomText(rng, 5));
      text = ListStrVal(items).GetValueStr().str();
      if (items.size() != 1) {
        EXPECT_EQ(Items(ListStrVal(text.c_str())), items) << text;
      }
    }
    EXPECT_EQ(ListStrVal(text.c_str()).GetValueStr().str(), text);
  }
}

TEST(Values, ListText_QuotesOnlyWhatMustBeQuoted) {
  EXPECT_EQ(ListStrVal(Strings({"only"})).GetValueStr(), StringBase("only"));
  EXPECT_EQ(ListStrVal(Strings({"needs, quoting"})).GetValueStr(), StringBase("needs, quoting"))
      << "a single element reads unchanged";
  EXPECT_EQ(ListStrVal(Strings({})).GetValueStr(), StringBase("()"));
  EXPECT_EQ(ListStrVal(Strings({"a b", "x=y", "C:\\dir", "é"})).GetValueStr(),
            StringBase("(a b, x=y, C:\\dir, é)"));
  EXPECT_EQ(ListStrVal(Strings({"", " lead", "trail\t", "a,b", "(p)", "q\"", "#c", "end\\",
                                "l\nf"}))
                .GetValueStr(),
            StringBase("(\"\", \" lead\", \"trail\\t\", \"a,b\", \"(p)\", \"q\\\"\", \"#c\", "
                       "\"end\\\\\", \"l\\nf\")"));
}

TEST(Values, ListOfLists_TextWritesSingleElementsBare) {
  ListBaseNodePtrVal range;
  range.Append(std::make_unique<ListStrVal>(Strings({"25000000", "100000000", "0"})));
  range.Append(std::make_unique<ListStrVal>(Strings({"125000000"})));
  range.Append(nullptr);
  EXPECT_EQ(range.GetValueStr(), StringBase("((25000000, 100000000, 0), 125000000)"));
  ASSERT_EQ(range.GetValue().size(), 2u);
  EXPECT_EQ(range.GetValue()[0]->GetOwner(), &range);

  ListBaseNodePtrVal one;
  one.Append(std::make_unique<ListStrVal>(Strings({"a", "b"})));
  EXPECT_EQ(one.GetValueStr(), StringBase("(a, b)"));

  ListBaseNodePtrVal quoted;
  quoted.Append(std::make_unique<ListStrVal>(Strings({"x, y"})));
  quoted.Append(std::make_unique<ListStrVal>(Strings({})));
  EXPECT_EQ(quoted.GetValueStr(), StringBase("(\"x, y\", ())"));
  EXPECT_EQ(ListBaseNodePtrVal().GetValueStr(), StringBase("()"));
}

}  // namespace
