// The sample boards through the neutral table to every format: the ucf form is the one
// `qbd constraints` wrote before there were formats, byte for byte; every other format matches
// its golden file and reads back with each exported port on the ball the board gives it.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "FormatReadBack.h"
#include "MBD.h"
#include "MbdConstraintWriter.h"
#include "MbdPinTable.h"

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

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
      {"shared_constraints", "tests/tool/boards/shared_net.qbd", {}},
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

// Compares with the golden file; QBD_UPDATE_EXPECTED=1 rewrites it instead.
void ExpectGolden(const std::string& file, const std::string& text) {
  const std::string path = std::string(FORMATS_TEST_DIR) + "/expected/" + file;
  if (std::getenv("QBD_UPDATE_EXPECTED")) {
    std::ofstream(path, std::ios::binary) << text;
    return;
  }
  EXPECT_EQ(text, Slurp(path)) << "golden file " << path;
}

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

}  // namespace
