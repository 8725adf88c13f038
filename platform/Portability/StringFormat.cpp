#include "Portability.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace Port {

template <>
StringBase<char>& StringBase<char>::Format(const char* fmt, ...) {
  if (!fmt) { s_.clear(); return *this; }
  va_list args;
  va_start(args, fmt);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, fmt, args);
  va_end(args);
  if (n <= 0) {
    s_.clear();
  } else {
    std::vector<char> buf(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), fmt, again);
    s_.assign(buf.data(), static_cast<std::size_t>(n));
  }
  va_end(again);
  return *this;
}

}  // namespace Port
