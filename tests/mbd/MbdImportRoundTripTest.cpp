// The broadest test of import and diff: a board written in every format and imported again
// gives a draft whose diff against the board shows no pin, location or setting change, only
// what the format cannot state (left out by OptionsForFormat) and the grouping guesses (not
// compared). On the sample boards and on random boards.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "MBD.h"
#include "MbdConstraintReader.h"
#include "MbdConstraintWriter.h"
#include "MbdDiff.h"
#include "MbdImport.h"
#include "MbdTestSupport.h"

namespace {

const char* const kFormats[] = {"xdc", "lpf", "pcf", "cst", "qsf", "pdc", "ccf", "ucf", "csv"};

// The draft of `format`'s file for the table (its companion .sdc read too), with the names
// the writer refused.
std::unique_ptr<LyrBoard::Qbd> RoundTrip(const std::string& format, const MbdPins::PinTable& table,
                                         std::set<std::string>& refused) {
  MbdFormats::WriteOutput out;
  EXPECT_TRUE(MbdFormats::WriteConstraints(format, table, MbdFormats::WriteOptions(), out));
  for (const MbdPins::Problem& p : out.unexpressed)
    if (p.error) refused.insert(p.port);
  MbdPins::PinTable back;
  if (format == "csv") {
    MbdImport::TableRead read = MbdImport::ReadPinCsv(out.text, "board.csv", {});
    EXPECT_TRUE(read.errors.empty()) << MbdImport::FormatError(read.errors.front());
    back = read.table;
  } else {
    MbdFormats::ReadResult read;
    EXPECT_TRUE(MbdFormats::ReadConstraints(format, out.text, "board." + format,
                                            MbdFormats::ReadOptions(), read))
        << (read.errors.empty() ? "" : MbdFormats::FormatReadError(read.errors.front())) << "\n"
        << out.text;
    back = read.table;
    if (!out.companionText.empty()) {
      MbdFormats::ReadResult clocks;
      EXPECT_TRUE(MbdFormats::ReadConstraints("sdc", out.companionText, "board.sdc",
                                              MbdFormats::ReadOptions(), clocks));
      MbdImport::MergeTable(back, clocks.table);
    }
  }
  return MbdImport::BuildDraft(back, MbdImport::DraftOptions()).board;
}

// Every pin record of the diff from the board to the draft of each format, but for pins of
// nets the writer refused to name.
void ExpectNoPinChange(const LyrBoard::Qbd& board, const MbdPins::PinTable& table) {
  for (const char* format : kFormats) {
    SCOPED_TRACE(format);
    std::set<std::string> refused;
    const auto draft = RoundTrip(format, table, refused);
    MbdDiff::DiffOptions options;
    options.instances = false;
    options = MbdDiff::OptionsForFormat(format, options);
    // The ucf form copies each pin's own strings: a clock instance's frequency that no PERIOD
    // string of the pin repeats is not written there.
    if (std::string(format) == "ucf") options.unknownFields.push_back("frequency");
    for (const MbdDiff::Record& r : MbdDiff::DiffBoards(board, *draft, options)) {
      if (r.change == MbdDiff::Change::Removed && refused.count(r.name)) continue;
      ADD_FAILURE() << format << ": " << MbdDiff::FormatRecord(r);
    }
  }
}

TEST(MbdImportRoundTrip, SampleBoards_NoPinChangeInAnyFormat) {
  // Not the generic template: its copies' pins share their original's ball, which no
  // constraint file can state.
  for (const char* name : {"boards/northwind_dk2.qbd", "boards/tinkerbit_ib1.qbd",
                           "tests/tool/boards/mini.qbd"}) {
    SCOPED_TRACE(name);
    LyrBoard::Qbd board;
    const std::string path = std::string(QBD_SOURCE_DIR) + "/" + name;
    ASSERT_EQ(board.ReadFile(path.c_str()), 0) << board.GetErrorText().c_str();
    MBD model(&board);  // expands a template in place, as the export sees it
    const MbdPins::PinTable table = MbdPins::BuildPinTable(model, MbdPins::TableOptions());
    ASSERT_FALSE(table.rows.empty());
    ExpectNoPinChange(board, table);
  }
}

const char* const kStandards[] = {"LVCMOS33", "LVCMOS18", "SSTL15_II", "LVDS"};
const char* const kSettings[] = {"PULLUP=TRUE", "PULLDOWN=TRUE", "DRIVE=8", "DRIVE=12",
                                 "SLEW=FAST", "SLEW=SLOW", "PULLMODE=NONE"};
const char* const kNames[] = {"led", "Btn", "uart_tx", "a$b", "sw[2]", "x.y", "d_p", "d_n"};

// A random board: pins with random names and settings, each wired to a port of a small
// instance, some instances clocks with a frequency.
std::string RandomBoard(unsigned seed) {
  std::mt19937 rng(seed);
  const std::size_t pins = 3 + mbdtest::Below(rng, 40);
  std::string fpga = "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = fpga_0\n  ATTRIBUTE BLOCKTYPE = FPGA\n";
  std::string instances;
  std::set<std::string> used;
  std::size_t inInstance = 0, instance = 0;
  for (std::size_t i = 0; i < pins; ++i) {
    std::string net = mbdtest::Chance(rng, 30) ? mbdtest::Pick(rng, kNames)
                                               : "n" + std::to_string(seed) + "_" + std::to_string(i);
    if (!used.insert(MbdRules::NetKey(StringBase(net)).str()).second) {
      net += "_" + std::to_string(i);
      used.insert(MbdRules::NetKey(StringBase(net)).str());
    }
    std::string strings = "LOC=" + std::string(1, static_cast<char>('A' + mbdtest::Below(rng, 20))) +
                          std::to_string(i + 1);
    if (mbdtest::Chance(rng, 60)) strings += std::string(", IOSTANDARD=") + mbdtest::Pick(rng, kStandards);
    if (mbdtest::Chance(rng, 50)) strings += std::string(", ") + mbdtest::Pick(rng, kSettings);
    fpga += "  PORT \"fpga_" + net + "\" = \"" + net + "\", UCF_NET_STRING = (" + strings + ")" +
            (mbdtest::Chance(rng, 50) ? ", DIR = O" : "") + "\n";
    if (inInstance == 0) {
      if (instance++) instances += "END\n";
      inInstance = 1 + mbdtest::Below(rng, 4);
      const bool clock = mbdtest::Chance(rng, 15);
      instances += "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = inst_" + std::to_string(instance) +
                   "\n  ATTRIBUTE IOTYPE = " + (clock ? "QOR_CLOCK_V1" : "QOR_GPIO_V1") + "\n";
      if (clock)
        instances += "  PARAMETER C_FREQ = " + std::to_string(1 + mbdtest::Below(rng, 300)) +
                     "000000, IO_IS = clk_freq\n";
    }
    instances += "  PORT P" + std::to_string(i) + " = \"" + net + "\", IO_IS = p" + std::to_string(i) + "\n";
    --inInstance;
  }
  return fpga + "END\n" + instances + "END\n";
}

TEST(MbdImportRoundTrip, RandomBoards_NoPinChangeInAnyFormat) {
  for (unsigned seed = 1; seed <= 25; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const std::string text = RandomBoard(seed);
    auto board = mbdtest::ReadBoard(text);
    MBD model(board.get());
    const MbdPins::PinTable table = MbdPins::BuildPinTable(model, MbdPins::TableOptions());
    SCOPED_TRACE(text);
    ExpectNoPinChange(*board, table);
  }
}

}  // namespace
