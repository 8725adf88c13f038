// The design's names of the exported ports (rename, bus, prefix) and the checks that stop a
// table from being written: each walks the rows once with a hash map, so a board of thousands
// of pins stays linear.
#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "MbdRules.h"
#include "PinTableSteps.h"

namespace MbdPins {
namespace detail {

namespace {

std::string quote(const std::string& s) { return "\"" + s + "\""; }

using NetMap = std::unordered_map<StringBase, std::string, MbdRules::NetHash, MbdRules::NetEqual>;

// A name STEM_N or STEMN with N a number without leading zeros, read into stem and index;
// false when the name ends in no such number or nothing stands before it.
bool splitNumbered(const std::string& name, std::string& stem, int& index) {
  std::size_t digits = name.size();
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) --digits;
  const std::size_t count = name.size() - digits;
  if (count == 0 || count > 9 || (count > 1 && name[digits] == '0')) return false;
  std::size_t stemEnd = digits;
  if (stemEnd > 0 && name[stemEnd - 1] == '_') --stemEnd;
  if (stemEnd == 0) return false;
  stem = name.substr(0, stemEnd);
  index = std::stoi(name.substr(digits));
  return true;
}

// The base names (renamed nets) that form buses: base name -> (stem, index).
struct Bus {
  std::string stem;
  int index;
};
std::unordered_map<std::string, Bus> busesOf(const std::vector<std::string>& baseNames) {
  struct Members {
    std::string stem;  // as the first member writes it
    std::vector<std::pair<int, std::string>> bits;
  };
  std::unordered_map<StringBase, Members, CaseBlindHash, CaseBlindEqual> byStem;
  std::unordered_set<StringBase, CaseBlindHash, CaseBlindEqual> names;
  // Sized once: each rehash of a large board's names walks them all again, out of cache.
  names.reserve(baseNames.size());
  for (const std::string& name : baseNames) {
    names.insert(StringBase(name));
    std::string stem;
    int index = 0;
    if (!splitNumbered(name, stem, index)) continue;
    Members& members = byStem[StringBase(stem)];
    if (members.bits.empty()) members.stem = stem;
    members.bits.emplace_back(index, name);
  }
  std::unordered_map<std::string, Bus> buses;
  buses.reserve(baseNames.size());  // at most one entry a name
  for (auto& entry : byStem) {
    Members& m = entry.second;
    if (m.bits.size() < 2 || names.count(entry.first)) continue;
    std::sort(m.bits.begin(), m.bits.end());
    bool runs = true;
    for (std::size_t i = 1; i < m.bits.size() && runs; ++i)
      runs = m.bits[i].first == m.bits[i - 1].first + 1;
    if (!runs) continue;
    for (const auto& bit : m.bits) buses[bit.second] = Bus{m.stem, bit.first};
  }
  return buses;
}

}  // namespace

void NameRows(const TableOptions& options, PinTable& table) {
  if (!options.rename.empty()) {
    NetMap rename;
    for (const auto& entry : options.rename) rename.emplace(StringBase(entry.first), entry.second);
    std::unordered_set<StringBase, MbdRules::NetHash, MbdRules::NetEqual> renamed;
    for (PinRow& row : table.rows) {
      const auto it = rename.find(StringBase(row.net));
      if (it != rename.end()) renamed.insert(it->first);
      row.name = it == rename.end() ? row.net : it->second;
    }
    for (const auto& entry : options.rename)
      if (!renamed.count(StringBase(entry.first)))
        table.problems.push_back(
            Problem{"", "rename: no exported net is named " + quote(entry.first), false});
  } else {
    for (PinRow& row : table.rows) row.name = row.net;
  }

  if (options.bus) {
    std::vector<std::string> baseNames;
    baseNames.reserve(table.rows.size());
    for (const PinRow& row : table.rows) baseNames.push_back(row.name);
    const std::unordered_map<std::string, Bus> buses = busesOf(baseNames);
    for (PinRow& row : table.rows) {
      const auto bus = buses.find(row.name);
      if (bus == buses.end()) continue;
      row.busStem = options.prefix + bus->second.stem;
      row.busIndex = bus->second.index;
      row.name = row.busStem + "[" + std::to_string(row.busIndex) + "]";
    }
  }
  if (!options.prefix.empty())
    for (PinRow& row : table.rows)
      if (row.busIndex < 0) row.name = options.prefix + row.name;

  // Names are compared as the constraint files compare them: exactly. The rows are not moved
  // while the views into their names live.
  std::unordered_map<std::string_view, const PinRow*> byName;
  byName.reserve(table.rows.size());
  for (const PinRow& row : table.rows) {
    const auto seen = byName.emplace(row.name, &row);
    if (seen.second || MbdRules::CarriesConnector(StringBase(seen.first->second->net),
                                                  StringBase(row.net)))
      continue;
    table.problems.push_back(Problem{row.name,
                                     "nets " + quote(seen.first->second->net) + " and " +
                                         quote(row.net) + " are both named " + quote(row.name),
                                     true});
  }
}

namespace {

std::string pinOf(const PinRow& row) { return row.fpgaBlock + "." + row.fpgaPin; }

// A ball as the board's pin-conflict rule compares balls: A-Z folded to a-z, nothing more.
std::string ballKey(const std::string& ball) {
  std::string key = ball;
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

// An error for each row whose ball an earlier row of another net has: the balls' keys sorted
// beside their rows' numbers (then board order). The sort reads one compact vector, where
// sorting row numbers by the rows' balls would jump across the whole table at each step.
void sharedBalls(const PinTable& table, std::vector<std::pair<std::size_t, Problem>>& found) {
  std::vector<std::pair<std::string, std::size_t>> byBall;
  byBall.reserve(table.rows.size());
  for (std::size_t i = 0; i < table.rows.size(); ++i)
    if (!table.rows[i].settings.location.empty())
      byBall.emplace_back(ballKey(table.rows[i].settings.location), i);
  std::sort(byBall.begin(), byBall.end());
  for (std::size_t k = 1, first = 0; k < byBall.size(); ++k) {
    if (byBall[k].first != byBall[first].first) {
      first = k;
      continue;
    }
    const PinRow& row = table.rows[byBall[k].second];
    const PinRow& head = table.rows[byBall[first].second];
    if (MbdRules::CarriesConnector(StringBase(head.net), StringBase(row.net))) continue;
    found.emplace_back(byBall[k].second, Problem{row.name,
                                                 "ball " + quote(row.settings.location) +
                                                     " carries both " + quote(head.net) +
                                                     " and " + quote(row.net),
                                                 true});
  }
}

// An error for each net whose rows (which stand together) are at more than one ball; the
// first few balls are named, so that a net on thousands of pins makes one short line.
void netsOnSeveralBalls(const PinTable& table,
                        std::vector<std::pair<std::size_t, Problem>>& found) {
  const std::size_t shown = 8;
  for (std::size_t start = 0; start < table.rows.size();) {
    std::size_t end = start + 1;
    while (end < table.rows.size() &&
           MbdRules::CarriesConnector(StringBase(table.rows[start].net),
                                      StringBase(table.rows[end].net)))
      ++end;
    std::vector<std::string> balls;
    std::unordered_set<StringBase, CaseBlindHash, CaseBlindEqual> seen;
    for (std::size_t i = start; i < end; ++i) {
      const std::string& ball = table.rows[i].settings.location;
      if (!ball.empty() && seen.insert(StringBase(ball)).second) balls.push_back(ball);
    }
    if (balls.size() > 1) {
      std::string list;
      for (std::size_t i = 0; i < balls.size() && i < shown; ++i)
        list += (i ? ", " : "") + quote(balls[i]);
      if (balls.size() > shown) list += " and " + std::to_string(balls.size() - shown) + " more";
      const PinRow& row = table.rows[start];
      found.emplace_back(start, Problem{row.name,
                                        "net " + quote(row.net) + " is on " +
                                            std::to_string(balls.size()) + " balls: " + list,
                                        true});
    }
    start = end;
  }
}

}  // namespace

void CheckRows(PinTable& table) {
  // Findings by row, reported in board order whichever check found them.
  std::vector<std::pair<std::size_t, Problem>> found;
  for (std::size_t i = 0; i < table.rows.size(); ++i) {
    const PinRow& row = table.rows[i];
    const std::string& ball = row.settings.location;
    if (ball.empty()) {
      found.emplace_back(
          i, Problem{row.name, "no location: FPGA pin " + quote(pinOf(row)) + " has no LOC", true});
      continue;
    }
    for (const PassThrough& extra : row.settings.passThrough)
      if (extra.hasValue && StringBase(extra.key).Compare("LOC", StringBase::IGNORE_CASE) == 0)
        found.emplace_back(i, Problem{row.name,
                                      "FPGA pin " + quote(pinOf(row)) + " has a second LOC " +
                                          quote(extra.value) + " besides " + quote(ball),
                                      true});
  }
  sharedBalls(table, found);
  netsOnSeveralBalls(table, found);
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& f : found) table.problems.push_back(std::move(f.second));
}

}  // namespace detail
}  // namespace MbdPins
