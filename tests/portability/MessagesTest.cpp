#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "Portability.h"

namespace {

TEST(Messages, Sink_ReceivesFormattedTracesAndErrors) {
  Port_MsgCapture capture;
  Port_MsgManData::debugStub("There is no such instance found in QBD:%s\n", "uart_9");
  auto reporter = Port_MsgManData::createObject("VLK", "s/LyrWiz_BoardTclIf.cpp", 120, "1.7");
  reporter->issueError("cannot source %s (%d)", "qorlib_qbd.tcl", 2);
  ASSERT_EQ(capture.messages().size(), 2u);
  EXPECT_EQ(capture.messages()[0].kind, Port_MsgKind::Trace);
  EXPECT_EQ(capture.messages()[0].text, "There is no such instance found in QBD:uart_9\n");
  EXPECT_EQ(capture.messages()[1].kind, Port_MsgKind::Error);
  const std::string& error = capture.messages()[1].text;
  EXPECT_EQ(error.rfind("cannot source qorlib_qbd.tcl (2)", 0), 0u) << error;
  EXPECT_NE(error.find("VLK"), std::string::npos);
  EXPECT_NE(error.find("s/LyrWiz_BoardTclIf.cpp"), std::string::npos);
  EXPECT_NE(error.find("1.7"), std::string::npos);
}

TEST(Messages, SetSink_ReturnsThePreviousAndEmptyRestoresTheDefault) {
  std::vector<std::string> first;
  Port_MsgSink original = Port_MsgManData::setSink(
      [&](Port_MsgKind, const std::string& text) { first.push_back(text); });
  Port_MsgSink mine = Port_MsgManData::setSink(Port_MsgSink());
  ASSERT_TRUE(mine);
  mine(Port_MsgKind::Trace, "through the returned sink");
  EXPECT_EQ(first, std::vector<std::string>{"through the returned sink"});

  // Back on the default: an error goes to standard error.
  testing::internal::CaptureStderr();
  Port_MsgManData::createObject("VLK", "f.cpp", 1, "r")->issueError("boom %d", 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("boom 1", 0), 0u);
  Port_MsgManData::setSink(original);
}

TEST(Messages, DefaultSink_PrintsTracesOnlyWhenAsked) {
  Port_MsgSink original = Port_MsgManData::setSink(Port_MsgSink());
  struct Setting {
    const char* value;  // null: unset
    bool printed;
  };
  const Setting settings[] = {{nullptr, false}, {"", false}, {"0", false}, {"1", true}, {"yes", true}};
  for (const Setting& s : settings) {
    SCOPED_TRACE(s.value ? s.value : "(unset)");
    if (s.value)
      ::setenv("QBD_TRACE", s.value, 1);
    else
      ::unsetenv("QBD_TRACE");
    testing::internal::CaptureStderr();
    Port_MsgManData::debugStub("trace %s\n", "line");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), s.printed ? "trace line\n" : "");
  }
  ::unsetenv("QBD_TRACE");
  Port_MsgManData::setSink(original);
}

}  // namespace

TEST(Messages, Capture_NestsAndRestoresThePreviousSink) {
  Port_MsgCapture outer;
  {
    Port_MsgCapture inner;
    Port_MsgManData::debugStub("a %d\n", 1);
    EXPECT_EQ(inner.text(), "a 1\n");
  }
  Port_MsgManData::debugStub("b\n");
  ASSERT_EQ(outer.messages().size(), 1u);
  EXPECT_EQ(outer.texts(Port_MsgKind::Trace), std::vector<std::string>{"b\n"});
  EXPECT_TRUE(outer.texts(Port_MsgKind::Error).empty());
}
