// pcf: one command a line, words split on blanks, '#' to the end of the line a comment, no
// quoting. set_io places a port and may set its pull-up; set_frequency gives a clock in MHz.
#include <strings.h>

#include <cstdlib>

#include "ReaderSettings.h"
#include "Readers.h"
#include "StatementReader.h"

namespace MbdFormats {
namespace detail {
namespace {

const CommentSyntax& PcfComments() {
  static const CommentSyntax syntax{
      true, false, false, {"set_io", "set_frequency"}, PcfCommandShape};
  return syntax;
}

void SetIo(const Statement& statement, TableBuilder& table) {
  const std::vector<Token>& words = statement.tokens;
  std::vector<const Token*> positional;
  std::vector<std::pair<std::string, std::string>> settings;
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i].text;
    if (word.size() < 2 || word[0] != '-') {
      positional.push_back(&words[i]);
      continue;
    }
    if (word == "-nowarn") continue;
    if (word == "-pullup" || word == "-pullup_resistor" || word == "-io_std") {
      if (i + 1 >= words.size()) {
        table.Error(words[i].line, words[i].column, "the option " + word + " needs a value");
        return;
      }
      const std::string key = word == "-pullup"   ? "PULLUP"
                              : word == "-io_std" ? "IOSTANDARD"
                                                  : "PULLUP_RESISTOR";
      settings.emplace_back(key, words[++i].text);
      continue;
    }
    table.Skip(words[i].line, words[i].column, "unknown option " + word + " of set_io skipped");
  }
  if (positional.size() != 2) {
    table.Error(statement.line, statement.column,
                "set_io takes a port name and a pin, found " + std::to_string(positional.size()) +
                    " word" + (positional.size() == 1 ? "" : "s"));
    return;
  }
  const std::string& name = positional[0]->text;
  table.Locate(name, positional[1]->text, statement.line);
  for (const auto& setting : settings)
    table.Set(name, setting.first, setting.second, true, statement.line);
}

// A plain decimal number: set_frequency's value has no unit of its own.
bool IsNumber(const std::string& text) {
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return !text.empty() && end == text.c_str() + text.size();
}

void SetFrequency(const Statement& statement, TableBuilder& table) {
  const std::vector<Token>& words = statement.tokens;
  if (words.size() != 3 || !IsNumber(words[2].text) ||
      !table.Clock(words[1].text, "FREQUENCY", words[2].text + " MHz", statement.line))
    table.Error(statement.line, statement.column,
                "set_frequency takes a port name and a frequency in MHz");
}

}  // namespace

void ReadPcf(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result) {
  LexSyntax syntax;
  syntax.quotes = false;
  syntax.symbols = false;
  syntax.newlineEnds = true;
  syntax.semicolons = false;
  const auto statement = [](const Statement& s, TableBuilder& table) {
    const std::string& command = s.tokens[0].text;
    if (command == "set_io")
      SetIo(s, table);
    else if (command == "set_frequency")
      SetFrequency(s, table);
    else
      table.Skip(s.line, s.column, "unknown command " + command + " skipped");
  };
  ReadStatementFile(text, file, options, PcfComments(), syntax, statement, result);
}

}  // namespace detail
}  // namespace MbdFormats
