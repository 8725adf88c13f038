// lpf: statements end with ';' and may span lines; '#' and '//' begin comments. LOCATE COMP
// places a port, IOBUF PORT sets its KEY=VALUE settings, FREQUENCY PORT gives a clock.
#include "Readers.h"
#include "StatementReader.h"

namespace MbdFormats {
namespace detail {
namespace {

const CommentSyntax& LpfComments() {
  static const CommentSyntax syntax{
      true,
      true,
      true,
      {"LOCATE", "IOBUF", "FREQUENCY", "BLOCK", "SYSCONFIG", "BANK", "DEFINE", "USE", "MAXDELAY",
       "INPUT_SETUP", "CLOCK_TO_OUT", "PERIOD"},
      StatementShape};
  return syntax;
}

// LOCATE COMP "name" SITE "A1"
void Locate(const Statement& statement, TableBuilder& table) {
  const std::vector<Token>& t = statement.tokens;
  if (t.size() == 5 && IsKeyword(t[1], "COMP") && IsName(t[2]) && IsKeyword(t[3], "SITE") && IsName(t[4])) {
    table.Locate(t[2].text, t[4].text, statement.line);
    return;
  }
  if (t.size() >= 2 && !IsKeyword(t[1], "COMP")) {
    table.Skip(statement.line, statement.column,
               "LOCATE " + t[1].text +
                   " skipped: only "
                   "LOCATE COMP places a port");
    return;
  }
  table.Error(statement.line, statement.column, "expected LOCATE COMP \"name\" SITE \"pin\";");
}

// IOBUF PORT "name" KEY=VALUE ...
void Iobuf(const Statement& statement, TableBuilder& table) {
  const std::vector<Token>& t = statement.tokens;
  if (t.size() >= 2 && !IsKeyword(t[1], "PORT")) {
    table.Skip(statement.line, statement.column,
               "IOBUF " + t[1].text + " skipped: only IOBUF PORT sets a port");
    return;
  }
  if (t.size() < 3 || !IsName(t[2])) {
    table.Error(statement.line, statement.column, "expected IOBUF PORT \"name\" KEY=VALUE ...;");
    return;
  }
  SetAssignments(statement, 3, false, t[2].text, nullptr, "KEY=VALUE", table);
}

// FREQUENCY PORT "name" 25 MHZ
void Frequency(const Statement& statement, TableBuilder& table) {
  const std::vector<Token>& t = statement.tokens;
  if (t.size() >= 2 && !IsKeyword(t[1], "PORT")) {
    table.Skip(statement.line, statement.column,
               "FREQUENCY " + t[1].text + " skipped: only FREQUENCY PORT names a port");
    return;
  }
  std::string value;
  for (std::size_t i = 3; i < t.size(); ++i) value += (i > 3 ? " " : "") + t[i].text;
  if (t.size() < 4 || !IsName(t[2]) || !table.Clock(t[2].text, "FREQUENCY", value, statement.line))
    table.Error(statement.line, statement.column, "expected FREQUENCY PORT \"name\" 25 MHZ;");
}

}  // namespace

void ReadLpf(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result) {
  LexSyntax syntax;
  syntax.slashes = true;
  const auto statement = [](const Statement& s, TableBuilder& table) {
    const Token& command = s.tokens[0];
    if (IsKeyword(command, "LOCATE"))
      Locate(s, table);
    else if (IsKeyword(command, "IOBUF"))
      Iobuf(s, table);
    else if (IsKeyword(command, "FREQUENCY"))
      Frequency(s, table);
    else
      table.Skip(s.line, s.column, command.text + " skipped: not a pin setting");
  };
  ReadStatementFile(text, file, options, LpfComments(), syntax, statement, result);
}

}  // namespace detail
}  // namespace MbdFormats
