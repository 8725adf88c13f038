// ccf: `Net "name" Loc = "IO_WA_A1" | PULLUP=true;` statements ending in ';', '#' comments.
// Pin_in, Pin_out and Pin_inout say the direction as well.
#include <strings.h>

#include "ReaderTable.h"
#include "Readers.h"
#include "StatementLexer.h"

namespace MbdFormats {
namespace detail {
namespace {

const CommentSyntax& CcfComments() {
  static const CommentSyntax syntax{
      true, false, true, {"Net", "Pin_in", "Pin_out", "Pin_inout"}, StatementShape};
  return syntax;
}

bool Is(const Token& token, const char* word) {
  return token.kind != Token::Symbol && strcasecmp(token.text.c_str(), word) == 0;
}

void Net(const Statement& statement, const char* direction, TableBuilder& table) {
  const std::vector<Token>& t = statement.tokens;
  if (t.size() < 2 || t[1].kind == Token::Symbol || t[1].text.empty()) {
    table.Error(statement.line, statement.column,
                "expected " + t[0].text + " \"name\" Loc = \"pin\" | KEY=VALUE ...;");
    return;
  }
  std::vector<Assignment> assignments;
  const Token* bad = nullptr;
  if (!ReadAssignments(t, 2, true, assignments, bad)) {
    table.Error(bad->line, bad->column, "expected KEY=VALUE, found '" + bad->text + "'");
    return;
  }
  const std::string& name = t[1].text;
  for (const Assignment& a : assignments) {
    if (strcasecmp(a.key.c_str(), "Loc") == 0 && a.hasValue)
      table.Locate(name, a.value, statement.line);
    else
      table.Set(name, a.key, a.value, a.hasValue, statement.line);
  }
  if (direction != nullptr) table.Set(name, "DIRECTION", direction, true, statement.line);
}

}  // namespace

void ReadCcf(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result) {
  LineMap lines(text, CcfComments(), options.includeCommented);
  TableBuilder table(result, file, lines);
  LexSyntax syntax;
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
    if (Is(command, "Net"))
      Net(statement, nullptr, table);
    else if (Is(command, "Pin_in"))
      Net(statement, "IN", table);
    else if (Is(command, "Pin_out"))
      Net(statement, "OUT", table);
    else if (Is(command, "Pin_inout"))
      Net(statement, "INOUT", table);
    else
      table.Error(statement.line, statement.column, "unknown statement " + command.text);
  }
  table.Finish();
}

}  // namespace detail
}  // namespace MbdFormats
