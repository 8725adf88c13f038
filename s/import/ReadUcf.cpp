// ucf: `NET "name" KEY = "value";` or `NET name LOC = A1 | IOSTANDARD = LVCMOS33 | PULLUP;`,
// statements ending in ';', '#' comments, '\' escaping inside quotes as the board's own
// constraint lines write them.
#include <strings.h>

#include "ReaderTable.h"
#include "Readers.h"
#include "StatementLexer.h"

namespace MbdFormats {
namespace detail {
namespace {

const CommentSyntax& UcfComments() {
  static const CommentSyntax syntax{
      true, false, true, {"NET", "INST", "TIMESPEC", "CONFIG", "TIMEGRP", "PIN"}, StatementShape};
  return syntax;
}

bool Is(const Token& token, const char* word) {
  return token.kind != Token::Symbol && strcasecmp(token.text.c_str(), word) == 0;
}

void Net(const Statement& statement, TableBuilder& table) {
  const std::vector<Token>& t = statement.tokens;
  if (t.size() < 3 || t[1].kind == Token::Symbol || t[1].text.empty()) {
    table.Error(statement.line, statement.column, "expected NET \"name\" KEY = \"value\";");
    return;
  }
  std::vector<Assignment> assignments;
  const Token* bad = nullptr;
  if (!ReadAssignments(t, 2, true, assignments, bad)) {
    table.Error(bad->line, bad->column, "expected KEY = \"value\", found '" + bad->text + "'");
    return;
  }
  const std::string& name = t[1].text;
  for (const Assignment& a : assignments) {
    if (strcasecmp(a.key.c_str(), "LOC") == 0 && a.hasValue)
      table.Locate(name, a.value, statement.line);
    else
      table.Set(name, a.key, a.value, a.hasValue, statement.line);
  }
}

}  // namespace

void ReadUcf(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result) {
  LineMap lines(text, UcfComments(), options.includeCommented);
  TableBuilder table(result, file, lines);
  LexSyntax syntax;
  syntax.escapes = true;
  StatementLexer lexer(lines.Text(), syntax);
  Statement statement;
  while (lexer.Next(statement)) {
    if (!lexer.Error().empty()) {
      table.Error(lexer.ErrorLine(), lexer.ErrorColumn(), lexer.Error());
      continue;
    }
    if (!statement.terminated) {
      table.Error(statement.line, statement.column, "the statement has no closing ';'");
      break;
    }
    const Token& command = statement.tokens[0];
    if (Is(command, "NET"))
      Net(statement, table);
    else
      table.Skip(statement.line, statement.column, command.text + " skipped: not a pin setting");
  }
  table.Finish();
}

}  // namespace detail
}  // namespace MbdFormats
