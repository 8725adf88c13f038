// The writers' files read back by the readers: for every format, the sample boards and random
// tables (hostile names among them) come back with every pin, location and setting the format
// can express. Whatever a writer says it could not express is left out of the comparison.
#include <gmock/gmock.h>
#include <strings.h>
#include <unistd.h>

#include <cmath>
#include <map>
#include <random>
#include <set>
#include <string>

#include "MBD.h"
#include "MbdConstraintReader.h"
#include "MbdConstraintWriter.h"
#include "MbdPinTable.h"
#include "QsfStandards.h"

namespace {

using MbdFormats::Expresses;
using MbdFormats::Setting;
using MbdPins::PinRow;
using MbdPins::PinTable;
using MbdPins::Pull;

const char* const kPinFormats[] = {"ucf", "xdc", "pcf", "lpf", "cst", "qsf", "pdc", "ccf"};

// What the readers gave back for one name: the row with its location, with the settings of the
// name's other rows (a clock in the companion sdc) filled in where it has none.
struct Back {
  std::map<std::string, PinRow> byName;
  std::vector<std::string> errors;
};

void Merge(PinRow& into, const PinRow& row) {
  MbdPins::PinSettings& s = into.settings;
  const MbdPins::PinSettings& r = row.settings;
  if (s.location.empty()) s.location = r.location;
  if (s.ioStandard.empty()) s.ioStandard = r.ioStandard;
  if (s.pull == Pull::Unset) s.pull = r.pull;
  if (s.drive.empty()) s.drive = r.drive;
  if (s.slew.empty()) s.slew = r.slew;
  if (s.termination.empty()) s.termination = r.termination;
  if (s.frequencyHz == 0) s.frequencyHz = r.frequencyHz;
  if (s.direction == MbdPins::Direction::Unset) s.direction = r.direction;
  for (const MbdPins::PassThrough& p : r.passThrough) s.passThrough.push_back(p);
}

Back ReadBack(const std::string& format, const MbdFormats::WriteOutput& out) {
  MbdFormats::ReadResult result;
  const MbdFormats::ReadOptions options;
  MbdFormats::ReadConstraints(format, out.text, "out." + format, options, result);
  if (!out.companionText.empty())
    MbdFormats::ReadConstraints("sdc", out.companionText, "out.sdc", options, result);
  Back back;
  for (const MbdFormats::ReadError& e : result.errors)
    back.errors.push_back(MbdFormats::FormatReadError(e));
  for (const MbdFormats::ReadError& e : result.skipped)
    back.errors.push_back(MbdFormats::FormatReadError(e, true));
  for (const PinRow& row : result.table.rows) {
    auto found = back.byName.find(row.name);
    if (found == back.byName.end()) {
      back.byName.emplace(row.name, row);
      continue;
    }
    if (!found->second.settings.location.empty() && !row.settings.location.empty())
      back.errors.push_back("two locations for " + row.name);
    Merge(found->second, row);
  }
  return back;
}

// The ports the writer named as not written, or written without some setting. A port whose
// clock alone the companion .sdc could not name is still in the file: only noted.
std::set<std::string> Noted(const MbdFormats::WriteOutput& out, bool refusedOnly) {
  std::set<std::string> ports;
  for (const MbdPins::Problem& p : out.unexpressed) {
    const bool companion = p.message.rfind("in the .sdc: ", 0) == 0;
    if (!refusedOnly || (p.error && !companion)) ports.insert(p.port);
  }
  return ports;
}

std::string PassThroughValue(const MbdPins::PinSettings& settings, const std::string& key,
                             bool& found) {
  found = false;
  for (const MbdPins::PassThrough& p : settings.passThrough)
    if (strcasecmp(p.key.c_str(), key.c_str()) == 0) {
      found = true;
      return p.hasValue ? p.value : std::string();
    }
  return std::string();
}

bool HoldsClock(const std::vector<std::string>& strings) {
  for (const std::string& s : strings)
    if (strncasecmp(s.c_str(), "PERIOD", 6) == 0 || strncasecmp(s.c_str(), "FREQUENCY", 9) == 0)
      return true;
  return false;
}

// Every wired, located row the format could name comes back with each setting it expresses.
void ExpectRoundTrip(const std::string& format, const PinTable& table) {
  SCOPED_TRACE("format " + format);
  MbdFormats::WriteOutput out;
  ASSERT_TRUE(MbdFormats::WriteConstraints(format, table, MbdFormats::WriteOptions(), out));
  const Back back = ReadBack(format, out);
  EXPECT_THAT(back.errors, testing::ElementsAre()) << out.text;
  const std::set<std::string> refused = Noted(out, true);
  const std::set<std::string> noted = Noted(out, false);
  std::size_t expected = 0;
  for (const PinRow& row : table.rows) {
    if (MbdPins::IsUnwired(row) || row.settings.location.empty() || refused.count(row.name))
      continue;
    if (row.pairSide == MbdPins::PairSide::N && !Expresses(format, Setting::PairN)) continue;
    SCOPED_TRACE("port " + row.name);
    ++expected;
    const auto found = back.byName.find(row.name);
    ASSERT_NE(found, back.byName.end()) << out.text;
    const MbdPins::PinSettings& want = row.settings;
    const MbdPins::PinSettings& got = found->second.settings;
    EXPECT_EQ(got.location, want.location);
    // Some setting left out, and said so; a pair written on its P side's line is noted there.
    const bool pairNoted = row.pairSide == MbdPins::PairSide::N && noted.count(row.partner);
    if (noted.count(row.name) || pairNoted) continue;
    // A qsf names some standards its own way; read back, they are the common names
    // (3.3-V LVTTL on a board comes back as LVTTL, the same standard).
    const bool qsfOwnName = format == "qsf" && want.ioStandard.find(' ') != std::string::npos;
    if (Expresses(format, Setting::IoStandard) && !qsfOwnName) {
      EXPECT_EQ(got.ioStandard, want.ioStandard);
    }
    const Setting pullBit = want.pull == Pull::Up     ? Setting::PullUp
                            : want.pull == Pull::Down ? Setting::PullDown
                                                      : Setting::Keeper;
    if (want.pull != Pull::Unset && want.pull != Pull::None && Expresses(format, pullBit)) {
      EXPECT_EQ(got.pull, want.pull);
    }
    if (Expresses(format, Setting::Drive)) {
      EXPECT_EQ(got.drive, want.drive);
    }
    if (Expresses(format, Setting::Slew)) {
      EXPECT_EQ(got.slew, want.slew);
    }
    if (Expresses(format, Setting::Termination)) {
      EXPECT_EQ(got.termination, want.termination);
    }
    // The ucf form copies the board's strings: a PERIOD or FREQUENCY string passes as written,
    // a frequency from a clock instance is noted (above).
    const bool clockWritten =
        Expresses(format, Setting::Clock) || (format == "ucf" && HoldsClock(row.strings));
    if (clockWritten && want.frequencyHz > 0) {
      // Periods are written to the picosecond (83.333 ns for 12 MHz), as the tools read them.
      ASSERT_GT(got.frequencyHz, 0);
      EXPECT_NEAR(1e9 / got.frequencyHz, 1e9 / want.frequencyHz, 0.0005 + 1e-9);
    } else if (clockWritten) {
      EXPECT_EQ(got.frequencyHz, 0);
    }
    if (Expresses(format, Setting::Direction)) {
      EXPECT_EQ(got.direction, want.direction);
    }
    for (const MbdPins::PassThrough& p : want.passThrough) {
      if (!Expresses(format, Setting::PassThrough) || !MbdFormats::KnowsPassThrough(format, p.key))
        continue;
      bool present = false;
      const std::string value = PassThroughValue(got, p.key, present);
      EXPECT_TRUE(present) << p.key;
      if (p.hasValue) {
        EXPECT_EQ(value, p.value) << p.key;
      }
    }
  }
  std::size_t located = 0;
  for (const auto& entry : back.byName) located += !entry.second.settings.location.empty();
  EXPECT_EQ(located, expected) << out.text;
}

// The IO standard `standard` written to a qsf and read back.
std::string QsfRoundTrip(const std::string& standard, std::string& text) {
  PinTable table;
  PinRow row;
  row.name = row.net = "p";
  row.fpgaBlock = "fpga_0";
  row.fpgaPin = "pin_0";
  row.settings.location = "A1";
  row.settings.ioStandard = standard;
  table.rows.push_back(row);
  MbdFormats::WriteOutput out;
  EXPECT_TRUE(MbdFormats::WriteConstraints("qsf", table, MbdFormats::WriteOptions(), out));
  text = out.text;
  const Back back = ReadBack("qsf", out);
  EXPECT_THAT(back.errors, testing::ElementsAre());
  const auto found = back.byName.find("p");
  return found == back.byName.end() ? std::string() : found->second.settings.ioStandard;
}

// The qsf's own names for IO standards, from the one table the writer and the reader share:
// every common name is written as its qsf name and read back as the first common name of that
// qsf name, which writes the same qsf name again; a name the qsf shares with the others comes
// back as itself, though another common name is written as it (LVDS_25 as LVDS).
TEST(RoundTrip, QsfStandardNames_ComeBackThroughTheOneTable) {
  using MbdFormats::detail::kQsfStandards;
  for (const MbdFormats::detail::QsfStandard& entry : kQsfStandards) {
    SCOPED_TRACE(entry.common);
    std::string text;
    const std::string got = QsfRoundTrip(entry.common, text);
    // Bare when it is one plain word, in quotes when it holds blanks.
    const std::string qsf = entry.qsf;
    const std::string word = qsf.find(' ') == std::string::npos ? qsf : "\"" + qsf + "\"";
    EXPECT_NE(text.find("IO_STANDARD " + word + " -to"), std::string::npos) << text;
    EXPECT_EQ(MbdFormats::detail::QsfStandardName(got), entry.qsf);
    std::string first;
    for (const MbdFormats::detail::QsfStandard& other : kQsfStandards)
      if (first.empty() && std::string(other.qsf) == entry.qsf) first = other.common;
    EXPECT_EQ(got, first);
  }
  for (const std::string shared : {"LVDS", "SSTL15_II", "HSTL_I"}) {
    std::string text;
    EXPECT_EQ(QsfRoundTrip(shared, text), shared) << text;
  }
}

PinTable TableOf(const std::string& board, bool bus) {
  LyrBoard::Qbd qbd;
  const std::string path = std::string(QBD_SOURCE_DIR) + "/" + board;
  EXPECT_EQ(qbd.ReadFile(path.c_str()), 0) << qbd.GetErrorText().c_str();
  MBD model(&qbd);
  MbdPins::TableOptions options;
  options.bus = bus;
  return MbdPins::BuildPinTable(model, options);
}

TEST(RoundTrip, SampleBoards_EveryFormat) {
  for (const char* board : {"boards/northwind_dk2.qbd", "boards/tinkerbit_ib1.qbd"}) {
    for (bool bus : {false, true}) {
      SCOPED_TRACE(std::string(board) + (bus ? " --bus" : ""));
      const PinTable table = TableOf(board, bus);
      ASSERT_FALSE(table.rows.empty());
      for (const char* format : kPinFormats) ExpectRoundTrip(format, table);
    }
  }
}

// Names and values of every kind a board may hold, hostile ones among them.
const char* const kNames[] = {"led[3]", "a$b", "a{b}", "q\"x",     "a;b",  "x[y",
                              "sw_0",   "#h",  "a\\b", "[exit 3]", "d(n)", "\xC3\xA9t\xC3\xA9",
                              "a b",    "-x"};
const char* const kStandards[] = {"LVCMOS33", "LVCMOS18", "SSTL15_II", "LVDS", "3.3-V LVTTL"};
const char* const kSlews[] = {"FAST", "SLOW"};
const char* const kDrives[] = {"4", "8", "12", "16"};
// Keys one target or another writes as they are.
const char* const kPassThrough[] = {"DIFF_TERM=TRUE",       "OPENDRAIN=ON",   "HYSTERESIS=ON",
                                    "SCHMITT_TRIGGER=true", "BANK_VCCIO=3.3", "IOB=TRUE"};
const char* const kPulls[] = {"PULLUP", "PULLDOWN", "KEEPER", "PULL_MODE=UP", "PULLMODE=NONE"};

PinTable RandomTable(unsigned seed) {
  std::mt19937 random(seed);
  auto pick = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  PinTable table;
  table.source = "random.qbd";
  const std::size_t count = 5 + pick(30);
  std::set<std::string> names;
  for (std::size_t i = 0; i < count; ++i) {
    PinRow row;
    row.name = pick(3) == 0 ? kNames[pick(sizeof kNames / sizeof *kNames)]
                            : "p" + std::to_string(seed) + "_" + std::to_string(i);
    if (!names.insert(row.name).second) continue;
    row.net = row.name;
    row.instance = "dev_" + std::to_string(i);
    row.port = "P";
    row.fpgaBlock = "fpga_0";
    row.fpgaPin = "pin_" + std::to_string(i);
    // The strings as a board holds them; the settings are their neutral reading, as the table
    // of a board has them.
    const std::string location =
        std::string(1, static_cast<char>('A' + pick(20))) + std::to_string(1 + i);
    row.strings.push_back("LOC=" + location);
    if (pick(2))
      row.strings.push_back(std::string("IOSTANDARD=") +
                            kStandards[pick(sizeof kStandards / sizeof *kStandards)]);
    if (pick(2)) row.strings.push_back(kPulls[pick(sizeof kPulls / sizeof *kPulls)]);
    if (pick(2)) row.strings.push_back(std::string("DRIVE=") + kDrives[pick(4)]);
    if (pick(2)) row.strings.push_back(std::string("SLEW=") + kSlews[pick(2)]);
    if (pick(6) == 0) row.strings.push_back("FREQUENCY=" + std::to_string(1 + pick(200)) + " MHz");
    if (pick(4) == 0)
      row.strings.push_back(kPassThrough[pick(sizeof kPassThrough / sizeof *kPassThrough)]);
    std::vector<StringBase> strings(row.strings.begin(), row.strings.end());
    row.settings = MbdPins::ReadSettings(strings);
    if (pick(4) == 0) row.settings.direction = static_cast<MbdPins::Direction>(1 + pick(3));
    if (pick(8) == 0 && row.name[0] == 'p') {
      // A differential pair: this row is the P side, the next the N side.
      PinRow n = row;
      row.name += "_p";
      n.name += "_n";
      row.net = row.name;
      n.net = n.name;
      n.fpgaPin += "n";
      n.settings.location = location + "N";
      n.strings[0] = "LOC=" + n.settings.location;
      row.pairSide = MbdPins::PairSide::P;
      row.partner = n.name;
      n.pairSide = MbdPins::PairSide::N;
      n.partner = row.name;
      table.rows.push_back(row);
      table.rows.push_back(n);
      continue;
    }
    table.rows.push_back(row);
  }
  return table;
}

TEST(RoundTrip, RandomTables_EveryFormat) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const PinTable table = RandomTable(seed);
    for (const char* format : kPinFormats) ExpectRoundTrip(format, table);
  }
}

// Names meant to break a reader or to start a line of their own: each comes back as itself,
// or the writer refused it by name; no other port ever appears.
TEST(RoundTrip, HostileNames_ComeBackOrAreRefused) {
  const std::string names[] = {"a\"b",
                               "a{b",
                               "a}b",
                               "{x}",
                               "a#b",
                               "#start",
                               "a//b",
                               "$x",
                               "a\\",
                               "x\nset_io evil Z9",
                               "x\r\nLOCATE COMP \"evil\" SITE \"Z9\";",
                               "x\"; LOCATE COMP \"evil\" SITE \"Z9\"; #",
                               "} ; set_property PACKAGE_PIN Z9 [get_ports {evil}] ; {",
                               "x\\\nset_io evil Z9",
                               "a\xE2\x80\xA8set_io evil Z9",
                               "a\tb",
                               "Net \"evil\" Loc = \"Z9\";",
                               "[exec touch /tmp/qbd-evil]",
                               "-pullup",
                               "a b"};
  for (const std::string& name : names) {
    SCOPED_TRACE("name " + name);
    PinTable table;
    PinRow row;
    row.name = row.net = name;
    row.instance = "dev_0";
    row.port = "P";
    row.fpgaBlock = "fpga_0";
    row.fpgaPin = "pin_0";
    row.strings = {"LOC=A1", "IOSTANDARD=LVCMOS33", "PULLUP"};
    row.settings.location = "A1";
    row.settings.ioStandard = "LVCMOS33";
    row.settings.pull = Pull::Up;
    table.rows.push_back(row);
    for (const char* format : kPinFormats) ExpectRoundTrip(format, table);
  }
  EXPECT_NE(access("/tmp/qbd-evil", F_OK), 0);
}

}  // namespace
