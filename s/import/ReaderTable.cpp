// Rows by port name: a port's lines merge into one row, a second place for it opens another.
#include "ReaderTable.h"

#include <strings.h>

#include <cstdlib>

#include "ReaderSettings.h"

namespace MbdFormats {
namespace detail {
namespace {

// "led[3]" -> stem "led", index 3; nothing for other names.
void ReadBusBit(MbdPins::PinRow& row) {
  const std::string& name = row.name;
  if (name.size() < 4 || name.back() != ']') return;
  const std::size_t open = name.rfind('[');
  if (open == std::string::npos || open == 0 || open + 2 > name.size() - 1) return;
  const std::size_t digits = name.size() - 1 - (open + 1);
  if (digits > 9) return;
  for (std::size_t i = open + 1; i + 1 < name.size(); ++i)
    if (name[i] < '0' || name[i] > '9') return;
  row.busStem = name.substr(0, open);
  row.busIndex = std::atoi(name.c_str() + open + 1);
}

}  // namespace

std::string NegativeSideOf(const std::string& name) {
  const std::size_t n = name.size();
  if (n > 2 && name[n - 2] == '_' && (name[n - 1] == 'p' || name[n - 1] == 'P'))
    return name.substr(0, n - 1) + (name[n - 1] == 'p' ? "n" : "N");
  return name + "_n";
}

bool GlobMatch(const std::string& pattern, const std::string& name) {
  // The classic two-pointer match with one backtrack point: linear in practice, never
  // exponential.
  std::size_t p = 0, n = 0, star = std::string::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

TableBuilder::TableBuilder(ReadResult& result, std::string file, const LineMap& lines)
    : result_(result),
      file_(std::move(file)),
      lines_(lines),
      firstRow_(result.table.rows.size()),
      errorsBefore_(result.errors.size()) {
  if (result_.table.source.empty()) result_.table.source = file_;
}

std::size_t TableBuilder::NewRow(const std::string& name, unsigned line) {
  MbdPins::PinRow row;
  row.name = name;
  row.file = file_;
  row.line = line;
  const unsigned heading = lines_.HeadingOf(line);
  row.heading = lines_.HeadingText(heading);
  result_.table.rows.push_back(std::move(row));
  rowHeading_.push_back(heading);
  rowDirection_.push_back(MbdPins::Direction::Unset);
  const std::size_t index = result_.table.rows.size() - 1;
  latest_[name] = index;
  return index;
}

std::size_t TableBuilder::LatestRow(const std::string& name, unsigned line) {
  auto found = latest_.find(name);
  return found != latest_.end() ? found->second : NewRow(name, line);
}

void TableBuilder::Locate(const std::string& name, const std::string& location, unsigned line) {
  if (!HoldsOneSetting("LOC", location, true)) {
    LatestRow(name, line);  // the file names the port, though not where it is
    Skip(line, 0,
         "the location \"" + location + "\" of " + name + " skipped: a board cannot hold it");
    return;
  }
  auto found = latest_.find(name);
  std::size_t index = found != latest_.end() ? found->second : NewRow(name, line);
  MbdPins::PinRow* row = &result_.table.rows[index];
  if (!row->settings.location.empty() && row->settings.location != location) {
    index = NewRow(name, line);
    row = &result_.table.rows[index];
  }
  row->settings.location = location;
}

void TableBuilder::SetOn(std::size_t row, const std::string& key, const std::string& value,
                         bool hasValue, unsigned line) {
  if (strcasecmp(key.c_str(), "DIRECTION") == 0 && hasValue) {
    const MbdPins::Direction direction = MbdPins::ReadDirection(value);
    if (direction != MbdPins::Direction::Unset) {
      rowDirection_[row - firstRow_] = direction;
      return;
    }
  }
  if (!HoldsOneSetting(key, value, hasValue)) {
    Skip(line, 0,
         "the setting " + BoardString(key, value, hasValue) + " of " +
             result_.table.rows[row].name + " skipped: a board cannot hold it");
    return;
  }
  PutString(result_.table.rows[row].strings, BoardString(key, value, hasValue));
}

void TableBuilder::Set(const std::string& name, const std::string& key, const std::string& value,
                       bool hasValue, unsigned line) {
  SetOn(LatestRow(name, line), key, value, hasValue, line);
}

void TableBuilder::SetMatching(const std::string& pattern, const std::string& key,
                               const std::string& value, bool hasValue, unsigned line) {
  patterns_.push_back(Pattern{pattern, key, value, hasValue, line});
}

bool TableBuilder::Clock(const std::string& name, const std::string& key, const std::string& value,
                         unsigned line) {
  if (FrequencyOf(key, value) <= 0) return false;
  Set(name, key, value, true, line);
  return true;
}

void TableBuilder::Pair(const std::string& positive, const std::string& negative, unsigned line) {
  const std::size_t pRow = LatestRow(positive, line);
  const std::size_t nRow = LatestRow(negative, line);
  MbdPins::PinRow& p = result_.table.rows[pRow];
  p.pairSide = MbdPins::PairSide::P;
  p.partner = negative;
  MbdPins::PinRow& n = result_.table.rows[nRow];
  n.pairSide = MbdPins::PairSide::N;
  n.partner = positive;
  pairs_.emplace_back(pRow, nRow);
}

void TableBuilder::PairIfBoth(const std::string& positive, const std::string& negative) {
  likelyPairs_.emplace_back(positive, negative);
}

unsigned TableBuilder::ColumnOf(unsigned line, unsigned column) const {
  return column != 0 ? column : lines_.FirstColumn(line);
}

void TableBuilder::Skip(unsigned line, unsigned column, std::string message) {
  result_.skipped.push_back(ReadError{file_, line, ColumnOf(line, column), std::move(message)});
}

void TableBuilder::Error(unsigned line, unsigned column, std::string message) {
  result_.errors.push_back(ReadError{file_, line, ColumnOf(line, column), std::move(message)});
}

void TableBuilder::Finish() {
  std::vector<MbdPins::PinRow>& rows = result_.table.rows;
  for (const Pattern& pattern : patterns_) {
    bool matched = false;
    for (std::size_t i = firstRow_; i < rows.size(); ++i) {
      if (!GlobMatch(pattern.pattern, rows[i].name)) continue;
      SetOn(i, pattern.key, pattern.value, pattern.hasValue, pattern.line);
      matched = true;
    }
    if (!matched) Skip(pattern.line, 0, "no port of this file matches \"" + pattern.pattern + "\"");
  }
  for (const auto& pair : pairs_) {
    std::vector<std::string>& n = rows[pair.second].strings;
    if (!n.empty()) continue;
    const std::vector<std::string>& p = rows[pair.first].strings;
    for (const std::string& string : p) n.push_back(string);
  }
  for (const auto& pair : likelyPairs_) {
    auto p = latest_.find(pair.first);
    auto n = latest_.find(pair.second);
    if (p == latest_.end() || n == latest_.end() || p->second < firstRow_ || n->second < firstRow_)
      continue;
    rows[p->second].pairSide = MbdPins::PairSide::P;
    rows[p->second].partner = pair.second;
    rows[n->second].pairSide = MbdPins::PairSide::N;
    rows[n->second].partner = pair.first;
  }
  // One line set per heading run that holds a row, in the order first met.
  std::vector<std::size_t> setOfHeading(lines_.HeadingCount(), static_cast<std::size_t>(-1));
  for (std::size_t i = firstRow_; i < rows.size(); ++i) {
    MbdPins::PinRow& row = rows[i];
    ReadBusBit(row);
    // The location first, as a board writes it; then the settings in the order first set.
    if (!row.settings.location.empty())
      row.strings.insert(row.strings.begin(), "LOC=" + row.settings.location);
    row.settings = SettingsOf(row.strings);
    row.settings.direction = rowDirection_[i - firstRow_];
    const unsigned heading = rowHeading_[i - firstRow_];
    std::size_t& set = setOfHeading[heading];
    if (set == static_cast<std::size_t>(-1)) {
      LineSet lineSet;
      lineSet.heading = lines_.HeadingText(heading);
      lineSet.firstLine = heading != 0 ? lines_.HeadingLine(heading) : row.line;
      result_.lineSets.push_back(std::move(lineSet));
      set = result_.lineSets.size() - 1;
    }
    result_.lineSets[set].rows.push_back(i);
  }
}

}  // namespace detail
}  // namespace MbdFormats
