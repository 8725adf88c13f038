// The format registry: names and file types found as users type them, and the formats that can
// state a setting, as readers, hover and docs ask.
#include <gtest/gtest.h>

#include "MbdConstraintWriter.h"

namespace {

using MbdFormats::Setting;

TEST(FormatRegistry, FindFormat_IgnoresCaseAndRefusesUnknown) {
  ASSERT_NE(MbdFormats::FindFormat("XDC"), nullptr);
  EXPECT_STREQ(MbdFormats::FindFormat("XDC")->name, "xdc");
  EXPECT_EQ(MbdFormats::FindFormat("xd"), nullptr);
  EXPECT_EQ(MbdFormats::FindFormat(""), nullptr);
}

TEST(FormatRegistry, FormatForFile_ByExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"board/top.LPF", "lpf"}, {"a.b/pins.pcf", "pcf"}, {"x.qsf", "qsf"},
      {"x.sdc", "sdc"},         {"a.pcf/readme", nullptr}, {"noext", nullptr}, {"x.v", nullptr}};
  for (const auto& [path, format] : cases) {
    const MbdFormats::FormatInfo* info = MbdFormats::FormatForFile(path);
    if (!format) {
      EXPECT_EQ(info, nullptr) << path;
    } else {
      ASSERT_NE(info, nullptr) << path;
      EXPECT_STREQ(info->name, format) << path;
    }
  }
}

TEST(FormatRegistry, FormatsExpressing_InRegistryOrder) {
  EXPECT_EQ(MbdFormats::FormatsExpressing(Setting::Keeper),
            (std::vector<std::string>{"ucf", "xdc", "cst", "qsf", "pdc", "ccf", "csv", "json"}));
  EXPECT_EQ(MbdFormats::FormatsExpressing(Setting::Direction),
            (std::vector<std::string>{"pdc", "csv", "json"}));
  EXPECT_FALSE(MbdFormats::Expresses("pcf", Setting::IoStandard));
  EXPECT_TRUE(MbdFormats::Expresses("PCF", Setting::Clock));
  EXPECT_FALSE(MbdFormats::Expresses("nope", Setting::Location));
}

TEST(FormatRegistry, WriterFormats_EveryOneWrites) {
  const std::vector<std::string>& names = MbdFormats::WriterFormats();
  ASSERT_EQ(names.size(), MbdFormats::Formats().size());
  for (const std::string& name : names) {
    MbdFormats::WriteOutput out;
    EXPECT_TRUE(MbdFormats::WriteConstraints(name, {}, {}, out)) << name;
  }
}

TEST(FormatRegistry, KnowsPassThrough_PerFormat) {
  EXPECT_TRUE(MbdFormats::KnowsPassThrough("xdc", "diff_term"));
  EXPECT_FALSE(MbdFormats::KnowsPassThrough("xdc", "FOO"));
  EXPECT_TRUE(MbdFormats::KnowsPassThrough("ucf", "FOO"));
  EXPECT_FALSE(MbdFormats::KnowsPassThrough("pcf", "DIFF_TERM"));
  EXPECT_FALSE(MbdFormats::KnowsPassThrough("nope", "DIFF_TERM"));
}

}  // namespace
