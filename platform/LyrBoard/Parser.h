// The grammar of board files. Internal to the board library.
#ifndef LYRBOARD_PARSER_H
#define LYRBOARD_PARSER_H

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LyrBoard.h"

namespace LyrBoard {
namespace detail {

// Reads `size` bytes of board text (free of NUL bytes) into the empty `board`, the nodes
// stamped with the file name `file` (PsfComp::InternFileName), which messages name; returns the
// number of errors listed (at most Qbd::MAX_ERRORS) and their records in `errors`, followed by
// one record that counts the errors found past the limit, if any. Between statements, about
// every megabyte, `consumed` (when set) learns how many leading bytes the parser is done with:
// it never looks at them again.
unsigned ParseBoard(const char* data, std::size_t size, const std::string& file, Qbd& board,
                    std::vector<ReadError>& errors,
                    const std::function<void(std::size_t)>& consumed = {});

}  // namespace detail
}  // namespace LyrBoard

#endif  // LYRBOARD_PARSER_H
