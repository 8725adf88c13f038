#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "MBD.h"
#include "MbdConstraintWriter.h"
#include "MbdPinTable.h"
#include "MbdTestSupport.h"

namespace {

using MbdPins::Direction;
using MbdPins::PairSide;
using MbdPins::PinSettings;
using MbdPins::PinTable;
using MbdPins::Pull;
using MbdPins::TableOptions;
using mbdtest::ReadBoard;

PinSettings Read(const std::vector<std::string>& strings) {
  return MbdPins::ReadSettings(std::vector<StringBase>(strings.begin(), strings.end()));
}

struct SettingCase {
  std::vector<std::string> strings;
  std::string ioStandard;
  Pull pull;
  std::string drive;
  std::string slew;
  std::string termination;
  double frequencyHz;
};

TEST(MbdPinTable, ReadSettings_SynonymsReadAsOneMeaning) {
  const SettingCase cases[] = {
      {{"IOSTANDARD=LVCMOS33"}, "LVCMOS33", Pull::Unset, "", "", "", 0},
      {{"IO_TYPE = LVCMOS25"}, "LVCMOS25", Pull::Unset, "", "", "", 0},
      {{"io_standard=3.3-V LVTTL"}, "3.3-V LVTTL", Pull::Unset, "", "", "", 0},
      {{"PULLUP"}, "", Pull::Up, "", "", "", 0},
      {{"PULLUP=TRUE"}, "", Pull::Up, "", "", "", 0},
      {{"pullup=false"}, "", Pull::None, "", "", "", 0},
      {{"PULL_MODE=UP"}, "", Pull::Up, "", "", "", 0},
      {{"PULLMODE=down"}, "", Pull::Down, "", "", "", 0},
      {{"PULLDOWN"}, "", Pull::Down, "", "", "", 0},
      {{"KEEPER"}, "", Pull::Keeper, "", "", "", 0},
      {{"PULL_MODE=BUS_KEEPER"}, "", Pull::Keeper, "", "", "", 0},
      {{"RES_PULL=None"}, "", Pull::None, "", "", "", 0},
      {{"WEAK_PULL_UP_RESISTOR=ON"}, "", Pull::Up, "", "", "", 0},
      {{"PULLTYPE=PULLDOWN"}, "", Pull::Down, "", "", "", 0},
      {{"DRIVE=8"}, "", Pull::Unset, "8", "", "", 0},
      {{"CURRENT_STRENGTH_NEW=8MA"}, "", Pull::Unset, "8", "", "", 0},
      {{"DRIVE = 12 mA"}, "", Pull::Unset, "12", "", "", 0},
      {{"DRIVE=04"}, "", Pull::Unset, "4", "", "", 0},
      {{"SLEW=FAST"}, "", Pull::Unset, "", "FAST", "", 0},
      {{"SLEWRATE=slow"}, "", Pull::Unset, "", "SLOW", "", 0},
      {{"SLEW_RATE=1"}, "", Pull::Unset, "", "1", "", 0},
      {{"IN_TERM=UNTUNED_SPLIT_50"}, "", Pull::Unset, "", "", "UNTUNED_SPLIT_50", 0},
      {{"TERMINATION=50"}, "", Pull::Unset, "", "", "50", 0},
      {{"PERIOD = 40000 ps"}, "", Pull::Unset, "", "", "", 25e6},
      {{"PERIOD=10 ns HIGH 50%"}, "", Pull::Unset, "", "", "", 100e6},
      {{"PERIOD=8ns"}, "", Pull::Unset, "", "", "", 125e6},
      {{"PERIOD=20"}, "", Pull::Unset, "", "", "", 50e6},
      {{"FREQUENCY=12 MHz"}, "", Pull::Unset, "", "", "", 12e6},
      {{"FREQUENCY=25MHZ"}, "", Pull::Unset, "", "", "", 25e6},
      // Several assignments in one string, and a later pull overriding an earlier one.
      {{"PULL_MODE=UP DRIVE=8", "PULLDOWN"}, "", Pull::Down, "8", "", "", 0},
      {{"IOSTANDARD=LVCMOS33 SLEW=FAST PULLUP=TRUE"}, "LVCMOS33", Pull::Up, "", "FAST", "", 0},
  };
  for (const SettingCase& c : cases) {
    const PinSettings s = Read(c.strings);
    const std::string what = c.strings.front();
    EXPECT_EQ(s.ioStandard, c.ioStandard) << what;
    EXPECT_EQ(s.pull, c.pull) << what;
    EXPECT_EQ(s.drive, c.drive) << what;
    EXPECT_EQ(s.slew, c.slew) << what;
    EXPECT_EQ(s.termination, c.termination) << what;
    EXPECT_NEAR(s.frequencyHz, c.frequencyHz, c.frequencyHz * 1e-9) << what;
    EXPECT_TRUE(s.passThrough.empty()) << what << ": " << s.passThrough.size();
  }
}

TEST(MbdPinTable, ReadSettings_UnreadValuesPassThroughInOrder) {
  const PinSettings s = Read({"LOC = A1", "PULL_MODE=WEIRD", "DRIVE=MAXIMUM CURRENT", "TIG",
                              "VCCAUX_IO=HIGH", "LOC=B2", "PERIOD=fast", "FAST_OUTPUT ON", "",
                              "TIG", "VCCAUX_IO=HIGH"});
  EXPECT_EQ(s.location, "A1");
  EXPECT_EQ(s.pull, Pull::Unset);
  EXPECT_TRUE(s.drive.empty());
  ASSERT_EQ(s.passThrough.size(), 6u);
  const char* const keys[] = {"PULL_MODE", "DRIVE", "TIG", "VCCAUX_IO", "LOC", "PERIOD"};
  for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(s.passThrough[i].key, keys[i]);
  EXPECT_EQ(s.passThrough[1].value, "MAXIMUM CURRENT");
  EXPECT_FALSE(s.passThrough[2].hasValue);
  EXPECT_EQ(s.passThrough[4].value, "B2");
  EXPECT_EQ(s.malformed, (std::vector<std::string>{"FAST_OUTPUT ON", ""}));
}

TEST(MbdPinTable, ReadDirection_Words) {
  EXPECT_EQ(MbdPins::ReadDirection("I"), Direction::In);
  EXPECT_EQ(MbdPins::ReadDirection("output"), Direction::Out);
  EXPECT_EQ(MbdPins::ReadDirection("IO"), Direction::InOut);
  EXPECT_EQ(MbdPins::ReadDirection("sideways"), Direction::Unset);
}

TEST(MbdPinTable, Synonyms_ListEveryKeyOnce) {
  std::map<std::string, int> keys;
  for (const MbdPins::Synonym& s : MbdPins::Synonyms()) ++keys[s.key];
  for (const char* key : {"SLEW", "SLEWRATE", "SLEW_RATE", "PULLUP", "PULL_MODE", "PULLMODE",
                          "DRIVE", "CURRENT_STRENGTH_NEW", "IOSTANDARD", "IO_TYPE", "PERIOD"})
    EXPECT_EQ(keys[key], 1) << key;
}

// A board from text and the table built over it.
struct Built {
  std::unique_ptr<LyrBoard::Qbd> qbd;
  std::unique_ptr<MBD> model;
  PinTable table;
};
Built Build(const std::string& text, const TableOptions& options = TableOptions()) {
  Built b;
  b.qbd = ReadBoard(text);
  b.model = std::make_unique<MBD>(b.qbd.get());
  b.table = MbdPins::BuildPinTable(*b.model, options);
  return b;
}

std::vector<std::string> Names(const PinTable& table) {
  std::vector<std::string> names;
  for (const MbdPins::PinRow& row : table.rows) names.push_back(row.name);
  return names;
}

std::vector<std::string> Errors(const PinTable& table) {
  std::vector<std::string> errors;
  for (const MbdPins::Problem& p : table.problems)
    if (p.error) errors.push_back(p.message);
  return errors;
}

const char kLeds[] = R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT l0 = led_0, UCF_NET_STRING = (LOC=A0)
  PORT l1 = led_1, UCF_NET_STRING = (LOC=A1)
  PORT l2 = led_2, UCF_NET_STRING = (LOC=A2)
  PORT s1 = sw1, UCF_NET_STRING = (LOC=B1)
  PORT s3 = sw3, UCF_NET_STRING = (LOC=B3)
  PORT k = key, UCF_NET_STRING = (LOC=C0)
  PORT k1 = key_1, UCF_NET_STRING = (LOC=C1)
  PORT k2 = key_2, UCF_NET_STRING = (LOC=C2)
  PORT d = dq_01, UCF_NET_STRING = (LOC=D1)
  PORT d2 = dq_02, UCF_NET_STRING = (LOC=D2)
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = io_0
  PORT L0 = led_0
  PORT L1 = led_1
  PORT L2 = led_2
  PORT S1 = sw1
  PORT S3 = sw3
  PORT K = key
  PORT K1 = key_1
  PORT K2 = key_2
  PORT D1 = dq_01
  PORT D2 = dq_02
END
)";

TEST(MbdPinTable, Naming_BusGroupsOnlyGaplessStemsNoScalarShares) {
  TableOptions options;
  options.bus = true;
  const Built b = Build(kLeds, options);
  // sw has a gap, key is also a port of its own, dq has leading zeros: those stay as they are.
  EXPECT_EQ(Names(b.table), (std::vector<std::string>{"led[0]", "led[1]", "led[2]", "sw1", "sw3",
                                                       "key", "key_1", "key_2", "dq_01", "dq_02"}));
  EXPECT_EQ(b.table.rows[2].busStem, "led");
  EXPECT_EQ(b.table.rows[2].busIndex, 2);
  EXPECT_EQ(b.table.rows[3].busIndex, -1);
  EXPECT_TRUE(Errors(b.table).empty());
}

TEST(MbdPinTable, Naming_RenameBeforeBusAndPrefix) {
  TableOptions options;
  options.bus = true;
  options.prefix = "top_";
  options.rename = {{"KEY", "btn_0"}, {"sw1", "btn_1"}, {"nosuch", "x"}};
  const Built b = Build(kLeds, options);
  EXPECT_EQ(Names(b.table),
            (std::vector<std::string>{"top_led[0]", "top_led[1]", "top_led[2]", "top_btn[1]",
                                      "top_sw3", "top_btn[0]", "top_key[1]", "top_key[2]",
                                      "top_dq_01", "top_dq_02"}));
  ASSERT_EQ(b.table.problems.size(), 1u);
  EXPECT_FALSE(b.table.problems[0].error);
  EXPECT_EQ(b.table.problems[0].message, "rename: no exported net is named \"nosuch\"");
}

TEST(MbdPinTable, Naming_TwoNetsOneNameIsAnError) {
  TableOptions options;
  options.rename = {{"sw1", "led_0"}};
  const Built b = Build(kLeds, options);
  EXPECT_EQ(Errors(b.table),
            (std::vector<std::string>{"nets \"led_0\" and \"sw1\" are both named \"led_0\""}));
}

const char kAlternatives[] = R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT t = tx, UCF_NET_STRING = (LOC=A1)
  PORT r = rx, UCF_NET_STRING = (LOC=A2)
  PORT x = extra, UCF_NET_STRING = (LOC=A3)
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart_0
  ATTRIBUTE EXCLUSIVE = serial
  PORT TX = tx
  PORT RX = rx
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart_1
  ATTRIBUTE EXCLUSIVE = SERIAL
  PORT TX = tx
  PORT X = extra
END
)";

struct AlternativeCase {
  std::vector<std::string> instances;
  std::map<std::string, std::string> choose;
  std::vector<std::string> names;
  std::vector<std::string> errors;
};

TEST(MbdPinTable, Alternatives_OneOfEachGroup) {
  const AlternativeCase cases[] = {
      {{}, {}, {"tx", "rx"}, {}},
      {{}, {{"serial", "uart_1"}}, {"tx", "extra"}, {}},
      {{"uart_1"}, {}, {"tx", "extra"}, {}},
      {{"uart_0", "uart_1"},
       {},
       {"tx", "rx"},
       {"instances \"uart_0\" and \"uart_1\" are alternatives (EXCLUSIVE group \"SERIAL\"): "
        "export one, or pick it with choose SERIAL=INSTANCE"}},
      {{"uart_0", "uart_1"}, {{"serial", "UART_1"}}, {"tx", "extra"}, {}},
      {{"uart_0", "nosuch"}, {}, {"tx", "rx"}, {"no instance named \"nosuch\""}},
      {{}, {{"serial", "fpga_0"}}, {"tx", "rx"},
       {"choose serial=fpga_0: instance \"fpga_0\" is not in EXCLUSIVE group \"serial\""}},
      {{}, {{"serial", "ghost"}}, {"tx", "rx"},
       {"choose serial=ghost: no instance named \"ghost\""}},
  };
  for (const AlternativeCase& c : cases) {
    TableOptions options;
    options.instances = c.instances;
    options.choose = c.choose;
    const Built b = Build(kAlternatives, options);
    const std::string what = ::testing::PrintToString(c.instances) + " " +
                             ::testing::PrintToString(c.choose);
    EXPECT_EQ(Names(b.table), c.names) << what;
    EXPECT_EQ(Errors(b.table), c.errors) << what;
  }
}

TEST(MbdPinTable, Checks_GenericTemplateCopiesShareOneBall) {
  // Expansion copies the template's pins with their LOC, so every copy of the UART sits on the
  // template's ball: a toolchain rejects the file, so the table must say so.
  const Built b = Build(R"(
ATTRIBUTE NAME = Generic Template
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT fpga_uart_rx = uart_rx, UCF_NET_STRING = (LOC=W2, IOSTANDARD=LVCMOS33), DIR = I
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart
  ATTRIBUTE IOTYPE = QOR_UART_V1
  ATTRIBUTE MAX_NUM_INSTANCES = 3
  PORT RX = uart_rx
END
)");
  EXPECT_EQ(Names(b.table), (std::vector<std::string>{"uart_rx", "uart_rx_1", "uart_rx_2"}));
  EXPECT_EQ(Errors(b.table),
            (std::vector<std::string>{"ball \"W2\" carries both \"uart_rx\" and \"uart_rx_1\"",
                                      "ball \"W2\" carries both \"uart_rx\" and \"uart_rx_2\""}));
  EXPECT_EQ(b.table.rows[1].settings.direction, Direction::In);
}

TEST(MbdPinTable, Checks_LocationsOfRows) {
  const Built b = Build(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT a = shared, UCF_NET_STRING = (LOC=A1)
  PORT b = SHARED, UCF_NET_STRING = (LOC=a2)
  PORT c = bare, UCF_NET_STRING = (IOSTANDARD=LVCMOS33, PULLUP)
  PORT d = twice, UCF_NET_STRING = (LOC=D1, LOC=D2)
  PORT e = same, UCF_NET_STRING = (LOC=E1)
  PORT f = same, UCF_NET_STRING = (LOC=e1)
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = dev
  PORT P = shared
  PORT Q = bare
  PORT R = twice
  PORT S = same
  PORT T = inside
END
)");
  EXPECT_EQ(Errors(b.table),
            (std::vector<std::string>{
                "net \"shared\" is on 2 balls: \"A1\", \"a2\"",
                "no location: FPGA pin \"fpga_0.c\" has no LOC",
                "FPGA pin \"fpga_0.d\" has a second LOC \"D2\" besides \"D1\""}));
  EXPECT_TRUE(MbdPins::HasErrors(b.table));
  // The port on a net no pin carries comes last, as an unwired row without a name.
  ASSERT_EQ(b.table.rows.size(), 7u);
  const MbdPins::PinRow& last = b.table.rows.back();
  EXPECT_TRUE(MbdPins::IsUnwired(last));
  EXPECT_EQ(last.instance + "." + last.port + " " + last.net, "dev.T inside");
  EXPECT_EQ(last.name, "");
  EXPECT_FALSE(MbdPins::IsUnwired(b.table.rows.front()));
}

// A board whose FPGA pins carry the nets given, at the balls given (none for ""), each net
// exported by one port of one instance.
std::string PinsAt(const std::vector<std::pair<std::string, std::string>>& pins) {
  std::string fpga = "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = fpga_0\n  ATTRIBUTE BLOCKTYPE = FPGA\n";
  std::string dev = "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = dev\n";
  for (std::size_t i = 0; i < pins.size(); ++i) {
    const std::string& ball = pins[i].second;
    fpga += "  PORT p" + std::to_string(i) + " = " + pins[i].first + ", UCF_NET_STRING = (" +
            (ball.empty() ? std::string("IOSTANDARD=LVCMOS33") : "LOC=" + ball) + ")\n";
    dev += "  PORT D" + std::to_string(i) + " = " + pins[i].first + "\n";
  }
  return fpga + "END\n" + dev + "END\n";
}

TEST(MbdPinTable, Checks_BallsMatchIgnoringCaseAndFirstRowLeads) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> pins;
    std::vector<std::string> errors;
  };
  const Case cases[] = {
      {{{"x", "B1"}, {"y", "b1"}}, {"ball \"b1\" carries both \"x\" and \"y\""}},
      {{{"x", "B1"}, {"y", "B10"}, {"z", "B"}}, {}},
      {{{"p", "ab1"}, {"q", "AB1"}}, {"ball \"AB1\" carries both \"p\" and \"q\""}},
      {{{"x", "C3"}, {"y", "D4"}, {"z", "c3"}, {"w", "C3"}},
       {"ball \"c3\" carries both \"x\" and \"z\"",
        "ball \"C3\" carries both \"x\" and \"w\""}},
      // Findings of the other checks stand among them in board order.
      {{{"m", "E5"}, {"n", ""}, {"o", "e5"}, {"k", "F6"}},
       {"no location: FPGA pin \"fpga_0.p1\" has no LOC",
        "ball \"e5\" carries both \"m\" and \"o\""}},
  };
  for (const Case& c : cases) {
    const Built b = Build(PinsAt(c.pins));
    EXPECT_EQ(Errors(b.table), c.errors) << PinsAt(c.pins);
  }
}

// The diff and the table read a clock's frequency through one rule: nets match ignoring
// case, the first clock on a net wins, and a pin's own period wins over its net's clock.
TEST(MbdPinTable, ClockFrequencies_FirstClockOnNetAndOwnPeriodFirst) {
  const auto board = ReadBoard(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = clk_0
  ATTRIBUTE IOTYPE = QOR_CLOCK_V1
  PARAMETER C_FREQ = 12000000, IO_IS = clk_freq
  PORT CLK = Clk
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = clk_1
  ATTRIBUTE IOTYPE = QOR_CLOCK_V1
  PARAMETER C_FREQ = 50000000, IO_IS = clk_freq
  PORT CLK = clk
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = led_0
  PORT L = led
END
)");
  ASSERT_TRUE(board);
  const MbdPins::ClockNets clocks = MbdPins::ClockFrequencies(*board);
  ASSERT_EQ(clocks.size(), 1u);
  EXPECT_EQ(MbdPins::PinFrequency(PinSettings(), StringBase("CLK"), clocks), 12e6);
  EXPECT_EQ(MbdPins::PinFrequency(PinSettings(), StringBase("led"), clocks), 0);
  EXPECT_EQ(MbdPins::PinFrequency(Read({"PERIOD=40ns"}), StringBase("clk"), clocks), 25e6);
}

TEST(MbdPinTable, Rows_FrequencyDirectionAndWhere) {
  const Built b = Build(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT c = clk, UCF_NET_STRING = (LOC=A1)
  PORT p = phy_clk, UCF_NET_STRING = (LOC=A2, "PERIOD = 40000 ps"), DIR = input
  PORT u = tx, UCF_NET_STRING = (LOC=A3)
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = clk_0
  ATTRIBUTE IOTYPE = QOR_CLOCK_V1
  PARAMETER C_FREQ = 12000000, IO_IS = clk_freq
  PORT CLK = clk
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = phy_0
  ATTRIBUTE IOTYPE = QOR_CLOCK_V1
  PARAMETER C_FREQ = 50000000, IO_IS = clk_freq
  PORT CLK = phy_clk, DIR = O
  PORT TX = tx, DIR = O
END
)");
  ASSERT_EQ(b.table.rows.size(), 3u);
  EXPECT_EQ(b.table.rows[0].settings.frequencyHz, 12e6);
  EXPECT_EQ(b.table.rows[1].settings.frequencyHz, 25e6);  // the pin's own period wins
  EXPECT_EQ(b.table.rows[1].settings.direction, Direction::In);  // the pin's DIR first
  EXPECT_EQ(b.table.rows[2].settings.direction, Direction::Out);
  EXPECT_EQ(b.table.rows[0].settings.direction, Direction::Unset);
  EXPECT_EQ(b.table.rows[2].instance, "phy_0");
  EXPECT_EQ(b.table.rows[2].port, "TX");
  EXPECT_EQ(b.table.rows[2].fpgaPin, "u");
  EXPECT_EQ(b.table.rows[2].line, 7u);
  EXPECT_EQ(b.table.rows[1].strings,
            (std::vector<std::string>{"LOC=A2", "PERIOD = 40000 ps"}));
}

TEST(MbdPinTable, Pairs_StatedOnThePSide) {
  TableOptions options;
  options.prefix = "x_";
  const Built b = Build(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT cp = clk_p, UCF_NET_STRING = (LOC=A1, IOSTANDARD=LVDS_25), DIFF_N = CN
  PORT cn = clk_n, UCF_NET_STRING = (LOC=A2, IOSTANDARD=LVDS_25)
  PORT dp = d_p, UCF_NET_STRING = (LOC=B1), DIFF_N = nowhere
  PORT ep = e_p, UCF_NET_STRING = (LOC=C1), DIFF_N = en
  PORT en = e_n, UCF_NET_STRING = (LOC=C2)
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = dev
  PORT CP = clk_p
  PORT CN = clk_n
  PORT DP = d_p
  PORT EP = e_p
END
)",
                        options);
  ASSERT_EQ(b.table.rows.size(), 4u);
  EXPECT_EQ(b.table.rows[0].pairSide, PairSide::P);
  EXPECT_EQ(b.table.rows[0].partner, "x_clk_n");
  EXPECT_EQ(b.table.rows[1].pairSide, PairSide::N);
  EXPECT_EQ(b.table.rows[1].partner, "x_clk_p");
  EXPECT_EQ(b.table.rows[2].pairSide, PairSide::None);
  EXPECT_EQ(Errors(b.table),
            (std::vector<std::string>{
                "FPGA pin \"fpga_0.dp\": DIFF_N = \"nowhere\" names no other pin of its FPGA block",
                "FPGA pin \"fpga_0.ep\": the pair's N side, pin \"en\" on net \"e_n\", is not "
                "exported"}));
}

TEST(MbdPinTable, Checks_TemplateBlockLeftUnexpanded) {
  const Built b = Build(R"(
ATTRIBUTE NAME = Generic Template
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT r = rx, UCF_NET_STRING = (LOC=W2)
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart
  ATTRIBUTE MAX_NUM_INSTANCES = 5000
  PORT RX = rx
END
)");
  EXPECT_EQ(Errors(b.table),
            (std::vector<std::string>{"instance \"uart\" is a template block that was not "
                                      "expanded (MAX_NUM_INSTANCES = 5000)"}));
}

TEST(MbdPinTable, ReadRenameMap_LinesAndErrors) {
  std::map<std::string, std::string> rename;
  std::string error;
  unsigned line = 0;
  EXPECT_TRUE(
      MbdPins::ReadRenameMap("# net name\nled_0 led0\r\n\n  sw\tbtn  \n", rename, error, line));
  EXPECT_EQ(rename, (std::map<std::string, std::string>{{"led_0", "led0"}, {"sw", "btn"}}));
  struct Bad {
    const char* text;
    const char* error;
    unsigned line;
  };
  const Bad bad[] = {
      {"a b\nc\n", "expected NET NAME, found 1 words", 2},
      {"a b c\n", "expected NET NAME, found 3 words", 1},
      {"a b\nA c\n", "net \"A\" is renamed twice", 2},
  };
  for (const Bad& c : bad) {
    rename.clear();
    EXPECT_FALSE(MbdPins::ReadRenameMap(c.text, rename, error, line)) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
    EXPECT_EQ(line, c.line) << c.text;
  }
}

}  // namespace

namespace {

// The (key, value) of each line NET "name" KEY = "value"; or NET "name" FLAG; of a ucf file,
// by name; the file's quoting undone.
std::map<std::string, std::vector<std::pair<std::string, std::string>>> UcfLines(
    const std::string& text) {
  std::map<std::string, std::vector<std::pair<std::string, std::string>>> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line.rfind("NET \"", 0) != 0) continue;
    std::size_t i = 5;
    std::string name;
    while (i < line.size() && line[i] != '"') {
      if (line[i] == '\\') ++i;
      name += line[i++];
    }
    const std::size_t keyStart = i + 2;
    const std::size_t keyEnd = line.find_first_of(" ;", keyStart);
    const std::string key = line.substr(keyStart, keyEnd - keyStart);
    std::string value;
    if (line.compare(keyEnd, 4, " = \"") == 0)
      for (std::size_t k = keyEnd + 4; k < line.size() && line[k] != '"'; ++k) {
        if (line[k] == '\\') ++k;
        value += line[k];
      }
    lines[name].emplace_back(key, value);
  }
  return lines;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Whether the neutral field a known key sets holds something: the line is accounted for.
bool FieldHolds(const std::string& key, const PinSettings& s) {
  static const std::map<std::string, int> field = {
      {"IOSTANDARD", 0}, {"IO_STANDARD", 0}, {"IO_TYPE", 0}, {"PULLUP", 1}, {"PULLDOWN", 1},
      {"KEEPER", 1}, {"PULL_MODE", 1}, {"PULLMODE", 1}, {"DRIVE", 2},
      {"CURRENT_STRENGTH_NEW", 2}, {"SLEW", 3}, {"SLEWRATE", 3}, {"SLEW_RATE", 3},
      {"IN_TERM", 4}, {"PERIOD", 5}, {"FREQUENCY", 5}};
  const auto it = field.find(Upper(key));
  if (it == field.end()) return false;
  switch (it->second) {
    case 0: return !s.ioStandard.empty();
    case 1: return s.pull != Pull::Unset;
    case 2: return !s.drive.empty();
    case 3: return !s.slew.empty();
    case 4: return !s.termination.empty();
    default: return s.frequencyHz > 0;
  }
}

}  // namespace

// The neutral reading against the ucf lines on random boards: every line's key and value is
// held by a neutral field (the first LOC by the location) or kept as a pass-through, and every
// pass-through is a line.
TEST(MbdPinTable, RandomBoards_EveryUcfLineIsInTheReading) {
  const char* const strings[] = {
      "IOSTANDARD=LVCMOS33", "io_type=LVDS", "PULLUP", "PULLUP=FALSE", "PULL_MODE=UP",
      "PULLMODE=sideways", "KEEPER", "SLEW=FAST", "SLEWRATE=SLOW", "SLEW_RATE=1", "DRIVE=8",
      "CURRENT_STRENGTH_NEW=12MA", "DRIVE=MAX", "IN_TERM=NONE", "PERIOD = 10000 ps",
      "PERIOD=fast", "FREQUENCY=25 MHz", "FOO=bar", "TIG", "VCCAUX_IO=HIGH",
      "PULL_MODE=DOWN DRIVE=4", "NOTE = a = b", "LOC=Z9", "FAST_OUTPUT ON"};
  std::mt19937 rng(19);
  for (int board = 0; board < 60; ++board) {
    std::string fpga = "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = fpga_0\n  ATTRIBUTE BLOCKTYPE = FPGA\n";
    std::string dev = "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = dev\n";
    const int pins = 1 + static_cast<int>(rng() % 20);
    for (int p = 0; p < pins; ++p) {
      std::string list = "LOC=P" + std::to_string(p);
      for (unsigned k = rng() % 5; k > 0; --k)
        list += ", \"" + std::string(strings[rng() % (sizeof strings / sizeof *strings)]) + "\"";
      fpga += "  PORT pin" + std::to_string(p) + " = n" + std::to_string(p) +
              ", UCF_NET_STRING = (" + list + ")\n";
      dev += "  PORT P" + std::to_string(p) + " = n" + std::to_string(p) + "\n";
    }
    const Built b = Build(fpga + "END\n" + dev + "END\n");
    MbdFormats::WriteOutput out;
    ASSERT_TRUE(MbdFormats::WriteConstraints("ucf", b.table, MbdFormats::WriteOptions(), out));
    const auto lines = UcfLines(out.text);
    for (const MbdPins::PinRow& row : b.table.rows) {
      SCOPED_TRACE("board " + std::to_string(board) + " " + row.name);
      const PinSettings& s = row.settings;
      std::multiset<std::pair<std::string, std::string>> kept;
      for (const MbdPins::PassThrough& pt : s.passThrough) kept.emplace(pt.key, pt.value);
      bool located = false;
      for (const auto& line : lines.at(row.name)) {
        if (Upper(line.first) == "LOC" && !located) {
          EXPECT_EQ(s.location, line.second);
          located = true;
          continue;
        }
        const auto passed = kept.find(line);
        if (passed != kept.end()) {
          kept.erase(passed);
          continue;
        }
        EXPECT_TRUE(FieldHolds(line.first, s)) << line.first << " = " << line.second;
      }
      EXPECT_TRUE(kept.empty()) << kept.size() << " pass-throughs are no line";
    }
  }
}
