// Words, quoted strings and symbols, with their places; comments and blanks dropped.
#include "StatementLexer.h"

namespace MbdFormats {
namespace detail {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

}  // namespace

StatementLexer::StatementLexer(const std::string& text, const LexSyntax& syntax)
    : text_(text), syntax_(syntax) {}

void StatementLexer::Advance() {
  if (text_[at_] == '\n') {
    ++line_;
    column_ = 1;
  } else {
    ++column_;
  }
  ++at_;
}

bool StatementLexer::CommentStarts() const {
  if (syntax_.hash && text_[at_] == '#') return true;
  return syntax_.slashes && text_[at_] == '/' && at_ + 1 < text_.size() && text_[at_ + 1] == '/';
}

void StatementLexer::SkipComment() {
  while (at_ < text_.size() && text_[at_] != '\n') Advance();
}

// The value of `count` hex digits at the lexer's place; -1 (and nothing read) when they are not.
long StatementLexer::Hex(int count) {
  if (at_ + static_cast<std::size_t>(count) > text_.size()) return -1;
  long value = 0;
  for (int i = 0; i < count; ++i) {
    const char c = text_[at_ + static_cast<std::size_t>(i)];
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  for (int i = 0; i < count; ++i) Advance();
  return value;
}

void StatementLexer::ReadEscape(std::string& text) {
  const char c = text_[at_];
  Advance();
  long code = -1;
  if (c == 'n')
    text += '\n';
  else if (c == 't')
    text += '\t';
  else if (c == 'r')
    text += '\r';
  else if (c == 'x' && (code = Hex(2)) >= 0)
    text += static_cast<char>(code);
  else if (c == 'u' && (code = Hex(4)) >= 0)
    AppendUtf8(text, static_cast<unsigned long>(code));
  else
    text += c;
}

void StatementLexer::AppendUtf8(std::string& text, unsigned long code) {
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else if (code < 0x800) {
    text += static_cast<char>(0xC0 | (code >> 6));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    text += static_cast<char>(0xE0 | (code >> 12));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool StatementLexer::ReadQuoted(Token& token) {
  token.kind = Token::Quoted;
  Advance();  // the opening quote
  while (at_ < text_.size() && text_[at_] != '\n') {
    const char c = text_[at_];
    if (c == '"') {
      Advance();
      return true;
    }
    if (syntax_.escapes && c == '\\' && at_ + 1 < text_.size() && text_[at_ + 1] != '\n') {
      Advance();
      ReadEscape(token.text);
      continue;
    }
    token.text += text_[at_];
    Advance();
  }
  error_ = "the string is not closed on its line";
  errorLine_ = token.line;
  errorColumn_ = token.column;
  return false;
}

bool StatementLexer::Next(Statement& statement) {
  statement = Statement();
  error_.clear();
  while (at_ < text_.size()) {
    const char c = text_[at_];
    if (c == '\n') {
      Advance();
      if (syntax_.newlineEnds && !statement.tokens.empty()) return true;
      continue;
    }
    if (IsBlank(c)) {
      Advance();
      continue;
    }
    if (CommentStarts()) {
      SkipComment();
      continue;
    }
    if (c == ';' && syntax_.semicolons) {
      Advance();
      if (statement.tokens.empty()) continue;  // an empty statement
      statement.terminated = true;
      return true;
    }
    Token token;
    token.line = line_;
    token.column = column_;
    if (statement.tokens.empty()) {
      statement.line = line_;
      statement.column = column_;
    }
    if (syntax_.quotes && c == '"') {
      const bool closed = ReadQuoted(token);
      statement.tokens.push_back(std::move(token));
      if (!closed) return true;
      continue;
    }
    if (syntax_.symbols && (c == '=' || c == '|' || c == ',')) {
      token.kind = Token::Symbol;
      token.text = c;
      Advance();
      statement.tokens.push_back(std::move(token));
      continue;
    }
    while (at_ < text_.size()) {
      const char w = text_[at_];
      if (w == '\n' || IsBlank(w) || (w == ';' && syntax_.semicolons) || CommentStarts()) break;
      if (syntax_.quotes && w == '"') break;
      if (syntax_.symbols && (w == '=' || w == '|' || w == ',')) break;
      token.text += w;
      Advance();
    }
    statement.tokens.push_back(std::move(token));
  }
  return !statement.tokens.empty();
}

bool ReadAssignments(const std::vector<Token>& tokens, std::size_t from, bool barSeparated,
                     std::vector<Assignment>& assignments, const Token*& bad) {
  bad = nullptr;
  for (std::size_t i = from; i < tokens.size(); ++i) {
    const Token& token = tokens[i];
    if (token.kind == Token::Symbol && token.text == "|") continue;
    // A key is a plain word: a quoted one could hold blanks or '=' and read as another key.
    if (token.kind != Token::Word) {
      bad = &token;
      return false;
    }
    Assignment assignment;
    assignment.key = token.text;
    assignment.line = token.line;
    assignment.column = token.column;
    if (i + 1 < tokens.size() && tokens[i + 1].kind == Token::Symbol && tokens[i + 1].text == "=") {
      if (i + 2 >= tokens.size() || tokens[i + 2].kind == Token::Symbol) {
        bad = &tokens[i + 1];
        return false;
      }
      assignment.value = tokens[i + 2].text;
      assignment.hasValue = true;
      i += 2;
      while (barSeparated && i + 1 < tokens.size() && tokens[i + 1].text != "|") {
        if (tokens[i + 1].kind == Token::Symbol) {
          bad = &tokens[i + 1];
          return false;
        }
        assignment.value += " " + tokens[++i].text;
      }
    }
    assignments.push_back(std::move(assignment));
  }
  return true;
}

}  // namespace detail
}  // namespace MbdFormats
