// What the fuzz targets need of the board library: reading arbitrary bytes, and comparing
// two trees node by node.
#ifndef QBD_FUZZ_BOARDCHECK_H
#define QBD_FUZZ_BOARDCHECK_H

#include <string>

#include "LyrBoard.h"

namespace qbd_fuzz {

// Reads `bytes` (any bytes, NUL included) into `board`; the reader's result (0 on success).
int ReadBoard(LyrBoard::Qbd& board, const std::string& bytes, const char* sourceName);

// The first difference between the two trees in a name, a kind, an order, a value text or a
// value's typed structure, as a path and both sides; empty when the trees are equal.
std::string TreeDifference(const LyrBoard::Qbd& a, const LyrBoard::Qbd& b);

// The number of nodes of the tree (board attributes, blocks, properties, sub-properties).
size_t NodeCount(const LyrBoard::Qbd& board);

}  // namespace qbd_fuzz

#endif  // QBD_FUZZ_BOARDCHECK_H
