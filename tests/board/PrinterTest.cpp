// The board printer: its layout, its quoting, and the round trip with the reader.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BoardTestSupport.h"

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

// A fresh folder under /tmp, removed with what it holds at the end of the test.
class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/board_write_XXXXXX";
    path_ = ::mkdtemp(pattern) ? pattern : "";
  }
  ~TempFolder() {
    const std::string command = "rm -rf '" + path_ + "'";
    if (!path_.empty()) {
      EXPECT_EQ(std::system(command.c_str()), 0);
    }
  }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // The names in the folder.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(path_.c_str())) {
      while (const dirent* entry = ::readdir(dir))
        if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
          names.push_back(entry->d_name);
      ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Printer, WriteFile_ReplacesWhereLinksPointWithoutSetIdBits) {
  auto board = Board("ATTRIBUTE NAME = DK\n");
  const std::string text = board->WriteString().str();
  TempFolder folder;
  // An existing file keeps its permissions less the set-id bits.
  { std::ofstream(folder / "t.qbd") << "old\n"; }
  ASSERT_EQ(::chmod((folder / "t.qbd").c_str(), 06750), 0);
  ASSERT_EQ(::symlink("t.qbd", (folder / "link.qbd").c_str()), 0);
  ASSERT_EQ(board->WriteFile((folder / "link.qbd").c_str()), 0);
  struct stat st;
  ASSERT_EQ(::lstat((folder / "link.qbd").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Contents(folder / "t.qbd"), text);
  ASSERT_EQ(::stat((folder / "t.qbd").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0750u);
  // A dangling link gets the file it names.
  ASSERT_EQ(::symlink("new.qbd", (folder / "dangling.qbd").c_str()), 0);
  ASSERT_EQ(board->WriteFile((folder / "dangling.qbd").c_str()), 0);
  EXPECT_EQ(Contents(folder / "new.qbd"), text);
  // A name of the folder's longest length: the temporary name must fit too.
  const long longest = ::pathconf((folder / ".").c_str(), _PC_NAME_MAX);
  const std::string longName(static_cast<std::size_t>(longest), 'n');
  ASSERT_EQ(board->WriteFile((folder / longName).c_str()), 0);
  EXPECT_EQ(Contents(folder / longName), text);
  // Nothing is left beside the files.
  EXPECT_EQ(folder.Names(),
            (std::vector<std::string>{"dangling.qbd", "link.qbd", "new.qbd", longName, "t.qbd"}));
  // A folder is not replaced.
  EXPECT_NE(board->WriteFile((folder / ".").c_str()), 0);
}

}  // namespace
