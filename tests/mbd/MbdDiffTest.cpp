// The semantic diff: one table of edits to a small board and the records each gives, and what
// must not count (order, comments, spacing, case, synonyms).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MbdDiff.h"
#include "MbdTestSupport.h"

namespace {

const char* const kBase = R"(ATTRIBUTE VENDOR = Acme
ATTRIBUTE NAME = Demo
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  ATTRIBUTE FAMILY = ketral4
  PORT p_clk = sys_clk, UCF_NET_STRING = (LOC=E3, IOSTANDARD=LVCMOS33), DIR = I
  PORT p_led0 = led_0, UCF_NET_STRING = (LOC=H17, IOSTANDARD=LVCMOS33, DRIVE=8), DIR = O
  PORT p_btn = btn, UCF_NET_STRING = (LOC=N17, PULLUP=TRUE, PRE_EMPHASIS=LOW)
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = clk_0
  ATTRIBUTE IOTYPE = QOR_CLOCK_V1
  PARAMETER C_CLK_FREQ = 100000000, IO_IS = clk_freq, RANGE = ((100000000))
  PORT CLK = sys_clk, IO_IS = ext_clk
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = leds
  ATTRIBUTE IOTYPE = QOR_GPIO_V1
  PARAMETER C_GPIO_WIDTH = 1, IO_IS = gpio_width
  PORT LED0 = led_0, IO_IS = led_0
  PORT BTN = btn, IO_IS = btn
END
)";

// kBase with `from` replaced by `to` (the first occurrence, which must exist).
std::string Edit(const std::string& from, const std::string& to) {
  std::string text = kBase;
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::vector<std::string> Diff(const std::string& a, const std::string& b,
                              MbdDiff::DiffOptions options = MbdDiff::DiffOptions()) {
  auto qa = mbdtest::ReadBoard(a), qb = mbdtest::ReadBoard(b);
  std::vector<std::string> lines;
  for (const MbdDiff::Record& r : MbdDiff::DiffBoards(*qa, *qb, options))
    lines.push_back(MbdDiff::FormatRecord(r));
  return lines;
}

struct DiffCase {
  const char* what;
  std::string after;
  std::vector<std::string> records;
};

TEST(MbdDiff, Edits_GiveOneRecordEach) {
  const DiffCase cases[] = {
      {"nothing", kBase, {}},
      {"a moved ball", Edit("LOC=H17", "LOC=H18"), {"pin led_0: moved H17 -> H18"}},
      {"a changed setting", Edit("DRIVE=8", "DRIVE=12"), {"pin led_0: drive 8 -> 12"}},
      {"a setting added", Edit("PULLUP=TRUE,", "PULLUP=TRUE, SLEW=FAST,"), {"pin btn: slew (none) -> FAST"}},
      {"a pass-through changed", Edit("PRE_EMPHASIS=LOW", "PRE_EMPHASIS=HIGH"),
       {"pin btn: PRE_EMPHASIS LOW -> HIGH"}},
      {"a direction changed", Edit("DRIVE=8), DIR = O", "DRIVE=8), DIR = IO"),
       {"pin led_0: direction out -> inout"}},
      {"a renamed FPGA net: the pin found by its ball",
       Edit("p_btn = btn,", "p_btn = button,"), {"pin btn: renamed btn -> button"}},
      {"a pin removed", Edit("  PORT p_btn = btn, UCF_NET_STRING = (LOC=N17, PULLUP=TRUE, PRE_EMPHASIS=LOW)\n", ""),
       {"pin btn: removed (N17)"}},
      {"a clock's frequency", Edit("C_CLK_FREQ = 100000000", "C_CLK_FREQ = 125000000"),
       {"pin sys_clk: frequency 100000000 Hz -> 125000000 Hz",
        "clock clk_0: frequency 100000000 -> 125000000"}},
      {"a clock's range", Edit("RANGE = ((100000000))", "RANGE = ((25000000, 100000000))"),
       {"clock clk_0: range ((100000000)) -> ((25000000, 100000000))"}},
      {"a port on another net", Edit("PORT LED0 = led_0", "PORT LED0 = btn"),
       {"port leds.LED0: net led_0 -> btn"}},
      {"a parameter", Edit("C_GPIO_WIDTH = 1", "C_GPIO_WIDTH = 2"),
       {"parameter leds.C_GPIO_WIDTH: value 1 -> 2"}},
      {"an instance added", std::string(kBase) + "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = u\n  ATTRIBUTE IOTYPE = QOR_UART_V1\nEND\n",
       {"instance u: added (QOR_UART_V1)"}},
      {"the FPGA part", Edit("FAMILY = ketral4", "FAMILY = ketral5"),
       {"attribute fpga_0.FAMILY: value ketral4 -> ketral5"}},
      {"a board attribute", Edit("NAME = Demo", "NAME = Demo2"), {"attribute NAME: value Demo -> Demo2"}},
  };
  for (const DiffCase& c : cases) EXPECT_EQ(Diff(kBase, c.after), c.records) << c.what;
}

TEST(MbdDiff, RenamedNet_IsOneRecordAndThePortFollows) {
  std::string renamed = Edit("p_btn = btn,", "p_btn = button,");
  renamed.replace(renamed.find("PORT BTN = btn"), 14, "PORT BTN = button");
  EXPECT_EQ(Diff(kBase, renamed), (std::vector<std::string>{"pin btn: renamed btn -> button"}));
}

TEST(MbdDiff, OrderCommentsSpacingCaseAndSynonyms_DoNotCount) {
  const std::string other = R"(# the same board, written otherwise
ATTRIBUTE NAME = Demo
ATTRIBUTE VENDOR = Acme
BEGIN BLOCK
  ATTRIBUTE INSTANCE = LEDS
  ATTRIBUTE IOTYPE = QOR_GPIO_V1
  PORT btn = BTN, IO_IS = BTN
  PORT LED0 = led_0, IO_IS = led_0
  PARAMETER C_GPIO_WIDTH = 1, IO_IS = gpio_width
END
BEGIN BLOCK
  ATTRIBUTE BLOCKTYPE = FPGA
  ATTRIBUTE INSTANCE = fpga_0
  ATTRIBUTE FAMILY = ketral4
  PORT x = BTN, UCF_NET_STRING = (LOC = N17, PULLMODE=UP, pre_emphasis=LOW)
  PORT y = led_0, UCF_NET_STRING = ("IOSTANDARD=LVCMOS33 DRIVE=8mA", LOC=H17), DIR = out
  PORT z = sys_clk, UCF_NET_STRING = (LOC=E3, IO_STANDARD=LVCMOS33, "PERIOD = 10 ns"), DIR = input
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = clk_0
  ATTRIBUTE IOTYPE = QOR_CLOCK_V1
  PARAMETER C_CLK_FREQ = 100000000, IO_IS = clk_freq, RANGE = ((100000000))
  PORT CLK = sys_clk, IO_IS = ext_clk
END
)";
  EXPECT_EQ(Diff(kBase, other), std::vector<std::string>{});
  EXPECT_EQ(Diff(other, kBase), std::vector<std::string>{});
}

TEST(MbdDiff, PinsOnly_IgnoresInstancesAndAttributes) {
  MbdDiff::DiffOptions pinsOnly;
  pinsOnly.instances = false;
  const std::string after = Edit("NAME = Demo", "NAME = X") +
                            "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = u\nEND\n";
  EXPECT_EQ(Diff(kBase, after, pinsOnly), std::vector<std::string>{});
  EXPECT_EQ(Diff(kBase, Edit("LOC=E3", "LOC=E4"), pinsOnly),
            (std::vector<std::string>{"pin sys_clk: moved E3 -> E4"}));
}

TEST(MbdDiff, PinsAddedAndRemovedKeepBoardOrder) {
  const std::string after = Edit("PORT p_clk = sys_clk", "PORT p_new = fresh, UCF_NET_STRING = (LOC=A1)\n  PORT p_clk = sys_clk");
  EXPECT_EQ(Diff(kBase, after), (std::vector<std::string>{"pin fresh: added (A1)"}));
  EXPECT_EQ(Diff(after, kBase), (std::vector<std::string>{"pin fresh: removed (A1)"}));
}

}  // namespace
