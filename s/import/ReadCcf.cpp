// ccf: `Net "name" Loc = "IO_WA_A1" | PULLUP=true;` statements ending in ';', '#' comments.
// Pin_in, Pin_out and Pin_inout say the direction as well.
#include "Readers.h"
#include "StatementReader.h"

namespace MbdFormats {
namespace detail {
namespace {

const CommentSyntax& CcfComments() {
  static const CommentSyntax syntax{
      true, false, true, {"Net", "Pin_in", "Pin_out", "Pin_inout"}, StatementShape};
  return syntax;
}

void Net(const Statement& statement, const char* direction, TableBuilder& table) {
  const std::vector<Token>& t = statement.tokens;
  if (t.size() < 2 || t[1].kind == Token::Symbol || t[1].text.empty()) {
    table.Error(statement.line, statement.column,
                "expected " + t[0].text + " \"name\" Loc = \"pin\" | KEY=VALUE ...;");
    return;
  }
  const std::string& name = t[1].text;
  if (!SetAssignments(statement, 2, true, name, "Loc", "KEY=VALUE", table)) return;
  if (direction != nullptr) table.Set(name, "DIRECTION", direction, true, statement.line);
}

}  // namespace

void ReadCcf(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result) {
  const auto statement = [](const Statement& s, TableBuilder& table) {
    const Token& command = s.tokens[0];
    if (IsKeyword(command, "Net"))
      Net(s, nullptr, table);
    else if (IsKeyword(command, "Pin_in"))
      Net(s, "IN", table);
    else if (IsKeyword(command, "Pin_out"))
      Net(s, "OUT", table);
    else if (IsKeyword(command, "Pin_inout"))
      Net(s, "INOUT", table);
    else
      table.Error(s.line, s.column, "unknown statement " + command.text);
  };
  ReadStatementFile(text, file, options, CcfComments(), LexSyntax(), statement, result);
}

}  // namespace detail
}  // namespace MbdFormats
