// Schematic netlists: the FPGA part's nets as pins, grouped by the component each reaches
// (through series resistors and resistor networks), power skipped, unnamed nets noted, and
// located errors. The netlists are written by hand.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "MbdImport.h"
#include "MbdLint.h"

namespace {

using MbdImport::GuessKind;
using MbdImport::ReadNetlist;
using MbdImport::TableRead;

std::string Fixture(const char* name) {
  std::ifstream in(std::string(QBD_SOURCE_DIR) + "/tests/data/import/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(MbdImportNetlist, Fixture_PinsGroupedByWhatEachNetReaches) {
  const TableRead read = ReadNetlist(Fixture("demo.net"), "demo.net", "U1");
  ASSERT_TRUE(read.errors.empty()) << MbdImport::FormatError(read.errors[0]);
  std::map<std::string, std::pair<std::string, std::string>> rows;  // name -> (loc, instance)
  for (const MbdPins::PinRow& row : read.table.rows)
    rows[row.name] = {row.settings.location, row.instance};
  const std::map<std::string, std::pair<std::string, std::string>> expected = {
      {"SD_A0", {"B1", "U2 SDRAM_16M"}},   {"SD_A1", {"B2", "U2 SDRAM_16M"}},
      {"LED0", {"C1", "LED"}},             {"LED1", {"C2", "LED"}},
      {"HDR_IO0", {"D1", "J1 Conn_02x03"}}, {"HDR_IO1", {"D2", "J1 Conn_02x03"}},
      {"BTN", {"E1", "SW_Push"}},          {"U1_F1", {"F1", ""}},
  };
  EXPECT_EQ(rows, expected);
  EXPECT_EQ(read.table.rows[6].settings.direction, MbdPins::Direction::In);

  std::map<GuessKind, int> kinds;
  for (const MbdImport::Guess& note : read.notes) ++kinds[note.kind];
  EXPECT_EQ(kinds[GuessKind::UnnamedNet], 1);
  EXPECT_EQ(kinds[GuessKind::Skipped], 1);  // GND and +3V3, in one note
  EXPECT_EQ(kinds[GuessKind::Conflict], 0);  // GND reaches two FPGA pins, but it is skipped

  // The draft of it lints without errors.
  const MbdImport::Draft draft = MbdImport::BuildDraft(read.table, MbdImport::DraftOptions());
  for (const MbdLint::Finding& f : MbdLint::LintBoard(*draft.board, "demo.qbd"))
    EXPECT_NE(f.severity, MbdLint::Severity::Error) << MbdLint::FormatFinding(f);
}

TEST(MbdImportNetlist, PartMissing_SaysWhichPartsThereAre) {
  const TableRead read = ReadNetlist(Fixture("demo.net"), "demo.net", "U9");
  ASSERT_EQ(read.errors.size(), 1u);
  EXPECT_EQ(MbdImport::FormatError(read.errors[0]),
            "demo.net:3:3: error: no part \"U9\" in the netlist; its parts are: U1, U2, D1, D2, "
            "R1, R2, RN1, J1, R9, SW1, TP1");
}

TEST(MbdImportNetlist, SignalNetOnTwoFpgaPins_FirstDrafted) {
  const TableRead read = ReadNetlist(
      R"((export (components (comp (ref "U1")))
           (nets (net (name "/X") (node (ref "U1") (pin "A1")) (node (ref "U1") (pin "A2"))))))",
      "x.net", "U1");
  ASSERT_TRUE(read.errors.empty());
  ASSERT_EQ(read.table.rows.size(), 1u);
  EXPECT_EQ(read.table.rows[0].settings.location, "A1");
  ASSERT_EQ(read.notes.size(), 1u);
  EXPECT_EQ(read.notes[0].kind, GuessKind::Conflict);
}

struct ErrorCase {
  std::string text;
  unsigned line, column;
  const char* message;
};

TEST(MbdImportNetlist, Errors_AreLocated) {
  const ErrorCase cases[] = {
      {"", 1, 1, "empty netlist"},
      {"(export (nets\n  (net (name \"a\")", 2, 3, "'(' is never closed"},
      {"(export (nets)) x", 1, 17, "text after the netlist"},
      {"(kicad_sch (version 1))", 1, 1, "not a netlist: expected (export ...)"},
      {"(export (nets (net (name \"a)))", 1, 26, "unterminated string"},
      {"(export ))", 1, 10, "text after the netlist"},
      {")", 1, 1, "unexpected ')'"},
      {std::string(100, '(') + std::string(100, ')'), 1, 65, "nested more than 64 deep"},
      {std::string("(export \0)", 10), 1, 9, "NUL byte"},
  };
  for (const ErrorCase& c : cases) {
    const TableRead read = ReadNetlist(c.text, "b.net", "U1");
    ASSERT_FALSE(read.errors.empty()) << c.text;
    EXPECT_EQ(read.errors[0].line, c.line) << c.text;
    EXPECT_EQ(read.errors[0].column, c.column) << c.text;
    EXPECT_NE(read.errors[0].message.find(c.message), std::string::npos) << read.errors[0].message;
  }
}

}  // namespace
