// Fuzz target: the board file reader and printer. Any bytes either read into a tree that
// survives the round trip (print, read the print, print again: same text, same tree) or fail
// with positioned errors and an empty tree. The list value's text reading is held to its own
// round trip on the same bytes.
#include <cstdint>
#include <string>

#include "BoardCheck.h"
#include "FuzzInput.h"
#include "LyrBoard.h"

namespace {

using LyrBoard::Qbd;
using qbd_fuzz::Require;

const char kSourceName[] = "fuzz.qbd";

// Every line of the error text reads "fuzz.qbd:LINE:COLUMN: error: MESSAGE"; past the listed
// errors, one more line counts the rest.
void CheckErrorText(const std::string& text) {
  Require(!text.empty(), "a failed read has no error text");
  size_t lines = 0;
  std::string last;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    ++lines;
    const std::string prefix = std::string(kSourceName) + ":";
    Require(line.compare(0, prefix.size(), prefix) == 0, "error without the file name: " + line);
    size_t pos = prefix.size();
    for (int field = 0; field < 2; ++field) {
      const size_t digits = line.find_first_not_of("0123456789", pos);
      Require(digits != std::string::npos && digits > pos && line[digits] == ':',
              "error without LINE:COLUMN: " + line);
      pos = digits + 1;
    }
    Require(line.compare(pos, 8, " error: ") == 0, "error without \"error:\": " + line);
    last = line;
    start = end + 1;
  }
  Require(lines <= Qbd::MAX_ERRORS ||
              (lines == Qbd::MAX_ERRORS + 1 && last.find(" not listed") != std::string::npos),
          "more errors listed than a read lists, or no count of the rest");
}

// The records say what the text says, line by line, and each has a known kind.
void CheckErrorRecords(const Qbd& board) {
  std::string text;
  for (const LyrBoard::ReadError& e : board.GetErrors()) {
    Require(e.code != "syntax", "an error of no known kind: " + e.message);
    Require(e.line >= 1 && e.column >= 1, "an error record without a position: " + e.message);
    text += e.file + ":" + std::to_string(e.line) + ":" + std::to_string(e.column) +
            ": error: " + e.message + "\n";
  }
  Require(text == board.GetErrorText().str(), "the error records differ from the error text");
}

void CheckFailedRead(const Qbd& board, int code) {
  Require(board.GetErrorCode() == code, "GetErrorCode differs from the read's result");
  CheckErrorText(board.GetErrorText().str());
  CheckErrorRecords(board);
  Require(board.GetPsfCompSeqRef(Qbd::ATTRIBUTE).empty() && board.GetPsfCompSeqRef(Qbd::BLOCK).empty(),
          "a failed read left nodes in the tree");
}

void CheckRoundTrip(Qbd& board) {
  Require(board.GetErrorCode() == 0 && board.GetErrorText().IsEmpty() && board.GetErrors().empty(),
          "a successful read reports an error");
  const StringBase printed = board.WriteString();
  Require(printed.str().find('\0') == std::string::npos, "the printer wrote a NUL byte");
  Qbd again;
  const int code = again.ReadString(printed.c_str(), "printed.qbd");
  Require(code == 0, "the print does not read back:\n" + again.GetErrorText().str() +
                         "\n--- print ---\n" + printed.str());
  const std::string diff = qbd_fuzz::TreeDifference(board, again);
  Require(diff.empty(), "the print reads back as another tree: " + diff + "\n--- print ---\n" +
                            printed.str());
  const StringBase reprinted = again.WriteString();
  Require(reprinted == printed, "printing the print changes it:\n--- first ---\n" + printed.str() +
                                    "\n--- second ---\n" + reprinted.str());
  // A read replaces the tree it reads into.
  Require(board.ReadString(printed.c_str(), "printed.qbd") == 0, "re-reading into a used board fails");
  Require(qbd_fuzz::TreeDifference(board, again).empty(), "re-reading into a used board adds nodes");
}

// ListStrVal(t) has the value text t, for every t.
void CheckListText(const std::string& bytes) {
  const std::string text = bytes.substr(0, bytes.find('\0'));
  const LyrBase::ListStrVal value(text.c_str());
  Require(value.GetValueStr().str() == text,
          "ListStrVal text changes: \"" + text + "\" -> \"" + value.GetValueStr().str() + "\"");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CheckListText(bytes);
  Qbd board;
  const int code = qbd_fuzz::ReadBoard(board, bytes, kSourceName);
  if (bytes.find('\0') != std::string::npos)
    Require(code != 0, "a NUL byte was accepted");
  if (code != 0)
    CheckFailedRead(board, code);
  else
    CheckRoundTrip(board);
  return 0;
}
