// cst: one statement a line, ending in ';', "//" comments. IO_LOC places a port (two pins
// place a pair: the second goes to the _n side), IO_PORT sets its KEY=VALUE settings.
#include "Readers.h"
#include "StatementReader.h"

namespace MbdFormats {
namespace detail {
namespace {

const CommentSyntax& CstComments() {
  static const CommentSyntax syntax{
      false, true, true, {"IO_LOC", "IO_PORT", "INS_LOC", "CLOCK_LOC", "GROUP"}, StatementShape};
  return syntax;
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
  SetAssignments(statement, 2, false, t[1].text, nullptr, "KEY=VALUE", table);
}

}  // namespace

void ReadCst(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result) {
  LexSyntax syntax;
  syntax.hash = false;
  syntax.slashes = true;
  syntax.newlineEnds = true;
  const auto statement = [](const Statement& s, TableBuilder& table) {
    const Token& command = s.tokens[0];
    if (IsKeyword(command, "IO_LOC"))
      IoLoc(s, table);
    else if (IsKeyword(command, "IO_PORT"))
      IoPort(s, table);
    else if (IsKeyword(command, "INS_LOC") || IsKeyword(command, "CLOCK_LOC") ||
             IsKeyword(command, "GROUP"))
      table.Skip(s.line, s.column, command.text + " skipped: not a pin setting");
    else
      table.Error(s.line, s.column, "unknown statement " + command.text);
  };
  ReadStatementFile(text, file, options, CstComments(), syntax, statement, result);
}

}  // namespace detail
}  // namespace MbdFormats
