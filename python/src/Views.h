// The Python objects that stand for nodes of a board: an instance (a block), a parameter and
// a port. Each holds the board state, so the tree outlives it; the nodes it points at belong to
// the tree, which never deletes a node while the board state lives (expansion and the FPGA
// setters only add nodes or change values), so a view stays valid and shows the tree as it is
// now.
#ifndef QBD_PY_VIEWS_H
#define QBD_PY_VIEWS_H

#include <memory>

#include "BoardState.h"

namespace qbdpy {

struct InstanceView {
  std::shared_ptr<BoardState> board;
  LyrBoard::QbdBlock* block;
};

// A parameter or a port of an instance.
struct PropertyView {
  std::shared_ptr<BoardState> board;
  LyrBoard::QbdBlock* block;
  LyrBase::Property* prop;
};

struct ParameterView : PropertyView {};
struct PortView : PropertyView {};

}  // namespace qbdpy

#endif  // QBD_PY_VIEWS_H
