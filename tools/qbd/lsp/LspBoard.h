// One successful read of a document: the board tree, its wiring, and where each node's name
// and value sit in the text it was read from, so that an editor position finds its node and a
// node gives back an editor range. It keeps its own copy of the text, so that its places stay
// right while the editor's text moves on through edits that do not read.
#ifndef QBD_LSP_BOARD_H
#define QBD_LSP_BOARD_H

#include <memory>
#include <string>
#include <vector>

#include "LspText.h"
#include "LyrBoard.h"
#include "MbdLint.h"
#include "MbdWiring.h"

namespace qbdlsp {

// A node of the tree and its places in the text.
struct Spot {
  enum Kind { Block, BoardAttribute, Attribute, Parameter, Port, Sub };
  Kind kind = Block;
  const LyrBase::PsfComp* node = nullptr;
  const LyrBoard::QbdBlock* block = nullptr;  // the block it is in; null outside blocks
  const LyrBase::Property* owner = nullptr;   // for a sub-property, its property
  std::size_t start = 0;                      // where the statement or sub-property begins
  Span name;                                  // its name (a block's name after BEGIN BLOCK)
  Span value;                                 // its value, a list with its parentheses
  std::size_t end = 0;                        // a block: the end of its END line
};

class LspBoard {
 public:
  // Reads `text`; the read errors (empty on success) and, on success, the board.
  static std::unique_ptr<LspBoard> read(const std::string& text, const std::string& path,
                                        std::vector<LyrBoard::ReadError>& errors);
  ~LspBoard();

  const LspText& text() const { return text_; }
  const std::string& path() const { return path_; }
  const LyrBoard::Qbd& tree() const { return *tree_; }
  const MbdWiring& wiring() const { return *wiring_; }
  // Every spot, in text order.
  const std::vector<Spot>& spots() const { return spots_; }
  // The spot whose statement or sub-property holds the byte offset; null before the first.
  const Spot* spotAt(std::size_t offset) const;
  // The spot of that node; null when the node has no place.
  const Spot* spotOf(const LyrBase::PsfComp* node) const;
  // The block's spot; the spot of its INSTANCE attribute; null when none.
  const Spot* instanceSpot(const LyrBoard::QbdBlock& block) const;
  // The lint findings of the board (the same as `qbd lint`).
  const std::vector<MbdLint::Finding>& findings() const { return findings_; }
  // Every net on the board as first written, sorted, one per net ignoring case.
  const std::vector<std::string>& nets() const { return nets_; }
  // The IO types and roles (IO_IS) used on the board, sorted, without repeats.
  const std::vector<std::string>& ioTypes() const { return ioTypes_; }
  const std::vector<std::string>& roles() const { return roles_; }
  // The parameter names used on the board, sorted, one per name ignoring case.
  const std::vector<std::string>& parameters() const { return parameters_; }
  // The keys of the constraint strings on the board, sorted, one per key ignoring case.
  const std::vector<std::string>& constraintKeys() const { return constraintKeys_; }
  // The block of that name, ignoring case; null when none.
  const LyrBoard::QbdBlock* blockNamed(const std::string& name) const;

 private:
  LspBoard(const std::string& text, std::string path, std::unique_ptr<LyrBoard::Qbd> tree);
  void placeNodes();
  void collectNames();
  LspText text_;
  std::string path_;
  std::unique_ptr<LyrBoard::Qbd> tree_;
  std::unique_ptr<MbdWiring> wiring_;
  std::vector<Spot> spots_;
  std::vector<MbdLint::Finding> findings_;
  std::vector<std::string> nets_, ioTypes_, roles_, constraintKeys_, parameters_;
};

// The byte range of the statement's name and value that begins at `start` (at its keyword
// when `keyword` is set); invalid spans for text that does not have that shape.
void scanStatement(const std::string& text, std::size_t start, bool keyword, Span& name,
                   Span& value);
// The element of a parenthesised list that holds the offset (an element's text, quotes kept);
// invalid when the offset is on punctuation or outside `list`.
Span listElementAt(const std::string& text, Span list, std::size_t offset);

}  // namespace qbdlsp

#endif  // QBD_LSP_BOARD_H
