#include "LyrWiz_WizUtils/ArchDb.h"

#include <map>
#include <mutex>
#include <shared_mutex>
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

// The process-wide table and its lock: lookups share it, changes hold it alone.
struct Db {
  std::shared_mutex mutex;
  std::map<Key, Sizes> table = BuiltInTable();
};

// Never destroyed: a lookup may come during static destruction.
Db& TheDb() {
  static Db* db = new Db;
  return *db;
}

// The sizes of the pair; all 0 when it is unknown.
Sizes Lookup(const StringBase& family, const StringBase& bus) {
  const Key key(Fold(family), Fold(bus));
  Db& db = TheDb();
  std::shared_lock<std::shared_mutex> lock(db.mutex);
  const auto found = db.table.find(key);
  return found == db.table.end() ? Sizes{0, 0, 0} : found->second;
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
  Db& db = TheDb();
  std::shared_lock<std::shared_mutex> lock(db.mutex);
  const auto first = db.table.lower_bound(Key(folded, std::string()));
  return first != db.table.end() && first->first.first == folded;
}

std::vector<StringBase> ArchDb::families() {
  std::vector<StringBase> result;
  Db& db = TheDb();
  std::shared_lock<std::shared_mutex> lock(db.mutex);
  // Keys are sorted by family first, so a family's buses follow one another.
  for (const auto& entry : db.table)
    if (result.empty() || result.back().str() != entry.first.first)
      result.emplace_back(entry.first.first);
  return result;
}

void ArchDb::setEntry(StringBase family, StringBase bus, unsigned minSize, unsigned maxSize,
                      unsigned defSize) {
  Key key(Fold(family), Fold(bus));
  Db& db = TheDb();
  std::unique_lock<std::shared_mutex> lock(db.mutex);
  db.table[std::move(key)] = Sizes{minSize, maxSize, defSize};
}

void ArchDb::reset() {
  std::map<Key, Sizes> fresh = BuiltInTable();
  Db& db = TheDb();
  std::unique_lock<std::shared_mutex> lock(db.mutex);
  db.table.swap(fresh);
}
