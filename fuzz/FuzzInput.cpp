#include "FuzzInput.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace qbd_fuzz {

namespace {

const char kSeparator[] = "%%";

std::vector<std::string> WordsOf(const std::string& line, size_t maxWords) {
  std::vector<std::string> words;
  size_t pos = 0;
  while (pos < line.size() && words.size() < maxWords) {
    pos = line.find_first_not_of(" \t\r", pos);
    if (pos == std::string::npos) break;
    const size_t end = std::min(line.find_first_of(" \t\r", pos), line.size());
    std::string word = line.substr(pos, end - pos);
    words.push_back(word == "''" ? std::string() : word);
    pos = end;
  }
  return words;
}

// Position just after the separator line, or npos when there is none.
size_t ScriptStart(const std::string& text, size_t& boardEnd) {
  size_t lineStart = 0;
  while (lineStart <= text.size()) {
    size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    std::string line = text.substr(lineStart, lineEnd - lineStart);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == kSeparator) {
      boardEnd = lineStart;
      return lineEnd + 1;
    }
    if (lineEnd == text.size()) break;
    lineStart = lineEnd + 1;
  }
  return std::string::npos;
}

}  // namespace

FuzzInput SplitInput(const uint8_t* data, size_t size, size_t maxLines, size_t maxWords) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  FuzzInput input;
  size_t boardEnd = text.size();
  const size_t scriptStart = ScriptStart(text, boardEnd);
  input.board = text.substr(0, boardEnd);
  if (scriptStart == std::string::npos || scriptStart >= text.size()) return input;
  size_t lineStart = scriptStart;
  while (lineStart < text.size() && input.lines.size() < maxLines) {
    size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    std::vector<std::string> words = WordsOf(text.substr(lineStart, lineEnd - lineStart), maxWords);
    if (!words.empty()) input.lines.push_back(std::move(words));
    lineStart = lineEnd + 1;
  }
  return input;
}

void Require(bool ok, const std::string& what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what.c_str());
  std::abort();
}

size_t IndexAfter(const std::string& word, size_t prefixLength, size_t fallback) {
  size_t value = 0;
  size_t pos = prefixLength;
  for (; pos < word.size() && word[pos] >= '0' && word[pos] <= '9'; ++pos) {
    value = value * 10 + static_cast<size_t>(word[pos] - '0');
    if (value > 1000000) return 1000000;
  }
  return pos == prefixLength ? fallback : value;
}

size_t Pick(const std::string& word, size_t count) {
  if (count == 0) return 0;
  size_t hash = 5381;
  for (unsigned char c : word) hash = hash * 33 + c;
  return hash % count;
}

}  // namespace qbd_fuzz
