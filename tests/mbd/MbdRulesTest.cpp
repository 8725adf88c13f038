#include <gmock/gmock.h>

#include <algorithm>
#include <iterator>

#include "LyrWiz_WizUtils/ArchDb.h"
#include "MbdRules.h"
#include "MbdTestSupport.h"

namespace {

using ::testing::ElementsAre;
using mbdtest::ReadBoard;
using LyrBoard::QbdBlock;

std::vector<std::vector<std::string>> Elements(const LyrBase::PsfComp& range) {
  std::vector<std::vector<std::string>> out;
  for (const auto& element : MbdRules::RangeElements(range)) out.push_back(mbdtest::Strings(element));
  return out;
}

TEST(MbdRules, ConstraintForms_Table) {
  using Form = MbdRules::ConstraintForm;
  struct Case {
    const char* text;
    Form form;
    std::vector<std::string> items;  // key=value, or the flag alone
  } cases[] = {
      {"LOC=T3", Form::Assignment, {"LOC=T3"}},
      {" loc = T3 ", Form::Assignment, {"loc=T3"}},
      {"PERIOD = 10000 ps", Form::Assignment, {"PERIOD=10000 ps"}},
      {"NOTE = a = b", Form::Assignment, {"NOTE=a = b"}},
      {"LOC=", Form::Assignment, {"LOC="}},
      {"PULLUP", Form::Flag, {"PULLUP"}},
      {"PULL_MODE=UP DRIVE=8", Form::Assignments, {"PULL_MODE=UP", "DRIVE=8"}},
      {"A = 1  B=2\tC =3", Form::Assignments, {"A=1", "B=2", "C=3"}},
      {"FAST_OUTPUT_REGISTER ON", Form::Malformed, {}},
      {"=LOC", Form::Malformed, {}},
      {"", Form::Malformed, {}},
  };
  for (const Case& c : cases) {
    const MbdRules::ConstraintReading reading = MbdRules::ReadConstraint(c.text);
    EXPECT_EQ(reading.form, c.form) << c.text;
    std::vector<std::string> items;
    for (const MbdRules::Constraint& item : reading.items)
      items.push_back(item.hasValue ? item.key.str() + "=" + item.value.str() : item.key.str());
    EXPECT_EQ(items, c.items) << c.text;
  }
}

TEST(MbdRules, LocationIn_KeyTrimmedValueAsStored) {
  StringBase loc;
  EXPECT_TRUE(MbdRules::LocationIn(" loc = P12", loc));
  EXPECT_EQ(loc.str(), " P12");
  EXPECT_FALSE(MbdRules::LocationIn("IOSTANDARD=X", loc));
  EXPECT_FALSE(MbdRules::LocationIn("LOC", loc));
  EXPECT_TRUE(MbdRules::FirstLocation({"A=1", "LOC=", "LOC=Q1"}, loc));
  EXPECT_EQ(loc.str(), "") << "the first LOC string ends the search";
}

TEST(MbdRules, PinLocation_FirstLocTrimmedAndNoneApartFromEmpty) {
  auto qbd = ReadBoard(R"(BEGIN BLOCK f
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT a = n1, UCF_NET_STRING = ("IOSTANDARD=X", " loc = P12 ", "LOC=P13")
  PORT b = n2, UCF_NET_STRING = ("LOC= ")
  PORT c = n3, UCF_NET_STRING = "LOC=K1"
  PORT d = n4, UCF_NET_STRING = ("IOSTANDARD=X")
  PORT e = n5
END
)");
  const auto& pins = mbdtest::Blocks(*qbd)[0]->GetPropSeqRef(QbdBlock::PORT);
  struct Case {
    bool found;
    const char* location;
  } expected[] = {{true, "P12"}, {true, ""}, {true, "K1"}, {false, ""}, {false, ""}};
  ASSERT_EQ(pins.size(), std::size(expected));
  for (std::size_t i = 0; i < pins.size(); ++i) {
    StringBase location("unchanged");
    EXPECT_EQ(MbdRules::PinLocation(*pins[i], location), expected[i].found) << i;
    if (expected[i].found) {
      EXPECT_EQ(location.str(), expected[i].location) << i;
    }
  }
}

TEST(MbdRules, NetKey_EqualExactlyWhenNetsMatch) {
  const char* const nets[] = {"led0", "LED0", "Led0", "led1", "LED_0", "", "\xc9tat", "\xe9tat"};
  for (const char* a : nets)
    for (const char* b : nets)
      EXPECT_EQ(MbdRules::NetKey(a) == MbdRules::NetKey(b), MbdRules::CarriesConnector(a, b))
          << a << " / " << b;
  EXPECT_EQ(MbdRules::NetKey("Uart_RX 9").str(), "uart_rx 9");
}

TEST(MbdRules, Numbers_ReadAsTheModelReadsThem) {
  EXPECT_EQ(MbdRules::FrequencyOf("20x"), 20u);
  EXPECT_EQ(MbdRules::FrequencyOf(" 100"), 100u);
  EXPECT_EQ(MbdRules::FrequencyOf("x"), 0u);
  EXPECT_TRUE(MbdRules::IsPlainNumber(" 4294967295 "));
  EXPECT_FALSE(MbdRules::IsPlainNumber("4294967296"));
  EXPECT_FALSE(MbdRules::IsPlainNumber("20x"));
  EXPECT_FALSE(MbdRules::IsPlainNumber("-1"));
  EXPECT_FALSE(MbdRules::IsPlainNumber(""));
}

TEST(MbdRules, InstanceCount_RadixLimitAndMarker) {
  struct Case {
    const char* text;
    unsigned value;
    bool plain, tooMany, expanded;
  } cases[] = {
      {"3", 3, true, false, false},     {"0x10", 16, true, false, false},
      {"010", 8, true, false, false},   {"1024", 1024, true, false, false},
      {"1025", 1025, true, true, false}, {"many", 0, false, false, false},
      {"-1", 0xFFFFFFFFu, false, true, true}, {"0x", 0, false, false, false},
      {"99999999999", 0xFFFFFFFFu, false, true, false},
  };
  for (const Case& c : cases) {
    const MbdRules::InstanceCount count = MbdRules::ReadInstanceCount(c.text);
    EXPECT_EQ(count.value, c.value) << c.text;
    EXPECT_EQ(count.plain, c.plain) << c.text;
    EXPECT_EQ(count.tooMany, c.tooMany) << c.text;
    EXPECT_EQ(count.expanded, c.expanded) << c.text;
  }
}

TEST(MbdRules, RangeElements_EveryValueShape) {
  auto qbd = ReadBoard(R"qbd(BEGIN BLOCK clk
  PARAMETER F = 1, LL = ((25, 100), (125)), L = (10, 20), S = 50, Q = "((25, 100), 125)", P = "(10, 20x)", W = "(a"
END
)qbd");
  const LyrBase::Property& p =
      *mbdtest::Blocks(*qbd)[0]->GetPropSeqRef(QbdBlock::PARAMETER).front();
  using V = std::vector<std::vector<std::string>>;
  EXPECT_EQ(Elements(*p.GetPsfCompByName("LL")), (V{{"25", "100"}, {"125"}}));
  EXPECT_EQ(Elements(*p.GetPsfCompByName("L")), (V{{"10", "20"}}));
  EXPECT_EQ(Elements(*p.GetPsfCompByName("S")), (V{{"50"}}));
  // Single strings whose text is a list read as the reader reads that text as a value.
  EXPECT_EQ(Elements(*p.GetPsfCompByName("Q")), (V{{"25", "100"}, {"125"}}));
  EXPECT_EQ(Elements(*p.GetPsfCompByName("P")), (V{{"10", "20x"}}));
  EXPECT_EQ(Elements(*p.GetPsfCompByName("W")), (V{{"(a"}}));
}

TEST(MbdRules, RangeRecord_CountsAndAdmits) {
  MBD::ClkRng r;
  ASSERT_TRUE(MbdRules::RangeRecord({"10", "20x"}, "c", r));
  EXPECT_EQ(r.minFreq, 10u);
  EXPECT_EQ(r.maxFreq, 20u);
  EXPECT_EQ(r.stepFreq, 0u);
  EXPECT_TRUE(MbdRules::RangeAdmits(r, 15));
  EXPECT_FALSE(MbdRules::RangeAdmits(r, 21));
  ASSERT_TRUE(MbdRules::RangeRecord({"10", "100", "10"}, "c", r));
  EXPECT_TRUE(MbdRules::RangeAdmits(r, 30));
  EXPECT_FALSE(MbdRules::RangeAdmits(r, 35));
  EXPECT_FALSE(MbdRules::RangeRecord({}, "c", r));
  EXPECT_FALSE(MbdRules::RangeRecord({"1", "2", "3", "4"}, "c", r));
  EXPECT_TRUE(MbdRules::RangeAdmits(MbdRules::UnrestrictedRange("c"), 0xFFFFFFFFu));
}

TEST(MbdRules, BlocksRolesAndFlash) {
  auto qbd = ReadBoard(R"(BEGIN BLOCK f
  ATTRIBUTE BLOCKTYPE = fpga
  PORT a = J1
END
BEGIN BLOCK m
  ATTRIBUTE IOTYPE = qor_clock_v1
  ATTRIBUTE SPEED =
  PARAMETER MEM = x, MEMORY_TYPE = " Flash ", IO_IS = Clk_Freq
  PARAMETER NOROLE = y, MEMORY_TYPE = ROM
  PORT p1 = j1, IO_IS = tx
  PORT p2 = J2, IO_IS = TX
END
)");
  const auto blocks = mbdtest::Blocks(*qbd);
  EXPECT_TRUE(MbdRules::IsFpgaBlock(blocks[0]));
  EXPECT_FALSE(MbdRules::IsFpgaBlock(blocks[1]));
  EXPECT_FALSE(MbdRules::IsFpgaBlock(nullptr));
  EXPECT_TRUE(MbdRules::HasIoType(*blocks[1], MBD::IOTYPE_CLOCK));
  EXPECT_EQ(MbdRules::SpeedOf(blocks[1]).str(), "LOW");
  EXPECT_EQ(MbdRules::SpeedOf(nullptr).str(), "LOW");
  const auto& params = blocks[1]->GetPropSeqRef(QbdBlock::PARAMETER);
  EXPECT_TRUE(MbdRules::IsFlashParam(*params[0]));
  EXPECT_FALSE(MbdRules::IsFlashParam(*params[1]));
  EXPECT_TRUE(MbdRules::IsFrequencyParam(*params[0]));
  EXPECT_FALSE(MbdRules::HasRole(*params[1], ""));
  EXPECT_EQ(MbdRules::ConnectorOfRole(blocks[1], "tx").str(), "j1") << "the first port of a role";
  EXPECT_TRUE(MbdRules::CarriesConnector(MbdRules::ConnectorOf(
      *blocks[0]->GetPropSeqRef(QbdBlock::PORT)[0]), "j1"));
  EXPECT_EQ(CaseBlindHash()("Net_A"), CaseBlindHash()("nET_a"));
}

TEST(MbdRules, CopiedClock_DeliversWhatItsSourceDelivers) {
  auto qbd = ReadBoard(R"(ATTRIBUTE NAME = Generic Template
BEGIN BLOCK fpga
  ATTRIBUTE BLOCKTYPE = FPGA
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = clk
  ATTRIBUTE IOTYPE = QOR_CLOCK_V1
  ATTRIBUTE MAX_NUM_INSTANCES = 2
  PARAMETER F = 50, IO_IS = clk_freq, RANGE = ((25, 100), (125))
END
)");
  MBD model(qbd.get());
  std::vector<std::string> ranges;
  for (const MBD::ClkRng& r : model.getClkFreqRngSeq())
    ranges.push_back(r.clkInsName.str() + ":" + std::to_string(r.minFreq) + "-" +
                     std::to_string(r.maxFreq) + "/" + std::to_string(r.stepFreq));
  EXPECT_THAT(ranges, ElementsAre("clk:25-100/0", "clk:125-125/1", "clk_1:25-100/0",
                                  "clk_1:125-125/1"));
  EXPECT_EQ(model.findClkInst(0).str(), "") << "the copy no longer claims 0 Hz";
}

// The rule and the model's exclusion list agree on every pair of blocks.
TEST(MbdRules, Alternatives_AgreeWithTheModel) {
  auto qbd = ReadBoard(R"(BEGIN BLOCK a
  ATTRIBUTE EXCLUSIVE = grpA
END
BEGIN BLOCK b
  ATTRIBUTE EXCLUSIVE = GRPA
END
BEGIN BLOCK c
  ATTRIBUTE EXCLUSIVE = "grpA, x"
END
BEGIN BLOCK d
  ATTRIBUTE EXCLUSIVE =
END
BEGIN BLOCK e
END
BEGIN BLOCK f
  ATTRIBUTE EXCLUSIVE = "grpA, x"
END
)");
  MBD model(qbd.get());
  const auto blocks = mbdtest::Blocks(*qbd);
  std::vector<std::string> pairs;
  for (const QbdBlock* x : blocks)
    for (const QbdBlock* y : blocks) {
      if (x == y) continue;
      const std::string xName = x->GetName().str(), yName = y->GetName().str();
      const std::vector<std::string> listed =
          mbdtest::Strings(model.getExclusiveInsSeq(x->GetName()));
      const bool inModel = std::find(listed.begin(), listed.end(), yName) != listed.end();
      EXPECT_EQ(MbdRules::AreAlternatives(*x, *y), inModel) << xName << "/" << yName;
      if (MbdRules::AreAlternatives(*x, *y)) pairs.push_back(xName + yName);
    }
  EXPECT_THAT(pairs, ElementsAre("ab", "ba", "cf", "fc"));
  EXPECT_EQ(MbdRules::ExclusiveGroupOf(*blocks[2]).str(), "grpA, x");
  EXPECT_EQ(MbdRules::ExclusiveGroupOf(*blocks[4]).str(), "");
}

TEST(MbdRules, Locations_EveryLocStringInOrder) {
  EXPECT_EQ(mbdtest::Strings(MbdRules::Locations({"A=1", " loc = P1", "LOC=", "LOCK=1", "PULLUP"})),
            (std::vector<std::string>{" P1", ""}));
  EXPECT_TRUE(MbdRules::Locations({"IOSTANDARD=X", "LOCATION=Y"}).empty());
  EXPECT_TRUE(MbdRules::IsBlankLocation(""));
  EXPECT_TRUE(MbdRules::IsBlankLocation(" \t "));
  EXPECT_FALSE(MbdRules::IsBlankLocation(" P1"));
  // Blanks and tabs go at both ends only; letter case and inner blanks stay as written.
  EXPECT_EQ(MbdRules::ReadableLocation("\t p1 \t").str(), "p1");
  EXPECT_EQ(MbdRules::ReadableLocation(" A 1 ").str(), "A 1");
  EXPECT_EQ(MbdRules::ReadableLocation(" \t ").str(), "");
}

TEST(MbdRules, ReversedRangesAdmitNothing) {
  struct Case {
    std::vector<StringBase> element;
    bool reversed;
  } cases[] = {
      {{"200", "100"}, true}, {{"300", "100", "10"}, true}, {{"100", "100"}, false},
      {{"100"}, false},       {{"5", "200", "0"}, false},   {{"20x", "3"}, true},
  };
  for (const Case& c : cases) {
    MBD::ClkRng r;
    ASSERT_TRUE(MbdRules::RangeRecord(c.element, "c", r));
    EXPECT_EQ(MbdRules::RangeIsReversed(r), c.reversed) << c.element[0].c_str();
    if (!c.reversed) continue;
    for (unsigned f : {r.minFreq, r.maxFreq, (r.minFreq + r.maxFreq) / 2})
      EXPECT_FALSE(MbdRules::RangeAdmits(r, f)) << "a reversed range admits " << f;
  }
}

// A frequency without RANGE is what makes the model's search find the clock for any frequency.
TEST(MbdRules, RangeOf_NoneMeansEveryFrequency) {
  auto qbd = ReadBoard(R"(BEGIN BLOCK fpga
  ATTRIBUTE BLOCKTYPE = FPGA
END
BEGIN BLOCK fixed
  ATTRIBUTE IOTYPE = QOR_CLOCK_V1
  PARAMETER F = 50, IO_IS = clk_freq, range = ((50))
END
BEGIN BLOCK free
  ATTRIBUTE IOTYPE = QOR_CLOCK_V1
  PARAMETER F = 60, IO_IS = clk_freq
END
)");
  const auto blocks = mbdtest::Blocks(*qbd);
  const auto& fixed = *blocks[1]->GetPropSeqRef(QbdBlock::PARAMETER)[0];
  const auto& unrestricted = *blocks[2]->GetPropSeqRef(QbdBlock::PARAMETER)[0];
  ASSERT_NE(MbdRules::RangeOf(fixed), nullptr) << "RANGE is found ignoring case";
  EXPECT_EQ(MbdRules::RangeOf(unrestricted), nullptr);
  MBD model(qbd.get());
  EXPECT_EQ(model.findClkInst(50).str(), "fixed");
  EXPECT_EQ(model.findClkInst(12345).str(), "free");
}

// The family the size database is asked about, as the model's memory sizes ask it.
TEST(MbdRules, SizeFamily_AgreesWithTheMemorySizes) {
  struct Case {
    const char* family;
    bool known;
  } cases[] = {{" KeTral3 ", true}, {"ketral4", true}, {"ketral9", false}, {"", false}};
  for (const Case& c : cases) {
    auto qbd = ReadBoard(std::string("BEGIN BLOCK fpga\n  ATTRIBUTE BLOCKTYPE = FPGA\n"
                                     "  ATTRIBUTE FAMILY = \"") + c.family + "\"\nEND\n");
    MBD model(qbd.get());
    const StringBase family = MbdRules::SizeFamily(model.getArch());
    EXPECT_EQ(MbdRules::SizesKnownFor(family), c.known) << c.family;
    EXPECT_EQ(!model.getBramSizeList("lmb").empty(), c.known) << c.family;
  }
}

TEST(MbdRules, InstanceCounts_ReadOnTemplatesOnly) {
  EXPECT_TRUE(MbdRules::ReadsInstanceCounts(*ReadBoard("ATTRIBUTE NAME = generic TEMPLATE\n")));
  EXPECT_FALSE(MbdRules::ReadsInstanceCounts(*ReadBoard("ATTRIBUTE NAME = DK-2\n")));
  EXPECT_FALSE(MbdRules::ReadsInstanceCounts(*ReadBoard("ATTRIBUTE VENDOR = Generic\n")));
}

// Every family the size database lists is one it knows, and the list follows the database.
TEST(MbdRules, KnownFamilies_AreTheFamiliesWithSizes) {
  const std::vector<StringBase> families = MbdRules::KnownFamilies();
  ASSERT_FALSE(families.empty());
  EXPECT_TRUE(std::is_sorted(families.begin(), families.end(),
                             [](const StringBase& a, const StringBase& b) { return a.str() < b.str(); }));
  for (const StringBase& family : families) EXPECT_TRUE(MbdRules::SizesKnownFor(family)) << family.str();
  ArchDb::setEntry("NewFam", "lmb", 1023, 2047, 1023);
  ArchDb::setEntry("newfam", "plb", 1023, 2047, 1023);
  const std::vector<StringBase> grown = MbdRules::KnownFamilies();
  ArchDb::reset();
  EXPECT_EQ(grown.size(), families.size() + 1) << "a family with two buses is listed once";
  EXPECT_EQ(std::count(grown.begin(), grown.end(), StringBase("newfam")), 1);
  EXPECT_EQ(MbdRules::KnownFamilies().size(), families.size());
}

// The IO types are the model's own names, found ignoring case; the clock and reset roles are
// the ones its queries ask for.
TEST(MbdRules, IoTypes_NameTheModelsVocabulary) {
  for (const StringBase* type : {&MBD::IOTYPE_CLOCK, &MBD::IOTYPE_RESET, &MBD::IOTYPE_DDR,
                                 &MBD::IOTYPE_DDR2, &MBD::IOTYPE_MEMORY, &MBD::IOTYPE_CFBOOT}) {
    const MbdRules::IoTypeInfo* info = MbdRules::FindIoType(*type);
    ASSERT_NE(info, nullptr) << type->str();
    EXPECT_EQ(StringBase(info->name), *type);
  }
  EXPECT_NE(MbdRules::FindIoType(StringBase("qor_clock_v1")), nullptr);
  EXPECT_EQ(MbdRules::FindIoType(StringBase("QOR_UART_V1")), nullptr);
  EXPECT_EQ(MbdRules::FindIoType(StringBase("")), nullptr);
  const auto roles = [](const StringBase& type) {
    std::vector<std::string> names;
    for (const MbdRules::RoleInfo& r : MbdRules::FindIoType(type)->roles) names.push_back(r.role);
    return names;
  };
  EXPECT_THAT(roles(MBD::IOTYPE_CLOCK), ::testing::Contains(MBD::FREQIOIS.str()));
  EXPECT_THAT(roles(MBD::IOTYPE_RESET), ::testing::Contains(MBD::POLARITYIOIS.str()));
}

TEST(MbdRules, MessageAsError_DropsTheWarningLabel) {
  struct Case {
    const char* message;
    const char* error;
  } cases[] = {
      {"Warning: Can not set FPGA Arch for non-generic QBD file\n",
       "Can not set FPGA Arch for non-generic QBD file"},
      {"Warning: a\n\nWarning: b\n", "a\nb"},
      {"plain text", "plain text"},
      {"A Warning: inside stays\n", "A Warning: inside stays"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(MbdRules::MessageAsError(c.message), c.error) << c.message;
}

// A memory's size comes from its MEMORY_TYPE parameter, else from its mem_size role.
TEST(MbdRules, MemorySizeParam_PrefersTheMemoryType) {
  auto qbd = ReadBoard(R"(BEGIN BLOCK ddr
  ATTRIBUTE IOTYPE = qor_ddr_v1
  PARAMETER C_WIDTH = 16, IO_IS = ddr_dwidth
  PARAMETER C_SIZE = 0x4000000, IO_IS = MEM_SIZE
END
BEGIN BLOCK flash
  ATTRIBUTE IOTYPE = QOR_MEMORY_V1
  PARAMETER C_OTHER = 1, IO_IS = mem_size
  PARAMETER C_FLASH = 0x800000, MEMORY_TYPE = " flash "
END
BEGIN BLOCK uart
  ATTRIBUTE IOTYPE = QOR_UART_V1
  PARAMETER C_BAUD = 9600, IO_IS = baud
END
)");
  const auto blocks = mbdtest::Blocks(*qbd);
  ASSERT_EQ(blocks.size(), 3u);
  ASSERT_NE(MbdRules::MemorySizeParam(*blocks[0]), nullptr);
  EXPECT_EQ(MbdRules::MemorySizeParam(*blocks[0])->GetName().str(), "C_SIZE");
  ASSERT_NE(MbdRules::MemorySizeParam(*blocks[1]), nullptr);
  EXPECT_EQ(MbdRules::MemorySizeParam(*blocks[1])->GetName().str(), "C_FLASH");
  EXPECT_EQ(MbdRules::MemoryTypeOf(*MbdRules::MemorySizeParam(*blocks[1])).str(), "flash");
  EXPECT_EQ(MbdRules::MemorySizeParam(*blocks[2]), nullptr);
  EXPECT_TRUE(MbdRules::IsMemoryIoType(MbdRules::AttributeOf(*blocks[0], MBD::IO_TYPE)));
  EXPECT_FALSE(MbdRules::IsMemoryIoType(MbdRules::AttributeOf(*blocks[2], MBD::IO_TYPE)));
}

}  // namespace
