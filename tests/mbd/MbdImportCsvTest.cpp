// CSV pin tables: the RFC 4180 cells, the columns by header word or --columns, the settings
// each column gives, and located errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MbdImport.h"

namespace {

using MbdImport::ReadPinCsv;
using MbdImport::TableRead;

TEST(MbdImportCsv, Header_SynonymsAndSettings) {
  const TableRead read = ReadPinCsv(
      "Signal Name,Ball,IO Type,Pull,Drive,Slew,Direction,Frequency,PRE_EMPHASIS\r\n"
      "clk,E3,LVCMOS33,,,,in,100 MHz,\r\n"
      "led[0],H17,LVCMOS33,up,8mA,fast,out,,MEDIUM\r\n",
      "pins.csv", {});
  ASSERT_TRUE(read.errors.empty()) << MbdImport::FormatError(read.errors[0]);
  ASSERT_EQ(read.table.rows.size(), 2u);
  const MbdPins::PinRow& clk = read.table.rows[0];
  EXPECT_EQ(clk.name, "clk");
  EXPECT_EQ(clk.settings.location, "E3");
  EXPECT_EQ(clk.settings.ioStandard, "LVCMOS33");
  EXPECT_EQ(clk.settings.direction, MbdPins::Direction::In);
  EXPECT_DOUBLE_EQ(clk.settings.frequencyHz, 100e6);
  EXPECT_EQ(clk.line, 2u);
  const MbdPins::PinRow& led = read.table.rows[1];
  EXPECT_EQ(led.settings.pull, MbdPins::Pull::Up);
  EXPECT_EQ(led.settings.drive, "8");
  EXPECT_EQ(led.settings.slew, "FAST");
  EXPECT_EQ(led.settings.direction, MbdPins::Direction::Out);
  ASSERT_EQ(led.settings.passThrough.size(), 1u);
  EXPECT_EQ(led.settings.passThrough[0].key, "PRE_EMPHASIS");
  EXPECT_EQ(led.settings.passThrough[0].value, "MEDIUM");
}

TEST(MbdImportCsv, Columns_GivenNamesAndARepeatedHeaderSkipped) {
  const std::vector<std::string> columns = {"name", "loc", "-", "iostandard"};
  TableRead read = ReadPinCsv("a,A1,ignored,LVDS\nb,A2,,\n", "p.csv", columns);
  ASSERT_TRUE(read.errors.empty());
  ASSERT_EQ(read.table.rows.size(), 2u);
  EXPECT_EQ(read.table.rows[0].settings.ioStandard, "LVDS");
  EXPECT_TRUE(read.table.rows[0].settings.passThrough.empty());
  read = ReadPinCsv("Name,LOC,-,IOStandard\na,A1,x,LVDS\n", "p.csv", columns);
  ASSERT_EQ(read.table.rows.size(), 1u);
  EXPECT_EQ(read.table.rows[0].name, "a");
}

TEST(MbdImportCsv, Cells_QuotesCommasAndCommentHeadings) {
  const TableRead read = ReadPinCsv(
      "name,loc\n"
      "# Buttons\n"
      "\"btn,\"\"c\"\"\",A1\n"
      "\n"
      "  \"multi\nline\" ,A2\n"
      "#LEDs\n"
      "led0,B1",
      "p.csv", {});
  ASSERT_TRUE(read.errors.empty()) << MbdImport::FormatError(read.errors[0]);
  ASSERT_EQ(read.table.rows.size(), 3u);
  EXPECT_EQ(read.table.rows[0].name, "btn,\"c\"");
  EXPECT_EQ(read.table.rows[0].heading, "Buttons");
  EXPECT_EQ(read.table.rows[1].name, "multi\nline");
  EXPECT_EQ(read.table.rows[1].line, 5u);
  EXPECT_EQ(read.table.rows[2].heading, "LEDs");
  EXPECT_EQ(read.table.rows[2].line, 8u);
}

TEST(MbdImportCsv, Values_UnreadableSettingsAreKeptAsMalformed) {
  const TableRead read =
      ReadPinCsv("name,loc,pull,drive,dir,frequency\na,A1,sideways,lots,both,fast\n", "p.csv", {});
  ASSERT_TRUE(read.errors.empty());
  EXPECT_EQ(read.table.rows[0].settings.malformed,
            (std::vector<std::string>{"PULL=sideways", "DRIVE=lots", "DIR=both", "FREQUENCY=fast"}));
}

struct ErrorCase {
  std::string text;
  std::vector<std::string> columns;
  unsigned line, column;
  const char* message;
};

TEST(MbdImportCsv, Errors_AreLocated) {
  const ErrorCase cases[] = {
      {"name,loc\na,\"A1\n", {}, 2, 3, "unterminated quoted cell"},
      {"name,loc\na,\"A1\"x\n", {}, 2, 7, "text after a quoted cell"},
      {"name,loc\na,A\"1\n", {}, 2, 4, "a quote inside an unquoted cell"},
      {"name,loc\na,A1,extra\n", {}, 2, 6, "3 cells: expected at most 2"},
      {"pin,standard\nA1,LVDS\n", {}, 1, 1, "no name column"},
      {"name,loc\n,A1\n", {}, 2, 1, "a row without a name"},
      {"", {}, 1, 1, "empty pin table"},
      {"a,A1\n", {"loc", "iostandard"}, 1, 1, "no name column"},
      {std::string("name,loc\na,A\0001\n", 15), {}, 2, 4, "NUL byte"},
  };
  for (const ErrorCase& c : cases) {
    const TableRead read = ReadPinCsv(c.text, "p.csv", c.columns);
    ASSERT_FALSE(read.errors.empty()) << c.text;
    EXPECT_EQ(read.errors[0].line, c.line) << c.text;
    EXPECT_EQ(read.errors[0].column, c.column) << c.text;
    EXPECT_NE(read.errors[0].message.find(c.message), std::string::npos) << read.errors[0].message;
    EXPECT_EQ(read.errors[0].file, "p.csv");
  }
}

}  // namespace
