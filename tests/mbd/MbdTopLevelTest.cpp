#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MbdPinTable.h"
#include "MbdTopLevel.h"

namespace {

using MbdPins::Direction;
using MbdPins::PinRow;
using MbdPins::PinTable;
using MbdTop::Hdl;
using MbdTop::TopOptions;
using MbdTop::TopOutput;

PinRow Row(const std::string& name, Direction dir, const std::string& stem = "", int bit = -1) {
  PinRow row;
  row.name = name;
  row.net = name;
  row.fpgaBlock = "fpga_0";
  row.fpgaPin = "p_" + name;
  row.settings.direction = dir;
  row.busStem = stem;
  row.busIndex = bit;
  return row;
}

PinTable Table(const std::vector<PinRow>& rows) {
  PinTable table;
  table.rows = rows;
  return table;
}

// A board's LEDs as a bus, a clock, a button without DIR, and a port whose net reaches no pin.
PinTable Leds() {
  PinRow unwired;
  unwired.instance = "dev";
  unwired.port = "X";
  unwired.net = "loose";
  return Table({Row("clk", Direction::In), Row("led[1]", Direction::Out, "led", 1),
                Row("led[0]", Direction::Out, "led", 0), Row("led[2]", Direction::Out, "led", 2),
                Row("btn", Direction::Unset), unwired});
}

TEST(MbdTopLevel, Verilog_PortsAreTheTablesNames) {
  TopOutput out;
  TopOptions options;
  options.source = "boards/ice.qbd";
  ASSERT_TRUE(MbdTop::WriteTop(Leds(), options, out));
  EXPECT_EQ(out.text,
            "// Top-level ports of boards/ice.qbd, as qbd top writes them: the names match the "
            "constraint file.\n"
            "module top (\n"
            "  input  wire clk,\n"
            "  output wire [2:0] led,\n"
            "  inout  wire btn\n"
            ");\n"
            "endmodule\n");
}

TEST(MbdTopLevel, Vhdl_PortsAreTheTablesNames) {
  TopOutput out;
  TopOptions options;
  options.hdl = Hdl::Vhdl;
  ASSERT_TRUE(MbdTop::WriteTop(Leds(), options, out));
  EXPECT_EQ(out.text,
            "library ieee;\nuse ieee.std_logic_1164.all;\n\n"
            "entity top is\n"
            "  port (\n"
            "    clk : in std_logic;\n"
            "    led : out std_logic_vector(2 downto 0);\n"
            "    btn : inout std_logic\n"
            "  );\n"
            "end entity top;\n\n"
            "architecture board of top is\nbegin\nend architecture board;\n");
}

struct NameCase {
  std::string name;
  std::string verilog;  // the port line's identifier; empty when refused
  std::string vhdl;
};

TEST(MbdTopLevel, Names_EscapedOrRefused) {
  const NameCase cases[] = {
      {"uart_tx", "uart_tx", "uart_tx"},
      {"wire", "\\wire ", "wire"},
      {"signal", "signal", "\\signal\\"},
      {"SIGNAL", "SIGNAL", "\\SIGNAL\\"},
      {"a$b", "a$b", "\\a$b\\"},
      {"_x", "_x", "\\_x\\"},
      {"a__b", "a__b", "\\a__b\\"},
      {"x_", "x_", "\\x_\\"},
      {"9lives", "\\9lives ", "\\9lives\\"},
      {"net\"q", "\\net\"q ", "\\net\"q\\"},
      {"a\\b", "\\a\\b ", "\\a\\\\b\\"},
      {"x); assign y = 1; //", "", "\\x); assign y = 1; //\\"},
      {"two words", "", "\\two words\\"},
      {"line\nbreak", "", ""},
      {"caf\xc3\xa9", "", ""},
  };
  for (const NameCase& c : cases) {
    for (const Hdl hdl : {Hdl::Verilog, Hdl::Vhdl}) {
      const std::string& expected = hdl == Hdl::Verilog ? c.verilog : c.vhdl;
      TopOptions options;
      options.hdl = hdl;
      TopOutput out;
      const bool ok = MbdTop::WriteTop(Table({Row(c.name, Direction::In)}), options, out);
      const std::string what = c.name + (hdl == Hdl::Verilog ? " (verilog)" : " (vhdl)");
      EXPECT_EQ(ok, !expected.empty()) << what;
      if (expected.empty()) {
        ASSERT_EQ(out.problems.size(), 1u) << what;
        EXPECT_EQ(out.problems[0].port, c.name) << what;
        EXPECT_TRUE(out.text.empty()) << what;
        // The refused name never reaches the text, not even its message, unescaped.
        EXPECT_EQ(out.problems[0].message.find('\n'), std::string::npos) << what;
        continue;
      }
      const std::string line = hdl == Hdl::Verilog ? "  input  wire " + expected + "\n"
                                                   : "    " + expected + " : in std_logic\n";
      EXPECT_NE(out.text.find(line), std::string::npos) << what << "\n" << out.text;
    }
  }
}

TEST(MbdTopLevel, Names_OneIdentifierTwiceIsRefused) {
  const PinTable table = Table({Row("Led", Direction::Out), Row("LED", Direction::Out)});
  TopOutput out;
  EXPECT_TRUE(MbdTop::WriteTop(table, TopOptions(), out));  // Verilog tells case apart
  TopOptions vhdl;
  vhdl.hdl = Hdl::Vhdl;
  EXPECT_FALSE(MbdTop::WriteTop(table, vhdl, out));
  ASSERT_EQ(out.problems.size(), 1u);
  EXPECT_EQ(out.problems[0].port, "LED");
}

TEST(MbdTopLevel, Ports_OneNetOnTwoPinsIsOnePortMixedDirectionsInout) {
  const PinTable table = Table({Row("d", Direction::In), Row("d", Direction::Out),
                                Row("q[4]", Direction::In, "q", 4), Row("q[5]", Direction::In, "q", 5)});
  TopOutput out;
  ASSERT_TRUE(MbdTop::WriteTop(table, TopOptions(), out));
  EXPECT_EQ(out.text, "module top (\n  inout  wire d,\n  input  wire [5:4] q\n);\nendmodule\n");
}

TEST(MbdTopLevel, Ports_NoneGivesAnEmptyModule) {
  TopOutput out;
  ASSERT_TRUE(MbdTop::WriteTop(Table({}), TopOptions(), out));
  EXPECT_EQ(out.text, "module top;\nendmodule\n");
  TopOptions vhdl;
  vhdl.hdl = Hdl::Vhdl;
  ASSERT_TRUE(MbdTop::WriteTop(Table({}), vhdl, out));
  EXPECT_EQ(out.text.find("port ("), std::string::npos);
}

TEST(MbdTopLevel, HdlNamed_Words) {
  Hdl hdl = Hdl::Verilog;
  EXPECT_TRUE(MbdTop::HdlNamed("VHDL", hdl));
  EXPECT_EQ(hdl, Hdl::Vhdl);
  EXPECT_TRUE(MbdTop::HdlNamed("v", hdl));
  EXPECT_EQ(hdl, Hdl::Verilog);
  EXPECT_FALSE(MbdTop::HdlNamed("systemc", hdl));
}

}  // namespace
