#include "ValueText.h"

namespace LyrBase {
namespace detail {

bool NeedsQuotes(const char* text, std::size_t size, bool allowEquals) {
  // Empty text is quoted so that it stays visible.
  if (size == 0 || IsBlank(text[0]) || IsBlank(text[size - 1])) return true;
  // A final backslash would read as a line continuation.
  if (text[size - 1] == '\\') return true;
  for (std::size_t i = 0; i < size; ++i) {
    const char c = text[i];
    if (c == '=' && !allowEquals) return true;
    if (IsBareStop(c) && c != '\\') return true;
  }
  return false;
}

void AppendQuoted(std::string& out, const char* text, std::size_t size) {
  out += '"';
  for (std::size_t i = 0; i < size; ++i) {
    switch (text[i]) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      default: out += text[i];
    }
  }
  out += '"';
}

void AppendWord(std::string& out, const std::string& text, bool allowEquals) {
  if (NeedsQuotes(text.data(), text.size(), allowEquals))
    AppendQuoted(out, text.data(), text.size());
  else
    out += text;
}

void AppendList(std::string& out, const std::vector<StringBase>& items) {
  out += '(';
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i) out += ", ";
    AppendWord(out, items[i].str(), true);
  }
  out += ')';
}

namespace {

// Reads a quoted item starting at the quote; false on a bad escape or a missing quote.
bool ParseQuoted(const std::string& text, std::size_t& pos, std::string& item) {
  for (++pos; pos < text.size(); ++pos) {
    char c = text[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\\') {
      if (++pos >= text.size()) return false;
      switch (text[pos]) {
        case '"': c = '"'; break;
        case '\\': c = '\\'; break;
        case 't': c = '\t'; break;
        case 'n': c = '\n'; break;
        default: return false;
      }
    }
    item += c;
  }
  return false;
}

// Reads a bare item up to ',' or ')'; false when it meets a byte a bare item cannot hold.
bool ParseBare(const std::string& text, std::size_t& pos, std::string& item) {
  const std::size_t start = pos;
  while (pos < text.size() && text[pos] != ',' && text[pos] != ')') {
    if (IsBareStop(text[pos]) && text[pos] != '\\') return false;
    ++pos;
  }
  std::size_t end = pos;
  std::size_t begin = start;
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  item.assign(text, begin, end - begin);
  return true;
}

void SkipBlanks(const std::string& text, std::size_t& pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
}

}  // namespace

bool ParseList(const std::string& text, std::vector<StringBase>& items) {
  items.clear();
  if (text.size() < 2 || text.front() != '(' || text.back() != ')') return false;
  std::size_t pos = 1;
  SkipBlanks(text, pos);
  if (pos == text.size() - 1) return true;
  for (;;) {
    std::string item;
    SkipBlanks(text, pos);
    const bool ok = (pos < text.size() && text[pos] == '"') ? ParseQuoted(text, pos, item)
                                                            : ParseBare(text, pos, item);
    if (!ok) return false;
    items.emplace_back(std::move(item));
    SkipBlanks(text, pos);
    if (pos >= text.size()) return false;
    if (text[pos] == ')') return pos == text.size() - 1;
    if (text[pos] != ',') return false;
    ++pos;
  }
}

}  // namespace detail
}  // namespace LyrBase
