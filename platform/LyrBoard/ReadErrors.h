// The stable codes of reader errors. Internal to the board library.
#ifndef LYRBOARD_READERRORS_H
#define LYRBOARD_READERRORS_H

#include <string>

#include "LyrBoard.h"

namespace LyrBoard {
namespace detail {

// The code of a reader message (the text after "error: "); "syntax" for one of no known kind.
const char* ReadErrorCode(const std::string& message);

// The record of an error and its line of the error text: FILE:LINE:COLUMN: error: MESSAGE.
ReadError MakeReadError(const std::string& file, unsigned line, unsigned column,
                        std::string message);
std::string ReadErrorLine(const ReadError& error);

}  // namespace detail
}  // namespace LyrBoard

#endif  // LYRBOARD_READERRORS_H
