#include "Lexer.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "LyrBase/ValueText.h"

namespace LyrBoard {
namespace detail {

namespace {

using LyrBase::detail::IsBlank;
using LyrBase::detail::kBareStops;

constexpr std::array<bool, 256> MakeNameStops() {
  std::array<bool, 256> stops = kBareStops;
  stops['='] = true;
  return stops;
}
constexpr std::array<bool, 256> kNameStops = MakeNameStops();

// Bytes that interrupt the plain run of a quoted string.
constexpr std::array<bool, 256> MakeQuoteStops() {
  std::array<bool, 256> stops{};
  for (int c = 0; c < 0x20; ++c) stops[static_cast<std::size_t>(c)] = c != '\t';
  stops['"'] = true;
  stops['\\'] = true;
  return stops;
}
constexpr std::array<bool, 256> kQuoteStops = MakeQuoteStops();

constexpr std::array<bool, 256> MakeWordChars() {
  std::array<bool, 256> word{};
  for (int c = 0; c < 256; ++c)
    word[static_cast<std::size_t>(c)] = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                        (c >= '0' && c <= '9') || c == '_';
  return word;
}
constexpr std::array<bool, 256> kWordChars = MakeWordChars();

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

constexpr std::size_t kDescribeMax = 24;

}  // namespace

Lexer::Lexer(const char* data, std::size_t size) : data_(data), size_(size) {
  // A byte-order mark is not part of the text.
  if (size_ >= 3 && std::memcmp(data_, "\xEF\xBB\xBF", 3) == 0) pos_ = lineStart_ = 3;
}

Position Lexer::Here() const { return PositionOf(pos_); }

Position Lexer::PositionOf(std::size_t at) const {
  Position p;
  p.line = line_;
  p.column = static_cast<unsigned>(at - lineStart_ + 1);
  return p;
}

bool Lexer::AtContinuation() const {
  if (pos_ >= size_ || data_[pos_] != '\\') return false;
  const std::size_t next = pos_ + 1;
  if (next < size_ && data_[next] == '\n') return true;
  return next + 1 < size_ && data_[next] == '\r' && data_[next + 1] == '\n';
}

void Lexer::SkipContinuations() {
  while (AtContinuation()) {
    ++pos_;
    ConsumeLineEnd();
    while (pos_ < size_ && IsBlank(data_[pos_])) ++pos_;
  }
}

void Lexer::SkipBlankLines() {
  for (;;) {
    SkipBlanks();
    if (AtEnd() || !AtLineEnd() || !ConsumeLineEnd()) return;
  }
}

bool Lexer::ConsumeLineEnd() {
  if (pos_ >= size_) return true;
  if (data_[pos_] == '#') {
    const void* nl = std::memchr(data_ + pos_, '\n', size_ - pos_);
    pos_ = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - data_) : size_;
    if (pos_ >= size_) return true;
  }
  if (data_[pos_] == '\r' && pos_ + 1 < size_ && data_[pos_ + 1] == '\n') ++pos_;
  if (data_[pos_] != '\n') return false;
  ++pos_;
  ++line_;
  lineStart_ = pos_;
  return true;
}

void Lexer::SkipLine() {
  const void* nl = std::memchr(data_ + pos_, '\n', size_ - pos_);
  pos_ = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - data_) : size_;
  ConsumeLineEnd();
}

std::size_t Lexer::RunEnd(std::size_t from, const std::array<bool, 256>& stops) const {
  // Local pointers: a store to a member could alias the bytes read, and would be kept in
  // memory on every step.
  const char* p = data_ + from;
  const char* const end = data_ + size_;
  while (p < end && !stops[Byte(*p)]) ++p;
  return static_cast<std::size_t>(p - data_);
}

std::string_view Lexer::Word() {
  const std::size_t start = pos_;
  const char* p = data_ + pos_;
  const char* const end = data_ + size_;
  while (p < end && kWordChars[Byte(*p)]) ++p;
  pos_ = static_cast<std::size_t>(p - data_);
  return std::string_view(data_ + start, pos_ - start);
}

bool Lexer::Bare(bool allowEquals, std::string_view& out) {
  const std::array<bool, 256>& stops = allowEquals ? kBareStops : kNameStops;
  const std::size_t start = pos_;
  for (;;) {
    pos_ = RunEnd(pos_, stops);
    // A backslash is text unless it continues the line.
    if (pos_ < size_ && data_[pos_] == '\\' && !AtContinuation()) {
      ++pos_;
      continue;
    }
    break;
  }
  if (pos_ < size_ && Byte(data_[pos_]) < 0x20 && !AtLineEnd()) {
    char text[48];
    std::snprintf(text, sizeof text, "unexpected control byte 0x%02X", Byte(data_[pos_]));
    return Fail(pos_, text);
  }
  std::size_t end = pos_;
  std::size_t begin = start;
  while (begin < end && IsBlank(data_[begin])) ++begin;
  while (end > begin && IsBlank(data_[end - 1])) --end;
  out = std::string_view(data_ + begin, end - begin);
  return true;
}

bool Lexer::Quoted(std::string& out) {
  const std::size_t open = pos_++;
  out.clear();
  for (;;) {
    const std::size_t start = pos_;
    pos_ = RunEnd(pos_, kQuoteStops);
    out.append(data_ + start, pos_ - start);
    if (pos_ >= size_ || AtLineEnd())
      return Fail(open, std::string("unterminated quoted string: expected '\"', found ") +
                            (pos_ >= size_ ? "end of file" : "end of line"));
    const char c = data_[pos_];
    if (c == '"') {
      ++pos_;
      return true;
    }
    if (c != '\\') {
      char text[48];
      std::snprintf(text, sizeof text, "unexpected control byte 0x%02X in quoted string", Byte(c));
      return Fail(pos_, text);
    }
    const char e = pos_ + 1 < size_ ? data_[pos_ + 1] : '\0';
    switch (e) {
      case '"': out += '"'; break;
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      default: {
        const std::size_t at = pos_++;
        const std::string found = Byte(e) > 0x20 && Byte(e) < 0x7F
                                      ? std::string("'\\") + e + "'"
                                      : Describe();
        return Fail(at, "unknown escape: expected \\\", \\\\, \\t or \\n, found " + found);
      }
    }
    pos_ += 2;
  }
}

bool Lexer::Fail(std::size_t at, std::string message) {
  errorAt_ = PositionOf(at);
  error_ = std::move(message);
  return false;
}

std::string Lexer::Describe() const {
  if (pos_ >= size_) return "end of file";
  const unsigned char c = Byte(data_[pos_]);
  if (c == '\n' || (c == '\r' && pos_ + 1 < size_ && data_[pos_ + 1] == '\n'))
    return "end of line";
  if (c < 0x20 || c == 0x7F) {
    char text[32];
    std::snprintf(text, sizeof text, "control byte 0x%02X", c);
    return text;
  }
  std::size_t end = pos_ + 1;
  if (!kNameStops[c])
    while (end < size_ && end - pos_ < kDescribeMax && !kNameStops[Byte(data_[end])] &&
           !IsBlank(data_[end]))
      ++end;
  std::string text = "'" + std::string(data_ + pos_, end - pos_);
  if (end < size_ && end - pos_ == kDescribeMax && !kNameStops[Byte(data_[end])]) text += "...";
  return text + "'";
}

}  // namespace detail
}  // namespace LyrBoard
