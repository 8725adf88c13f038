#include "StatementReader.h"

#include <strings.h>

#include <vector>

namespace MbdFormats {
namespace detail {

bool IsKeyword(const Token& token, const char* word) {
  return token.kind != Token::Symbol && strcasecmp(token.text.c_str(), word) == 0;
}

bool IsName(const Token& token) { return token.kind != Token::Symbol && !token.text.empty(); }

void ReadStatementFile(const std::string& text, const std::string& file,
                       const ReadOptions& options, const CommentSyntax& comments,
                       const LexSyntax& syntax, const StatementHandler& handle,
                       ReadResult& result) {
  LineMap lines(text, comments, options.includeCommented);
  TableBuilder table(result, file, lines);
  const bool needsSemicolon = syntax.semicolons && !syntax.newlineEnds;
  StatementLexer lexer(lines.Text(), syntax);
  Statement statement;
  while (lexer.Next(statement)) {
    if (!lexer.Error().empty()) {
      table.Error(lexer.ErrorLine(), lexer.ErrorColumn(), lexer.Error());
      continue;
    }
    if (needsSemicolon && !statement.terminated) {
      table.Error(statement.line, statement.column, "the statement has no closing ';'");
      break;
    }
    handle(statement, table);
  }
  table.Finish();
}

bool SetAssignments(const Statement& statement, std::size_t from, bool barSeparated,
                    const std::string& name, const char* locationKey, const char* expected,
                    TableBuilder& table) {
  std::vector<Assignment> assignments;
  const Token* bad = nullptr;
  if (!ReadAssignments(statement.tokens, from, barSeparated, assignments, bad)) {
    table.Error(bad->line, bad->column,
                std::string("expected ") + expected + ", found '" + bad->text + "'");
    return false;
  }
  for (const Assignment& a : assignments) {
    if (locationKey && a.hasValue && strcasecmp(a.key.c_str(), locationKey) == 0)
      table.Locate(name, a.value, statement.line);
    else
      table.Set(name, a.key, a.value, a.hasValue, statement.line);
  }
  return true;
}

}  // namespace detail
}  // namespace MbdFormats
