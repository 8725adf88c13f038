// The words of the statement-per-line and statement-per-';' formats (pcf, lpf, cst, ccf, ucf),
// each with its line and column, so that their readers stay a table of statement forms.
#ifndef MBD_STATEMENT_LEXER_H
#define MBD_STATEMENT_LEXER_H

#include <string>
#include <vector>

namespace MbdFormats {
namespace detail {

struct LexSyntax {
  bool hash = true;          // '#' begins a comment to the end of the line
  bool slashes = false;      // "//" likewise
  bool quotes = true;        // "..." is one word
  bool escapes = false;      // inside quotes, '\' escapes the next character, and \n, \t,
                             // \r, \xHH and \uHHHH spell control characters
  bool symbols = true;       // '=', '|' and ',' are words of their own
  bool newlineEnds = false;  // a line end ends a statement
  bool semicolons = true;    // ';' ends a statement
};

struct Token {
  enum Kind { Word, Quoted, Symbol };
  Kind kind = Word;
  std::string text;  // quotes removed, escapes read
  unsigned line = 0;
  unsigned column = 0;
};

// A statement's words, and where a problem in it was found.
struct Statement {
  std::vector<Token> tokens;
  bool terminated = false;  // ended by ';' (rather than by a line end or the end of the text)
  unsigned line = 0;
  unsigned column = 0;
};

class StatementLexer {
 public:
  StatementLexer(const std::string& text, const LexSyntax& syntax);

  // The next statement that has a word; false at the end of the text. A string not closed on
  // its line is an error (see Error) and ends the statement there.
  bool Next(Statement& statement);
  // The last error: empty when none; cleared by Next.
  const std::string& Error() const { return error_; }
  unsigned ErrorLine() const { return errorLine_; }
  unsigned ErrorColumn() const { return errorColumn_; }

 private:
  void Advance();
  void SkipComment();
  bool CommentStarts() const;
  bool ReadQuoted(Token& token);
  void ReadEscape(std::string& text);
  long Hex(int count);
  static void AppendUtf8(std::string& text, unsigned long code);

  const std::string& text_;
  LexSyntax syntax_;
  std::size_t at_ = 0;
  unsigned line_ = 1;
  unsigned column_ = 1;
  std::string error_;
  unsigned errorLine_ = 0;
  unsigned errorColumn_ = 0;
};

// KEY=VALUE (blanks around '=' allowed, the value a word or a quoted string) or a plain KEY,
// as the settings of lpf, cst, ccf and ucf statements are written; '|' between them is
// skipped. With `barSeparated` (ucf, ccf) a value runs to the next '|', its words joined by one
// blank ("10 ns"). False, with the token at fault in `bad`, when a '=' has no key or no value.
struct Assignment {
  std::string key;
  std::string value;
  bool hasValue = false;
  unsigned line = 0;
  unsigned column = 0;
};
bool ReadAssignments(const std::vector<Token>& tokens, std::size_t from, bool barSeparated,
                     std::vector<Assignment>& assignments, const Token*& bad);

}  // namespace detail
}  // namespace MbdFormats

#endif  // MBD_STATEMENT_LEXER_H
