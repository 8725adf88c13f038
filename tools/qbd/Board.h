// A board file read from disk with its board model, and small readers of the tree that every
// command shares.
#ifndef QBD_BOARD_H
#define QBD_BOARD_H

#include <memory>
#include <string>
#include <vector>

#include "LyrBoard.h"
#include "MBD.h"
#include "Portability.h"

namespace qbd {

// A board file and, when asked for, the model over it. The model expands a generic template
// in the tree it is built over, so a command that wants the file as written (lint, check,
// print) never asks for it.
class LoadedBoard {
 public:
  // Reads the file; throws ReadFailure holding every reader error when it cannot be read.
  explicit LoadedBoard(const std::string& path);
  ~LoadedBoard();
  LoadedBoard(const LoadedBoard&) = delete;
  LoadedBoard& operator=(const LoadedBoard&) = delete;

  const std::string& path() const { return path_; }
  LyrBoard::Qbd& tree() { return *qbd_; }
  // The model over the tree, built (and a template expanded) on first use.
  MBD& model();
  // The block of that name (ignoring case); throws ToolError naming the file when none.
  LyrBoard::QbdBlock& instance(const std::string& name);

 private:
  std::string path_;
  std::unique_ptr<LyrBoard::Qbd> qbd_;
  std::unique_ptr<MBD> mbd_;
};

// Collects the library's trace and error messages while it lives, then restores the sink.
class MessageCapture {
 public:
  MessageCapture();
  ~MessageCapture();
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;
  // Everything sent so far, in order.
  const std::string& text() const { return text_; }

 private:
  std::string text_;
  Port_MsgSink previous_;
};

std::string str(const StringBase& s);

// Value text of the block attribute; empty when absent.
std::string attribute(const LyrBoard::QbdBlock& block, const char* name);
// True when the block's BLOCKTYPE is FPGA ignoring case (the model's rule).
bool isFpgaBlock(const LyrBoard::QbdBlock& block);
// The blocks of the board, in order.
std::vector<LyrBoard::QbdBlock*> blocks(const LyrBoard::Qbd& qbd);
// The strings of a UCF_NET_STRING sub-property: the list's strings, or the one string of a
// scalar; empty when the port has none.
std::vector<std::string> constraintStrings(const LyrBase::Property& port);
// The elements of a clock's RANGE sub-property, each a list of number texts: the lists of a
// list of lists, a plain list as one element, a scalar as a one-number element.
std::vector<std::vector<std::string>> rangeElements(const LyrBase::PsfComp& range);
// Reads a decimal number of at most 32 bits, blanks around it allowed; false for any other
// text (the model would read such text as some number all the same).
bool parseDecimal32(const std::string& text, unsigned long long& value);
// Lower-case ASCII copy, the key of every case-blind index of the program.
std::string foldCase(const std::string& s);
// The text with blanks and tabs removed from both ends.
std::string trim(const std::string& s);

// A constraint string split at its first '=': key and value trimmed; no '=' gives hasValue
// false and the whole trimmed text as key.
struct Constraint {
  std::string key;
  std::string value;
  bool hasValue = false;
};
Constraint splitConstraint(const std::string& text);
// The value of the first LOC constraint (key compared ignoring case); empty when none.
std::string pinLocation(const std::vector<std::string>& constraints);

}  // namespace qbd

#endif  // QBD_BOARD_H
