// The board a Python Board object stands for: the tree it owns and, once asked for, the model
// over it. Every Python object that reaches into the tree holds a shared pointer to this, so
// the tree lives as long as the last of them, whatever order Python releases them in.
#ifndef QBD_PY_BOARD_STATE_H
#define QBD_PY_BOARD_STATE_H

#include <memory>
#include <stdexcept>
#include <string>

#include "LyrBoard.h"
#include "MBD.h"
#include "MbdWiring.h"

namespace qbdpy {

using PortRef = MbdWiring::PortRef;

// A read that failed; the board is kept so that its error text and records can be raised.
struct ReadFailure {
  std::unique_ptr<LyrBoard::Qbd> board;
};

// A question that needs the model asked of a generic template that was not expanded.
class NotExpanded : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class BoardState {
 public:
  // Reads a board file; throws ReadFailure when it does not read.
  static std::shared_ptr<BoardState> FromFile(const std::string& path);
  // Reads board text (NUL bytes included, as the reader sees them); throws ReadFailure.
  static std::shared_ptr<BoardState> FromText(const std::string& text, const std::string& name);

  BoardState(std::unique_ptr<LyrBoard::Qbd> tree, std::string source)
      : tree_(std::move(tree)), source_(std::move(source)) {}
  BoardState(const BoardState&) = delete;
  BoardState& operator=(const BoardState&) = delete;
  // The model points into the tree, so it goes first.
  ~BoardState() { model_.reset(); }

  LyrBoard::Qbd& tree() { return *tree_; }
  // The file name or source name the board was read under.
  const std::string& source() const { return source_; }
  // The wiring of the tree as it is now, made again after the board changed.
  const MbdWiring& pins();
  // The model; built on first use for a real board. Throws NotExpanded for a generic template
  // that expand() was not called on, since building the model is what expands it.
  MBD& model();
  // True once the model is built (for a template: once it is expanded).
  bool expanded() const { return model_ != nullptr; }
  // Builds the model, expanding a generic template in place; true when the tree changed.
  // Throws std::runtime_error with the reason when the template cannot be expanded.
  bool expand();
  // A number that changes whenever expand() or a setter changed the tree.
  unsigned long generation() const { return generation_; }
  void touch() { ++generation_; }

 private:
  std::unique_ptr<LyrBoard::Qbd> tree_;
  std::string source_;
  std::unique_ptr<MBD> model_;
  std::shared_ptr<const MbdWiring> pins_;
  unsigned long pinsGeneration_ = 0;
  unsigned long generation_ = 0;
  std::string expandFailure_;  // why expand() failed; empty while it has not
};

}  // namespace qbdpy

#endif  // QBD_PY_BOARD_STATE_H
