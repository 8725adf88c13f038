// Words, quoted strings and symbols, with their places; comments and blanks dropped.
#include "StatementLexer.h"

namespace MbdFormats {
namespace detail {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

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
      if (w == '\n' || IsBlank(w) || (w == ';' && syntax_.semicolons) || CommentStarts())
        break;
      if (syntax_.quotes && w == '"') break;
      if (syntax_.symbols && (w == '=' || w == '|' || w == ',')) break;
      token.text += w;
      Advance();
    }
    statement.tokens.push_back(std::move(token));
  }
  return !statement.tokens.empty();
}

bool ReadAssignments(const std::vector<Token>& tokens, std::size_t from,
                     bool barSeparated, std::vector<Assignment>& assignments,
                     const Token*& bad) {
  bad = nullptr;
  for (std::size_t i = from; i < tokens.size(); ++i) {
    const Token& token = tokens[i];
    if (token.kind == Token::Symbol && token.text == "|") continue;
    if (token.kind == Token::Symbol) {
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
