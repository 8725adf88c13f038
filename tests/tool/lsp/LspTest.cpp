// The language server's parts: positions in UTF-16 against byte offsets, the places of names
// and values, the answers on half-typed text, and the server's message handling.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "LspBoard.h"
#include "LspFeatures.h"
#include "LspServer.h"
#include "LspText.h"

namespace qbdlsp {
namespace {

std::string SessionBoard() {
  std::ifstream in(QBD_SOURCE_DIR "/tests/tool/lsp/session.qbd", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// "é" is two bytes and one UTF-16 unit; "𝔁" four bytes and two units (a surrogate pair).
TEST(LspText, Offset_CountsUtf16Units) {
  const LspText text(
      "a\xC3\xA9"
      "b\n\xF0\x9D\x94\x81x\r\nlast");
  struct Case {
    Position at;
    std::size_t offset;
  } cases[] = {
      {{0, 0}, 0},  {{0, 1}, 1}, {{0, 2}, 3},  {{0, 3}, 4},  // the end of a line is inside
      {{1, 0}, 5},  {{1, 2}, 9}, {{1, 3}, 10},               // past the pair, then past x
      {{2, 4}, 16},
  };
  for (const Case& c : cases)
    EXPECT_EQ(text.offset(c.at), c.offset) << c.at.line << ":" << c.at.character;
  for (const Case& c : cases) {
    const Position back = text.position(c.offset);
    EXPECT_EQ(back.line, c.at.line);
    EXPECT_EQ(back.character, c.at.character);
  }
}

TEST(LspText, Offset_OutsideTheTextIsNone) {
  const LspText text("ab\ncd");
  EXPECT_EQ(text.offset({0, 3}), std::string::npos);
  EXPECT_EQ(text.offset({2, 0}), std::string::npos);
  EXPECT_EQ(text.offset({~0u, ~0u}), std::string::npos);
  EXPECT_EQ(text.clampedOffset({0, 99}), 2u);
  EXPECT_EQ(text.clampedOffset({7, 0}), 5u);
  EXPECT_EQ(text.offsetOfReaderPlace(0, 1), std::string::npos);
  EXPECT_EQ(text.offsetOfReaderPlace(2, 3), 5u);
  EXPECT_EQ(text.offsetOfReaderPlace(2, 4), std::string::npos);
}

TEST(LspText, Replace_KeepsLinesRight) {
  LspText text("one\ntwo\nthree");
  text.replace(text.offset({0, 3}), text.offset({2, 0}), " and ");
  EXPECT_EQ(text.text(), "one and three");
  EXPECT_EQ(text.lineCount(), 1u);
  text.replace(100, 200, "\nfour");  // past the end: appended
  EXPECT_EQ(text.line(1), "four");
}

std::string SpanText(const std::string& text, Span span) {
  return span.valid() ? text.substr(span.begin, span.end - span.begin) : "<none>";
}

TEST(LspBoard, ScanStatement_NameAndValue) {
  struct Case {
    const char* text;
    bool keyword;
    const char* name;
    const char* value;
  } cases[] = {
      {"PORT tx_pin  = uart_tx, DIR = O", true, "tx_pin", "uart_tx"},
      {"port \"a b\" = \"x, y\" # c", true, "\"a b\"", "\"x, y\""},
      {"UCF_NET_STRING = (LOC=A1, \"P = 1\"), DIR = O", false, "UCF_NET_STRING",
       "(LOC=A1, \"P = 1\")"},
      {"RANGE = ((1, 2),\n  (3)) # more", false, "RANGE", "((1, 2),\n  (3))"},
      {"PARAMETER C = 10000 ps", true, "C", "10000 ps"},
      {"PORT half", true, "half", "<none>"},
      {"PORT x = (LOC=A1", true, "x", "(LOC=A1"},  // an unclosed list runs to the end
      {"PORT x =", true, "x", ""},
  };
  for (const Case& c : cases) {
    Span name, value;
    scanStatement(c.text, 0, c.keyword, name, value);
    EXPECT_EQ(SpanText(c.text, name), c.name) << c.text;
    EXPECT_EQ(SpanText(c.text, value), c.value) << c.text;
  }
}

TEST(LspBoard, ListElementAt_FindsTheElement) {
  const std::string text = "(LOC=A1, \"DRIVE = 8\",\n # note\n PULLUP)";
  const Span list{0, text.size()};
  EXPECT_EQ(SpanText(text, listElementAt(text, list, 2)), "LOC=A1");
  EXPECT_EQ(SpanText(text, listElementAt(text, list, 12)), "\"DRIVE = 8\"");
  EXPECT_EQ(SpanText(text, listElementAt(text, list, text.find("PULLUP") + 2)), "PULLUP");
  EXPECT_FALSE(listElementAt(text, list, text.find("note")).valid());
  EXPECT_FALSE(listElementAt(text, list, 0).valid());
  EXPECT_FALSE(listElementAt(text, list, text.size()).valid());
}

TEST(LspBoard, Read_PlacesEveryNodeOnItsName) {
  const std::string text = SessionBoard();
  std::vector<LyrBoard::ReadError> errors;
  std::unique_ptr<LspBoard> board = LspBoard::read(text, "session.qbd", errors);
  ASSERT_TRUE(board);
  EXPECT_TRUE(errors.empty());
  for (const Spot& spot : board->spots()) {
    if (spot.kind == Spot::Block) continue;
    EXPECT_EQ(SpanText(text, spot.name), spot.node->GetName().str());
  }
  EXPECT_EQ(board->nets(), (std::vector<std::string>{"led_0", "led_1", "uart_rx", "uart_tx"}));
  EXPECT_EQ(board->findings().size(), 1u);
}

// Every prefix of a real board is what an editor holds while the file is typed: each must
// read or fail with errors, and every feature must answer at every line without failing.
TEST(LspFeatures, EveryPrefixOfABoard_Answers) {
  const std::string text = SessionBoard();
  std::vector<LyrBoard::ReadError> errors;
  const std::unique_ptr<LspBoard> good = LspBoard::read(text, "session.qbd", errors);
  ASSERT_TRUE(good);
  std::size_t failed = 0;
  for (std::size_t size = 0; size <= text.size(); size += 3) {
    const LspText current(text.substr(0, size));
    const std::unique_ptr<LspBoard> board = LspBoard::read(current.text(), "s.qbd", errors);
    if (!board) {
      ++failed;
      ASSERT_FALSE(errors.empty()) << size;
    }
    const Json diags = diagnostics(current, errors, board ? board.get() : good.get());
    for (const Json& d : diags)
      EXPECT_LE(d["range"]["start"]["line"].get<unsigned>(), current.lineCount());
    const LspBoard& asked = board ? *board : *good;
    for (unsigned line = 0; line < current.lineCount(); line += 2) {
      const Position at{line, 14};
      EXPECT_NO_THROW({
        hover(asked, at);
        definition(asked, at, "u");
        references(asked, at, "u", true);
        completion(current, board.get(), at);
        prepareRename(asked, at);
      }) << size
         << " at line " << line;
    }
    EXPECT_NO_THROW(documentSymbols(asked));
  }
  EXPECT_GT(failed, 0u);  // some prefixes end inside a statement
}

// A line of megabytes (a hostile client, or a file that is not a board) is not searched.
TEST(LspFeatures, Completion_OnAHugeLineIsEmpty) {
  const LspText text("  PORT X = " + std::string(4u << 20, 'x'));
  const Json answer = completion(text, nullptr, text.position(text.text().size()));
  EXPECT_TRUE(answer["items"].empty());
  const LspText shortLine("  ATTRIBUTE ");
  EXPECT_FALSE(completion(shortLine, nullptr, shortLine.position(12))["items"].empty());
}

TEST(LspFeatures, Rename_RefusesWhatCannotBeWrittenBare) {
  const std::string text = SessionBoard();
  std::vector<LyrBoard::ReadError> errors;
  const std::unique_ptr<LspBoard> board = LspBoard::read(text, "s.qbd", errors);
  ASSERT_TRUE(board);
  const Position onNet = board->text().position(text.find("uart_tx, IO_IS") + 1);
  for (const char* bad : {"", " lead", "trail ", "a,b", "a(b", "a\"b", "a#b", "a=b", "a\nb"})
    EXPECT_THROW(rename(*board, onNet, bad, "u"), RequestError) << bad;
  const Json edit = rename(*board, onNet, "serial_tx", "u");
  EXPECT_EQ(edit["changes"]["u"].size(), 3u);
}

std::string Frame(const std::string& body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// The server reads framed messages from its input: a frame without a usable length is
// reported and skipped, and the next message is served.
TEST(LspServer, Frames_BadOnesAreSkipped) {
  std::istringstream in(Frame(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})") +
                        "Content-Length: nine\r\n\r\n" + "X-Other: 1\r\n\r\n" +
                        Frame(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})") +
                        Frame(R"({"jsonrpc":"2.0","method":"exit"})") +
                        Frame(R"({"jsonrpc":"2.0","id":3,"method":"shutdown"})"));
  std::ostringstream out, log;
  LspServer server(in, out, log);
  EXPECT_EQ(server.run(), 0);
  EXPECT_NE(out.str().find(R"("id":2,"jsonrpc":"2.0","result":null)"), std::string::npos)
      << out.str();
  EXPECT_EQ(out.str().find(R"("id":3)"), std::string::npos) << "served past exit";
  EXPECT_NE(log.str().find("Content-Length"), std::string::npos);
}

// A length over the limit is not allocated: the rest of the input is dropped unread.
TEST(LspServer, Frames_HugeLengthIsRefused) {
  std::istringstream in(Frame(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})") +
                        "Content-Length: 99999999999\r\n\r\n{}");
  std::ostringstream out, log;
  LspServer server(in, out, log);
  EXPECT_EQ(server.run(), 1);
  EXPECT_NE(log.str().find("over the limit"), std::string::npos);
  EXPECT_NE(out.str().find("message too long"), std::string::npos);
}

TEST(LspServer, PathOfUri_DecodesEscapes) {
  EXPECT_EQ(pathOfUri("file:///home/a%20b/x.qbd"), "/home/a b/x.qbd");
  EXPECT_EQ(pathOfUri("file:///x%2"), "/x%2");
  EXPECT_EQ(pathOfUri("untitled:1"), "untitled:1");
}

}  // namespace
}  // namespace qbdlsp
