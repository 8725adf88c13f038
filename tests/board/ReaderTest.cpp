// The board file reader: what it builds, and how it refuses bad input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>

#include "BoardTestSupport.h"

namespace {

using boardtest::Board;
using LyrBase::ListBaseNodePtrVal;
using LyrBase::ListStrVal;
using LyrBase::Property;
using LyrBase::StrVal;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

const QbdBlock& BlockAt(const Qbd& board, std::size_t i) {
  // The block list holds blocks only: the board refuses anything else.
  return *LyrBase::NodeCast<QbdBlock>(board.GetPsfCompSeqRef(Qbd::BLOCK).at(i));
}

std::vector<std::string> ErrorLines(const Qbd& board) {
  std::vector<std::string> lines;
  const std::string text = board.GetErrorText().str();
  std::size_t start = 0;
  for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
    lines.push_back(text.substr(start, nl - start));
  return lines;
}

TEST(Reader, Structure_FollowsTheFileOrder) {
  auto board = Board(R"(# A board
attribute VENDOR = Northwind
ATTRIBUTE NAME   = Generic Template   # comment after a value
Begin Block
  ATTRIBUTE INSTANCE  = fpga_0
  PORT uart_tx_pin = uart_tx, UCF_NET_STRING = ("LOC=W1", "IOSTANDARD=LVCMOS33"), DIR = O
  parameter C_A = 1
  ATTRIBUTE INSTANCE  = ignored
end

BEGIN BLOCK named_block
  ATTRIBUTE INSTANCE = other
END
BEGIN BLOCK
END
)");
  ASSERT_EQ(board->GetErrorCode(), 0) << board->GetErrorText().c_str();
  EXPECT_TRUE(board->GetErrorText().IsEmpty());
  const auto& attrs = board->GetPsfCompSeqRef(Qbd::ATTRIBUTE);
  ASSERT_EQ(attrs.size(), 2u);
  EXPECT_EQ(attrs[1]->GetName(), StringBase("NAME"));
  EXPECT_EQ(attrs[1]->GetValueStr(), StringBase("Generic Template"));
  ASSERT_EQ(board->GetPsfCompSeqRef(Qbd::BLOCK).size(), 3u);

  const QbdBlock& fpga = BlockAt(*board, 0);
  EXPECT_EQ(fpga.GetName(), StringBase("fpga_0")) << "named by its first INSTANCE";
  EXPECT_EQ(BlockAt(*board, 1).GetName(), StringBase("named_block"));
  EXPECT_TRUE(BlockAt(*board, 2).GetName().IsEmpty());
  EXPECT_EQ(fpga.GetPropSeqRef(QbdBlock::ATTRIBUTE).size(), 2u);
  ASSERT_EQ(fpga.GetPropSeqRef(QbdBlock::PARAMETER).size(), 1u);
  EXPECT_NE(LyrBase::NodeCast<LyrBoard::BdParam>(fpga.GetPropSeqRef(QbdBlock::PARAMETER)[0]), nullptr);

  const Property* pin = fpga.GetPropertyByName(QbdBlock::PORT, "uart_tx_pin");
  ASSERT_NE(pin, nullptr);
  EXPECT_NE(LyrBase::NodeCast<LyrBoard::BdPin>(pin), nullptr);
  EXPECT_EQ(pin->GetValueStr(), StringBase("uart_tx"));
  ASSERT_EQ(pin->GetPsfCompSeqRef().size(), 2u);
  EXPECT_EQ(pin->GetPsfCompSeqRef()[1]->GetName(), StringBase("DIR"));
  const auto* ucf = LyrBase::NodeCast<ListStrVal>(pin->GetPsfCompByName("UCF_NET_STRING")->GetLyrValuePtr());
  ASSERT_NE(ucf, nullptr);
  EXPECT_EQ(ucf->GetValue(), (std::vector<StringBase>{"LOC=W1", "IOSTANDARD=LVCMOS33"}));

  // Owners lead back to the board that was read into, not to a temporary.
  EXPECT_EQ(pin->GetOwner(), &fpga);
  EXPECT_EQ(fpga.GetOwner(), board.get());
  EXPECT_EQ(attrs[0]->GetOwner(), board.get());
}

TEST(Reader, Values_TakeTheirTypedShape) {
  auto board = Board(R"(ATTRIBUTE S = plain text with = inside
ATTRIBUTE Q = "quoted, \"escaped\"\t\\"
ATTRIBUTE E =
ATTRIBUTE L1 = (only)
ATTRIBUTE L0 = ( )
ATTRIBUTE LL = ((25000000, 100000000), 125000000, ("x"))
ATTRIBUTE "name = with blanks" = "#not a comment"
ATTRIBUTE U = grüße
)");
  ASSERT_EQ(board->GetErrorCode(), 0) << board->GetErrorText().c_str();
  auto value = [&](const char* name) { return board->GetPsfCompByName(Qbd::ATTRIBUTE, name); };
  EXPECT_EQ(value("S")->GetValueStr(), StringBase("plain text with = inside"));
  EXPECT_NE(LyrBase::NodeCast<StrVal>(value("S")->GetLyrValuePtr()), nullptr);
  EXPECT_EQ(value("Q")->GetValueStr(), StringBase("quoted, \"escaped\"\t\\"));
  EXPECT_EQ(value("E")->GetValueStr(), StringBase(""));
  EXPECT_NE(LyrBase::NodeCast<StrVal>(value("E")->GetLyrValuePtr()), nullptr);
  EXPECT_EQ(value("L1")->GetValueStr(), StringBase("only"));
  EXPECT_NE(LyrBase::NodeCast<ListStrVal>(value("L1")->GetLyrValuePtr()), nullptr);
  EXPECT_EQ(value("L0")->GetValueStr(), StringBase("()"));
  EXPECT_EQ(value("name = with blanks")->GetValueStr(), StringBase("#not a comment"));
  EXPECT_EQ(value("U")->GetValueStr(), StringBase("grüße"));

  const auto* range = LyrBase::NodeCast<ListBaseNodePtrVal>(value("LL")->GetLyrValuePtr());
  ASSERT_NE(range, nullptr);
  ASSERT_EQ(range->GetValue().size(), 3u);
  const auto* scalar = LyrBase::NodeCast<ListStrVal>(range->GetValue()[1]);
  ASSERT_NE(scalar, nullptr) << "a scalar beside a list becomes a one-element list";
  EXPECT_EQ(scalar->GetValue(), std::vector<StringBase>{"125000000"});
  EXPECT_EQ(value("LL")->GetValueStr(), StringBase("((25000000, 100000000), 125000000, x)"));
}

TEST(Reader, QuotedAndBareText_KeepTheirOwnBytesWithinAStatement) {
  // Quoted names and values go through buffers that the next statement reuses; bare ones are
  // taken from the text. Each node must keep the bytes it was given.
  auto board = Board(R"(BEGIN BLOCK "quoted block"
  PORT "p 1" = "v, 1", "s 1" = "w 1", s2 = bare, "s 3" = ("i 1", i2, "i, 3")
  PORT p2 = v2, s1 = "longer than any short string buffer", "x" = y
  PARAMETER "Port" = "End", "BEGIN" = "Block"
END
ATTRIBUTE "A" = "b"
ATTRIBUTE c = d
)");
  ASSERT_EQ(board->GetErrorCode(), 0) << board->GetErrorText().c_str();
  const QbdBlock& block = BlockAt(*board, 0);
  EXPECT_EQ(block.GetName(), StringBase("quoted block"));
  const auto& ports = block.GetPropSeqRef(QbdBlock::PORT);
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(ports[0]->GetName(), StringBase("p 1"));
  EXPECT_EQ(ports[0]->GetValueStr(), StringBase("v, 1"));
  const auto& subs = ports[0]->GetPsfCompSeqRef();
  ASSERT_EQ(subs.size(), 3u);
  EXPECT_EQ(subs[0]->GetName(), StringBase("s 1"));
  EXPECT_EQ(subs[0]->GetValueStr(), StringBase("w 1"));
  EXPECT_EQ(subs[1]->GetName(), StringBase("s2"));
  EXPECT_EQ(subs[1]->GetValueStr(), StringBase("bare"));
  EXPECT_EQ(subs[2]->GetName(), StringBase("s 3"));
  const auto* items = LyrBase::NodeCast<ListStrVal>(subs[2]->GetLyrValuePtr());
  ASSERT_NE(items, nullptr);
  EXPECT_EQ(items->GetValue(), (std::vector<StringBase>{"i 1", "i2", "i, 3"}));
  EXPECT_EQ(ports[1]->GetPsfCompByName("s1")->GetValueStr(),
            StringBase("longer than any short string buffer"));
  EXPECT_EQ(ports[1]->GetPsfCompByName("x")->GetValueStr(), StringBase("y"));
  // Keywords in quotes are plain names and values.
  const Property* param = block.GetPropertyByName(QbdBlock::PARAMETER, "port");
  ASSERT_NE(param, nullptr);
  EXPECT_EQ(param->GetValueStr(), StringBase("End"));
  EXPECT_EQ(param->GetPsfCompByName("begin")->GetValueStr(), StringBase("Block"));
  EXPECT_EQ(board->GetPsfCompByName(Qbd::ATTRIBUTE, "A")->GetValueStr(), StringBase("b"));
  EXPECT_EQ(board->GetPsfCompByName(Qbd::ATTRIBUTE, "c")->GetValueStr(), StringBase("d"));
}

TEST(Reader, Continuations_JoinLines) {
  auto board = Board("BEGIN BLOCK\r\n"
                     "  PARAMETER C_FREQ = 100000000, IO_IS = clk_freq,\r\n"
                     "     # a comment between\r\n"
                     "\r\n"
                     "     RANGE = ((25000000,\r\n"
                     "               100000000), # inside a list\r\n"
                     "              (125000000))\r\n"
                     "  PORT CLK = sys_clk \\\r\n"
                     "     , IO_IS = ext_clk\r\n"
                     "  PORT BS = a\\b\r\n"
                     "END\r\n");
  ASSERT_EQ(board->GetErrorCode(), 0) << board->GetErrorText().c_str();
  const QbdBlock& block = BlockAt(*board, 0);
  const Property* freq = block.GetPropertyByName(QbdBlock::PARAMETER, "C_FREQ");
  ASSERT_EQ(freq->GetPsfCompSeqRef().size(), 2u);
  EXPECT_EQ(freq->GetPsfCompByName("RANGE")->GetValueStr(),
            StringBase("((25000000, 100000000), 125000000)"));
  EXPECT_EQ(block.GetPropertyValueStr(QbdBlock::PORT, "CLK"), StringBase("sys_clk"));
  EXPECT_EQ(block.GetPropertyByName(QbdBlock::PORT, "CLK")->GetPsfCompSeqRef().size(), 1u);
  EXPECT_EQ(block.GetPropertyValueStr(QbdBlock::PORT, "BS"), StringBase("a\\b"));
}

TEST(Reader, Positions_AreRememberedWithOneSharedFileName) {
  Qbd board;
  ASSERT_EQ(board.ReadString("ATTRIBUTE A = 1\n\nBEGIN BLOCK\n\tPORT P = n,  DIR = O\nEND\n",
                             "mem.qbd"),
            0);
  const auto* attr = board.GetPsfCompSeqRef(Qbd::ATTRIBUTE)[0];
  EXPECT_EQ(attr->GetFileName(), StringBase("mem.qbd"));
  EXPECT_EQ(attr->GetLineNo(), 1u);
  EXPECT_EQ(attr->GetColumnNo(), 1u);
  const QbdBlock& block = BlockAt(board, 0);
  EXPECT_EQ(block.GetLineNo(), 3u);
  const Property* pin = block.GetPropSeqRef(QbdBlock::PORT)[0];
  EXPECT_EQ(pin->GetLineNo(), 4u);
  EXPECT_EQ(pin->GetColumnNo(), 2u);
  EXPECT_EQ(pin->GetPsfCompSeqRef()[0]->GetColumnNo(), 15u);
  EXPECT_EQ(pin->GetPsfCompSeqRef()[0]->GetFileName(), StringBase("mem.qbd"));
}

struct ErrorCase {
  const char* input;
  const char* message;  // the first error's message
  unsigned line;
  unsigned column;
  const char* code;
};

TEST(Reader, Errors_NameWhatWasExpectedAndFound) {
  const ErrorCase cases[] = {
      {"", "empty board file: expected ATTRIBUTE or BEGIN BLOCK, found end of file", 1, 1, "empty_file"},
      {"# only a comment\n\n", "empty board file: expected ATTRIBUTE or BEGIN BLOCK, found end of file", 3, 1, "empty_file"},
      {"ATTRIBUTE A = \"abc\n", "unterminated quoted string: expected '\"', found end of line", 1, 15, "unterminated_string"},
      {"ATTRIBUTE A = \"abc", "unterminated quoted string: expected '\"', found end of file", 1, 15, "unterminated_string"},
      {"ATTRIBUTE A = (a,\n", "unterminated list: expected ')' to close this '(', found end of file", 1, 15, "unterminated_list"},
      {"ATTRIBUTE A = (a, b\nATTRIBUTE B = 1\n", "expected ',' or ')' in the list opened at 1:15, found 'ATTRIBUTE'", 2, 1, "list_separator"},
      {"ATTRIBUTE A = (x, (a, (b)))", "lists nest at most two deep: expected a value, found '('", 1, 23, "list_too_deep"},
      {"ATTRIBUTE A = (a b) c", "expected ',' or end of line after the value of 'A', found 'c'", 1, 21, "value_end"},
      {"ATTRIBUTE A = (a \"b\")", "expected ',' or ')' in the list opened at 1:15, found '\"'", 1, 18, "list_separator"},
      {"BEGIN BLOCK\n  PORT a = b\n", "BEGIN BLOCK has no END: expected END, found end of file", 1, 1, "missing_end"},
      {"END\n", "END without BEGIN BLOCK: expected ATTRIBUTE or BEGIN BLOCK, found END", 1, 1, "end_without_begin"},
      {"  PARAMETER C = 1\n", "PARAMETER outside a block: expected ATTRIBUTE or BEGIN BLOCK, found PARAMETER", 1, 3, "outside_block"},
      {"PORT p = n", "PORT outside a block: expected ATTRIBUTE or BEGIN BLOCK, found PORT", 1, 1, "outside_block"},
      {"FROB x = 1", "expected ATTRIBUTE or BEGIN BLOCK, found 'FROB'", 1, 1, "unknown_statement"},
      {"= 1", "expected ATTRIBUTE or BEGIN BLOCK, found '='", 1, 1, "unknown_statement"},
      {"BEGIN BLOCK\n  FROB\nEND", "expected ATTRIBUTE, PARAMETER, PORT or END, found 'FROB'", 2, 3, "unknown_statement"},
      {"ATTRIBUTE A 1", "expected '=' after the name 'A 1', found end of file", 1, 14, "missing_equals"},
      {"ATTRIBUTE = 1", "expected a name after ATTRIBUTE, found '='", 1, 11, "missing_name"},
      {"ATTRIBUTE A = 1, = 2", "expected a name after ',', found '='", 1, 18, "missing_name"},
      {"ATTRIBUTE A = 1,", "expected a name after ',', found end of file", 1, 17, "missing_name"},
      {"ATTRIBUTE A = \"x\\q\"", "unknown escape: expected \\\", \\\\, \\t or \\n, found '\\q'", 1, 17, "unknown_escape"},
      {"ATTRIBUTE \"line\\nbreak\", X = 1", "expected '=' after the name 'line\\nbreak', found ','", 1, 24, "missing_equals"},
      {"ATTRIBUTE \"tab\\t\" ", "expected '=' after the name 'tab\\t', found end of file", 1, 19, "missing_equals"},
      {"ATTRIBUTE A = \"x\" y", "expected ',' or end of line after the value of 'A', found 'y'", 1, 19, "value_end"},
      {"BEGIN BLOK\nEND", "expected BLOCK after BEGIN, found 'BLOK'", 1, 7, "missing_block_keyword"},
      {"BEGIN BLOCK a b = c\nEND", "expected end of line after the block name, found '='", 1, 17, "line_end"},
      {"BEGIN BLOCK a\nBEGIN BLOCK b\nEND", "expected END before the next BEGIN BLOCK (the block begun at 1:1 has no END), found BEGIN", 2, 1, "missing_end"},
      {"BEGIN BLOCK\nEND x\n", "expected end of line after END, found 'x'", 2, 5, "line_end"},
      {"ATTRIBUTE A = a\x01" "b", "unexpected control byte 0x01", 1, 16, "control_byte"},
      {"ATTRIBUTE A = 1\rATTRIBUTE B = 2", "unexpected control byte 0x0D", 1, 16, "control_byte"},
      {"ATTRIBUTE A = 1\r\nFROB\r\n", "expected ATTRIBUTE or BEGIN BLOCK, found 'FROB'", 2, 1, "unknown_statement"},
      {"\tATTRIBUTE A = (\n\n   a, ( b", "unterminated list: expected ')' to close this '(', found end of file", 3, 7, "unterminated_list"},
      // Words one letter away from a keyword, or a keyword out of its place.
      {"PORTS p = n", "expected ATTRIBUTE or BEGIN BLOCK, found 'PORTS'", 1, 1, "unknown_statement"},
      {"ATTRIBUTES A = 1", "expected ATTRIBUTE or BEGIN BLOCK, found 'ATTRIBUTES'", 1, 1, "unknown_statement"},
      {"PARAMETE C = 1", "expected ATTRIBUTE or BEGIN BLOCK, found 'PARAMETE'", 1, 1, "unknown_statement"},
      {"BLOCK\n", "expected ATTRIBUTE or BEGIN BLOCK, found 'BLOCK'", 1, 1, "unknown_statement"},
      {"BEGIN BEGIN\nEND", "expected BLOCK after BEGIN, found 'BEGIN'", 1, 7, "missing_block_keyword"},
      {"BEGIN BLOCKS\nEND", "expected BLOCK after BEGIN, found 'BLOCKS'", 1, 7, "missing_block_keyword"},
      {"BEGIN BLOCK\n  ENDS\nEND", "expected ATTRIBUTE, PARAMETER, PORT or END, found 'ENDS'", 2, 3, "unknown_statement"},
      {"BEGIN BLOCK\n  BLOCK\nEND", "expected ATTRIBUTE, PARAMETER, PORT or END, found 'BLOCK'", 2, 3, "unknown_statement"},
  };
  const std::regex form(R"(^<string>:[0-9]+:[0-9]+: error: .+$)");
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.input);
    auto board = Board(c.input);
    EXPECT_EQ(board->GetErrorCode(), Qbd::READ_SYNTAX_ERROR);
    const std::vector<LyrBoard::ReadError>& errors = board->GetErrors();
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors[0].file, "<string>");
    EXPECT_EQ(errors[0].line, c.line);
    EXPECT_EQ(errors[0].column, c.column);
    EXPECT_EQ(errors[0].code, c.code);
    EXPECT_EQ(errors[0].message, c.message);
    // The text is the records, one line each, in the same order.
    const std::vector<std::string> lines = ErrorLines(*board);
    ASSERT_EQ(lines.size(), errors.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_TRUE(std::regex_match(lines[i], form)) << lines[i];
      EXPECT_EQ(lines[i], errors[i].file + ":" + std::to_string(errors[i].line) + ":" +
                              std::to_string(errors[i].column) + ": error: " + errors[i].message);
      EXPECT_NE(errors[i].code, "syntax") << "every message has a kind of its own";
    }
    EXPECT_TRUE(board->GetPsfCompSeqRef(Qbd::BLOCK).empty());
    EXPECT_TRUE(board->GetPsfCompSeqRef(Qbd::ATTRIBUTE).empty());
  }
}

TEST(Reader, Errors_AreCollectedAfterRecoveryUpToTwenty) {
  auto board = Board("ATTRIBUTE A = \"open\nPORT p = n\nBEGIN BLOCK\n  ATTRIBUTE B = 1\n  X\nEND\nEND\n");
  const std::vector<LyrBoard::ReadError>& errors = board->GetErrors();
  ASSERT_EQ(errors.size(), 4u) << board->GetErrorText().c_str();
  const std::pair<unsigned, unsigned> at[] = {{1, 15}, {2, 1}, {5, 3}, {7, 1}};
  const char* codes[] = {"unterminated_string", "outside_block", "unknown_statement",
                         "end_without_begin"};
  for (std::size_t i = 0; i < errors.size(); ++i) {
    EXPECT_EQ(std::make_pair(errors[i].line, errors[i].column), at[i]) << i;
    EXPECT_EQ(errors[i].code, codes[i]) << i;
  }
  EXPECT_EQ(ErrorLines(*board).size(), 4u);

}

// Past the listed errors, the reader goes on to the end and one line counts the rest from the
// place of the first it did not list; the listed lines stay as they were.
TEST(Reader, Errors_PastTwentyAreCountedInOneLine) {
  struct Case {
    int badLines;
    bool openBlock;  // a BEGIN BLOCK without END follows the bad lines
    std::string last;  // the last line of the error text
  };
  const Case cases[] = {
      {20, false, "<string>:20:1: error: expected ATTRIBUTE or BEGIN BLOCK, found 'bad'"},
      {21, false,
       "<string>:21:1: error: 1 more error not listed, the first of them here (a read lists at "
       "most 20)"},
      {100, false,
       "<string>:21:1: error: 80 more errors not listed, the first of them here (a read lists "
       "at most 20)"},
      {20, true,
       "<string>:21:1: error: 1 more error not listed, the first of them here (a read lists at "
       "most 20)"},
  };
  for (const Case& c : cases) {
    std::string text;
    for (int i = 0; i < c.badLines; ++i) text += "bad line\n";
    if (c.openBlock) text += "BEGIN BLOCK b\n  ATTRIBUTE A = 1\n";
    SCOPED_TRACE(text.size());
    auto board = Board(text.c_str());
    const std::vector<std::string> lines = ErrorLines(*board);
    const bool counted = c.badLines + (c.openBlock ? 1 : 0) > int(Qbd::MAX_ERRORS);
    ASSERT_EQ(lines.size(), Qbd::MAX_ERRORS + (counted ? 1u : 0u));
    EXPECT_EQ(lines.back(), c.last);
    // The count is a record of its own too, so the records and the text stay line for line.
    ASSERT_EQ(board->GetErrors().size(), lines.size());
    EXPECT_EQ(board->GetErrors().back().code, counted ? "more_errors" : "unknown_statement");
    EXPECT_EQ(lines[Qbd::MAX_ERRORS - 1],
              "<string>:20:1: error: expected ATTRIBUTE or BEGIN BLOCK, found 'bad'");
  }
}

TEST(Reader, Read_IsAllOrNothing) {
  Qbd board;
  ASSERT_EQ(board.ReadString("ATTRIBUTE A = 1\nBEGIN BLOCK b\nEND\n"), 0);
  ASSERT_EQ(board.GetPsfCompSeqRef(Qbd::BLOCK).size(), 1u);
  // The error is on the last line: nothing read before it may survive.
  EXPECT_NE(board.ReadString("ATTRIBUTE C = 1\nBEGIN BLOCK c\nEND\nEND\n"), 0);
  EXPECT_NE(board.GetErrorCode(), 0);
  EXPECT_TRUE(board.GetPsfCompSeqRef(Qbd::BLOCK).empty());
  EXPECT_TRUE(board.GetPsfCompSeqRef(Qbd::ATTRIBUTE).empty());
  EXPECT_EQ(board.GetErrors().size(), 1u);
  ASSERT_EQ(board.ReadString("ATTRIBUTE D = 4\n"), 0);
  EXPECT_EQ(board.GetErrorCode(), 0);
  EXPECT_TRUE(board.GetErrorText().IsEmpty());
  EXPECT_TRUE(board.GetErrors().empty()) << "a good read forgets the errors of the last";
  ASSERT_EQ(board.GetPsfCompSeqRef(Qbd::ATTRIBUTE).size(), 1u);
  EXPECT_EQ(board.GetPsfCompSeqRef(Qbd::ATTRIBUTE)[0]->GetName(), StringBase("D"));
}

TEST(Reader, NulByte_IsRefusedWhereItIs) {
  const char data[] = "ATTRIBUTE A = 1\nATTRIBUTE B = x\0y\n";
  Qbd board;
  EXPECT_EQ(board.ReadBuffer(data, sizeof data - 1, "bin.qbd"), Qbd::READ_SYNTAX_ERROR);
  EXPECT_EQ(board.GetErrorText(),
            StringBase("bin.qbd:2:16: error: expected text, found a NUL byte (is this a binary file?)\n"));
  ASSERT_EQ(board.GetErrors().size(), 1u);
  EXPECT_EQ(board.GetErrors()[0].code, "binary_data");
  EXPECT_EQ(board.GetErrors()[0].file, "bin.qbd");
  EXPECT_EQ(board.GetErrors()[0].column, 16u);
  EXPECT_TRUE(board.GetPsfCompSeqRef(Qbd::ATTRIBUTE).empty());
  EXPECT_EQ(board.ReadBuffer(nullptr, 5, "none"), Qbd::READ_SYNTAX_ERROR);
  EXPECT_NE(board.GetErrorText().str().find("none:1:1: error: empty board file"), std::string::npos);
  // ReadString stops at the NUL, as a C string does.
  EXPECT_EQ(board.ReadString(data), 0);
}

TEST(Reader, Files_ThatCannotBeOpenedSayWhy) {
  Qbd board;
  EXPECT_EQ(board.ReadFile("/nonexistent/board.qbd"), Qbd::READ_OPEN_ERROR);
  EXPECT_EQ(board.GetErrorCode(), Qbd::READ_OPEN_ERROR);
  EXPECT_EQ(board.GetErrorText(), StringBase(std::string("/nonexistent/board.qbd:1:1: error: cannot open board file: ") +
                                             std::strerror(ENOENT) + "\n"));
  ASSERT_EQ(board.GetErrors().size(), 1u);
  EXPECT_EQ(board.GetErrors()[0].code, "cannot_open");
  EXPECT_EQ(board.GetErrors()[0].file, "/nonexistent/board.qbd");
  EXPECT_EQ(board.GetErrors()[0].message,
            std::string("cannot open board file: ") + std::strerror(ENOENT));
  EXPECT_EQ(board.ReadFile("/tmp"), Qbd::READ_OPEN_ERROR);
  EXPECT_NE(board.GetErrorText().str().find(std::strerror(EISDIR)), std::string::npos);
  EXPECT_EQ(board.ReadFile(nullptr), Qbd::READ_OPEN_ERROR);
  // A device that never ends is cut short at its first NUL byte.
  EXPECT_EQ(board.ReadFile("/dev/zero"), Qbd::READ_SYNTAX_ERROR);
  EXPECT_EQ(board.GetErrorText(),
            StringBase("/dev/zero:1:1: error: expected text, found a NUL byte (is this a binary file?)\n"));

  char path[] = "/tmp/board_reader_XXXXXX";
  const int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_EQ(board.ReadFile(path), Qbd::READ_SYNTAX_ERROR) << "an empty file is an error";
  EXPECT_NE(board.GetErrorText().str().find(std::string(path) + ":1:1: error: empty board file"),
            std::string::npos);
  std::ofstream(path) << "ATTRIBUTE NAME = from file\n";
  EXPECT_EQ(board.ReadFile(path), 0);
  EXPECT_EQ(board.GetPsfCompSeqRef(Qbd::ATTRIBUTE)[0]->GetFileName(), StringBase(path));
  std::remove(path);
}

// A board of several megabytes whose statements span lines (lists, continuations, comments),
// so that a read from a file hands back the text it has passed many times over.
std::string LargeBoardText() {
  std::string text = "ATTRIBUTE NAME = Large\n";
  for (int i = 0; text.size() < (std::size_t(5) << 20); ++i) {
    const std::string n = std::to_string(i);
    text += "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = blk_" + n + "\n";
    text += "  PORT P" + n + " = net_" + n + ", UCF_NET_STRING = (LOC=A" + n +
            ",\n      IOSTANDARD=LVCMOS33, \"DRIVE = 8\"),  # comment\n      DIR = IO\n";
    text += "  PARAMETER C_" + n + " = 0x" + n + ", \\\n    RANGE = ((1, 2), (" + n + "))\n";
    text += "END\n";
  }
  return text;
}

TEST(Reader, LargeFiles_ReadAsTheSameTextInMemory) {
  const std::string valid = LargeBoardText();
  struct Case {
    const char* what;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"valid", valid},
      {"an error at the end", valid + "PORT late = x\n"},
      {"an open list at the end", valid + "ATTRIBUTE L = (a,\n  b,\n"},
      {"errors early and late",
       "ATTRIBUTE = 1\n" + valid + "BEGIN BLOCK\n  PARAMETER X = \"unterminated\nEND\n"},
  };
  char path[] = "/tmp/board_large_XXXXXX";
  const int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  ::close(fd);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;
    Qbd fromFile, fromMemory;
    const int fileCode = fromFile.ReadFile(path);
    EXPECT_EQ(fileCode, fromMemory.ReadBuffer(c.text.data(), c.text.size(), path));
    EXPECT_EQ(fromFile.GetErrorText(), fromMemory.GetErrorText());
    EXPECT_EQ(boardtest::Describe(fromFile), boardtest::Describe(fromMemory));
    if (fileCode != 0) continue;
    const auto& blocks = fromFile.GetPsfCompSeqRef(Qbd::BLOCK);
    ASSERT_GT(blocks.size(), 10000u);
    const auto* last = LyrBase::NodeCast<QbdBlock>(blocks.back());
    ASSERT_NE(last, nullptr);
    const Property* param = last->GetPropSeqRef(QbdBlock::PARAMETER).at(0);
    const auto* lastInMemory =
        LyrBase::NodeCast<QbdBlock>(fromMemory.GetPsfCompSeqRef(Qbd::BLOCK).back());
    ASSERT_NE(lastInMemory, nullptr);
    EXPECT_EQ(param->GetLineNo(),
              lastInMemory->GetPropSeqRef(QbdBlock::PARAMETER).at(0)->GetLineNo());
    EXPECT_EQ(param->GetFileName(), StringBase(path));
    EXPECT_EQ(fromFile.WriteString(), fromMemory.WriteString());
  }
  std::remove(path);
}

TEST(Reader, HostileInput_EndsQuicklyWithBoundedErrors) {
  // A huge line, a deep nest and random bytes: each must end, and fast.
  std::vector<std::string> inputs;
  inputs.push_back(std::string(8 << 20, 'a'));
  inputs.push_back("ATTRIBUTE A = " + std::string(1 << 20, '('));
  inputs.push_back("ATTRIBUTE A = (" + std::string(1 << 20, ',') + ")");
  inputs.push_back("ATTRIBUTE A = " + std::string(4 << 20, '"'));
  std::mt19937 rng(7);
  for (int i = 0; i < 200; ++i) {
    std::string bytes(std::uniform_int_distribution<int>(1, 400)(rng), ' ');
    for (char& c : bytes) c = static_cast<char>(std::uniform_int_distribution<int>(1, 255)(rng));
    inputs.push_back(bytes);
  }
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& input : inputs) {
    Qbd board;
    board.ReadBuffer(input.data(), input.size(), "x");
    EXPECT_LE(ErrorLines(board).size(), Qbd::MAX_ERRORS + 1);
    EXPECT_LE(board.GetErrorText().GetLength(), 20u * 400u) << "messages stay short";
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(ErrorLines(*Board(inputs[0].c_str()))[0],
            "<string>:1:1: error: expected ATTRIBUTE or BEGIN BLOCK, found '" +
                std::string(24, 'a') + "...'")
      << "a long word is cut short";
}

TEST(Reader, MutatedBoards_ReadOrFailCleanly) {
  const std::string good = R"(ATTRIBUTE NAME = Generic Template
BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart
  PARAMETER C_BAUD = 9600, IO_IS = baud, RANGE = ((1, 2), 3)
  PORT TX = "tx", UCF_NET_STRING = (LOC=W1, "IOSTANDARD=LVCMOS33")
END
)";
  const std::string alphabet = "\"\\(),=#\n\r\t BEGINEND";
  std::mt19937 rng(11);
  for (int i = 0; i < 2000; ++i) {
    std::string text = good;
    for (int n = std::uniform_int_distribution<int>(1, 4)(rng); n > 0; --n) {
      const std::size_t at = std::uniform_int_distribution<std::size_t>(0, text.size() - 1)(rng);
      const char c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(rng)];
      switch (n % 3) {
        case 0: text[at] = c; break;
        case 1: text.insert(at, 1, c); break;
        default: text.erase(at, 1);
      }
    }
    Qbd board;
    if (board.ReadString(text.c_str()) == 0) {
      EXPECT_TRUE(board.GetErrorText().IsEmpty());
      // Whatever read, reads the same from its print.
      Qbd again;
      ASSERT_EQ(again.ReadString(board.WriteString().c_str()), 0) << text;
      EXPECT_EQ(boardtest::Describe(again), boardtest::Describe(board)) << text;
    } else {
      EXPECT_FALSE(board.GetErrorText().IsEmpty()) << text;
      EXPECT_TRUE(board.GetPsfCompSeqRef(Qbd::BLOCK).empty());
    }
  }
}

}  // namespace
