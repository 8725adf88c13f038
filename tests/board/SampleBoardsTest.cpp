// The sample boards shipped in boards/: they read, they print back unchanged, and they keep
// the wiring rules a board author is expected to follow.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "BoardTestSupport.h"

namespace {

using LyrBase::ListStrVal;
using LyrBase::Property;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

std::unique_ptr<Qbd> ReadSample(const char* name) {
  auto board = std::make_unique<Qbd>();
  const std::string path = std::string(QBD_SOURCE_DIR) + "/boards/" + name;
  EXPECT_EQ(board->ReadFile(path.c_str()), 0) << board->GetErrorText().c_str();
  return board;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::vector<const QbdBlock*> Blocks(const Qbd& board) {
  std::vector<const QbdBlock*> blocks;
  for (const auto* comp : board.GetPsfCompSeqRef(Qbd::BLOCK))
    blocks.push_back(LyrBase::NodeCast<QbdBlock>(comp));
  return blocks;
}

bool IsFpga(const QbdBlock& block) {
  return block.GetPropertyValueStr(QbdBlock::ATTRIBUTE, "BLOCKTYPE")
             .Compare("FPGA", StringBase::IGNORE_CASE) == 0;
}

const QbdBlock* TheFpga(const Qbd& board) {
  const QbdBlock* fpga = nullptr;
  for (const QbdBlock* block : Blocks(board))
    if (IsFpga(*block)) {
      EXPECT_EQ(fpga, nullptr) << "exactly one FPGA block";
      fpga = block;
    }
  EXPECT_NE(fpga, nullptr);
  return fpga;
}

// The nets of the FPGA pins (upper case), each with how many pins carry it.
std::map<std::string, int> FpgaNets(const QbdBlock& fpga) {
  std::map<std::string, int> nets;
  for (const Property* pin : fpga.GetPropSeqRef(QbdBlock::PORT)) ++nets[Upper(pin->GetValueStr().str())];
  return nets;
}

void ExpectPrintIsStable(const Qbd& board) {
  const StringBase printed = board.WriteString();
  Qbd again;
  ASSERT_EQ(again.ReadString(printed.c_str()), 0) << again.GetErrorText().c_str();
  EXPECT_EQ(boardtest::Describe(again), boardtest::Describe(board));
  EXPECT_EQ(again.WriteString(), printed);
}

TEST(SampleBoards, Northwind_IsACompleteRealBoard) {
  auto board = ReadSample("northwind_dk2.qbd");
  for (const char* attr : {"VENDOR", "NAME", "REVISION", "LONG_DESC", "SPEC_URL", "CONTACT_INFO_URL"}) {
    const auto* comp = board->GetPsfCompByName(Qbd::ATTRIBUTE, attr);
    ASSERT_NE(comp, nullptr) << attr;
    EXPECT_FALSE(comp->GetValueStr().IsEmpty()) << attr;
  }
  EXPECT_NE(board->GetPsfCompByName(Qbd::ATTRIBUTE, "NAME")->GetValueStr().Compare(
                "Generic Template", StringBase::IGNORE_CASE),
            0);
  const QbdBlock* fpga = TheFpga(*board);
  ASSERT_NE(fpga, nullptr);
  for (const char* attr : {"FAMILY", "DEVICE", "PACKAGE", "SPEED_GRADE", "JTAG_POSITION"})
    EXPECT_FALSE(fpga->GetPropertyValueStr(QbdBlock::ATTRIBUTE, attr).IsEmpty()) << attr;

  std::set<std::string> iotypes;
  for (const QbdBlock* block : Blocks(*board))
    iotypes.insert(block->GetPropertyValueStr(QbdBlock::ATTRIBUTE, "IOTYPE").str());
  for (const char* t : {"QOR_UART_V1", "QOR_DDR_V1", "QOR_ENETX_V1", "QOR_CLOCK_V1",
                        "QOR_RESET_V1", "QOR_MEMORY_V1", "QOR_GPIO_V1"})
    EXPECT_EQ(iotypes.count(t), 1u) << t;
  ExpectPrintIsStable(*board);
}

TEST(SampleBoards, Northwind_PinsAreWiredOnceWithDistinctLocations) {
  auto board = ReadSample("northwind_dk2.qbd");
  const QbdBlock* fpga = TheFpga(*board);
  ASSERT_NE(fpga, nullptr);
  std::set<std::string> locs;
  for (const Property* pin : fpga->GetPropSeqRef(QbdBlock::PORT)) {
    SCOPED_TRACE(pin->GetName().str());
    const auto* ucf = pin->GetPsfCompByName("UCF_NET_STRING");
    ASSERT_NE(ucf, nullptr);
    const auto* list = LyrBase::NodeCast<ListStrVal>(ucf->GetLyrValuePtr());
    ASSERT_NE(list, nullptr);
    int locCount = 0;
    for (const StringBase& s : list->GetValue()) {
      const unsigned eq = s.GetIndexOfFirstChar('=', '\0');
      ASSERT_NE(eq, StringBase::NPOS) << s.str();
      StringBase key = s.Extract(Port_Range(0, eq - 1));
      key.Trim(" \t", StringBase::TRIM_BOTH);
      if (key.Compare("LOC", StringBase::IGNORE_CASE) != 0) continue;
      ++locCount;
      EXPECT_TRUE(locs.insert(s.Extract(Port_Range(eq + 1, s.GetLength())).str()).second)
          << "location used twice: " << s.str();
    }
    EXPECT_EQ(locCount, 1);
    EXPECT_NE(pin->GetPsfCompByName("DIR"), nullptr);
  }

  const std::map<std::string, int> nets = FpgaNets(*fpga);
  std::set<std::string> used;
  std::map<std::string, int> groups;
  for (const QbdBlock* block : Blocks(*board)) {
    if (block == fpga) continue;
    SCOPED_TRACE(block->GetName().str());
    EXPECT_FALSE(block->GetName().IsEmpty());
    EXPECT_FALSE(block->GetPropertyValueStr(QbdBlock::ATTRIBUTE, "IOTYPE").IsEmpty());
    const StringBase group = block->GetPropertyValueStr(QbdBlock::ATTRIBUTE, "EXCLUSIVE");
    if (!group.IsEmpty()) ++groups[Upper(group.str())];
    for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
      const std::string net = Upper(port->GetValueStr().str());
      const auto carried = nets.find(net);
      EXPECT_TRUE(carried != nets.end() && carried->second == 1)
          << port->GetName().str() << " on net " << net << " needs exactly one FPGA pin";
      EXPECT_NE(port->GetPsfCompByName("IO_IS"), nullptr) << port->GetName().str();
      used.insert(net);
    }
  }
  for (const auto& net : nets) EXPECT_EQ(used.count(net.first), 1u) << "unused pin net " << net.first;
  ASSERT_FALSE(groups.empty());
  for (const auto& g : groups) EXPECT_GE(g.second, 2) << "EXCLUSIVE group " << g.first;
}

TEST(SampleBoards, Northwind_AnswersClockResetAndFlashQuestions) {
  auto board = ReadSample("northwind_dk2.qbd");
  int clocks = 0, ranged = 0, flashes = 0, resets = 0;
  for (const QbdBlock* block : Blocks(*board)) {
    const StringBase iotype = block->GetPropertyValueStr(QbdBlock::ATTRIBUTE, "IOTYPE");
    for (const Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER)) {
      const auto* role = param->GetPsfCompByName("IO_IS");
      if (iotype == StringBase("QOR_CLOCK_V1") && role && role->GetValueStr() == StringBase("clk_freq")) {
        ++clocks;
        if (const auto* range = param->GetPsfCompByName("RANGE")) {
          ++ranged;
          EXPECT_NE(LyrBase::NodeCast<LyrBase::ListBaseNodePtrVal>(range->GetLyrValuePtr()), nullptr);
        }
      }
      if (iotype == StringBase("QOR_RESET_V1") && role && role->GetValueStr() == StringBase("polarity"))
        ++resets;
      if (const auto* mem = param->GetPsfCompByName("MEMORY_TYPE")) {
        EXPECT_EQ(mem->GetValueStr().Compare("flash", StringBase::IGNORE_CASE), 0);
        EXPECT_NE(role, nullptr);
        ++flashes;
      }
    }
  }
  EXPECT_EQ(clocks, 2);
  EXPECT_EQ(ranged, 2);
  EXPECT_EQ(resets, 1);
  EXPECT_EQ(flashes, 1);
}

TEST(SampleBoards, GenericTemplate_HasMultiInstanceBlocksThatReachTheFpga) {
  auto board = ReadSample("generic_template.qbd");
  auto attr = [&](const char* name) { return board->GetPsfCompByName(Qbd::ATTRIBUTE, name)->GetValueStr(); };
  EXPECT_EQ(attr("NAME"), StringBase("Generic Template"));
  EXPECT_EQ(attr("VENDOR"), StringBase("Generic"));
  EXPECT_EQ(attr("REVISION"), StringBase("None"));
  const QbdBlock* fpga = TheFpga(*board);
  ASSERT_NE(fpga, nullptr);
  for (const char* a : {"FAMILY", "DEVICE", "PACKAGE", "SPEED_GRADE"})
    EXPECT_NE(fpga->GetPropertyByName(QbdBlock::ATTRIBUTE, a), nullptr) << a;

  const std::map<std::string, int> nets = FpgaNets(*fpga);
  int multi = 0;
  for (const QbdBlock* block : Blocks(*board)) {
    const StringBase count = block->GetPropertyValueStr(QbdBlock::ATTRIBUTE, "MAX_NUM_INSTANCES");
    if (count.IsEmpty() || UT_STR::StrToUINT32(count.c_str(), nullptr, 0) < 2) continue;
    ++multi;
    EXPECT_FALSE(block->GetPropertyValueStr(QbdBlock::ATTRIBUTE, "INSTANCE").IsEmpty());
    ASSERT_FALSE(block->GetPropSeqRef(QbdBlock::PORT).empty());
    for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT))
      EXPECT_EQ(nets.count(Upper(port->GetValueStr().str())), 1u) << port->GetName().str();
  }
  EXPECT_GE(multi, 2);
  ExpectPrintIsStable(*board);
}

}  // namespace
