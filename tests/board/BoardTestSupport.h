// Helpers shared by the board tests: reading inline boards, describing a tree in full for
// comparison, and a seeded generator of random trees and texts.
#ifndef BOARD_TEST_SUPPORT_H
#define BOARD_TEST_SUPPORT_H

#include <memory>
#include <random>
#include <string>

#include "LyrBoard.h"

namespace boardtest {

// Reads `text`; the board is empty when the text does not read (see GetErrorText).
std::unique_ptr<LyrBoard::Qbd> Board(const char* text);

// Every name, kind, order, value text and typed-value structure of the tree, one per line.
std::string Describe(const LyrBoard::Qbd& board);

// A random string over bytes that the board syntax makes hard: blanks, tabs, separators,
// quotes, backslashes, '#', line feeds and bytes beyond ASCII (never NUL or CR).
std::string RandomText(std::mt19937& rng, std::size_t maxLength);

// A random tree of the shapes the reader makes.
std::unique_ptr<LyrBoard::Qbd> RandomBoard(std::mt19937& rng);

}  // namespace boardtest

#endif  // BOARD_TEST_SUPPORT_H
