// The sample boards through the neutral table to every format: the ucf form is the one
// `qbd constraints` wrote before there were formats, byte for byte, but for a comment naming a
// frequency only a clock instance gives (forms.qbd has one); every other format matches
// its golden file and reads back with each exported port on the ball the board gives it.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <sstream>

#include "FormatReadBack.h"
#include "Golden.h"
#include "MBD.h"
#include "MbdConstraintWriter.h"
#include "MbdPinTable.h"

namespace {

using golden::ExpectGolden;
using golden::Slurp;

// The table of a board file (relative to the source tree) for the named instances.
MbdPins::PinTable TableOf(const std::string& board, const std::vector<std::string>& instances,
                          bool bus = false) {
  LyrBoard::Qbd qbd;
  const std::string path = std::string(QBD_SOURCE_DIR) + "/" + board;
  EXPECT_EQ(qbd.ReadFile(path.c_str()), 0) << qbd.GetErrorText().c_str();
  MBD model(&qbd);
  MbdPins::TableOptions options;
  options.instances = instances;
  options.bus = bus;
  return MbdPins::BuildPinTable(model, options);
}

std::string Written(const std::string& format, const MbdPins::PinTable& table,
                    const std::string& source, MbdFormats::WriteOutput* all = nullptr) {
  MbdFormats::WriteOutput out;
  MbdFormats::WriteOptions options;
  options.source = source;
  EXPECT_TRUE(MbdFormats::WriteConstraints(format, table, options, out));
  if (all) *all = out;
  return out.text;
}

MbdPins::PinTable TableOfText(const std::string& text, bool bus = false) {
  LyrBoard::Qbd qbd;
  EXPECT_EQ(qbd.ReadString(text.c_str()), 0) << qbd.GetErrorText().c_str();
  MBD model(&qbd);
  MbdPins::TableOptions options;
  options.bus = bus;
  return MbdPins::BuildPinTable(model, options);
}

struct UcfCase {
  const char* expected;  // the program's golden file in tests/tool/expected
  const char* board;
  std::vector<std::string> instances;
};

TEST(BoardExport, Ucf_IsWhatTheProgramWroteBefore) {
  const UcfCase cases[] = {
      {"dk2_constraints", "boards/northwind_dk2.qbd", {}},
      {"dk2_constraints_some", "boards/northwind_dk2.qbd", {"UART_0", "sys_clk_0"}},
      {"mini_constraints", "tests/tool/boards/mini.qbd", {}},
      {"forms_constraints", "tests/tool/boards/forms.qbd", {}},
      {"odd_constraints", "tests/tool/boards/odd.qbd", {}},
      // shared_net.qbd puts a net on several balls: the program refuses it before writing.
  };
  for (const UcfCase& c : cases) {
    SCOPED_TRACE(c.expected);
    const std::string golden =
        Slurp(std::string(QBD_SOURCE_DIR) + "/tests/tool/expected/" + c.expected + ".out");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(Written("ucf", TableOf(c.board, c.instances), c.board), golden);
  }
}

struct BoardCase {
  const char* name;
  const char* board;
  bool bus;
};

const BoardCase kBoards[] = {{"dk2", "boards/northwind_dk2.qbd", true},
                             {"ib1", "boards/tinkerbit_ib1.qbd", true}};

TEST(BoardExport, SampleBoards_MatchGoldenFilesInEveryFormat) {
  for (const BoardCase& b : kBoards) {
    const MbdPins::PinTable table = TableOf(b.board, {}, b.bus);
    for (const std::string& format : MbdFormats::WriterFormats()) {
      SCOPED_TRACE(std::string(b.name) + "." + format);
      MbdFormats::WriteOutput out;
      Written(format, table, b.board, &out);
      ExpectGolden(std::string(b.name) + "." + format, out.text);
      if (!out.companionText.empty())
        ExpectGolden(std::string(b.name) + "." + format + ".sdc", out.companionText);
    }
  }
}

// Each port of a sample board lands on its ball in every pin format, read as its tool reads it.
TEST(BoardExport, SampleBoards_EveryPortOnItsBall) {
  for (const BoardCase& b : kBoards) {
    const MbdPins::PinTable table = TableOf(b.board, {}, b.bus);
    ASSERT_TRUE(table.problems.empty()) << table.problems.front().message;
    for (const char* format : {"xdc", "pcf", "lpf", "cst", "qsf", "pdc", "ccf"}) {
      SCOPED_TRACE(std::string(b.name) + "." + format);
      const readback::ReadBack back = readback::Read(format, Written(format, table, b.board));
      EXPECT_TRUE(back.errors.empty()) << back.errors.front();
      std::size_t located = 0;
      for (const MbdPins::PinRow& row : table.rows) {
        if (row.fpgaPin.empty() || row.settings.location.empty()) continue;
        ++located;
        const auto found = back.ports.find(row.name);
        ASSERT_NE(found, back.ports.end()) << row.name;
        EXPECT_EQ(found->second.location, row.settings.location) << row.name;
      }
      EXPECT_EQ(back.ports.size(), located);
    }
  }
}

// A differential pair stated on the board reaches each format in its own form: both balls on
// the P side's line in cst, the N side named "p(n)" in qsf, the P side only in pcf and lpf.
TEST(BoardExport, Pair_InEachTargetsForm) {
  const MbdPins::PinTable table = TableOfText(R"(
ATTRIBUTE NAME = Pair
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT cp = clk_p, UCF_NET_STRING = (LOC=A1, IOSTANDARD=LVDS_25), DIFF_N = cn
  PORT cn = clk_n, UCF_NET_STRING = (LOC=A2, IOSTANDARD=LVDS_25)
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = osc_0
  ATTRIBUTE IOTYPE = QOR_CLOCK_V1
  PARAMETER C_CLK_FREQ = 200000000, IO_IS = clk_freq
  PORT CLK_P = clk_p
  PORT CLK_N = clk_n
END
)");
  ASSERT_TRUE(table.problems.empty()) << table.problems.front().message;
  const std::pair<const char*, std::vector<const char*>> expected[] = {
      {"cst", {"IO_LOC \"clk_p\" A1,A2;"}},
      {"qsf", {"set_location_assignment PIN_A1 -to clk_p",
               "set_location_assignment PIN_A2 -to {clk_p(n)}"}},
      {"xdc", {"set_property PACKAGE_PIN A1 [get_ports {clk_p}]",
               "set_property PACKAGE_PIN A2 [get_ports {clk_n}]"}},
      {"pcf", {"set_io clk_p A1", "# clk_n: not expressed in pcf: the N side of pair clk_p"}},
      {"lpf", {"LOCATE COMP \"clk_p\" SITE \"A1\";",
               "# clk_n: not expressed in lpf: the N side of pair clk_p"}}};
  for (const auto& [format, lines] : expected) {
    const std::string text = Written(format, table, "");
    for (const char* line : lines) EXPECT_NE(text.find(line), std::string::npos) << text;
  }
  EXPECT_EQ(Written("pcf", table, "").find("A2"), std::string::npos);
}

// The neutral reading against the ucf lines on random boards: what each port's ucf lines say,
// read by the test's own small table of keys, is what the pin table holds for it.
TEST(BoardExport, RandomBoards_NeutralReadingAgreesWithTheUcfLines) {
  const char* const strings[] = {"IOSTANDARD=LVCMOS33", "IOSTANDARD=SSTL2_II", "PULLUP",
                                 "PULLDOWN", "PULL_MODE=UP", "PULLMODE=DOWN", "KEEPER",
                                 "SLEW=FAST", "SLEWRATE=SLOW", "SLEW_RATE=fast", "DRIVE=8",
                                 "CURRENT_STRENGTH_NEW=12MA", "IN_TERM=NONE", "FOO=bar", "TIG"};
  std::mt19937 rng(19);
  for (int board = 0; board < 40; ++board) {
    std::string fpga = "ATTRIBUTE NAME = Random\nBEGIN BLOCK\n  ATTRIBUTE INSTANCE = fpga_0\n"
                       "  ATTRIBUTE BLOCKTYPE = FPGA\n";
    std::string ports =
        "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = dev_0\n  ATTRIBUTE IOTYPE = QOR_GPIO_V1\n";
    const int pins = 1 + static_cast<int>(rng() % 30);
    for (int p = 0; p < pins; ++p) {
      const std::string net = "n" + std::to_string(p);
      std::string list = "LOC=P" + std::to_string(p);
      // One string per meaning at most: two pulls or two drives on one pin would be the
      // board's own conflict.
      std::set<std::string> meanings;
      for (unsigned k = rng() % 4; k > 0; --k) {
        const std::string s = strings[rng() % (sizeof strings / sizeof *strings)];
        std::string meaning = s.substr(0, 4);
        if (meaning == "KEEP") meaning = "PULL";
        if (meaning == "CURR") meaning = "DRIV";
        if (meanings.insert(meaning).second)
          list += ", \"" + s + "\"";
      }
      fpga += "  PORT pin" + std::to_string(p) + " = " + net + ", UCF_NET_STRING = (" + list +
              ")\n";
      ports += "  PORT IO" + std::to_string(p) + " = " + net + "\n";
    }
    const MbdPins::PinTable table = TableOfText(fpga + "END\n" + ports + "END\n");
    const readback::ReadBack ucf = readback::Read("ucf", Written("ucf", table, "random.qbd"));
    ASSERT_TRUE(ucf.errors.empty()) << ucf.errors.front();
    ASSERT_EQ(ucf.ports.size(), table.rows.size());
    for (const MbdPins::PinRow& row : table.rows) {
      SCOPED_TRACE("board " + std::to_string(board) + " port " + row.name);
      const readback::Found& lines = ucf.ports.at(row.name);
      const auto said = [&lines](const char* key) {
        const auto it = lines.settings.find(key);
        return it == lines.settings.end() ? std::string("-") : it->second;
      };
      EXPECT_EQ(lines.location, row.settings.location);
      const std::string io = said("IOSTANDARD");
      EXPECT_EQ(io == "-" ? "" : io, row.settings.ioStandard);
      std::string pull;
      if (said("PULLUP") != "-" || said("PULL_MODE") == "UP") pull = "up";
      if (said("PULLDOWN") != "-" || said("PULLMODE") == "DOWN") pull = "down";
      if (said("KEEPER") != "-") pull = "keeper";
      EXPECT_EQ(pull, MbdPins::PullName(row.settings.pull));
      std::string slew;
      for (const char* key : {"SLEW", "SLEWRATE", "SLEW_RATE"})
        if (said(key) != "-") slew = said(key);
      for (char& c : slew) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      EXPECT_EQ(slew, row.settings.slew);
      std::string drive = said("DRIVE") != "-" ? said("DRIVE") : "";
      if (said("CURRENT_STRENGTH_NEW") != "-") drive = "12";
      EXPECT_EQ(drive, row.settings.drive);
      EXPECT_EQ(said("IN_TERM") == "-" ? "" : said("IN_TERM"), row.settings.termination);
      std::set<std::string> passed;
      for (const MbdPins::PassThrough& p : row.settings.passThrough) passed.insert(p.key);
      EXPECT_EQ(passed.count("FOO"), said("FOO") == "-" ? 0u : 1u);
      EXPECT_EQ(passed.count("TIG"), said("TIG") == "-" ? 0u : 1u);
    }
  }
}

}  // namespace
