// The draft builder: grouping heuristics on small hand-made pin tables, the board it prints,
// the guesses it reports, and that the draft lints with warnings only where it guessed.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "MbdImport.h"
#include "MbdLint.h"
#include "MbdRules.h"
#include "MbdTestSupport.h"

namespace {

using MbdImport::BuildDraft;
using MbdImport::Draft;
using MbdImport::DraftOptions;
using MbdImport::GuessKind;
using MbdPins::PinRow;
using MbdPins::PinTable;

PinRow Row(const std::string& name, const std::string& loc, const std::string& heading = "",
           double hz = 0) {
  PinRow row;
  row.name = name;
  row.settings.location = loc;
  row.heading = heading;
  row.settings.frequencyHz = hz;
  row.file = "pins.xdc";
  row.line = 1;
  return row;
}

PinRow Named(PinRow row, const std::string& instance) {
  row.instance = instance;
  return row;
}

PinTable Table(std::vector<PinRow> rows) {
  PinTable table;
  table.source = "pins.xdc";
  table.rows = std::move(rows);
  return table;
}

// Net -> the instance whose port is on it (the first in board order).
std::map<std::string, std::string> InstanceOfNet(const LyrBoard::Qbd& board) {
  std::map<std::string, std::string> out;
  for (const LyrBoard::QbdBlock* block : mbdtest::Blocks(board)) {
    if (MbdRules::IsFpgaBlock(block)) continue;
    for (const LyrBase::Property* port : block->GetPropSeqRef(LyrBoard::QbdBlock::PORT))
      out.emplace(port->GetValueStr().str(), block->GetName().str());
  }
  return out;
}

std::size_t Count(const Draft& draft, GuessKind kind) {
  return static_cast<std::size_t>(std::count_if(draft.guesses.begin(), draft.guesses.end(),
                                                [&](const auto& g) { return g.kind == kind; }));
}

std::vector<MbdLint::Finding> Lint(const Draft& draft) {
  return MbdLint::LintBoard(*draft.board, "draft.qbd");
}

TEST(MbdImport, Draft_PrintsTheGroupedBoard) {
  PinTable table = Table({Row("clk", "E3", "", 100e6), Row("led[0]", "H17"), Row("led[1]", "K15"),
                          Row("uart_tx", "D4"), Row("uart_rx", "C4")});
  table.rows[1].settings.ioStandard = "LVCMOS33";
  table.rows[1].settings.direction = MbdPins::Direction::Out;
  table.rows[3].settings.pull = MbdPins::Pull::Up;
  DraftOptions options;
  options.family = "ketral4";
  options.device = "k4fx20";
  options.vendor = "Acme";
  options.name = "Demo";
  options.revision = "B";
  const Draft draft = BuildDraft(table, options);
  EXPECT_EQ(draft.board->WriteString().str(), R"(ATTRIBUTE VENDOR = Acme
ATTRIBUTE NAME = Demo
ATTRIBUTE REVISION = B
ATTRIBUTE LONG_DESC = Drafted from pins.xdc

BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  ATTRIBUTE FAMILY = ketral4
  ATTRIBUTE DEVICE = k4fx20
  PORT fpga_clk = clk, UCF_NET_STRING = (LOC=E3)
  PORT fpga_led_0 = led[0], UCF_NET_STRING = (LOC=H17, IOSTANDARD=LVCMOS33), DIR = O
  PORT fpga_led_1 = led[1], UCF_NET_STRING = (LOC=K15)
  PORT fpga_uart_tx = uart_tx, UCF_NET_STRING = (LOC=D4, PULLUP=TRUE)
  PORT fpga_uart_rx = uart_rx, UCF_NET_STRING = (LOC=C4)
END

BEGIN BLOCK
  ATTRIBUTE INSTANCE = clk
  ATTRIBUTE IOTYPE = QOR_CLOCK_V1
  PARAMETER C_CLK_FREQ = 100000000, IO_IS = clk_freq, RANGE = ((100000000))
  PORT CLK = clk, IO_IS = ext_clk
END

BEGIN BLOCK
  ATTRIBUTE INSTANCE = led
  ATTRIBUTE IOTYPE = QOR_GPIO_V1
  PORT led_0 = led[0], IO_IS = led_0, DIR = O
  PORT led_1 = led[1], IO_IS = led_1
END

BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart
  ATTRIBUTE IOTYPE = QOR_GPIO_V1
  PORT uart_tx = uart_tx, IO_IS = uart_tx
  PORT uart_rx = uart_rx, IO_IS = uart_rx
END
)");
  // The printed draft reads back as a board.
  LyrBoard::Qbd again;
  EXPECT_EQ(again.ReadString(draft.board->WriteString().c_str()), 0) << again.GetErrorText().c_str();
  EXPECT_EQ(Count(draft, GuessKind::IoType), 2u);
  EXPECT_EQ(Count(draft, GuessKind::ClockRange), 1u);
  EXPECT_EQ(Count(draft, GuessKind::Group), 3u);
  EXPECT_EQ(Count(draft, GuessKind::Identity), 0u);
}

struct GroupCase {
  const char* what;
  std::vector<PinRow> rows;
  std::map<std::string, std::string> instanceOfNet;
};

TEST(MbdImport, Draft_GroupsByWhatTheFileShows) {
  const GroupCase cases[] = {
      {"bus stems, one instance per stem",
       {Row("sw[0]", "A1"), Row("sw[1]", "A2"), Row("btn[0]", "B1")},
       {{"sw[0]", "sw"}, {"sw[1]", "sw"}, {"btn[0]", "btn"}}},
      {"_p/_n pairs join, an unpaired _p does not pair",
       {Row("lvds_p", "A1"), Row("lvds_n", "A2"), Row("gpio_p", "B1")},
       {{"lvds_p", "lvds"}, {"lvds_n", "lvds"}, {"gpio_p", "gpio_p"}}},
      {"comment headings group whatever names they hold",
       {Row("btnc", "A1", "Buttons"), Row("btnu", "A2", "Buttons"), Row("sw0", "B1", "Switches")},
       {{"btnc", "buttons"}, {"btnu", "buttons"}, {"sw0", "switches"}}},
      {"a heading above every line is a title, not a group",
       {Row("uart_tx", "A1", "Board X pins"), Row("uart_rx", "A2", "Board X pins"),
        Row("led0", "B1", "Board X pins"), Row("led1", "B2", "Board X pins")},
       {{"uart_tx", "uart"}, {"uart_rx", "uart"}, {"led0", "led"}, {"led1", "led"}}},
      {"a clock leaves its heading for a clock instance, its pair's N side with it",
       {Row("sysclk_p", "A1", "Clocks", 200e6), Row("sysclk_n", "A2", "Clocks"),
        Row("other", "B1", "Clocks"), Row("x", "C1", "More")},
       {{"sysclk_p", "sysclk"}, {"sysclk_n", "sysclk"}, {"other", "clocks"}, {"x", "more"}}},
      {"an instance the file names keeps its pins, clocks of two frequencies among them",
       {Named(Row("clk_a", "A1", "", 100e6), "osc"), Named(Row("clk_b", "A2", "", 50e6), "osc"),
        Named(Row("clk_c", "A3", "", 25e6), "xo"), Named(Row("clk_d", "A4", "", 25e6), "xo")},
       {{"clk_a", "osc"}, {"clk_b", "osc"}, {"clk_c", "xo"}, {"clk_d", "xo"}}},
      {"instance names stay unique ignoring case and never take the FPGA block's",
       {Row("fpga_0", "A1"), Row("LED", "A2", "led"), Row("x", "A3", "Led!")},
       {{"fpga_0", "fpga_0_2"}, {"LED", "led"}, {"x", "led_2"}}},
  };
  for (const GroupCase& c : cases) {
    const Draft draft = BuildDraft(Table(c.rows), DraftOptions());
    EXPECT_EQ(InstanceOfNet(*draft.board), c.instanceOfNet) << c.what;
    for (const MbdLint::Finding& f : Lint(draft))
      EXPECT_NE(f.severity, MbdLint::Severity::Error) << c.what << ": " << MbdLint::FormatFinding(f);
  }
}

TEST(MbdImport, Draft_ClocksOfTwoFrequenciesInOneInstanceKeepThemOnTheirPins) {
  const Draft draft = BuildDraft(Table({Named(Row("clk_a", "A1", "", 100e6), "osc"),
                                        Named(Row("clk_b", "A2", "", 50e6), "osc")}),
                                 DraftOptions());
  const std::string text = draft.board->WriteString().str();
  EXPECT_NE(text.find("FREQUENCY = 100000000 Hz"), std::string::npos) << text;
  EXPECT_NE(text.find("FREQUENCY = 50000000 Hz"), std::string::npos) << text;
  EXPECT_EQ(text.find("QOR_CLOCK_V1"), std::string::npos) << text;
}

TEST(MbdImport, Draft_SameBallInTwoLineSetsMakesAlternatives) {
  const Draft draft = BuildDraft(Table({Row("ja[0]", "G13", "Pmod JA"), Row("ja[1]", "B11", "Pmod JA"),
                                        Row("spi_sck", "G13", "Pmod JA as SPI"),
                                        Row("spi_mosi", "B11", "Pmod JA as SPI")}),
                                 DraftOptions());
  auto blocks = mbdtest::Blocks(*draft.board);
  ASSERT_EQ(blocks.size(), 3u);
  // One pin per ball; the SPI ports ride on the GPIO nets.
  EXPECT_EQ(blocks[0]->GetPropSeqRef(LyrBoard::QbdBlock::PORT).size(), 2u);
  EXPECT_EQ(InstanceOfNet(*draft.board),
            (std::map<std::string, std::string>{{"ja[0]", "pmod_ja"}, {"ja[1]", "pmod_ja"}}));
  EXPECT_TRUE(MbdRules::AreAlternatives(*blocks[1], *blocks[2]));
  EXPECT_EQ(mbdtest::PropNames(*blocks[2], LyrBoard::QbdBlock::PORT),
            (std::vector<std::string>{"spi_sck", "spi_mosi"}));
  EXPECT_EQ(Count(draft, GuessKind::Exclusive), 1u);
  for (const MbdLint::Finding& f : Lint(draft))
    ADD_FAILURE() << MbdLint::FormatFinding(f);
}

TEST(MbdImport, Draft_SameBallInOneGroupIsAConflictTheFirstLineWins) {
  const Draft draft = BuildDraft(Table({Row("a_0", "A1"), Row("a_1", "A1")}), DraftOptions());
  EXPECT_EQ(mbdtest::Blocks(*draft.board)[0]->GetPropSeqRef(LyrBoard::QbdBlock::PORT).size(), 1u);
  EXPECT_EQ(Count(draft, GuessKind::Conflict), 1u);
  EXPECT_EQ(InstanceOfNet(*draft.board), (std::map<std::string, std::string>{{"a_0", "a"}}));
}

TEST(MbdImport, Draft_LintWarnsOnlyWhereItGuessed) {
  // A clean table: the draft lints clean.
  Draft draft = BuildDraft(Table({Row("a", "A1"), Row("b", "A2")}), DraftOptions());
  EXPECT_TRUE(Lint(draft).empty());
  // A pin without a location: a warning, and a guess that names it.
  draft = BuildDraft(Table({Row("a", "A1"), Row("b", "")}), DraftOptions());
  const auto findings = Lint(draft);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].severity, MbdLint::Severity::Warning);
  EXPECT_EQ(Count(draft, GuessKind::NoLocation), 1u);
}

TEST(MbdImport, Draft_HostileNamesStayUniqueAndPrintable) {
  const Draft draft =
      BuildDraft(Table({Row("LED", "A1"), Row("led", "A2"), Row("a\"b,c(d)#e", "A3"),
                        Row("tab\there", "A4"), Row("", "A5"), Row("led[7]", "A6"), Row("led_7", "A7")}),
                 DraftOptions());
  const std::string text = draft.board->WriteString().str();
  LyrBoard::Qbd again;
  ASSERT_EQ(again.ReadString(text.c_str()), 0) << again.GetErrorText().c_str() << "\n" << text;
  EXPECT_EQ(again.WriteString().str(), text);
  EXPECT_TRUE(Lint(draft).empty()) << text;
  const auto nets = InstanceOfNet(*draft.board);
  for (const char* net : {"LED", "led_2", "a\"b,c(d)#e", "tab_here", "unnamed", "led[7]", "led_7"})
    EXPECT_EQ(nets.count(net), 1u) << net << "\n" << text;
  EXPECT_EQ(Count(draft, GuessKind::Rename), 3u);  // led, the tab, the empty name
}

TEST(MbdImport, Draft_PassThroughIsReportedOncePerKey) {
  std::vector<PinRow> rows;
  for (int i = 0; i < 3; ++i) {
    rows.push_back(Row("d" + std::to_string(i), "A" + std::to_string(i)));
    rows.back().settings.passThrough.push_back({"PRE_EMPHASIS", "LOW", true});
  }
  rows[0].settings.passThrough.push_back({"IN_TERM", "", false});
  const Draft draft = BuildDraft(Table(rows), DraftOptions());
  EXPECT_EQ(Count(draft, GuessKind::PassThrough), 2u);
  const std::string text = draft.board->WriteString().str();
  EXPECT_NE(text.find("(LOC=A0, PRE_EMPHASIS=LOW, IN_TERM)"), std::string::npos) << text;
}

TEST(MbdImport, Draft_MissingIdentityAndPartAreReported) {
  const Draft draft = BuildDraft(Table({Row("a", "A1")}), DraftOptions());
  EXPECT_EQ(Count(draft, GuessKind::Identity), 2u);
  const std::string text = draft.board->WriteString().str();
  EXPECT_NE(text.find("ATTRIBUTE NAME = pins\n"), std::string::npos) << text;
}

TEST(MbdImport, Draft_ReaderStringsAreWrittenAsGiven) {
  PinTable table = Table({Row("a", "A1")});
  table.rows[0].strings = {"LOC=A1", "IOSTANDARD=LVDS_25", "DIFF_TERM=TRUE"};
  const Draft draft = BuildDraft(table, DraftOptions());
  EXPECT_NE(draft.board->WriteString().str().find("(LOC=A1, IOSTANDARD=LVDS_25, DIFF_TERM=TRUE)"),
            std::string::npos);
}

TEST(MbdImport, Draft_EmptyTableGivesAnFpgaBlockAlone) {
  const Draft draft = BuildDraft(Table({}), DraftOptions());
  ASSERT_EQ(mbdtest::Blocks(*draft.board).size(), 1u);
  EXPECT_TRUE(MbdRules::IsFpgaBlock(mbdtest::Blocks(*draft.board)[0]));
}

}  // namespace
