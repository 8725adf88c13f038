// The lexical layer of the board file reader: a cursor over the bytes that knows lines and
// columns, blanks, comments, continuations, bare words and quoted strings. Internal.
#ifndef LYRBOARD_LEXER_H
#define LYRBOARD_LEXER_H

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "LyrBase/ValueText.h"

namespace LyrBoard {
namespace detail {

// A place in the input; line and column count from 1 (the column in bytes).
struct Position {
  unsigned line = 1;
  unsigned column = 1;
};

class Lexer {
 public:
  Lexer(const char* data, std::size_t size);

  bool AtEnd() const { return pos_ >= size_; }
  // The byte under the cursor; '\0' at the end.
  char Peek() const { return pos_ < size_ ? data_[pos_] : '\0'; }
  void Advance() { ++pos_; }
  Position Here() const;
  // How many bytes of the input lie behind the cursor.
  std::size_t Offset() const { return pos_; }

  // Skips blanks, tabs and "\" continuations; stays within the statement.
  void SkipBlanks() {
    std::size_t at = pos_;
    while (at < size_ && LyrBase::detail::IsBlank(data_[at])) ++at;
    pos_ = at;
    if (at < size_ && data_[at] == '\\') SkipContinuations();
  }
  // Also skips comments and line ends, as inside a list or after a trailing comma.
  void SkipBlankLines();
  // At a comment, a line end or the end: consumes through the line end and returns true.
  bool AtLineEnd() const {
    if (pos_ >= size_) return true;
    const char c = data_[pos_];
    if (c == '#' || c == '\n') return true;
    return c == '\r' && pos_ + 1 < size_ && data_[pos_ + 1] == '\n';
  }
  bool ConsumeLineEnd();
  // Skips the rest of the physical line, as the reader does after an error.
  void SkipLine();

  // The run of letters, digits and underscores at the cursor (possibly empty); it views the
  // input.
  std::string_view Word();
  // Reads a bare word, blanks trimmed, as a view of the input; '=' belongs to it when
  // `allowEquals`. False (and Error() says why) when it meets a control byte.
  bool Bare(bool allowEquals, std::string_view& out);
  // Reads a quoted string starting at the quote. False on a bad escape or a missing quote.
  bool Quoted(std::string& out);

  // What a failed read met, and where.
  const std::string& Error() const { return error_; }
  Position ErrorAt() const { return errorAt_; }
  // The text under the cursor for a message: 'word', end of line, end of file, or a byte.
  std::string Describe() const;

 private:
  bool AtContinuation() const;
  void SkipContinuations();
  // Where the run of bytes from `from` that `stops` does not stop ends.
  std::size_t RunEnd(std::size_t from, const std::array<bool, 256>& stops) const;
  bool Fail(std::size_t at, std::string message);
  Position PositionOf(std::size_t at) const;

  const char* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  unsigned line_ = 1;
  std::size_t lineStart_ = 0;
  std::string error_;
  Position errorAt_;
};

}  // namespace detail
}  // namespace LyrBoard

#endif  // LYRBOARD_LEXER_H
