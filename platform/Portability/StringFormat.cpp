#include "Portability.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

std::string Port_FormatV(const char* fmt, va_list args) {
  if (!fmt) return std::string();
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, fmt, args);
  std::string out;
  if (n > 0) {
    std::vector<char> buf(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), fmt, again);
    out.assign(buf.data(), static_cast<std::size_t>(n));
  }
  va_end(again);
  return out;
}

std::size_t Port_Utf8Length(const std::string& text, std::size_t i) {
  const auto byte = [&text](std::size_t at) {
    return at < text.size() ? static_cast<unsigned char>(text[at]) : 0u;
  };
  const auto tail = [&byte](std::size_t at) { return (byte(at) & 0xC0u) == 0x80u; };
  if (i >= text.size()) return 0;
  const unsigned b0 = byte(i);
  const unsigned b1 = byte(i + 1);
  if (b0 < 0x80) return 1;
  if (b0 >= 0xC2 && b0 <= 0xDF) return tail(i + 1) ? 2 : 0;
  if (b0 >= 0xE0 && b0 <= 0xEF) {
    const bool first = b0 == 0xE0 ? b1 >= 0xA0 : b0 == 0xED ? b1 < 0xA0 : true;
    return first && tail(i + 1) && tail(i + 2) ? 3 : 0;
  }
  if (b0 >= 0xF0 && b0 <= 0xF4) {
    const bool first = b0 == 0xF0 ? b1 >= 0x90 : b0 == 0xF4 ? b1 < 0x90 : true;
    return first && tail(i + 1) && tail(i + 2) && tail(i + 3) ? 4 : 0;
  }
  return 0;
}

namespace Port {

template <>
PORT_PRINTF_FORMAT(2, 3) StringBase<char>& StringBase<char>::Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  s_ = Port_FormatV(fmt, args);
  va_end(args);
  return *this;
}

}  // namespace Port
