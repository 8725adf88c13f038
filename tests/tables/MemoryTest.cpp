#include <climits>
#include <string>

#include "LyrWiz_WizUtils.h"
#include "TestBoards.h"

using tables_test::Board;

namespace {

typedef std::vector<unsigned> Sizes;

// A board whose FPGA family is `family` (written quoted, so blanks around it stay).
std::string FamilyBoard(const std::string& family) {
  return "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = fpga\n  ATTRIBUTE BLOCKTYPE = FPGA\n"
         "  ATTRIBUTE FAMILY = \"" + family + "\"\nEND\n";
}

class Memory : public ::testing::Test {
 protected:
  void TearDown() override { ArchDb::reset(); }
};

TEST_F(Memory, ReadOnlyMems_FlashParametersInBoardOrder) {
  Board board(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = flash_0
  PARAMETER C_BASE = 0x100, MEMORY_TYPE = "  flash	", IO_IS = base
  PARAMETER C_SRAM = 0x200, MEMORY_TYPE = SRAM, IO_IS = sram
  PARAMETER C_LOST = 0x300, MEMORY_TYPE = FLASH
  PARAMETER C_HIGH = 0x400, MEMORY_TYPE = Flash, IO_IS = " high "
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = plain
  PARAMETER C_X = 1
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = flash_1
  PARAMETER C_BASE = 0, MEMORY_TYPE = flash, IO_IS = base
END
)");
  Port_MsgCapture trace;
  const std::vector<std::pair<StringBase, StringBase>> mems = board.mbd->getReadOnlyMems();
  ASSERT_EQ(3u, mems.size());
  EXPECT_EQ("flash_0", mems[0].first.str());
  EXPECT_EQ("base", mems[0].second.str());
  EXPECT_EQ("flash_0", mems[1].first.str());
  EXPECT_EQ(" high ", mems[1].second.str());
  EXPECT_EQ("flash_1", mems[2].first.str());
  EXPECT_EQ(std::vector<std::string>{"Error:There is no IOIS found for flash_0:0x300 \n"},
            trace.texts(Port_MsgKind::Trace));
}

TEST_F(Memory, ReadOnlyMems_NoneThere) {
  Board board(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = plain
  PARAMETER C_X = 1, IO_IS = x
END
)");
  EXPECT_TRUE(board.mbd->getReadOnlyMems().empty());
  EXPECT_TRUE(MBD(nullptr).getReadOnlyMems().empty());
}

TEST_F(Memory, BramSizeList_DoublingsDividedBy1023) {
  ArchDb::setEntry("testfam", "OPB", 2047, 65535, 16383);
  Board board(FamilyBoard("  TestFam  ").c_str());
  EXPECT_EQ((Sizes{2, 4, 8, 16, 32, 64}), board.mbd->getBramSizeList("opb"));
  EXPECT_EQ(16u, board.mbd->getDefBramSize("Opb"));
  // Below 1023 the quotients repeat.
  ArchDb::setEntry("testfam", "lmb", 511, 4095, 0);
  EXPECT_EQ((Sizes{0, 0, 1, 3}), board.mbd->getBramSizeList("lmb"));
  EXPECT_EQ(0u, board.mbd->getDefBramSize("lmb"));
}

TEST_F(Memory, BramSizeList_EmptyWhenMinAboveMaxOrZeroOrUnknown) {
  Board board(FamilyBoard("testfam").c_str());
  ArchDb::setEntry("testfam", "plb", 4095, 2047, 2047);
  EXPECT_TRUE(board.mbd->getBramSizeList("plb").empty());
  ArchDb::setEntry("testfam", "plb", 0, 65535, 2047);
  EXPECT_TRUE(board.mbd->getBramSizeList("plb").empty());
  EXPECT_TRUE(board.mbd->getBramSizeList("nosuchbus").empty());
  EXPECT_EQ(0u, board.mbd->getDefBramSize("nosuchbus"));
}

TEST_F(Memory, BramSizeList_EndsBelowTheLargestUnsigned) {
  Board board(FamilyBoard("testfam").c_str());
  ArchDb::setEntry("testfam", "plb", 1u << 30, UINT_MAX, 0);
  EXPECT_EQ((Sizes{(1u << 30) / 1023, (1u << 31) / 1023}), board.mbd->getBramSizeList("plb"));
  ArchDb::setEntry("testfam", "plb", 3, UINT_MAX, 0);
  const Sizes sizes = board.mbd->getBramSizeList("plb");
  ASSERT_EQ(31u, sizes.size());
  EXPECT_EQ((3u << 30) / 1023, sizes.back());
}

TEST_F(Memory, CacheSizeList_InstructionCacheIsFixed) {
  ArchDb::setEntry("testfam", "lmb", 2047, 65535, 0);
  Board board(FamilyBoard("testfam").c_str());
  const Sizes fixed{0, 64, 128, 256, 512, 2048, 4096, 8192, 16384, 32768, 65536};
  EXPECT_EQ(fixed, board.mbd->getPNCacheSizeList("ICACHE"));
  EXPECT_EQ(fixed, board.mbd->getPNCacheSizeList("icache"));
  EXPECT_EQ(fixed, MBD(nullptr).getPNCacheSizeList("iCache"));
}

TEST_F(Memory, CacheSizeList_FromTheLmbRange) {
  ArchDb::setEntry("testfam", "lmb", 2047, 65535, 0);
  Board board(FamilyBoard("testfam").c_str());
  EXPECT_EQ((Sizes{0, 2048, 4096, 8192, 16384, 32768, 65536}),
            board.mbd->getPNCacheSizeList("dcache"));
  ArchDb::setEntry("testfam", "lmb", 0, 8191, 0);
  EXPECT_EQ((Sizes{0, 1024, 2048, 4096, 8192}), board.mbd->getPNCacheSizeList(""));
  ArchDb::setEntry("testfam", "lmb", 65535, 8191, 0);
  EXPECT_EQ(Sizes{0}, board.mbd->getPNCacheSizeList("dcache"));
}

TEST_F(Memory, CacheSizeList_FamilyRules) {
  for (const char* family : {"XKETRAL4Q", " Torvala3 "}) {
    SCOPED_TRACE(family);
    std::string key(family);
    key.erase(0, key.find_first_not_of(' '));
    key.erase(key.find_last_not_of(' ') + 1);
    ArchDb::setEntry(key.c_str(), "lmb", 0, 8191, 0);
    Board board(FamilyBoard(family).c_str());
    EXPECT_EQ((Sizes{0, 2048, 4096, 8192}), board.mbd->getPNCacheSizeList("dcache"));
  }
  ArchDb::setEntry("torvala3-x", "lmb", 4095, 65535, 0);
  ArchDb::setEntry("ketral4-x", "lmb", 4095, 65535, 0);
  Board torvala(FamilyBoard("torvala3-x").c_str());
  Board ketral(FamilyBoard("ketral4-x").c_str());
  EXPECT_EQ(2048u, torvala.mbd->getPNCacheSizeList("dcache").at(1));
  EXPECT_EQ(4096u, ketral.mbd->getPNCacheSizeList("dcache").at(1));
}

TEST_F(Memory, CacheSizeList_EndsBelowTheLargestUnsigned) {
  ArchDb::setEntry("testfam", "lmb", 0, UINT_MAX, 0);
  Board board(FamilyBoard("testfam").c_str());
  const Sizes sizes = board.mbd->getPNCacheSizeList("dcache");
  ASSERT_EQ(23u, sizes.size());  // 0, then 2^10 .. 2^31
  EXPECT_EQ(1u << 31, sizes.back());
  ArchDb::setEntry("testfam", "lmb", UINT_MAX, UINT_MAX, 0);
  EXPECT_EQ(Sizes{0}, board.mbd->getPNCacheSizeList("dcache"));
}

TEST_F(Memory, NullBoard_UnknownFamily) {
  MBD mbd(nullptr);
  EXPECT_TRUE(mbd.getBramSizeList("lmb").empty());
  EXPECT_EQ(0u, mbd.getDefBramSize("lmb"));
  EXPECT_EQ(Sizes{0}, mbd.getPNCacheSizeList("dcache"));
}

}  // namespace
