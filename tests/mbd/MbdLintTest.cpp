#include <gmock/gmock.h>
#include <set>

#include "MbdLint.h"
#include "MbdTestSupport.h"

namespace {

// Every registered check has a unique code, a summary and a function, and runs on a board.
TEST(MbdLint, Checks_AreCompleteAndFindableIgnoringCase) {
  std::set<std::string> codes;
  for (const MbdLint::Check& check : MbdLint::Checks()) {
    EXPECT_TRUE(codes.insert(check.code).second) << check.code;
    EXPECT_NE(check.run, nullptr) << check.code;
    EXPECT_EQ(MbdLint::FindCheck(check.code), &check);
  }
  EXPECT_EQ(MbdLint::FindCheck("qbd005"), MbdLint::FindCheck("QBD005"));
  EXPECT_EQ(MbdLint::FindCheck("QBD999"), nullptr);
}

TEST(MbdLint, Findings_AreRecordsInLineOrder) {
  auto qbd = mbdtest::ReadBoard(R"(BEGIN BLOCK fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT a = n1, UCF_NET_STRING = (LOC=A1, PULLUP, "PULL_MODE=UP DRIVE=8")
  PORT b = n2, UCF_NET_STRING = ("FAST_OUTPUT_REGISTER ON", LOC=a1)
END
)");
  const std::vector<MbdLint::Finding> findings = MbdLint::LintBoard(*qbd, "b.qbd");
  std::vector<std::string> texts;
  for (const MbdLint::Finding& f : findings) texts.push_back(MbdLint::FormatFinding(f));
  EXPECT_THAT(texts,
              ::testing::ElementsAre(
                  ::testing::StartsWith("<string>:4:3: error: pin conflict: FPGA pin "
                                        "\"fpga_0.b\" is at location \"a1\""),
                  ::testing::AllOf(::testing::StartsWith("<string>:4:"),
                                   ::testing::HasSubstr("\"FAST_OUTPUT_REGISTER ON\""),
                                   ::testing::HasSubstr("a plain flag"),
                                   ::testing::EndsWith("[QBD005]"))));
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(findings[1].severity, MbdLint::Severity::Warning);
  EXPECT_EQ(findings[0].line, 4u);
}

std::vector<std::string> Codes(const char* board) {
  auto qbd = mbdtest::ReadBoard(board);
  std::vector<std::string> codes;
  for (const MbdLint::Finding& f : MbdLint::LintBoard(*qbd, "b.qbd"))
    codes.push_back(f.code + ":" + std::to_string(f.line));
  return codes;
}

// A pin that repeats its own LOC has two LOCs, not a conflict with itself; two pins at one
// place are a conflict whatever else they carry.
TEST(MbdLint, Locations_OwnRepeatIsNoConflict) {
  EXPECT_THAT(Codes(R"(BEGIN BLOCK fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT a = n1, UCF_NET_STRING = (LOC=A1, "loc = A1")
  PORT b = n2, UCF_NET_STRING = (LOC=B1)
  PORT c = n3, UCF_NET_STRING = (LOC=b1, LOC=C1)
  PORT d = n4
END
)"),
              ::testing::ElementsAre("QBD016:3", "QBD004:5", "QBD016:5", "QBD003:6"));
}

// A shared net is one finding per instance, however many of its ports sit on it, and none
// for alternatives, whichever of them comes first.
TEST(MbdLint, SharedNets_OncePerInstance) {
  EXPECT_THAT(Codes(R"(BEGIN BLOCK fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT a = n, UCF_NET_STRING = (LOC=A1)
END
BEGIN BLOCK x
  ATTRIBUTE IOTYPE = T
  ATTRIBUTE EXCLUSIVE = g
  PORT p = n
END
BEGIN BLOCK y
  ATTRIBUTE IOTYPE = T
  ATTRIBUTE EXCLUSIVE = G
  PORT p = N
  PORT q = n
END
BEGIN BLOCK z
  ATTRIBUTE IOTYPE = T
  PORT p = n
  PORT q = n
END
)"),
              ::testing::ElementsAre("QBD020:18"));
}

}  // namespace
