// The constraint writers: each format's file for a table holding every kind of setting matches
// its golden file and reads back, through a reader as strict as its toolchain's, with every
// port, location and setting it can express; whatever it cannot is named. Hostile names either
// come back exactly or are refused by name, and never become a line of their own.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include "FormatReadBack.h"
#include "Golden.h"
#include "MbdConstraintWriter.h"

#ifdef FORMATS_HAVE_JSON
#include <nlohmann/json.hpp>
#endif

namespace {

using golden::ExpectGolden;
using golden::Slurp;

using MbdFormats::WriteOutput;
using MbdPins::PinRow;
using MbdPins::PinTable;
using MbdPins::Pull;

const std::vector<std::string> kPinFormats = {"ucf", "xdc", "pcf", "lpf", "cst",
                                              "qsf", "pdc", "ccf"};

PinRow Row(const std::string& name, const std::string& location) {
  PinRow row;
  row.name = row.net = name;
  row.instance = "dev_0";
  row.port = "P_" + name;
  row.fpgaBlock = "fpga_0";
  row.fpgaPin = "pin_" + name;
  row.settings.location = location;
  if (!location.empty()) row.strings.push_back("LOC=" + location);
  return row;
}

// A table with every kind of setting, pair and note a writer meets.
PinTable DemoTable() {
  PinTable t;
  t.source = "demo.qbd";
  PinRow clk = Row("clk", "J3");
  clk.settings.ioStandard = "LVCMOS33";
  clk.settings.frequencyHz = 12e6;
  clk.settings.direction = MbdPins::Direction::In;
  clk.strings = {"LOC=J3", "IOSTANDARD=LVCMOS33", "PERIOD=83333 ps"};
  t.rows.push_back(clk);
  for (int bit = 0; bit < 2; ++bit) {
    PinRow led = Row("led[" + std::to_string(bit) + "]", bit ? "B4" : "B5");
    led.net = "led_" + std::to_string(bit);
    led.busStem = "led";
    led.busIndex = bit;
    led.settings.ioStandard = "LVCMOS33";
    led.settings.drive = "8";
    led.settings.slew = "FAST";
    led.settings.direction = MbdPins::Direction::Out;
    led.strings = {"LOC=" + led.settings.location, "IOSTANDARD=LVCMOS33 DRIVE=8 SLEW=FAST"};
    t.rows.push_back(led);
  }
  PinRow btn = Row("btn", "C3");
  btn.settings.pull = Pull::Up;
  btn.strings = {"LOC=C3", "PULLUP"};
  t.rows.push_back(btn);
  PinRow hold = Row("hold", "D2");
  hold.settings.pull = Pull::Keeper;
  hold.strings = {"LOC=D2", "KEEPER"};
  t.rows.push_back(hold);
  PinRow p = Row("lvds_p", "E1");
  PinRow n = Row("lvds_n", "E2");
  p.settings.ioStandard = n.settings.ioStandard = "LVDS";
  p.pairSide = MbdPins::PairSide::P;
  p.partner = "lvds_n";
  n.pairSide = MbdPins::PairSide::N;
  n.partner = "lvds_p";
  t.rows.push_back(p);
  t.rows.push_back(n);
  PinRow odd = Row("odd", "F4");
  odd.settings.pull = Pull::Down;
  odd.settings.slew = "SLOW";
  odd.settings.termination = "UNTUNED_SPLIT_50";
  odd.settings.passThrough = {{"DIFF_TERM", "", false}, {"FOO", "bar", true}};
  odd.settings.malformed = {"FAST_OUTPUT_REGISTER ON"};
  odd.strings = {"LOC=F4", "PULLDOWN", "SLEW=SLOW", "DIFF_TERM", "FOO=bar",
                 "FAST_OUTPUT_REGISTER ON"};
  t.rows.push_back(odd);
  PinRow quiet = Row("quiet", "G1");
  quiet.settings.pull = Pull::None;
  quiet.strings = {"LOC=G1", "PULL_MODE=NONE"};
  t.rows.push_back(quiet);
  PinRow noloc = Row("noloc", "");
  noloc.settings.ioStandard = "LVCMOS33";
  noloc.strings = {"IOSTANDARD=LVCMOS33"};
  t.rows.push_back(noloc);
  PinRow spare = Row("spare", "");
  spare.fpgaBlock.clear();
  spare.fpgaPin.clear();
  t.rows.push_back(spare);
  return t;
}

WriteOutput Write(const std::string& format, const PinTable& table, bool lenient = false) {
  WriteOutput out;
  MbdFormats::WriteOptions options;
  options.source = table.source;
  options.lenient = lenient;
  EXPECT_TRUE(MbdFormats::WriteConstraints(format, table, options, out)) << format;
  return out;
}

// The notes a writer made about `port`, joined. `refused` is set when the file itself does not
// name the port, `clockRefused` when its companion .sdc does not (its notes start "in the .sdc").
std::string NotesOf(const WriteOutput& out, const std::string& port, bool* refused = nullptr,
                    bool* clockRefused = nullptr) {
  std::string notes;
  for (const MbdPins::Problem& p : out.unexpressed)
    if (p.port == port) {
      notes += p.message + "\n";
      const bool companion = p.message.rfind("in the .sdc: ", 0) == 0;
      if (refused && p.error && !companion) *refused = true;
      if (clockRefused && p.error && companion) *clockRefused = true;
    }
  return notes;
}

// What a setting looks like in a note, and under which neutral key a reader gives it back.
struct Expected {
  std::string key;
  std::string value;
  std::string note;
};

std::vector<Expected> ExpectedSettings(const MbdPins::PinSettings& s) {
  std::vector<Expected> result;
  const char* pulls[] = {"", "up", "down", "keeper", "none"};
  if (!s.ioStandard.empty()) result.push_back({"io", s.ioStandard, "io standard " + s.ioStandard});
  if (s.pull != Pull::Unset) {
    const std::string pull = pulls[static_cast<int>(s.pull)];
    result.push_back({"pull", pull, "pull " + pull});
  }
  if (!s.drive.empty()) result.push_back({"drive", s.drive, "drive " + s.drive});
  if (!s.slew.empty()) result.push_back({"slew", s.slew, "slew " + s.slew});
  if (!s.termination.empty())
    result.push_back({"term", s.termination, "termination " + s.termination});
  for (const MbdPins::PassThrough& p : s.passThrough)
    result.push_back({p.key, p.hasValue ? p.value : "", p.hasValue ? p.key + "=" + p.value
                                                                   : p.key});
  return result;
}

bool ClocksInCompanion(const std::string& format) {
  const MbdFormats::FormatInfo* info = MbdFormats::FindFormat(format);
  return info && std::string(info->clockFile) == ".sdc";
}

// Reads `out` back as `format` and checks that every row of `table` comes back with its
// location and each setting, or is named in the notes; and that nothing else comes back.
void ExpectReadsBack(const std::string& format, const PinTable& table, const WriteOutput& out) {
  SCOPED_TRACE(format + " file:\n" + out.text);
  const readback::ReadBack back = readback::Read(format, out.text);
  EXPECT_TRUE(back.errors.empty()) << back.errors.front();
  std::set<std::string> expectedPorts;
  for (const PinRow& row : table.rows) {
    if (row.fpgaPin.empty()) continue;
    SCOPED_TRACE("port " + row.name);
    bool refused = false;
    const std::string notes = NotesOf(out, row.name, &refused);
    if (refused) {
      EXPECT_EQ(back.ports.count(row.name), 0u);
      continue;
    }
    const bool negative = row.pairSide == MbdPins::PairSide::N;
    if (negative && (format == "pcf" || format == "lpf")) {
      EXPECT_NE(notes.find("the N side of pair " + row.partner), std::string::npos) << notes;
      EXPECT_EQ(back.ports.count(row.name), 0u);
      continue;
    }
    if (negative && format == "cst") {
      ASSERT_EQ(back.ports.count(row.partner), 1u);
      EXPECT_EQ(back.ports.at(row.partner).pairN, row.settings.location);
      continue;
    }
    std::string name = row.name;
    if (negative && format == "qsf") name = row.partner + "(n)";
    if (format == "ucf") {
      const auto found = back.ports.find(name);
      ASSERT_NE(found, back.ports.end());
      // The ucf form copies the strings, whose values read without surrounding blanks.
      const std::string& loc = row.settings.location;
      const std::size_t first = loc.find_first_not_of(" \t");
      const std::size_t last = loc.find_last_not_of(" \t");
      EXPECT_EQ(found->second.location,
                first == std::string::npos ? "" : loc.substr(first, last - first + 1));
      continue;  // the strings themselves are checked by the golden files
    }
    expectedPorts.insert(name);
    const auto found = back.ports.find(name);
    const bool stated = !row.settings.location.empty() || !ExpectedSettings(row.settings).empty();
    if (!stated) continue;
    const readback::Found none;
    if (found == back.ports.end()) {
      EXPECT_TRUE(row.settings.location.empty()) << "missing";
    }
    const readback::Found& f = found == back.ports.end() ? none : found->second;
    EXPECT_EQ(f.location, row.settings.location);
    for (const Expected& e : ExpectedSettings(row.settings)) {
      const auto it = f.settings.find(e.key);
      if (it == f.settings.end()) {
        EXPECT_NE(notes.find(e.note), std::string::npos) << "neither written nor noted: "
                                                         << e.note << "\n" << notes;
        continue;
      }
      if (!e.value.empty()) {
        EXPECT_EQ(it->second, e.value) << e.key;
      }
      EXPECT_EQ(notes.find(e.note), std::string::npos) << "written and noted: " << e.note;
    }
    if (row.settings.frequencyHz > 0 && !ClocksInCompanion(format) && format != "ucf") {
      EXPECT_NEAR(f.megahertz, row.settings.frequencyHz / 1e6, 1e-3);
    }
  }
  if (format != "ucf") {
    for (const auto& [name, found] : back.ports)
      EXPECT_TRUE(expectedPorts.count(name)) << "a port no row exported: " << name;
  }
  if (ClocksInCompanion(format)) {
    const readback::ReadBack clocks = readback::Read("sdc", out.companionText);
    EXPECT_TRUE(clocks.errors.empty()) << clocks.errors.front();
    for (const PinRow& row : table.rows) {
      bool refused = false, clockRefused = false;
      NotesOf(out, row.name, &refused, &clockRefused);
      if (row.fpgaPin.empty() || row.settings.frequencyHz <= 0 || refused) continue;
      if (clockRefused) {
        EXPECT_EQ(clocks.ports.count(row.name), 0u) << row.name;
        continue;
      }
      ASSERT_EQ(clocks.ports.count(row.name), 1u) << row.name;
      EXPECT_NEAR(clocks.ports.at(row.name).megahertz, row.settings.frequencyHz / 1e6, 1e-3);
    }
  }
}

class EveryFormat : public testing::TestWithParam<std::string> {};

TEST_P(EveryFormat, DemoTable_MatchesGolden) {
  const WriteOutput out = Write(GetParam(), DemoTable());
  ExpectGolden("demo." + GetParam(), out.text);
  if (!out.companionText.empty()) ExpectGolden("demo." + GetParam() + ".sdc", out.companionText);
  EXPECT_EQ(out.companionExtension.empty(), out.companionText.empty());
}

TEST_P(EveryFormat, DemoTable_ReadsBack) {
  const PinTable table = DemoTable();
  ExpectReadsBack(GetParam(), table, Write(GetParam(), table));
}

// The registry's word for each format agrees with what its writer does with the setting.
TEST_P(EveryFormat, Registry_SaysWhatTheWriterExpresses) {
  const std::string format = GetParam();
  const PinTable table = DemoTable();
  const WriteOutput out = Write(format, table);
  const std::pair<MbdFormats::Setting, std::string> settings[] = {
      {MbdFormats::Setting::IoStandard, "io standard LVCMOS33"},
      {MbdFormats::Setting::PullUp, "pull up"},
      {MbdFormats::Setting::PullDown, "pull down"},
      {MbdFormats::Setting::Keeper, "pull keeper"},
      {MbdFormats::Setting::Drive, "drive 8"},
      {MbdFormats::Setting::Slew, "slew FAST"},
      {MbdFormats::Setting::Termination, "termination UNTUNED"}};
  std::string notes;
  for (const MbdPins::Problem& p : out.unexpressed) notes += p.message + "\n";
  for (const auto& [setting, note] : settings)
    EXPECT_EQ(MbdFormats::Expresses(format, setting), notes.find(note) == std::string::npos)
        << note << "\n" << notes;
}

// Names that break one reader or another: quotes, braces, brackets, comment and statement
// marks, blanks, Tcl's substitutions, line ends of every kind, and text meant to start a line.
const std::vector<std::string> kHostileNames = {
    "led[0]",
    "a\"b",
    "a{b",
    "a}b",
    "{x}",
    "a b",
    "a#b",
    "#start",
    "a;b",
    "a//b",
    "$x",
    "[exit 3]",
    "a\\b",
    "a\\",
    "x\nset_io evil Z9",
    "x\r\nLOCATE COMP \"evil\" SITE \"Z9\";",
    "x\"; LOCATE COMP \"evil\" SITE \"Z9\"; #",
    "} ; set_property PACKAGE_PIN Z9 [get_ports {evil}] ; {",
    "x\\\nset_io evil Z9",
    "\xC3\xA9t\xC3\xA9",
    "a\xE2\x80\xA8set_io evil Z9",
    "a\xC2\x85set_io evil Z9",
    "-pullup",
    "a\tb",
    "Net \"evil\" Loc = \"Z9\";",
    "a\xFF\xC3" "b",
};

// Whether the format's readers can carry a name at all.
bool Carries(const std::string& format, const std::string& name) {
  const auto has = [&name](const char* what) { return name.find(what) != std::string::npos; };
  bool control = false;
  for (unsigned char c : name) control = control || c < 0x20 || c == 0x7f;
  control = control || has("\xE2\x80\xA8") || has("\xC2\x85");
  if (format == "pcf" || format == "xdc")
    if (name[0] == '-') return false;
  if (format == "pcf") return !control && !has(" ") && !has("#");
  if (format == "lpf" || format == "cst")
    return !control && !has(" ") && !has("#") && !has("//") && !has(";") && !has("\"");
  if (format == "ccf") return !control && !has("#") && !has(";") && !has("\"");
  return true;
}

PinTable HostileTable(const std::string& name) {
  PinTable t;
  t.source = "hostile\n.qbd";
  PinRow row = Row(name, "A1");
  row.settings.ioStandard = "LVCMOS33";
  row.settings.pull = Pull::Up;
  row.settings.frequencyHz = 100e6;
  t.rows.push_back(row);
  PinRow plain = Row("plain", "B2");
  plain.settings.drive = "12";
  t.rows.push_back(plain);
  t.problems.push_back({name, "a problem naming " + name, true});
  return t;
}

TEST_P(EveryFormat, HostileNames_ComeBackExactlyOrAreRefusedByName) {
  const std::string format = GetParam();
  for (const std::string& name : kHostileNames) {
    SCOPED_TRACE("name " + name);
    const PinTable table = HostileTable(name);
    const WriteOutput out = Write(format, table, true);
    bool refused = false;
    NotesOf(out, name, &refused);
    EXPECT_EQ(refused, !Carries(format, name));
    ExpectReadsBack(format, table, out);
    if (format == "ucf") {
      const readback::ReadBack back = readback::Read("ucf", out.text);
      EXPECT_EQ(back.ports.size(), 2u);
      EXPECT_EQ(back.ports.count(name), 1u);
    }
  }
}

// Random names and values from the characters that matter to some reader: every one comes
// back exactly or is refused by name, in every format, and no other port appears.
TEST_P(EveryFormat, RandomHostileTables_ReadBack) {
  const std::string format = GetParam();
  const std::vector<std::string> pieces = {
      "a", "Z", "0", "_", "[", "]", "{", "}", "\"", "\\", "$", ";", "#", "//", " ", "\t",
      "\n", "\r", "-", "=", "|", ",", "(n)", "\xC3\xA9", "\xE2\x80\xA8", "\xC2\x85", "\x01"};
  std::mt19937 rng(7);
  const auto word = [&](std::size_t most) {
    std::string text;
    for (std::size_t n = 1 + rng() % most; n > 0; --n) text += pieces[rng() % pieces.size()];
    return text;
  };
  for (int round = 0; round < 100; ++round) {
    PinTable table;
    std::set<std::string> names;
    for (int r = 0; r < 4; ++r) {
      std::string name = word(6);
      if (!names.insert(name).second) continue;
      PinRow row = Row(name, rng() % 3 ? "A" + std::to_string(r) : word(3));
      if (rng() % 2) row.settings.ioStandard = rng() % 2 ? "LVCMOS33" : word(3);
      if (rng() % 2) row.settings.frequencyHz = 1e6 * (1 + rng() % 200);
      if (rng() % 3 == 0) row.settings.passThrough.push_back({word(2), word(3), true});
      table.rows.push_back(row);
    }
    SCOPED_TRACE("round " + std::to_string(round));
    ExpectReadsBack(format, table, Write(format, table));
    if (testing::Test::HasFailure()) return;
  }
}

// A location or a value that the format cannot carry is refused or noted, never written.
TEST_P(EveryFormat, HostileValues_NeverBecomeLines) {
  const std::string format = GetParam();
  for (const std::string& value : {std::string("A1 B2"), std::string("A1\"; x"),
                                   std::string("A1\nset_io evil Z9"), std::string("A1 # x")}) {
    SCOPED_TRACE("value " + value);
    PinTable table;
    PinRow row = Row("port", value);
    row.settings.ioStandard = value;
    table.rows.push_back(row);
    const WriteOutput out = Write(format, table);
    const readback::ReadBack back = readback::Read(format, out.text);
    EXPECT_TRUE(back.errors.empty()) << back.errors.front() << "\n" << out.text;
    for (const auto& [name, found] : back.ports) {
      EXPECT_EQ(name, "port") << out.text;
      if (!found.location.empty()) {
        EXPECT_EQ(found.location, value);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryFormat, testing::ValuesIn(kPinFormats),
                         [](const auto& info) { return info.param; });

TEST(ConstraintWriter, Sdc_WritesTheClocksAlone) {
  const WriteOutput out = Write("sdc", DemoTable());
  ExpectGolden("demo.sdc", out.text);
  const readback::ReadBack back = readback::Read("sdc", out.text);
  EXPECT_TRUE(back.errors.empty());
  ASSERT_EQ(back.ports.size(), 1u);
  EXPECT_NEAR(back.ports.at("clk").megahertz, 12.0, 1e-3);
}

TEST(ConstraintWriter, UnknownFormat_IsRefusedAndWritesNothing) {
  WriteOutput out;
  out.text = "old";
  EXPECT_FALSE(MbdFormats::WriteConstraints("vhd", DemoTable(), {}, out));
  EXPECT_TRUE(out.text.empty());
}

TEST(ConstraintWriter, Lenient_WritesTheTableProblemsAsComments) {
  PinTable table = DemoTable();
  table.problems.push_back({"led[0]", "ball B5 also carries net x\nset_io evil Z9", true});
  for (const std::string& format : kPinFormats) {
    const std::string strict = Write(format, table).text;
    const std::string lenient = Write(format, table, true).text;
    EXPECT_EQ(strict.find("ball B5 also carries"), std::string::npos) << format;
    EXPECT_NE(lenient.find("error: led[0]: ball B5 also carries net x\\"), std::string::npos)
        << format << "\n" << lenient;
    ExpectReadsBack(format, table, Write(format, table, true));
  }
}

TEST(ConstraintWriter, Pcf_RefusesANameItCannotCarryByName) {
  const PinTable table = HostileTable("a b");
  const WriteOutput out = Write("pcf", table);
  ASSERT_FALSE(out.unexpressed.empty());
  EXPECT_EQ(out.unexpressed.front().port, "a b");
  EXPECT_TRUE(out.unexpressed.front().error);
  EXPECT_NE(out.unexpressed.front().message.find("a blank"), std::string::npos);
  EXPECT_EQ(out.text.find("set_io a b"), std::string::npos);
}

// A frequency known only from a clock instance (no PERIOD string on the pin): each format the
// registry says states clocks writes it, each other one names it; none drops it silently. The
// ucf form copies the board's strings, so there it is a note, while a PERIOD string passes.
TEST(ConstraintWriter, ClockFromAnInstance_WrittenWhereTheRegistrySaysElseNoted) {
  PinTable table;
  PinRow clk = Row("clk", "J3");
  clk.settings.frequencyHz = 12e6;  // from a clock instance: the strings hold only LOC=J3
  table.rows.push_back(clk);
  PinRow stated = Row("stated", "J4");
  stated.settings.frequencyHz = 50e6;
  stated.strings.push_back("PERIOD = 20000 ps");
  table.rows.push_back(stated);
  for (const std::string& format : kPinFormats) {
    SCOPED_TRACE(format);
    const WriteOutput out = Write(format, table);
    const std::string notes = NotesOf(out, "clk");
    const bool written = MbdFormats::Expresses(format, MbdFormats::Setting::Clock);
    EXPECT_EQ(notes.find("clock 12 MHz") == std::string::npos, written) << notes;
    if (!written) {
      EXPECT_NE(out.text.find("# clk: not expressed in " + format + ": clock 12 MHz"),
                std::string::npos)
          << out.text;
    }
    EXPECT_EQ(NotesOf(out, "stated").find("clock"), std::string::npos);
  }
  const std::string ucf = Write("ucf", table).text;
  EXPECT_NE(ucf.find("NET \"stated\" PERIOD = \"20000 ps\";"), std::string::npos) << ucf;
  EXPECT_EQ(ucf.find("NET \"clk\" PERIOD"), std::string::npos) << ucf;
  EXPECT_FALSE(MbdFormats::Expresses("ucf", MbdFormats::Setting::Clock));
}

// get_ports takes a leading '-' for an option however the word is quoted: where a name goes
// through get_ports it is refused by name; where it is an option's value (-to, -port_name) it
// is written, and only its clock in the companion .sdc is refused.
TEST(ConstraintWriter, LeadingDash_RefusedWhereGetPortsWouldTakeItForAnOption) {
  const PinTable table = HostileTable("-x");
  for (const std::string format : {"xdc", "sdc", "qsf", "pdc", "cst", "ccf"}) {
    SCOPED_TRACE(format);
    const WriteOutput out = Write(format, table);
    bool refused = false, clockRefused = false;
    const std::string notes = NotesOf(out, "-x", &refused, &clockRefused);
    const bool getPorts = format == "xdc" || format == "sdc";
    EXPECT_EQ(refused, getPorts) << notes;
    EXPECT_EQ(clockRefused, !getPorts) << notes;
    EXPECT_NE(notes.find("a leading \"-\""), std::string::npos) << notes;
    EXPECT_EQ(out.text.find("get_ports {-x}"), std::string::npos) << out.text;
    EXPECT_EQ(out.companionText.find("get_ports {-x}"), std::string::npos) << out.companionText;
    const readback::ReadBack back = readback::Read(format, out.text);
    EXPECT_TRUE(back.errors.empty()) << back.errors.front();
    EXPECT_EQ(back.ports.count("-x"), getPorts ? 0u : 1u) << out.text;
    if (!getPorts) {
      EXPECT_EQ(back.ports.at("-x").location, "A1");
    }
    EXPECT_EQ(back.ports.count("plain"), format == "sdc" ? 0u : 1u);
  }
}

TEST(ConstraintWriter, Cst_WritesAPairOnItsPSideLine) {
  const std::string text = Write("cst", DemoTable()).text;
  EXPECT_NE(text.find("IO_LOC \"lvds_p\" E1,E2;"), std::string::npos) << text;
  EXPECT_EQ(text.find("IO_LOC \"lvds_n\""), std::string::npos) << text;
}

// One table for a large bus: the writers are linear, so this stays quick; what matters here is
// that every bit gets its own line in each target's form.
TEST(ConstraintWriter, Bus_OneLinePerBit) {
  PinTable table;
  for (int bit = 0; bit < 64; ++bit) {
    PinRow row = Row("d[" + std::to_string(bit) + "]", "P" + std::to_string(bit));
    row.busStem = "d";
    row.busIndex = bit;
    table.rows.push_back(row);
  }
  for (const std::string& format : kPinFormats) {
    const readback::ReadBack back = readback::Read(format, Write(format, table).text);
    ASSERT_EQ(back.ports.size(), 64u) << format;
    EXPECT_EQ(back.ports.at("d[63]").location, "P63") << format;
  }
}

// The csv and json forms are the neutral reading itself: every field comes back.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = !quoted;
      } else if (c == ',' && !quoted) {
        fields.emplace_back();
      } else {
        fields.back() += c;
      }
    }
    rows.push_back(fields);
  }
  return rows;
}

TEST(ConstraintWriter, Csv_OneLinePerRowWithEveryField) {
  PinTable table = DemoTable();
  table.rows.push_back(Row("a,\"b\"", "Z1"));
  table.rows.push_back(Row("x\ny", "Z2"));
  const std::string text = Write("csv", table).text;
  ExpectGolden("demo.csv", Write("csv", DemoTable()).text);
  const auto rows = ParseCsv(text);
  ASSERT_EQ(rows.size(), table.rows.size() + 1);
  for (const auto& fields : rows) EXPECT_EQ(fields.size(), rows.front().size());
  EXPECT_EQ(rows[1][0], "clk");
  EXPECT_EQ(rows[1][12], "12000000");
  EXPECT_EQ(rows[rows.size() - 2][0], "a,\"b\"");
  EXPECT_EQ(rows.back()[0], "x\\ny");
  EXPECT_EQ(rows.back()[6], "Z2");
}

#ifdef FORMATS_HAVE_JSON
TEST(ConstraintWriter, Json_EveryFieldComesBack) {
  PinTable table = DemoTable();
  for (const std::string& name : kHostileNames) table.rows.push_back(Row(name, "Z1"));
  const std::string text = Write("json", table).text;
  ExpectGolden("demo.json", Write("json", DemoTable()).text);
  const nlohmann::json doc = nlohmann::json::parse(text);
  ASSERT_EQ(doc["rows"].size(), table.rows.size());
  for (std::size_t i = 0; i < table.rows.size(); ++i) {
    const PinRow& row = table.rows[i];
    const nlohmann::json& r = doc["rows"][i];
    // JSON holds only UTF-8: a byte that starts no character reads as the replacement
    // character U+FFFD.
    if (row.name == "a\xFF\xC3" "b") {
      const std::string replacement = u8"\uFFFD";
      EXPECT_EQ(r["name"], "a" + replacement + replacement + "b");
    } else {
      EXPECT_EQ(r["name"], row.name);
    }
    EXPECT_EQ(r["location"], row.settings.location);
    EXPECT_EQ(r["io_standard"], row.settings.ioStandard);
    EXPECT_EQ(r["pass_through"].size(), row.settings.passThrough.size());
  }
  EXPECT_EQ(doc["rows"][0]["frequency_hz"], 12000000);
  EXPECT_EQ(doc["rows"][5]["pair_side"], "P");
  EXPECT_EQ(doc["rows"][5]["partner"], "lvds_n");
}

// Byte runs shaped like UTF-8 that are not well-formed: each of their bytes becomes U+FFFD, so
// that the file stays valid JSON.
TEST(ConstraintWriter, Json_MalformedUtf8BecomesReplacementCharacters) {
  const struct {
    const char* name;
    int replaced;
  } kCases[] = {{"a\xC0\xAF" "b", 2},          // an overlong '/'
                {"a\xED\xA0\x80" "b", 3},      // a surrogate
                {"a\xF4\x90\x80\x80" "b", 4},  // past U+10FFFF
                {"a\xE2\x82" "b", 2}};         // cut short
  for (const auto& c : kCases) {
    PinTable table;
    table.rows.push_back(Row(c.name, "Z1"));
    const nlohmann::json doc = nlohmann::json::parse(Write("json", table).text);
    std::string expected = "a";
    for (int i = 0; i < c.replaced; ++i) expected += u8"\uFFFD";
    EXPECT_EQ(doc["rows"][0]["name"], expected + "b") << c.replaced;
  }
}
#endif

}  // namespace

namespace {

std::string Bracketed(const std::string& text) { return "[" + text + "]"; }

// The ucf file and qbd constraints --json read a board string into lines by one rule; only
// the spelling of controls is the caller's.
TEST(UcfLines, OneLinePerAssignmentOrNoneForAMalformedString) {
  std::vector<MbdFormats::UcfLine> lines;
  ASSERT_TRUE(MbdFormats::UcfLines("led\"1", "IOSTANDARD=LVCMOS33", lines));
  ASSERT_TRUE(MbdFormats::UcfLines("led\"1", "PULLUP", lines));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].key, "IOSTANDARD");
  EXPECT_TRUE(lines[0].hasValue);
  EXPECT_EQ(lines[0].text, "NET \"led\\\"1\" IOSTANDARD = \"LVCMOS33\";");
  EXPECT_FALSE(lines[1].hasValue);
  EXPECT_EQ(lines[1].text, "NET \"led\\\"1\" PULLUP;");
  EXPECT_FALSE(MbdFormats::UcfLines("led", "not a constraint", lines));
  EXPECT_EQ(lines.size(), 2u);
  lines.clear();
  ASSERT_TRUE(MbdFormats::UcfLines("a\tb", "LOC=A1", lines, Bracketed));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, "NET \"[a\tb]\" LOC = \"[A1]\";");
  lines.clear();
  ASSERT_TRUE(MbdFormats::UcfLines("a\tb", "LOC=A1", lines));
  EXPECT_EQ(lines[0].text, "NET \"a\\tb\" LOC = \"A1\";");
}

}  // namespace
