// The grammar of board files. Internal to the board library.
#ifndef LYRBOARD_PARSER_H
#define LYRBOARD_PARSER_H

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "LyrBoard.h"

namespace LyrBoard {
namespace detail {

// Reads `size` bytes of board text (free of NUL bytes) into the empty `board`; returns the
// number of errors listed (at most Qbd::MAX_ERRORS) and their records in `errors`, followed by
// one record that counts the errors found past the limit, if any.
unsigned ParseBoard(const char* data, std::size_t size, std::shared_ptr<const std::string> file,
                    Qbd& board, std::vector<ReadError>& errors);

}  // namespace detail
}  // namespace LyrBoard

#endif  // LYRBOARD_PARSER_H
