// cst: one statement a line, ending in ';', "//" comments. IO_LOC places a port (two pins
// place a pair: the second goes to the _n side), IO_PORT sets its KEY=VALUE settings.
#include <strings.h>

#include "ReaderTable.h"
#include "Readers.h"
#include "StatementLexer.h"

namespace MbdFormats {
namespace detail {
namespace {

const CommentSyntax& CstComments() {
  static const CommentSyntax syntax{
      false, true, true, {"IO_LOC", "IO_PORT", "INS_LOC", "CLOCK_LOC", "GROUP"}, StatementShape};
  return syntax;
}

bool Is(const Token& token, const char* word) {
  return token.kind != Token::Symbol && strcasecmp(token.text.c_str(), word) == 0;
}

bool IsName(const Token& token) {
  return token.kind != Token::Symbol && !token.text.empty();
}

// IO_LOC "name" A1;  or  IO_LOC "x_p" 39,40;
void IoLoc(const Statement& statement, TableBuilder& table) {
  const std::vector<Token>& t = statement.tokens;
  if (t.size() == 3 && IsName(t[1]) && IsName(t[2])) {
    table.Locate(t[1].text, t[2].text, statement.line);
    return;
  }
  if (t.size() == 5 && IsName(t[1]) && IsName(t[2]) && t[3].text == "," && IsName(t[4])) {
    const std::string negative = NegativeSideOf(t[1].text);
    table.Locate(t[1].text, t[2].text, statement.line);
    table.Locate(negative, t[4].text, statement.line);
    table.Pair(t[1].text, negative, statement.line);
    return;
  }
  table.Error(statement.line, statement.column,
              "expected IO_LOC \"name\" pin; (or pin,pin for a pair)");
}

// IO_PORT "name" KEY=VALUE ...;
void IoPort(const Statement& statement, TableBuilder& table) {
  const std::vector<Token>& t = statement.tokens;
  if (t.size() < 2 || !IsName(t[1])) {
    table.Error(statement.line, statement.column, "expected IO_PORT \"name\" KEY=VALUE ...;");
    return;
  }
  std::vector<Assignment> assignments;
  const Token* bad = nullptr;
  if (!ReadAssignments(t, 2, false, assignments, bad)) {
    table.Error(bad->line, bad->column, "expected KEY=VALUE, found '" + bad->text + "'");
    return;
  }
  for (const Assignment& a : assignments)
    table.Set(t[1].text, a.key, a.value, a.hasValue, statement.line);
}

}  // namespace

void ReadCst(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result) {
  LineMap lines(text, CstComments(), options.includeCommented);
  TableBuilder table(result, file, lines);
  LexSyntax syntax;
  syntax.hash = false;
  syntax.slashes = true;
  syntax.newlineEnds = true;
  StatementLexer lexer(lines.Text(), syntax);
  Statement statement;
  while (lexer.Next(statement)) {
    if (!lexer.Error().empty()) {
      table.Error(lexer.ErrorLine(), lexer.ErrorColumn(), lexer.Error());
      continue;
    }
    const Token& command = statement.tokens[0];
    if (Is(command, "IO_LOC"))
      IoLoc(statement, table);
    else if (Is(command, "IO_PORT"))
      IoPort(statement, table);
    else if (Is(command, "INS_LOC") || Is(command, "CLOCK_LOC") || Is(command, "GROUP"))
      table.Skip(statement.line, statement.column, command.text + " skipped: not a pin setting");
    else
      table.Error(statement.line, statement.column, "unknown statement " + command.text);
  }
  table.Finish();
}

}  // namespace detail
}  // namespace MbdFormats
