// The lines of a constraint file as a reader needs them beside its own syntax: which comment
// heading each line falls under, where its text starts, and a copy of the text in which
// commented-out command lines are uncommented when the caller asks for them.
#ifndef MBD_READER_LINES_H
#define MBD_READER_LINES_H

#include <string>
#include <vector>

namespace MbdFormats {
namespace detail {

// How a format writes comments and which words begin its commands (to tell a commented-out
// command from prose).
struct CommentSyntax {
  bool hash = true;      // '#' begins a comment line
  bool slashes = false;  // "//" begins a comment line
  bool ignoreCase = false;
  std::vector<const char*> commands;
  // Whether a commented line that begins with a command is a whole one, not prose that begins
  // with the same word ("# create_clock for the 100 MHz input"); null: every such line is.
  bool (*isCommand)(const std::string& line) = nullptr;
};

// The usual tests of a whole command: a Tcl command with an option or a bracket, a statement
// with its ';', a pcf command of a name and a pin (or frequency) after its options.
bool TclCommandShape(const std::string& line);
bool StatementShape(const std::string& line);
bool PcfCommandShape(const std::string& line);

class LineMap {
 public:
  LineMap(const std::string& text, const CommentSyntax& syntax, bool includeCommented);

  // The text to read: the input, with the comment markers of commented-out commands blanked
  // when asked, so that lines and columns stay where they were.
  const std::string& Text() const { return text_; }
  // The heading run that line (from 1) falls under; 0 before any heading or past the end.
  unsigned HeadingOf(unsigned line) const;
  // The heading's text, and the line it is on; empty and 0 for run 0.
  const std::string& HeadingText(unsigned heading) const { return headings_[heading].text; }
  unsigned HeadingLine(unsigned heading) const { return headings_[heading].line; }
  unsigned HeadingCount() const { return static_cast<unsigned>(headings_.size()); }
  // The column (from 1) of the line's first character that is not a blank; 1 when none.
  unsigned FirstColumn(unsigned line) const;
  unsigned LineCount() const { return static_cast<unsigned>(lineStarts_.size()); }

 private:
  struct Heading {
    std::string text;
    unsigned line = 0;
  };
  void Classify(const CommentSyntax& syntax, bool includeCommented);

  std::string text_;
  std::vector<std::size_t> lineStarts_;
  std::vector<unsigned> headingOfLine_;
  std::vector<unsigned> firstColumn_;
  std::vector<Heading> headings_;
};

}  // namespace detail
}  // namespace MbdFormats

#endif  // MBD_READER_LINES_H
