// The text of one open document and the two ways of pointing into it: a byte offset (what the
// board reader's line and column give) and an editor position (line, and column counted in
// UTF-16 code units, as the protocol counts them).
#ifndef QBD_LSP_TEXT_H
#define QBD_LSP_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qbdlsp {

// An editor position: line and character from 0, the character in UTF-16 code units.
struct Position {
  unsigned line = 0;
  unsigned character = 0;
};

// A byte range [begin, end) of a text; `begin == npos` for none.
struct Span {
  std::size_t begin = std::string::npos;
  std::size_t end = std::string::npos;
  bool valid() const { return begin != std::string::npos; }
  bool contains(std::size_t offset) const { return valid() && offset >= begin && offset <= end; }
};

class LspText {
 public:
  explicit LspText(std::string text = "");

  const std::string& text() const { return text_; }
  // Number of lines; a text that ends in a line feed has an empty last line.
  unsigned lineCount() const { return static_cast<unsigned>(starts_.size()); }
  // The line's text without its line end; empty past the last line.
  std::string_view line(unsigned line) const;
  // The byte offset of an editor position; npos when the line or the character lies outside
  // the text (the end of a line is inside).
  std::size_t offset(Position position) const;
  // The byte offset of an editor position moved into the text: a line past the end goes to
  // the end of the text, a character past the end of its line to the end of the line.
  std::size_t clampedOffset(Position position) const;
  // The byte offset of a reader's line and byte column (both from 1); npos when outside.
  std::size_t offsetOfReaderPlace(unsigned line, unsigned column) const;
  // The editor position of a byte offset (the end of the text for one past it).
  Position position(std::size_t offset) const;
  // Replaces bytes [begin, end) with `with`.
  void replace(std::size_t begin, std::size_t end, const std::string& with);

 private:
  void index();
  std::string text_;
  std::vector<std::size_t> starts_;  // byte offset where each line starts
};

}  // namespace qbdlsp

#endif  // QBD_LSP_TEXT_H
