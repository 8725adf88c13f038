// The design's names of the exported ports (rename, bus, prefix) and the checks that stop a
// table from being written: each walks the rows once with a hash map, so a board of thousands
// of pins stays linear.
#include <algorithm>
#include <cctype>
#include <string>
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
  NetMap rename;
  for (const auto& entry : options.rename) rename.emplace(StringBase(entry.first), entry.second);
  std::unordered_set<StringBase, MbdRules::NetHash, MbdRules::NetEqual> renamed;
  std::vector<std::string> baseNames;
  baseNames.reserve(table.rows.size());
  for (PinRow& row : table.rows) {
    const auto it = rename.find(StringBase(row.net));
    if (it != rename.end()) renamed.insert(it->first);
    row.name = it == rename.end() ? row.net : it->second;
    baseNames.push_back(row.name);
  }
  for (const auto& entry : options.rename)
    if (!renamed.count(StringBase(entry.first)))
      table.problems.push_back(
          Problem{"", "rename: no exported net is named " + quote(entry.first), false});

  const std::unordered_map<std::string, Bus> buses =
      options.bus ? busesOf(baseNames) : std::unordered_map<std::string, Bus>();
  for (PinRow& row : table.rows) {
    const auto bus = buses.find(row.name);
    if (bus != buses.end()) {
      row.busStem = options.prefix + bus->second.stem;
      row.busIndex = bus->second.index;
      row.name = row.busStem + "[" + std::to_string(row.busIndex) + "]";
    } else {
      row.name = options.prefix + row.name;
    }
  }

  // Names are compared as the constraint files compare them: exactly.
  std::unordered_map<std::string, const PinRow*> byName;
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

void CheckRows(PinTable& table) {
  std::unordered_map<StringBase, const PinRow*, CaseBlindHash, CaseBlindEqual> byBall;
  struct NetBalls {
    const PinRow* first;
    std::vector<std::string> balls;
    std::unordered_set<StringBase, CaseBlindHash, CaseBlindEqual> seen;
  };
  std::unordered_map<StringBase, NetBalls, MbdRules::NetHash, MbdRules::NetEqual> byNet;
  std::vector<StringBase> netOrder;
  for (const PinRow& row : table.rows) {
    const std::string pin = row.fpgaBlock + "." + row.fpgaPin;
    const std::string& ball = row.settings.location;
    if (ball.empty()) {
      table.problems.push_back(
          Problem{row.name, "no location: FPGA pin " + quote(pin) + " has no LOC", true});
      continue;
    }
    for (const PassThrough& extra : row.settings.passThrough)
      if (extra.hasValue && StringBase(extra.key).Compare("LOC", StringBase::IGNORE_CASE) == 0)
        table.problems.push_back(Problem{row.name,
                                         "FPGA pin " + quote(pin) + " has a second LOC " +
                                             quote(extra.value) + " besides " + quote(ball),
                                         true});
    const auto seen = byBall.emplace(StringBase(ball), &row);
    if (!seen.second &&
        !MbdRules::CarriesConnector(StringBase(seen.first->second->net), StringBase(row.net)))
      table.problems.push_back(Problem{row.name,
                                       "ball " + quote(ball) + " carries both " +
                                           quote(seen.first->second->net) + " and " +
                                           quote(row.net),
                                       true});
    auto net = byNet.emplace(StringBase(row.net), NetBalls{&row, {}, {}});
    if (net.second) netOrder.push_back(StringBase(row.net));
    NetBalls& balls = net.first->second;
    if (balls.seen.insert(StringBase(ball)).second) balls.balls.push_back(ball);
  }
  for (const StringBase& net : netOrder) {
    const NetBalls& entry = byNet[net];
    if (entry.balls.size() < 2) continue;
    std::string list;
    for (const std::string& ball : entry.balls) list += (list.empty() ? "" : ", ") + quote(ball);
    table.problems.push_back(Problem{
        entry.first->name, "net " + quote(entry.first->net) + " is on several balls: " + list,
        true});
  }
}

}  // namespace detail
}  // namespace MbdPins
