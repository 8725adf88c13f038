// Headings and commented-out commands, found line by line before a reader sees the text.
#include "ReaderLines.h"

#include <strings.h>

#include <cctype>
#include <cstring>

namespace MbdFormats {
namespace detail {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// Where the comment markers at `at` end (at itself when there are none).
std::size_t SkipMarkers(const std::string& text, std::size_t at, std::size_t end,
                        const CommentSyntax& syntax) {
  std::size_t i = at;
  while (i < end) {
    if (syntax.hash && text[i] == '#') {
      ++i;
    } else if (syntax.slashes && text[i] == '/' && i + 1 < end && text[i + 1] == '/') {
      i += 2;
    } else if (i > at && IsBlank(text[i])) {
      ++i;
    } else {
      break;
    }
  }
  return i;
}

// True when the word at `at` is one of the format's commands.
bool StartsWithCommand(const std::string& text, std::size_t at, std::size_t end,
                       const CommentSyntax& syntax) {
  std::size_t wordEnd = at;
  while (wordEnd < end &&
         (std::isalnum(static_cast<unsigned char>(text[wordEnd])) || text[wordEnd] == '_'))
    ++wordEnd;
  const std::size_t length = wordEnd - at;
  if (length == 0) return false;
  for (const char* command : syntax.commands) {
    if (std::strlen(command) != length) continue;
    const int diff = syntax.ignoreCase ? strncasecmp(command, text.data() + at, length)
                                       : std::strncmp(command, text.data() + at, length);
    if (diff == 0) return true;
  }
  return false;
}

// The prose of a comment line, trimmed of blanks and of decoration (runs of '#', '-', '=',
// '*', '/'); empty when nothing with a letter or digit is left.
std::string Prose(const std::string& text, std::size_t at, std::size_t end) {
  auto decoration = [](char c) {
    return IsBlank(c) || c == '#' || c == '-' || c == '=' || c == '*' || c == '/';
  };
  while (at < end && decoration(text[at])) ++at;
  while (end > at && decoration(text[end - 1])) --end;
  for (std::size_t i = at; i < end; ++i)
    if (std::isalnum(static_cast<unsigned char>(text[i]))) return text.substr(at, end - at);
  return std::string();
}

}  // namespace

bool TclCommandShape(const std::string& line) {
  return line.find(" -") != std::string::npos || line.find('[') != std::string::npos;
}

bool StatementShape(const std::string& line) {
  return line.find(';') != std::string::npos;
}

bool PcfCommandShape(const std::string& line) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at < line.size() && line[at] != '#') {
    while (at < line.size() && IsBlank(line[at])) ++at;
    const std::size_t start = at;
    while (at < line.size() && !IsBlank(line[at]) && line[at] != '#') ++at;
    if (at > start) words.push_back(line.substr(start, at - start));
  }
  std::size_t positional = 0;
  for (std::size_t i = 1; i < words.size(); ++i) {
    if (words[i][0] != '-')
      ++positional;
    else if (words[i] != "-nowarn")
      ++i;  // an option with its value
  }
  return positional == 2;
}

LineMap::LineMap(const std::string& text, const CommentSyntax& syntax, bool includeCommented)
    : text_(text) {
  headings_.push_back(Heading());
  lineStarts_.push_back(0);
  for (std::size_t i = 0; i < text_.size(); ++i)
    if (text_[i] == '\n') lineStarts_.push_back(i + 1);
  Classify(syntax, includeCommented);
}

void LineMap::Classify(const CommentSyntax& syntax, bool includeCommented) {
  headingOfLine_.assign(lineStarts_.size(), 0);
  firstColumn_.assign(lineStarts_.size(), 1);
  unsigned current = 0;
  bool inProse = false;  // a new heading starts at the first prose line after anything else
  for (std::size_t line = 0; line < lineStarts_.size(); ++line) {
    const std::size_t begin = lineStarts_[line];
    std::size_t end = line + 1 < lineStarts_.size() ? lineStarts_[line + 1] - 1 : text_.size();
    std::size_t at = begin;
    while (at < end && IsBlank(text_[at])) ++at;
    firstColumn_[line] = static_cast<unsigned>(at - begin + 1);
    const std::size_t markersEnd = SkipMarkers(text_, at, end, syntax);
    if (at == end) {
      inProse = false;
    } else if (markersEnd == at) {
      inProse = false;  // a command line
    } else if (StartsWithCommand(text_, markersEnd, end, syntax) &&
               (syntax.isCommand == nullptr ||
                syntax.isCommand(text_.substr(markersEnd, end - markersEnd)))) {
      inProse = false;
      if (includeCommented) {
        for (std::size_t i = at; i < markersEnd; ++i) text_[i] = ' ';
        firstColumn_[line] = static_cast<unsigned>(markersEnd - begin + 1);
      }
    } else {
      std::string prose = Prose(text_, markersEnd, end);
      if (!prose.empty() && !inProse) {
        headings_.push_back(Heading{std::move(prose), static_cast<unsigned>(line + 1)});
        current = static_cast<unsigned>(headings_.size() - 1);
        inProse = true;
      }
    }
    headingOfLine_[line] = current;
  }
}

unsigned LineMap::HeadingOf(unsigned line) const {
  if (line == 0 || line > headingOfLine_.size()) return 0;
  return headingOfLine_[line - 1];
}

unsigned LineMap::FirstColumn(unsigned line) const {
  if (line == 0 || line > firstColumn_.size()) return 1;
  return firstColumn_[line - 1];
}

}  // namespace detail
}  // namespace MbdFormats
