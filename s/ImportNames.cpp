// Names for the draft: nets, stems, instances, and the case-blind uniqueness the board needs.
#include "ImportNames.h"

#include <cctype>

namespace MbdImport {
namespace detail {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// name[digits] at the end: the stem and the digits; false otherwise.
bool SplitBusBit(const std::string& name, std::string& stem, std::string& index) {
  if (name.size() < 4 || name.back() != ']') return false;
  const std::size_t open = name.rfind('[');
  if (open == std::string::npos || open == 0 || open + 2 > name.size() - 1) return false;
  for (std::size_t i = open + 1; i + 1 < name.size(); ++i)
    if (!IsDigit(name[i])) return false;
  stem = name.substr(0, open);
  index = name.substr(open + 1, name.size() - open - 2);
  return true;
}

}  // namespace

std::string UniqueNames::Claim(const std::string& wanted) {
  const std::string key = Port_AsciiLower(wanted);
  if (taken_.insert(key).second) return wanted;
  unsigned& n = next_[key];
  if (n < 2) n = 2;
  for (;; ++n) {
    std::string candidate = wanted + "_" + std::to_string(n);
    if (taken_.insert(Port_AsciiLower(candidate)).second) {
      ++n;
      return candidate;
    }
  }
}

std::string NetName(const MbdPins::PinRow& row) {
  std::string name = row.net.empty() ? row.name : row.net;
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '_';
  return name.empty() ? "unnamed" : name;
}

std::string PortName(const MbdPins::PinRow& row, const std::string& net) {
  if (!row.port.empty()) return row.port;
  std::string stem, index;
  if (!row.busStem.empty() && row.busIndex >= 0) return row.busStem + "_" + std::to_string(row.busIndex);
  if (SplitBusBit(row.name, stem, index)) return stem + "_" + index;
  return net;
}

std::string BusStem(const std::string& name) {
  std::string stem, index;
  return SplitBusBit(name, stem, index) ? stem : std::string();
}

bool SplitPairName(const std::string& name, std::string& stem, bool& negative) {
  if (name.size() < 3 || name[name.size() - 2] != '_') return false;
  const char side = name.back();
  if (side != 'p' && side != 'P' && side != 'n' && side != 'N') return false;
  stem = name.substr(0, name.size() - 2);
  negative = side == 'n' || side == 'N';
  return true;
}

std::string PairStem(const std::string& name, bool& negative) {
  std::string stem;
  bool side = false;
  if (!SplitPairName(name, stem, side)) return std::string();
  negative = side;
  return stem;
}

std::string NameStem(const std::string& name) {
  const std::size_t underscore = name.find('_');
  if (underscore != std::string::npos && underscore > 0) return name.substr(0, underscore);
  std::size_t end = name.size();
  while (end > 0 && IsDigit(name[end - 1])) --end;
  return end > 0 ? name.substr(0, end) : name;
}

std::string InstanceName(const std::string& text, bool keepPlain) {
  bool plain = keepPlain && !text.empty() && !IsDigit(text.front());
  for (char c : text) plain = plain && IsWordChar(c);
  if (plain) return text;
  std::string out;
  for (char c : text) {
    if (IsWordChar(c) && c != '_') {
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else if (!out.empty() && out.back() != '_') {
      out += '_';
    }
  }
  while (!out.empty() && out.back() == '_') out.pop_back();
  if (out.empty()) return "group";
  if (IsDigit(out.front())) out = "i_" + out;
  return out;
}

}  // namespace detail
}  // namespace MbdImport
