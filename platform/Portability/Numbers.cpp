#include "Portability.h"

#include <cstdint>

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

unsigned UT_STR::StrToUINT32(const char* text, char** end, int base) {
  if (end) *end = const_cast<char*>(text);
  if (!text || base < 0 || base == 1 || base > 36) return 0;
  const char* p = text;
  while (IsBlank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  if ((base == 0 || base == 16) && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
      DigitValue(p[2]) < 16) {
    p += 2;
    base = 16;
  } else if (base == 0) {
    base = (p[0] == '0') ? 8 : 10;
  }
  const char* digits = p;
  std::uint64_t value = 0;
  bool overflow = false;
  for (; DigitValue(*p) < base; ++p) {
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(DigitValue(*p));
    if (value > 0xFFFFFFFFull) { overflow = true; value = 0xFFFFFFFFull; }
  }
  if (p == digits) return 0;
  if (end) *end = const_cast<char*>(p);
  if (overflow) return 0xFFFFFFFFu;
  const auto v = static_cast<std::uint32_t>(value);
  return negative ? static_cast<unsigned>(0u - v) : v;
}
