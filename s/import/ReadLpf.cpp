// lpf: statements end with ';' and may span lines; '#' and '//' begin comments. LOCATE COMP
// places a port, IOBUF PORT sets its KEY=VALUE settings, FREQUENCY PORT gives a clock.
#include <strings.h>

#include "ReaderTable.h"
#include "Readers.h"
#include "StatementLexer.h"

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

bool Is(const Token& token, const char* word) {
  return token.kind != Token::Symbol && strcasecmp(token.text.c_str(), word) == 0;
}

bool IsName(const Token& token) {
  return token.kind != Token::Symbol && !token.text.empty();
}

// LOCATE COMP "name" SITE "A1"
void Locate(const Statement& statement, TableBuilder& table) {
  const std::vector<Token>& t = statement.tokens;
  if (t.size() == 5 && Is(t[1], "COMP") && IsName(t[2]) && Is(t[3], "SITE") && IsName(t[4])) {
    table.Locate(t[2].text, t[4].text, statement.line);
    return;
  }
  if (t.size() >= 2 && !Is(t[1], "COMP")) {
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
  if (t.size() >= 2 && !Is(t[1], "PORT")) {
    table.Skip(statement.line, statement.column,
               "IOBUF " + t[1].text + " skipped: only IOBUF PORT sets a port");
    return;
  }
  if (t.size() < 3 || !IsName(t[2])) {
    table.Error(statement.line, statement.column, "expected IOBUF PORT \"name\" KEY=VALUE ...;");
    return;
  }
  std::vector<Assignment> assignments;
  const Token* bad = nullptr;
  if (!ReadAssignments(t, 3, false, assignments, bad)) {
    table.Error(bad->line, bad->column, "expected KEY=VALUE, found '" + bad->text + "'");
    return;
  }
  for (const Assignment& a : assignments)
    table.Set(t[2].text, a.key, a.value, a.hasValue, statement.line);
}

// FREQUENCY PORT "name" 25 MHZ
void Frequency(const Statement& statement, TableBuilder& table) {
  const std::vector<Token>& t = statement.tokens;
  if (t.size() >= 2 && !Is(t[1], "PORT")) {
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
  LineMap lines(text, LpfComments(), options.includeCommented);
  TableBuilder table(result, file, lines);
  LexSyntax syntax;
  syntax.slashes = true;
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
    if (Is(command, "LOCATE"))
      Locate(statement, table);
    else if (Is(command, "IOBUF"))
      Iobuf(statement, table);
    else if (Is(command, "FREQUENCY"))
      Frequency(statement, table);
    else
      table.Skip(statement.line, statement.column, command.text + " skipped: not a pin setting");
  }
  table.Finish();
}

}  // namespace detail
}  // namespace MbdFormats
