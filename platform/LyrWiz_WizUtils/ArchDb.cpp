#include "LyrWiz_WizUtils/ArchDb.h"

#include <map>
#include <string>
#include <utility>

namespace {

struct Sizes {
  unsigned minSize;
  unsigned maxSize;
  unsigned defSize;
};

struct BuiltIn {
  const char* family;
  const char* bus;
  Sizes sizes;
};

const BuiltIn kBuiltIn[] = {
    {"ketral4", "lmb", {2047, 131071, 16383}},  {"ketral4", "opb", {2047, 65535, 16383}},
    {"ketral4", "plb", {4095, 131071, 32767}},  {"ketral2p", "lmb", {2047, 65535, 8191}},
    {"ketral2p", "opb", {2047, 65535, 8191}},   {"ketral2p", "plb", {4095, 65535, 16383}},
    {"ketral3", "lmb", {1023, 65535, 8191}},    {"ketral3", "opb", {1023, 32767, 8191}},
    {"ketral3", "plb", {2047, 65535, 16383}},   {"torvala3", "lmb", {1023, 32767, 8191}},
    {"torvala3", "opb", {1023, 32767, 8191}},   {"torvala3", "plb", {2047, 32767, 8191}},
};

// Keys fold ASCII letters to lower case, the same rule as the case-blind string comparison.
typedef std::pair<std::string, std::string> Key;

std::string Fold(const StringBase& text) {
  std::string out = text.str();
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::map<Key, Sizes> BuiltInTable() {
  std::map<Key, Sizes> table;
  for (const BuiltIn& row : kBuiltIn) table[Key(row.family, row.bus)] = row.sizes;
  return table;
}

std::map<Key, Sizes>& Table() {
  static std::map<Key, Sizes> table = BuiltInTable();
  return table;
}

// The sizes of the pair; all 0 when it is unknown.
Sizes Lookup(const StringBase& family, const StringBase& bus) {
  const auto found = Table().find(Key(Fold(family), Fold(bus)));
  return found == Table().end() ? Sizes{0, 0, 0} : found->second;
}

}  // namespace

unsigned ArchDb::getMinSizeByArchBus(StringBase family, StringBase bus) {
  return Lookup(family, bus).minSize;
}

unsigned ArchDb::getMaxSizeByArchBus(StringBase family, StringBase bus) {
  return Lookup(family, bus).maxSize;
}

unsigned ArchDb::getDefSizeByArchBus(StringBase family, StringBase bus) {
  return Lookup(family, bus).defSize;
}

bool ArchDb::knowsFamily(StringBase family) {
  const std::string folded = Fold(family);
  const auto first = Table().lower_bound(Key(folded, std::string()));
  return first != Table().end() && first->first.first == folded;
}

void ArchDb::setEntry(StringBase family, StringBase bus, unsigned minSize, unsigned maxSize,
                      unsigned defSize) {
  Table()[Key(Fold(family), Fold(bus))] = Sizes{minSize, maxSize, defSize};
}

void ArchDb::reset() { Table() = BuiltInTable(); }
