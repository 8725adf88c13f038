#include <gmock/gmock.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "MbdConstraintReader.h"

namespace {

using MbdFormats::ReadResult;
using MbdPins::PinRow;
using MbdPins::Pull;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

ReadResult Read(const std::string& format, const std::string& text, bool includeCommented = false,
                unsigned long commandLimit = 5000000) {
  MbdFormats::ReadOptions options;
  options.includeCommented = includeCommented;
  options.commandLimit = commandLimit;
  ReadResult result;
  MbdFormats::ReadConstraints(format, text, "f." + format, options, result);
  return result;
}

// The rows of that name, in order.
std::vector<const PinRow*> Rows(const ReadResult& result, const std::string& name) {
  std::vector<const PinRow*> rows;
  for (const PinRow& row : result.table.rows)
    if (row.name == name) rows.push_back(&row);
  return rows;
}

const PinRow& Row(const ReadResult& result, const std::string& name) {
  static const PinRow none;
  std::vector<const PinRow*> rows = Rows(result, name);
  EXPECT_EQ(rows.size(), 1u) << "rows named " << name;
  return rows.empty() ? none : *rows.front();
}

std::vector<std::string> Messages(const std::vector<MbdFormats::ReadError>& errors) {
  std::vector<std::string> lines;
  for (const auto& error : errors) lines.push_back(MbdFormats::FormatReadError(error));
  return lines;
}

std::string Names(const ReadResult& result) {
  std::string names;
  for (const PinRow& row : result.table.rows) names += (names.empty() ? "" : " ") + row.name;
  return names;
}

// The same two ports in every format: a data pin with every setting the format can say, and a
// 100 MHz clock where the format can say one.
struct FormatCase {
  const char* format;
  const char* text;
  bool ioStandard, pull, drive, slew, clock;
};

const FormatCase kFormats[] = {
    {"xdc",
     R"(set_property -dict {PACKAGE_PIN E3 IOSTANDARD LVCMOS33 PULLUP true DRIVE 8 SLEW FAST} [get_ports {led[0]}]
set_property PACKAGE_PIN W5 [get_ports {clk}]
create_clock -period 10.000 -name sys [get_ports {clk}]
)",
     true, true, true, true, true},
    {"sdc", "create_clock -name sys -period 10.000 -waveform {0 5} [get_ports {clk}]\n", false,
     false, false, false, true},
    {"qsf", R"(set_location_assignment PIN_E3 -to led[0]
set_instance_assignment -name IO_STANDARD "LVCMOS33" -to led[0]
set_instance_assignment -name WEAK_PULL_UP_RESISTOR ON -to led[0]
set_instance_assignment -name CURRENT_STRENGTH_NEW "8MA" -to led[0]
set_instance_assignment -name SLEW_RATE 2 -to led[0]
set_location_assignment PIN_W5 -to clk
)",
     true, true, true, true, false},
    {"pdc", R"(set_io -port_name {led[0]} -pin_name E3 -fixed true -io_std LVCMOS33 -RES_PULL Up \
   -OUT_DRIVE 8 -SLEW High
set_io -port_name {clk} -pin_name W5 -fixed true
)",
     true, true, true, true, false},
    {"pdc", R"(ldc_set_location -site {E3} [get_ports {led[0]}]
ldc_set_port -iobuf {IO_TYPE=LVCMOS33 PULLMODE=UP DRIVE=8 SLEWRATE=FAST} [get_ports {led[0]}]
ldc_set_location -site {W5} [get_ports clk]
create_clock -name {sys} -period 10 [get_ports clk]
)",
     true, true, true, true, true},
    {"lpf", R"(LOCATE COMP "led[0]" SITE "E3";
IOBUF PORT "led[0]" IO_TYPE=LVCMOS33 PULLMODE=UP DRIVE=8 SLEWRATE=FAST;
LOCATE COMP "clk" SITE "W5";
FREQUENCY PORT "clk" 100 MHZ;
)",
     true, true, true, true, true},
    {"pcf", "set_io -pullup yes led[0] E3\nset_io clk W5\nset_frequency clk 100\n", false, true,
     false, false, true},
    {"cst", R"(IO_LOC "led[0]" E3;
IO_PORT "led[0]" IO_TYPE=LVCMOS33 PULL_MODE=UP DRIVE=8 SLEW_RATE=FAST;
IO_LOC "clk" W5;
)",
     true, true, true, true, false},
    {"ccf", R"(Net "led[0]" Loc = "E3" | IO_STANDARD=LVCMOS33 | PULLUP=true | DRIVE=8 | SLEW=fast;
Net "clk" Loc = "W5";
)",
     true, true, true, true, false},
    {"ucf", R"(NET "led[0]" LOC = "E3";
NET "led[0]" IOSTANDARD = "LVCMOS33";
NET "led[0]" PULLUP;
NET "led[0]" DRIVE = "8";
NET "led[0]" SLEW = "FAST";
NET clk LOC = W5 | PERIOD = 10 ns;
)",
     true, true, true, true, true},
};

TEST(ConstraintReader, EveryFormat_ReadsLocationsAndSettings) {
  for (const FormatCase& c : kFormats) {
    SCOPED_TRACE(std::string(c.format) + "\n" + c.text);
    const ReadResult result = Read(c.format, c.text);
    EXPECT_THAT(Messages(result.errors), ElementsAre());
    EXPECT_THAT(Messages(result.skipped), ElementsAre());
    const bool placed = std::string(c.format) != "sdc";
    if (placed) {
      const PinRow& led = Row(result, "led[0]");
      EXPECT_EQ(led.settings.location, "E3");
      EXPECT_EQ(led.line, 1u);
      EXPECT_EQ(led.busStem, "led");
      EXPECT_EQ(led.busIndex, 0);
      EXPECT_EQ(led.settings.ioStandard, c.ioStandard ? "LVCMOS33" : "");
      EXPECT_EQ(led.settings.pull, c.pull ? Pull::Up : Pull::Unset);
      EXPECT_EQ(led.settings.drive, c.drive ? "8" : "");
      EXPECT_EQ(led.settings.slew, c.slew ? "FAST" : "");
      EXPECT_TRUE(led.settings.passThrough.empty());
      EXPECT_EQ(Row(result, "clk").settings.location, "W5");
    }
    EXPECT_DOUBLE_EQ(Row(result, "clk").settings.frequencyHz, c.clock ? 100e6 : 0.0);
  }
}

// The strings keep the file's own words, which the neutral reading reads; the location comes
// first, as LOC.
TEST(ConstraintReader, BoardStrings_SayTheSettings) {
  const ReadResult result = Read("lpf", R"(LOCATE COMP "a" SITE "E3";
IOBUF PORT "a" IO_TYPE=LVCMOS33 PULLMODE=NONE DRIVE=8 OPENDRAIN=ON HYSTERESIS=ON;
FREQUENCY PORT "a" 25 MHZ;
)");
  EXPECT_THAT(Row(result, "a").strings,
              ElementsAre("LOC=E3", "IO_TYPE=LVCMOS33", "PULLMODE=NONE", "DRIVE=8", "OPENDRAIN=ON",
                          "HYSTERESIS=ON", "FREQUENCY=25 MHZ"));
  EXPECT_DOUBLE_EQ(Row(result, "a").settings.frequencyHz, 25e6);
  EXPECT_EQ(Row(result, "a").settings.pull, Pull::None);
}

TEST(ConstraintReader, Synonyms_ReadAsOneMeaning) {
  struct Case {
    const char* key;
    const char* value;
    Pull pull;
    const char* slew;
    const char* drive;
  } cases[] = {
      {"PULLUP", "true", Pull::Up, "", ""},
      {"PULLUP", "FALSE", Pull::None, "", ""},
      {"PULLDOWN", "yes", Pull::Down, "", ""},
      {"KEEPER", "TRUE", Pull::Keeper, "", ""},
      {"PULL_MODE", "DOWN", Pull::Down, "", ""},
      {"PULLMODE", "BUSKEEPER", Pull::Keeper, "", ""},
      {"RES_PULL", "None", Pull::None, "", ""},
      {"SLEWRATE", "slow", Pull::Unset, "SLOW", ""},
      {"SLEW", "medium", Pull::Unset, "MEDIUM", ""},
      {"CURRENT_STRENGTH_NEW", "12MA", Pull::Unset, "", "12"},
      {"DRIVE", "4", Pull::Unset, "", "4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + c.value);
    const ReadResult result =
        Read("xdc", std::string("set_property ") + c.key + " " + c.value + " [get_ports {p}]\n");
    const PinRow& row = Row(result, "p");
    EXPECT_EQ(row.settings.pull, c.pull);
    EXPECT_EQ(row.settings.slew, c.slew);
    EXPECT_EQ(row.settings.drive, c.drive);
    EXPECT_TRUE(row.settings.passThrough.empty());
  }
}

TEST(ConstraintReader, UnknownKeysAndValues_KeptAsPassThrough) {
  const ReadResult result = Read("xdc", R"(set_property DIFF_TERM_ADV TERM_100 [get_ports {a}]
set_property PULLMODE sideways [get_ports {a}]
set_property DRIVE lots [get_ports {a}]
)");
  const PinRow& row = Row(result, "a");
  ASSERT_EQ(row.settings.passThrough.size(), 3u);
  EXPECT_EQ(row.settings.passThrough[0].key, "DIFF_TERM_ADV");
  EXPECT_EQ(row.settings.passThrough[0].value, "TERM_100");
  EXPECT_EQ(row.settings.passThrough[1].key, "PULLMODE");
  EXPECT_EQ(row.settings.passThrough[2].value, "lots");
  EXPECT_EQ(row.settings.pull, Pull::Unset);
  EXPECT_EQ(row.settings.drive, "");
}

// Values only one format uses are read in that format's words.
TEST(ConstraintReader, FormatWords_ReadAsTheBoardsWords) {
  const ReadResult qsf = Read("qsf", R"(set_instance_assignment -name SLEW_RATE 0 -to a
set_instance_assignment -name SLEW_RATE 2 -to b
set_instance_assignment -name CURRENT_STRENGTH_NEW "MAXIMUM CURRENT" -to b
)");
  EXPECT_EQ(Row(qsf, "a").settings.slew, "SLOW");
  EXPECT_EQ(Row(qsf, "b").settings.slew, "FAST");
  ASSERT_EQ(Row(qsf, "b").settings.passThrough.size(), 1u);
  EXPECT_EQ(Row(qsf, "b").settings.passThrough[0].value, "MAXIMUM CURRENT");
  const ReadResult names = Read("qsf", R"(set_instance_assignment -name IO_STANDARD "2.5 V" -to a
set_instance_assignment -name IO_STANDARD "SSTL-2 CLASS II" -to b
set_instance_assignment -name IO_STANDARD "HSTL-12 CLASS I" -to c
set_instance_assignment -name ENABLE_BUS_HOLD_CIRCUITRY ON -to c
)");
  EXPECT_EQ(Row(names, "a").settings.ioStandard, "LVCMOS25");
  EXPECT_EQ(Row(names, "b").settings.ioStandard, "SSTL2_II");
  EXPECT_EQ(Row(names, "c").settings.ioStandard, "HSTL-12 CLASS I");  // no other name
  EXPECT_EQ(Row(names, "c").settings.pull, Pull::Keeper);
  const ReadResult pdc =
      Read("pdc", R"(set_io -port_name a -pin_name A1 -SLEW Low -RES_PULL Hold -DIRECTION INPUT
set_io b -pinname B1 -iostd LVDS -SLEW High -OUT_DRIVE 12 -DIRECTION OUTPUT
)");
  EXPECT_EQ(Row(pdc, "a").settings.slew, "SLOW");
  EXPECT_EQ(Row(pdc, "a").settings.pull, Pull::Keeper);
  EXPECT_EQ(Row(pdc, "a").settings.direction, MbdPins::Direction::In);
  EXPECT_EQ(Row(pdc, "b").settings.location, "B1");
  EXPECT_EQ(Row(pdc, "b").settings.ioStandard, "LVDS");
  EXPECT_EQ(Row(pdc, "b").settings.slew, "FAST");
  EXPECT_EQ(Row(pdc, "b").settings.drive, "12");
  EXPECT_EQ(Row(pdc, "b").settings.direction, MbdPins::Direction::Out);
  EXPECT_THAT(Row(pdc, "b").strings,
              ElementsAre("LOC=B1", "IOSTANDARD=LVDS", "SLEW=FAST", "DRIVE=12"));
  const ReadResult ccf = Read("ccf", "Pin_in \"c\" Loc = \"IO_A\" | SCHMITT_TRIGGER=true;\n");
  EXPECT_EQ(Row(ccf, "c").settings.direction, MbdPins::Direction::In);
  ASSERT_EQ(Row(ccf, "c").settings.passThrough.size(), 1u);
  EXPECT_EQ(Row(ccf, "c").settings.passThrough[0].key, "SCHMITT_TRIGGER");
}

TEST(ConstraintReader, Tcl_VariablesLoopsAndDict) {
  const ReadResult result = Read("xdc", R"(set std LVCMOS18
set pins {A1 B2 C3}
set i 0
foreach pin $pins {
  set_property -dict [list PACKAGE_PIN $pin IOSTANDARD $std] [get_ports "sw\[$i\]"]
  incr i
}
proc place {name pin} {
  set_property PACKAGE_PIN $pin [get_ports $name]
}
place {btn} D4
for {set k 0} {$k < 2} {incr k} { set_property PACKAGE_PIN [lindex {E5 F6} $k] [get_ports [format "dq_%d" $k]] }
set d [dict create IOSTANDARD LVDS DIFF_TERM TRUE]
set_property -dict $d [get_ports {dq_*}]
)");
  EXPECT_THAT(Messages(result.errors), ElementsAre());
  EXPECT_EQ(Names(result), "sw[0] sw[1] sw[2] btn dq_0 dq_1");
  EXPECT_EQ(Row(result, "sw[2]").settings.location, "C3");
  EXPECT_EQ(Row(result, "sw[2]").settings.ioStandard, "LVCMOS18");
  EXPECT_EQ(Row(result, "sw[2]").line, 5u);  // the loop body's line, not the loop's
  EXPECT_EQ(Row(result, "btn").settings.location, "D4");
  EXPECT_EQ(Row(result, "btn").line, 11u);  // a proc's command counts where it was called
  EXPECT_EQ(Row(result, "dq_1").settings.location, "F6");
  EXPECT_EQ(Row(result, "dq_1").settings.ioStandard, "LVDS");
  ASSERT_EQ(Row(result, "dq_0").settings.passThrough.size(), 1u);
  EXPECT_EQ(Row(result, "dq_0").settings.passThrough[0].key, "DIFF_TERM");
}

TEST(ConstraintReader, Tcl_BareBusBitsReadAsTheToolsReadThem) {
  const ReadResult result = Read("qsf", R"(set_location_assignment PIN_A1 -to LEDR[0]
set_location_assignment PIN_A2 -to LEDR[1]
set_instance_assignment -name IO_STANDARD "3.3-V LVTTL" -to LEDR[1]
)");
  EXPECT_THAT(Messages(result.skipped), ElementsAre());
  EXPECT_EQ(Names(result), "LEDR[0] LEDR[1]");
  EXPECT_EQ(Row(result, "LEDR[1]").settings.ioStandard, "LVTTL");  // the tool's own name read
  EXPECT_EQ(Row(result, "LEDR[1]").busIndex, 1);
}

TEST(ConstraintReader, Tcl_DangerousCommandsRefusedAndReported) {
  const ReadResult result = Read("xdc", R"(set_property PACKAGE_PIN A1 [get_ports {a}]
exec touch /tmp/qbd-reader-must-not-exist
set f [open /etc/passwd]
source /tmp/other.tcl
set_property PACKAGE_PIN [exec echo B2] [get_ports {b}]
frobnicate 1 2
set_property IOSTANDARD LVCMOS33 [current_design]
set_input_delay -clock sys 2 [get_ports {a}]
foreach cmd {1 2} {
  exec rm $cmd
}
)");
  EXPECT_THAT(Messages(result.errors), ElementsAre());
  EXPECT_THAT(Messages(result.skipped),
              ElementsAre(HasSubstr("f.xdc:2:1: error: refused: the command \"exec\""),
                          HasSubstr("f.xdc:3:1: error: refused: the command \"open\""),
                          HasSubstr("f.xdc:4:1: error: refused: the command \"source\""),
                          HasSubstr("f.xdc:5:1: error: refused: the command \"exec\""),
                          "f.xdc:6:1: error: \"frobnicate\" is not understood, skipped",
                          HasSubstr("f.xdc:7:1: error: \"current_design\" is not understood"),
                          HasSubstr("f.xdc:7:1: error: set_property IOSTANDARD on no port"),
                          HasSubstr("f.xdc:8:1: error: \"set_input_delay\" is not understood"),
                          HasSubstr("f.xdc:10:3: error: refused: the command \"exec\""),
                          HasSubstr("f.xdc:10:3: error: refused: the command \"exec\"")));
  EXPECT_EQ(Names(result), "a b");
  EXPECT_EQ(Row(result, "b").settings.location, "");
  EXPECT_NE(access("/tmp/qbd-reader-must-not-exist", F_OK), 0);
}

TEST(ConstraintReader, Tcl_HostileNamesStayNames) {
  const ReadResult result = Read("xdc", R"(set_property PACKAGE_PIN A1 [get_ports {a$b[0]}]
set_property PACKAGE_PIN A2 [get_ports {x;exec[y]}]
set_property PACKAGE_PIN A3 [get_ports "q\"\\\]\{"]
set_property PACKAGE_PIN A4 \x01port:0
set_property PACKAGE_PIN A5 [get_ports {-x}]
set_property PACKAGE_PIN A6 [get_ports -- {-y}]
)");
  EXPECT_THAT(Messages(result.errors), ElementsAre());
  // The tools take a leading '-' for an option however it is quoted; after "--" it is a name.
  EXPECT_THAT(Messages(result.skipped),
              ElementsAre(HasSubstr("f.xdc:5:1: error: get_ports -x is an option to the tools"),
                          HasSubstr("f.xdc:5:1: error: set_property PACKAGE_PIN on no port")));
  EXPECT_EQ(Rows(result, "a$b[0]").front()->settings.location, "A1");
  EXPECT_EQ(Row(result, "x;exec[y]").settings.location, "A2");
  // get_ports reads its argument as a list of names, as the tools do.
  EXPECT_EQ(Row(result, "q\"]{").settings.location, "A3");
  // A forged port object names no port the file did not name.
  ASSERT_EQ(Rows(result, "a$b[0]").size(), 2u);
  EXPECT_EQ(Rows(result, "a$b[0]").back()->settings.location, "A4");
  EXPECT_TRUE(Rows(result, "-x").empty());
  EXPECT_EQ(Row(result, "-y").settings.location, "A6");
  EXPECT_EQ(result.table.rows.size(), 5u);
}

TEST(ConstraintReader, Tcl_RunawayScriptsAreStopped) {
  struct Case {
    const char* script;
    const char* message;
    unsigned timeLimitMs;  // short only where the time limit is what stops the script
  } cases[] = {
      {"set_property PACKAGE_PIN A1 [get_ports a]\nwhile 1 {}\n", "evaluation stopped", 300},
      {"while 1 { set x 1 }\n", "evaluation stopped", 60000},  // the command count stops it
      {"proc f {} { f }\nf\n", "too many nested", 60000},
      {"set s x\nwhile 1 { append s $s }\n", "more than 16 MB", 60000},
      {"set x [expr {3**5000000}]\n", "** operator is not allowed", 60000},
      {"set x [string repeat ab 1000000000]\n", "repeat", 60000},
      {"set x [format %999999999s a]\n", "format width too large", 60000},
      {"set x [lrepeat 1000000000 a]\n", "\"lrepeat\" is not run", 60000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    MbdFormats::ReadOptions options;
    options.commandLimit = 20000;
    options.timeLimitMs = c.timeLimitMs;
    ReadResult result;
    MbdFormats::ReadConstraints("xdc", c.script, "f.xdc", options, result);
    std::vector<std::string> all = Messages(result.errors);
    for (const std::string& line : Messages(result.skipped)) all.push_back(line);
    ASSERT_FALSE(all.empty());
    EXPECT_THAT(all.front(), HasSubstr(c.message));
  }
}

// A value or location that a board string would read as more than one setting is skipped with
// a note, so that no text of a file can become a location on the board.
TEST(ConstraintReader, ValuesThatWouldReadAsMore_Skipped) {
  const ReadResult xdc = Read("xdc", R"(set_property PACKAGE_PIN A1 [get_ports {a}]
set_property IOSTANDARD {x LOC=Z9} [get_ports {a}]
set_property PACKAGE_PIN {B2 LOC=Z9} [get_ports {b}]
)");
  EXPECT_EQ(Row(xdc, "a").settings.location, "A1");
  EXPECT_EQ(Row(xdc, "a").settings.ioStandard, "");
  EXPECT_EQ(Row(xdc, "b").settings.location, "");
  EXPECT_THAT(
      Messages(xdc.skipped),
      ElementsAre(
          "f.xdc:2:1: error: the setting IOSTANDARD=x LOC=Z9 of a skipped: a board cannot hold it",
          "f.xdc:3:1: error: the location \"B2 LOC=Z9\" of b skipped: a board cannot hold it"));
  const ReadResult lpf =
      Read("lpf", "IOBUF PORT \"a\" IO_TYPE=\"x LOC=Z9\";\nIOBUF PORT \"b\" \"LOC=Z9 X\"=1;\n");
  EXPECT_EQ(lpf.skipped.size(), 1u);
  EXPECT_EQ(Row(lpf, "a").settings.location, "");
  EXPECT_THAT(Messages(lpf.errors),
              ElementsAre(HasSubstr("f.lpf:2:16: error: expected KEY=VALUE")));
}

TEST(ConstraintReader, CommentedMaster_ReadOnlyWhenAsked) {
  const std::string master = R"(## This file is a general master file
## Rename the used ports to match the design

## Clock signal
#set_property -dict { PACKAGE_PIN E3    IOSTANDARD LVCMOS33 } [get_ports { CLK100MHZ }]; #IO_L12P_T1_MRCC_35 Sch=gclk[100]
#create_clock -add -name sys_clk_pin -period 10.00 -waveform {0 5} [get_ports { CLK100MHZ }];

##Switches
#set_property -dict { PACKAGE_PIN J15   IOSTANDARD LVCMOS33 } [get_ports { SW[0] }]; #IO_L24N_T3_RS0_15 Sch=sw[0]
#   set_property -dict { PACKAGE_PIN L16   IOSTANDARD LVCMOS33 } [get_ports { SW[1] }];
)";
  EXPECT_TRUE(Read("xdc", master).table.rows.empty());
  const ReadResult result = Read("xdc", master, true);
  EXPECT_THAT(Messages(result.errors), ElementsAre());
  EXPECT_EQ(Names(result), "CLK100MHZ SW[0] SW[1]");
  EXPECT_EQ(Row(result, "CLK100MHZ").heading, "Clock signal");
  EXPECT_DOUBLE_EQ(Row(result, "CLK100MHZ").settings.frequencyHz, 100e6);
  EXPECT_EQ(Row(result, "SW[1]").heading, "Switches");
  EXPECT_EQ(Row(result, "SW[1]").line, 10u);
  ASSERT_EQ(result.lineSets.size(), 2u);
  EXPECT_EQ(result.lineSets[1].heading, "Switches");
  EXPECT_EQ(result.lineSets[1].firstLine, 8u);
  EXPECT_THAT(result.lineSets[1].rows, ElementsAre(1u, 2u));
}

// Prose that begins with a command's word stays a comment, and a heading.
TEST(ConstraintReader, CommentedMaster_ProseStaysProse) {
  struct Case {
    const char* format;
    const char* text;
  } cases[] = {
      {"xdc", "# create_clock for the 100 MHz input\n#create_clock -period 10 [get_ports clk]\n"},
      {"lpf", "# Locate the clock on its pin\n#FREQUENCY PORT \"clk\" 100 MHZ;\n"},
      {"pcf", "# set_io lines for the clock follow\n#set_frequency clk 100\n"},
      {"ucf", "# Net names as the schematic has them\n#NET \"clk\" PERIOD = 10 ns;\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    const ReadResult result = Read(c.format, c.text, true);
    EXPECT_THAT(Messages(result.errors), ElementsAre());
    EXPECT_DOUBLE_EQ(Row(result, "clk").settings.frequencyHz, 100e6);
    EXPECT_NE(Row(result, "clk").heading, "");
  }
}

TEST(ConstraintReader, CommentedMaster_EveryLineFormat) {
  struct Case {
    const char* format;
    const char* text;
  } cases[] = {
      {"lpf",
       "# LEDs\n# LOCATE COMP \"led\" SITE \"B2\";\n//IOBUF PORT \"led\" IO_TYPE=LVCMOS33;\n"},
      {"pcf", "# LEDs\n#set_io led B2\n"},
      {"cst", "// LEDs\n//IO_LOC \"led\" B2;\n"},
      {"ccf", "# LEDs\n# Net \"led\" Loc = \"B2\";\n"},
      {"ucf", "# LEDs\n#NET \"led\" LOC = \"B2\";\n"},
      {"qsf", "# LEDs\n#set_location_assignment PIN_B2 -to led\n"},
      {"pdc", "# LEDs\n#set_io -port_name led -pin_name B2\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    EXPECT_TRUE(Read(c.format, c.text).table.rows.empty());
    const ReadResult result = Read(c.format, c.text, true);
    EXPECT_THAT(Messages(result.errors), ElementsAre());
    EXPECT_EQ(Row(result, "led").settings.location, "B2");
    EXPECT_EQ(Row(result, "led").heading, "LEDs");
  }
}

TEST(ConstraintReader, AlternativeLineSets_KeepBothUsesOfABall) {
  const ReadResult result = Read("lpf", R"(# PMOD as single-ended
LOCATE COMP "pmod_0" SITE "C1";
LOCATE COMP "pmod_1" SITE "C2";

# PMOD as a differential pair
LOCATE COMP "pmod_d_p" SITE "C1";
LOCATE COMP "pmod_0" SITE "C3";
IOBUF PORT "pmod_0" IO_TYPE=LVDS;
)");
  EXPECT_EQ(Names(result), "pmod_0 pmod_1 pmod_d_p pmod_0");
  ASSERT_EQ(result.lineSets.size(), 2u);
  EXPECT_EQ(result.lineSets[0].heading, "PMOD as single-ended");
  EXPECT_THAT(result.lineSets[0].rows, ElementsAre(0u, 1u));
  EXPECT_EQ(result.lineSets[1].heading, "PMOD as a differential pair");
  EXPECT_THAT(result.lineSets[1].rows, ElementsAre(2u, 3u));
  std::vector<const PinRow*> again = Rows(result, "pmod_0");
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(again[0]->settings.location, "C1");
  EXPECT_EQ(again[0]->settings.ioStandard, "");
  EXPECT_EQ(again[1]->settings.location, "C3");
  EXPECT_EQ(again[1]->settings.ioStandard, "LVDS");
}

TEST(ConstraintReader, Pairs_StatedByTheFile) {
  const ReadResult cst =
      Read("cst", "IO_LOC \"hdmi_p\" 39,40;\nIO_PORT \"hdmi_p\" IO_TYPE=LVDS25;\n");
  EXPECT_EQ(Row(cst, "hdmi_p").settings.location, "39");
  EXPECT_EQ(Row(cst, "hdmi_p").pairSide, MbdPins::PairSide::P);
  EXPECT_EQ(Row(cst, "hdmi_p").partner, "hdmi_n");
  EXPECT_EQ(Row(cst, "hdmi_n").settings.location, "40");
  EXPECT_EQ(Row(cst, "hdmi_n").pairSide, MbdPins::PairSide::N);
  // The pair's settings are written once, on the P side; they are the N side's too.
  EXPECT_EQ(Row(cst, "hdmi_n").settings.ioStandard, "LVDS25");
  const ReadResult qsf = Read("qsf",
                              "set_location_assignment PIN_A1 -to clk\n"
                              "set_location_assignment PIN_A2 -to \"clk(n)\"\n");
  EXPECT_EQ(Row(qsf, "clk").pairSide, MbdPins::PairSide::P);
  EXPECT_EQ(Row(qsf, "clk(n)").partner, "clk");
  EXPECT_EQ(Row(qsf, "clk(n)").settings.location, "A2");
  const ReadResult named = Read("qsf",
                                "set_location_assignment PIN_A1 -to d_p\n"
                                "set_location_assignment PIN_A2 -to \"d_p(n)\"\n"
                                "set_location_assignment PIN_A3 -to \"e(n)\"\n");
  EXPECT_EQ(Names(named), "d_p d_n e(n)");
  EXPECT_EQ(Row(named, "d_n").partner, "d_p");
  EXPECT_EQ(Row(named, "e(n)").pairSide, MbdPins::PairSide::None);  // no e in the file
}

TEST(ConstraintReader, BadInput_LocatedErrors) {
  struct Case {
    const char* format;
    const char* text;
    const char* error;
  } cases[] = {
      {"xdc",
       "set_property PACKAGE_PIN A1 [get_ports {a}]\nset_property PACKAGE_PIN {A2 [get_ports b]\n",
       "f.xdc:2:1: error: missing close-brace"},
      {"xdc", "set_property PACKAGE_PIN\n", "f.xdc:1:1: error: set_property needs a key, a value"},
      {"xdc", "\nset x [expr {1/0}]\n", "f.xdc:2:1: error: divide by zero"},
      // An error of Tcl's own counts at its top-level command; a recording command's at its line.
      {"xdc", "\nforeach p {A B} {\n\n  error boom\n}\n", "f.xdc:2:1: error: boom"},
      {"xdc", "create_clock -name x [get_ports a]\n",
       "f.xdc:1:1: error: create_clock needs -period"},
      {"xdc", "foreach p {A B} {\n  create_clock -period $p [get_ports a]\n}\n",
       "f.xdc:2:3: error: create_clock needs -period"},
      {"qsf", "set_location_assignment PIN_A1\n",
       "f.qsf:1:1: error: set_location_assignment takes"},
      {"pdc", "set_io -pin_name A1\n", "f.pdc:1:1: error: set_io needs -port_name"},
      {"lpf", "LOCATE COMP \"a\" SITE \"A1\";\n  LOCATE COMP \"b\" SITE \"B1\"\n",
       "f.lpf:2:3: error: the statement has no closing ';'"},
      {"lpf", "LOCATE COMP \"a\" SIDE \"A1\";\n", "f.lpf:1:1: error: expected LOCATE COMP"},
      {"lpf", "IOBUF PORT \"a\" IO_TYPE= ;\n", "f.lpf:1:23: error: expected KEY=VALUE"},
      {"lpf", "LOCATE COMP \"a SITE \"A1\";\n", "f.lpf:1:24: error: the string is not closed"},
      {"pcf", "set_io a\n", "f.pcf:1:1: error: set_io takes a port name and a pin, found 1 word"},
      {"pcf", "set_io a b c\n", "found 3 words"},
      {"pcf", "set_io -pullup\n", "f.pcf:1:8: error: the option -pullup needs a value"},
      {"pcf", "set_frequency clk fast\n", "f.pcf:1:1: error: set_frequency takes"},
      {"cst", "IO_LOC \"a\";\n", "f.cst:1:1: error: expected IO_LOC"},
      {"cst", "  IO_LOCK \"a\" 1;\n", "f.cst:1:3: error: unknown statement IO_LOCK"},
      {"ccf", "Net \"a\" Loc = ;\n", "f.ccf:1:13: error: expected KEY=VALUE"},
      {"ccf", "Pin \"a\" Loc = \"A1\";\n", "f.ccf:1:1: error: unknown statement Pin"},
      {"ucf", "NET \"a\" LOC = \"A1\"\n", "f.ucf:1:1: error: the statement has no closing ';'"},
      {"vhd", "", "f.vhd:1:1: error: unknown constraint format \"vhd\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.format) + ": " + c.text);
    MbdFormats::ReadResult result;
    EXPECT_FALSE(MbdFormats::ReadConstraints(c.format, c.text, std::string("f.") + c.format,
                                             MbdFormats::ReadOptions(), result));
    ASSERT_FALSE(result.errors.empty());
    EXPECT_THAT(MbdFormats::FormatReadError(result.errors.front()), HasSubstr(c.error));
  }
}

TEST(ConstraintReader, SkippedButReadable) {
  const ReadResult lpf = Read("lpf", R"(BLOCK RESETPATHS;
SYSCONFIG CONFIG_IOVOLTAGE=3.3;
LOCATE COMP "a" SITE "A1";
IOBUF GROUP "g" IO_TYPE=LVCMOS33;
FREQUENCY NET "clk_c" 25 MHZ;
)");
  EXPECT_THAT(Messages(lpf.errors), ElementsAre());
  EXPECT_EQ(lpf.skipped.size(), 4u);
  EXPECT_EQ(Names(lpf), "a");
  const ReadResult pcf = Read("pcf", "set_io -nowarn -weird a A1 # comment\nset_location x 1\n");
  EXPECT_THAT(Messages(pcf.skipped),
              ElementsAre("f.pcf:1:16: error: unknown option -weird of set_io skipped",
                          "f.pcf:2:1: error: unknown command set_location skipped"));
  EXPECT_EQ(Row(pcf, "a").settings.location, "A1");
  const ReadResult qsf = Read("qsf", R"(set_global_assignment -name FAMILY "X"
set_instance_assignment -name PARTITION_HIERARCHY root -to | -section_id Top
)");
  EXPECT_THAT(Messages(qsf.errors), ElementsAre());
  EXPECT_EQ(qsf.skipped.size(), 2u);
  EXPECT_TRUE(qsf.table.rows.empty());
}

TEST(ConstraintReader, FormatOfFile_ByExtension) {
  EXPECT_EQ(MbdFormats::FormatOfFile("board/top.XDC", ""), "xdc");
  EXPECT_EQ(MbdFormats::FormatOfFile("a.pdc", "ldc_set_location -site {A1} [get_ports a]"), "pdc");
  EXPECT_EQ(MbdFormats::FormatOfFile("a.pdc", "set_io -port_name a -pin_name A1"), "pdc");
  EXPECT_EQ(MbdFormats::FormatOfFile("dir.lpf/readme", ""), "");
  EXPECT_EQ(MbdFormats::FormatOfFile("noextension", ""), "");
  for (const std::string& format : MbdFormats::ReaderFormats())
    EXPECT_EQ(MbdFormats::FormatOfFile("x." + format, ""), format);
}

// A .pdc may be either dialect: the one reader reads both, and the dialect the text holds is
// reported, commented-out masters included; a file of another type has none.
TEST(ConstraintReader, FormatOfFile_ReportsThePdcDialect) {
  const std::pair<const char*, const char*> cases[] = {
      {"set_io -port_name a -pin_name A1\n", "set_io"},
      {"# pins\nldc_set_location -site {A1} [get_ports a]\n", "ldc"},
      {"ldc_set_port -iobuf {IO_TYPE=LVCMOS33} [get_ports a]\n", "ldc"},
      {"#set_io a -pinname A1\n", "set_io"},
      {"foreach p {a b} {\n  set_io -port_name $p -pin_name A1\n}\n", "set_io"},
      {"set_io -port_name a -pin_name A1\r\nldc_set_location -site {B1} [get_ports b]", "mixed"},
      {"create_clock -period 10 [get_ports clk]\n# set_iostandard is prose\n", ""},
      {"", ""}};
  for (const auto& [text, dialect] : cases) {
    SCOPED_TRACE(text);
    std::string seen = "stale";
    EXPECT_EQ(MbdFormats::FormatOfFile("board/x.PDC", text, &seen), "pdc");
    EXPECT_EQ(seen, dialect);
  }
  std::string seen = "stale";
  EXPECT_EQ(MbdFormats::FormatOfFile("x.xdc", "set_io a A1\n", &seen), "xdc");
  EXPECT_EQ(seen, "");
  seen = "stale";
  EXPECT_EQ(MbdFormats::FormatOfFile("x.txt", "set_io a A1\n", &seen), "");
  EXPECT_EQ(seen, "");
}

TEST(ConstraintReader, Appending_KeepsEachFilesRows) {
  MbdFormats::ReadResult result;
  const MbdFormats::ReadOptions options;
  ASSERT_TRUE(MbdFormats::ReadConstraints("pcf", "set_io clk A1\n", "a.pcf", options, result));
  ASSERT_TRUE(MbdFormats::ReadConstraints("sdc", "create_clock -period 20 [get_ports clk]\n",
                                          "b.sdc", options, result));
  ASSERT_EQ(result.table.rows.size(), 2u);
  EXPECT_EQ(result.table.rows[0].file, "a.pcf");
  EXPECT_EQ(result.table.rows[1].file, "b.sdc");
  EXPECT_DOUBLE_EQ(result.table.rows[1].settings.frequencyHz, 50e6);
  EXPECT_THAT(result.lineSets.back().rows, ElementsAre(1u));
}

}  // namespace
