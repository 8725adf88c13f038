// ucf: `NET "name" KEY = "value";` or `NET name LOC = A1 | IOSTANDARD = LVCMOS33 | PULLUP;`,
// statements ending in ';', '#' comments, '\' escaping inside quotes as the board's own
// constraint lines write them.
#include "Readers.h"
#include "StatementReader.h"

namespace MbdFormats {
namespace detail {
namespace {

const CommentSyntax& UcfComments() {
  static const CommentSyntax syntax{
      true, false, true, {"NET", "INST", "TIMESPEC", "CONFIG", "TIMEGRP", "PIN"}, StatementShape};
  return syntax;
}

void Net(const Statement& statement, TableBuilder& table) {
  const std::vector<Token>& t = statement.tokens;
  if (t.size() < 3 || t[1].kind == Token::Symbol || t[1].text.empty()) {
    table.Error(statement.line, statement.column, "expected NET \"name\" KEY = \"value\";");
    return;
  }
  SetAssignments(statement, 2, true, t[1].text, "LOC", "KEY = \"value\"", table);
}

}  // namespace

void ReadUcf(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result) {
  LexSyntax syntax;
  syntax.escapes = true;
  const auto statement = [](const Statement& s, TableBuilder& table) {
    const Token& command = s.tokens[0];
    if (IsKeyword(command, "NET"))
      Net(s, table);
    else
      table.Skip(s.line, s.column, command.text + " skipped: not a pin setting");
  };
  ReadStatementFile(text, file, options, UcfComments(), syntax, statement, result);
}

}  // namespace detail
}  // namespace MbdFormats
