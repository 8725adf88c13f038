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
