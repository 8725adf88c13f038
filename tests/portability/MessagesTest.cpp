#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>
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

// Senders keep sending while the sink is swapped back and forth; every message must reach
// exactly one of the two sinks, whole.
TEST(Messages, SetSink_WhileOtherThreadsSend) {
  std::atomic<long> first{0}, second{0}, mangled{0};
  auto counter = [&mangled](std::atomic<long>& count) {
    return [&count, &mangled](Port_MsgKind, const std::string& text) {
      if (text != "tick 7") ++mangled;
      ++count;
    };
  };
  const Port_MsgSink previous = Port_MsgManData::setSink(counter(first));
  constexpr int kPerThread = 20000;
  std::vector<std::thread> senders;
  for (int t = 0; t < 3; ++t)
    senders.emplace_back([] {
      for (int i = 0; i < kPerThread; ++i) Port_MsgManData::debugStub("tick %d", 7);
    });
  for (int i = 0; i < 2000; ++i) Port_MsgManData::setSink(counter(i % 2 ? first : second));
  for (std::thread& t : senders) t.join();
  Port_MsgManData::setSink(previous);
  EXPECT_EQ(first + second, 3L * kPerThread);
  EXPECT_EQ(mangled, 0);
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

// Captures on two threads while three others send: each capture holds exactly the messages of
// its own thread, nested ones included, and no sender's message is lost to a capture.
TEST(Messages, Capture_TakesOnlyItsOwnThreadsMessagesWhileOthersSend) {
  std::atomic<long> delivered{0};
  const Port_MsgSink previous = Port_MsgManData::setSink(
      [&delivered](Port_MsgKind, const std::string&) { ++delivered; });
  constexpr int kPerSender = 5000;
  constexpr int kRounds = 300;
  std::atomic<bool> start{false};
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 3; ++t)
    threads.emplace_back([&start] {
      while (!start.load()) std::this_thread::yield();
      for (int i = 0; i < kPerSender; ++i) Port_MsgManData::debugStub("tick %d", 7);
    });
  for (int c = 0; c < 2; ++c)
    threads.emplace_back([&start, &wrong, c] {
      while (!start.load()) std::this_thread::yield();
      for (int round = 0; round < kRounds; ++round) {
        Port_MsgCapture outer;
        Port_MsgManData::debugStub("outer %d", c);
        {
          Port_MsgCapture inner;
          Port_MsgManData::createObject("T", "f.cpp", 1, "r")->issueError("inner %d", c);
          if (inner.messages().size() != 1 || inner.messages()[0].kind != Port_MsgKind::Error ||
              inner.text().rfind("inner " + std::to_string(c), 0) != 0)
            ++wrong;
        }
        Port_MsgManData::debugStub("again %d", c);
        const std::string mine = std::to_string(c);
        if (outer.texts(Port_MsgKind::Trace) != std::vector<std::string>{"outer " + mine, "again " + mine} ||
            !outer.texts(Port_MsgKind::Error).empty())
          ++wrong;
      }
    });
  start = true;
  for (std::thread& t : threads) t.join();
  Port_MsgManData::setSink(previous);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(delivered, 3L * kPerSender);
}
