// A board file read from disk with its board model, and small readers of the tree that every
// command shares.
#ifndef QBD_BOARD_H
#define QBD_BOARD_H

#include <memory>
#include <string>
#include <vector>

#include "LyrBoard.h"
#include "MBD.h"
#include "MbdWiring.h"
#include "Portability.h"

namespace qbd {

using PortRef = MbdWiring::PortRef;

// How messages and results name a board read from standard input.
extern const char* const STDIN_NAME;

// A board file and, when asked for, the model over it. The model expands a generic template
// in the tree it is built over, so a command that wants the file as written (lint, check,
// print) never asks for it.
class LoadedBoard {
 public:
  // Reads the file, or standard input for "-" (named STDIN_NAME then); throws ReadFailure
  // holding every reader error when it cannot be read.
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

std::string str(const StringBase& s);

// Value text of the block attribute; empty when absent.
std::string attribute(const LyrBoard::QbdBlock& block, const char* name);
// The blocks of the board, in order.
std::vector<LyrBoard::QbdBlock*> blocks(const LyrBoard::Qbd& qbd);
// The constraint strings of an FPGA port, as the model reads them; empty when none.
std::vector<std::string> constraintStrings(const LyrBase::Property& port);

// The location of the first LOC string as a user reads it (MbdRules::ReadableLocation);
// empty when none.
std::string pinLocation(const std::vector<std::string>& constraints);
// True when the constraint string is a LOC string (the model's reading).
bool isLocation(const std::string& constraint);

}  // namespace qbd

#endif  // QBD_BOARD_H
