// The board printer: its layout, its quoting, and the round trip with the reader.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BoardTestSupport.h"

#include "../support/TempFolder.h"

namespace {

using boardtest::Board;
using boardtest::Describe;
using LyrBoard::Qbd;

TEST(Printer, Layout_CapitalKeywordsIndentedBlocksMinimalQuotes) {
  auto board = Board(R"(attribute NAME = Generic Template
Attribute LONG_DESC="Board: FPGA, UART",  URL = http://x/y?a=b
begin block
    attribute instance=uart_0
    port TX=uart_tx,UCF_NET_STRING=("LOC=W1" , IOSTANDARD=LVCMOS33),DIR=O
  parameter C_RANGE = ((1,2),(3)), EMPTY = "", "odd name" = ( )
End
BEGIN BLOCK "block, named"
END
)");
  ASSERT_EQ(board->GetErrorCode(), 0) << board->GetErrorText().c_str();
  EXPECT_EQ(board->WriteString().str(), R"(ATTRIBUTE NAME = Generic Template
ATTRIBUTE LONG_DESC = "Board: FPGA, UART", URL = http://x/y?a=b

BEGIN BLOCK
  ATTRIBUTE instance = uart_0
  PARAMETER C_RANGE = ((1, 2), (3)), EMPTY = "", odd name = ()
  PORT TX = uart_tx, UCF_NET_STRING = (LOC=W1, IOSTANDARD=LVCMOS33), DIR = O
END

BEGIN BLOCK "block, named"
END
)");
}

TEST(Printer, BlockNames_AreWrittenOnlyWhenTheReaderCouldNotInferThem) {
  auto board = Board(R"(BEGIN BLOCK
  ATTRIBUTE INSTANCE = a
END
BEGIN BLOCK b
  ATTRIBUTE INSTANCE = a
END
BEGIN BLOCK ""
  ATTRIBUTE INSTANCE = a
END
BEGIN BLOCK "x=y"
END
)");
  ASSERT_EQ(board->GetErrorCode(), 0) << board->GetErrorText().c_str();
  const std::string text = board->WriteString().str();
  EXPECT_EQ(text, "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = a\nEND\n\n"
                  "BEGIN BLOCK b\n  ATTRIBUTE INSTANCE = a\nEND\n\n"
                  "BEGIN BLOCK \"\"\n  ATTRIBUTE INSTANCE = a\nEND\n\n"
                  "BEGIN BLOCK \"x=y\"\nEND\n");
}

TEST(Printer, Names_AndValuesQuoteWhatWouldNotReadBack) {
  Qbd board;
  auto* attr = new LyrBase::Property("a=b");
  attr->SetValueStr("x=y");
  board.AddPsfComp(Qbd::ATTRIBUTE, attr);
  auto* other = new LyrBase::Property(" lead");
  other->SetValueStr("ends in \\");
  other->AddPsfComp(new LyrBase::PsfComp("tab\there"));
  board.AddPsfComp(Qbd::ATTRIBUTE, other);
  EXPECT_EQ(board.WriteString().str(),
            "ATTRIBUTE \"a=b\" = x=y\n"
            "ATTRIBUTE \" lead\" = \"ends in \\\\\", tab\there = \"\"\n");
}

TEST(Printer, RoundTrip_HoldsForRandomTrees) {
  std::mt19937 rng(424242);
  for (int i = 0; i < 500; ++i) {
    std::unique_ptr<Qbd> original = boardtest::RandomBoard(rng);
    const std::string printed = original->WriteString().str();
    Qbd read;
    ASSERT_EQ(read.ReadString(printed.c_str()), 0) << read.GetErrorText().c_str() << printed;
    ASSERT_EQ(Describe(read), Describe(*original)) << printed;
    ASSERT_EQ(read.WriteString().str(), printed) << "printing a printed file changes nothing";
  }
}

TEST(Printer, WriteFile_ThenReadFileGivesTheSameTree) {
  auto board = Board(R"(ATTRIBUTE NAME = DK
BEGIN BLOCK
  ATTRIBUTE INSTANCE = clk_0
  PARAMETER C_FREQ = 100000000, RANGE = ((25000000, 100000000, 0), (125000000))
END
)");
  char path[] = "/tmp/board_printer_XXXXXX";
  const int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  ::close(fd);
  ASSERT_EQ(board->WriteFile(path), 0);
  Qbd again;
  ASSERT_EQ(again.ReadFile(path), 0) << again.GetErrorText().c_str();
  EXPECT_EQ(Describe(again), Describe(*board));
  std::remove(path);
  EXPECT_NE(board->WriteFile("/nonexistent/dir/x.qbd"), 0);
  EXPECT_NE(board->WriteFile(nullptr), 0);
}

using qbdtest::Contents;
using qbdtest::TempFolder;

// The rules of replacing a file are Port::ReplacingFile's, tried there case by case; here,
// that WriteFile goes through it and tells its outcomes apart.
TEST(Printer, WriteFile_ReplacesThroughTheSharedRulesAndTellsARefusal) {
  auto board = Board("ATTRIBUTE NAME = DK\n");
  const std::string text = board->WriteString().str();
  TempFolder folder;
  { std::ofstream(folder / "t.qbd") << "old\n"; }
  ASSERT_EQ(::chmod((folder / "t.qbd").c_str(), 0444), 0);
  ASSERT_EQ(::symlink("t.qbd", (folder / "link.qbd").c_str()), 0);

  errno = 0;
  EXPECT_EQ(board->WriteFile((folder / "link.qbd").c_str()), Qbd::WRITE_PROTECTED);
  EXPECT_EQ(errno, EACCES);
  EXPECT_EQ(Contents(folder / "t.qbd"), "old\n");

  EXPECT_EQ(board->WriteFile((folder / "link.qbd").c_str(), true), Qbd::WRITE_OK);
  EXPECT_EQ(Contents(folder / "t.qbd"), text);
  struct stat st;
  ASSERT_EQ(::lstat((folder / "link.qbd").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced";

  EXPECT_EQ(board->WriteFile((folder / ".").c_str()), Qbd::WRITE_ERROR);
  EXPECT_EQ(errno, EISDIR);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"link.qbd", "t.qbd"}));
}

}  // namespace
