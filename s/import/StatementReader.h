// What the readers of the statement formats (pcf, lpf, cst, ccf, ucf) share around their own
// words: the walk over a file's statements with the lexer's errors reported, and a statement's
// KEY=VALUE settings put on a port. Each reader keeps only the statements of its format.
#ifndef MBD_STATEMENT_READER_H
#define MBD_STATEMENT_READER_H

#include <cstddef>
#include <functional>
#include <string>

#include "MbdConstraintReader.h"
#include "ReaderLines.h"
#include "ReaderTable.h"
#include "StatementLexer.h"

namespace MbdFormats {
namespace detail {

// True when the token is a word or quoted string equal to `word` ignoring case; false for a
// symbol.
bool IsKeyword(const Token& token, const char* word);
// True when the token can name a port: a non-empty word or quoted string; false for a symbol.
bool IsName(const Token& token);

// Reads `text` (the file `file`) statement by statement into `result`, handing each to
// `handle`. A statement the lexer found at fault is reported and not handed on. Where ';'
// alone ends statements (not a line end), a statement without it is an error and ends the
// reading. Commented-out statements are read as `comments` says when the options ask.
using StatementHandler = std::function<void(const Statement&, TableBuilder&)>;
void ReadStatementFile(const std::string& text, const std::string& file,
                       const ReadOptions& options, const CommentSyntax& comments,
                       const LexSyntax& syntax, const StatementHandler& handle,
                       ReadResult& result);

// Puts the KEY=VALUE settings from token `from` on (as ReadAssignments reads them) on port
// `name`; a `locationKey` with a value places the port instead (null: no key does). False,
// with "expected EXPECTED, found 'TOKEN'" reported and nothing set, for a malformed setting.
bool SetAssignments(const Statement& statement, std::size_t from, bool barSeparated,
                    const std::string& name, const char* locationKey, const char* expected,
                    TableBuilder& table);

}  // namespace detail
}  // namespace MbdFormats

#endif  // MBD_STATEMENT_READER_H
