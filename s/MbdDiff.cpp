// The semantic diff of two boards: pins keyed by net (then by ball for renamed nets), instances
// by name, their ports, parameters and attributes by name, all ignoring case where the board
// does. Every side is indexed once in a hash map, so the diff is linear.
#include "MbdDiff.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>

#include "MbdConstraintWriter.h"
#include "MbdPinTable.h"
#include "MbdRules.h"

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

namespace MbdDiff {

const char* SubjectName(Subject subject) {
  switch (subject) {
    case Subject::Pin: return "pin";
    case Subject::Instance: return "instance";
    case Subject::Port: return "port";
    case Subject::Parameter: return "parameter";
    case Subject::Attribute: return "attribute";
    case Subject::Clock: return "clock";
  }
  return "pin";
}

const char* ChangeName(Change change) {
  switch (change) {
    case Change::Added: return "added";
    case Change::Removed: return "removed";
    case Change::Moved: return "moved";
    case Change::Renamed: return "renamed";
    case Change::Changed: return "changed";
  }
  return "changed";
}

std::string FormatRecord(const Record& record) {
  auto shown = [](const std::string& v) { return v.empty() ? std::string("(none)") : v; };
  std::string line = std::string(SubjectName(record.subject)) + " " + record.name + ": ";
  switch (record.change) {
    case Change::Added:
      return line + "added" + (record.after.empty() ? "" : " (" + record.after + ")");
    case Change::Removed:
      return line + "removed" + (record.before.empty() ? "" : " (" + record.before + ")");
    case Change::Moved:
    case Change::Renamed:
      return line + ChangeName(record.change) + " " + shown(record.before) + " -> " +
             shown(record.after);
    case Change::Changed: break;
  }
  return line + record.field + " " + shown(record.before) + " -> " + shown(record.after);
}

namespace {

std::string Key(const StringBase& name) { return MbdRules::NetKey(name).str(); }

std::string FrequencyText(double hz) {
  if (hz <= 0) return std::string();
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.0f Hz", std::round(hz));
  return buf;
}

// Constraint files give clocks as periods in nanoseconds to three places: two frequencies whose
// periods agree to half a picosecond (or that agree to a part in a million) are the same.
bool SameFrequency(double a, double b) {
  if (a == b) return true;
  if (a <= 0 || b <= 0) return false;
  return std::fabs(1e12 / a - 1e12 / b) <= 0.5 || std::fabs(a - b) <= 1e-6 * std::max(a, b);
}

// One FPGA pin as the diff sees it.
struct Pin {
  std::string net;
  std::string ball;  // the readable location, upper case for matching
  std::string location;
  MbdPins::PinSettings settings;
  MbdPins::Direction direction = MbdPins::Direction::Unset;
};

std::vector<Pin> PinsOf(const Qbd& board) {
  const MbdPins::ClockNets clocks = MbdPins::ClockFrequencies(board);
  std::vector<Pin> pins;
  for (const PsfComp* comp : board.GetPsfCompSeqRef(Qbd::BLOCK)) {
    const QbdBlock* block = static_cast<const QbdBlock*>(comp);
    if (!MbdRules::IsFpgaBlock(block)) continue;
    for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
      Pin pin;
      pin.net = port->GetValueStr().str();
      pin.settings = MbdPins::ReadSettings(MbdRules::ConstraintStrings(*port));
      pin.settings.frequencyHz =
          MbdPins::PinFrequency(pin.settings, StringBase(pin.net), clocks);
      pin.location = pin.settings.location;
      pin.ball = Port_AsciiUpper(pin.location);
      if (const PsfComp* dir = port->GetPsfCompByName("DIR"))
        pin.direction = MbdPins::ReadDirection(dir->GetValueStr().str());
      pins.push_back(std::move(pin));
    }
  }
  return pins;
}

class Differ {
 public:
  Differ(const Qbd& a, const Qbd& b, const DiffOptions& options, std::vector<Record>& out)
      : a_(a), b_(b), out_(out) {
    for (const std::string& field : options.unknownFields) unknown_.insert(field);
  }

  void Pins();
  void Instances();
  void BoardAttributes();

 private:
  void Add(Subject subject, Change change, const std::string& name, const std::string& field,
           const std::string& before, const std::string& after) {
    out_.push_back(Record{subject, change, name, field, before, after});
  }
  void Field(const std::string& name, const char* field, const std::string& before,
             const std::string& after) {
    if (before != after && !unknown_.count(field))
      Add(Subject::Pin, Change::Changed, name, field, before, after);
  }
  void ComparePin(const Pin& a, const Pin& b);
  void CompareInstance(const QbdBlock& a, const QbdBlock& b);
  void CompareProps(const QbdBlock& a, const QbdBlock& b, QbdBlock::NodeType type,
                    Subject subject);
  void CompareClock(const std::string& name, const Property* a, const Property* b);

  const Qbd& a_;
  const Qbd& b_;
  std::vector<Record>& out_;
  std::unordered_map<std::string, std::string> renamed_;  // a's net key -> b's net key
  std::unordered_set<std::string> unknown_;
};

void Differ::ComparePin(const Pin& a, const Pin& b) {
  const std::string& name = a.net;
  if (a.location != b.location)
    Add(Subject::Pin, Change::Moved, name, "location", a.location, b.location);
  const MbdPins::PinSettings& x = a.settings;
  const MbdPins::PinSettings& y = b.settings;
  Field(name, "io standard", x.ioStandard, y.ioStandard);
  Field(name, "pull", MbdPins::PullName(x.pull), MbdPins::PullName(y.pull));
  Field(name, "drive", x.drive, y.drive);
  Field(name, "slew", x.slew, y.slew);
  Field(name, "termination", x.termination, y.termination);
  const double fa = x.frequencyHz, fb = y.frequencyHz;
  if (!SameFrequency(fa, fb) && !unknown_.count("frequency"))
    Add(Subject::Pin, Change::Changed, name, "frequency", FrequencyText(fa), FrequencyText(fb));
  Field(name, "direction", MbdPins::DirectionName(a.direction), MbdPins::DirectionName(b.direction));
  if (unknown_.count("pass-through")) return;
  std::unordered_map<std::string, const MbdPins::PassThrough*> theirs;
  for (const MbdPins::PassThrough& p : y.passThrough) theirs.emplace(Port_AsciiUpper(p.key), &p);
  auto text = [](const MbdPins::PassThrough& p) { return p.hasValue ? p.value : std::string("(flag)"); };
  std::unordered_set<std::string> seen;
  for (const MbdPins::PassThrough& p : x.passThrough) {
    const std::string key = Port_AsciiUpper(p.key);
    if (!seen.insert(key).second) continue;
    auto found = theirs.find(key);
    Field(name, p.key.c_str(), text(p), found == theirs.end() ? std::string() : text(*found->second));
  }
  for (const MbdPins::PassThrough& p : y.passThrough)
    if (seen.insert(Port_AsciiUpper(p.key)).second)
      Field(name, p.key.c_str(), std::string(), text(p));
}

void Differ::Pins() {
  const std::vector<Pin> pa = PinsOf(a_), pb = PinsOf(b_);
  // A net on several pins is matched pin by pin in order: key "net#n".
  auto keyed = [](const std::vector<Pin>& pins) {
    std::unordered_map<std::string, std::size_t> byKey;
    std::unordered_map<std::string, unsigned> count;
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < pins.size(); ++i) {
      const std::string net = Key(StringBase(pins[i].net));
      keys.push_back(net + "#" + std::to_string(count[net]++));
      byKey.emplace(keys.back(), i);
    }
    return std::make_pair(std::move(byKey), std::move(keys));
  };
  auto [byKeyA, keysA] = keyed(pa);
  auto [byKeyB, keysB] = keyed(pb);
  std::vector<long> matchOfA(pa.size(), -1);
  std::vector<bool> matchedB(pb.size(), false);
  for (std::size_t i = 0; i < pa.size(); ++i) {
    auto found = byKeyB.find(keysA[i]);
    if (found == byKeyB.end()) continue;
    matchOfA[i] = static_cast<long>(found->second);
    matchedB[found->second] = true;
  }
  // A pin left over on each side on the same ball: the net was renamed.
  std::unordered_map<std::string, std::size_t> freeBallsB;
  for (std::size_t j = 0; j < pb.size(); ++j)
    if (!matchedB[j] && !pb[j].ball.empty()) freeBallsB.emplace(pb[j].ball, j);
  for (std::size_t i = 0; i < pa.size(); ++i) {
    if (matchOfA[i] >= 0 || pa[i].ball.empty()) continue;
    auto found = freeBallsB.find(pa[i].ball);
    if (found == freeBallsB.end()) continue;
    matchOfA[i] = static_cast<long>(found->second);
    matchedB[found->second] = true;
    freeBallsB.erase(found);
  }
  for (std::size_t i = 0; i < pa.size(); ++i) {
    if (matchOfA[i] < 0) {
      Add(Subject::Pin, Change::Removed, pa[i].net, "", pa[i].location, "");
      continue;
    }
    const Pin& b = pb[static_cast<std::size_t>(matchOfA[i])];
    if (Key(StringBase(pa[i].net)) != Key(StringBase(b.net))) {
      Add(Subject::Pin, Change::Renamed, pa[i].net, "net", pa[i].net, b.net);
      renamed_.emplace(Key(StringBase(pa[i].net)), Key(StringBase(b.net)));
    }
    ComparePin(pa[i], b);
  }
  for (std::size_t j = 0; j < pb.size(); ++j)
    if (!matchedB[j]) Add(Subject::Pin, Change::Added, pb[j].net, "", "", pb[j].location);
}

std::vector<const QbdBlock*> BlocksOf(const Qbd& board) {
  std::vector<const QbdBlock*> out;
  for (const PsfComp* comp : board.GetPsfCompSeqRef(Qbd::BLOCK))
    out.push_back(static_cast<const QbdBlock*>(comp));
  return out;
}

// A property's value and sub-properties as one text, the role and RANGE aside.
std::string PropText(const Property& prop) {
  std::string text = prop.GetValueStr().str();
  for (const PsfComp* sub : prop.GetPsfCompSeqRef()) {
    const std::string name = Port_AsciiUpper(sub->GetName().str());
    if (name == "IO_IS" || name == "RANGE" || name == "DIR") continue;
    text += ", " + name + " = " + sub->GetValueStr().str();
  }
  return text;
}

std::string SubText(const Property& prop, const char* name) {
  const PsfComp* sub = prop.GetPsfCompByName(name);
  return sub ? sub->GetValueStr().str() : std::string();
}

// A RANGE as its elements read, written one way: "((25000000, 100000000), (125000000))";
// empty without RANGE.
std::string RangeText(const Property& param) {
  const PsfComp* range = MbdRules::RangeOf(param);
  if (!range) return std::string();
  std::string text = "(";
  for (const std::vector<StringBase>& element : MbdRules::RangeElements(*range)) {
    text += text.size() > 1 ? ", (" : "(";
    for (std::size_t i = 0; i < element.size(); ++i)
      text += (i ? ", " : "") + Port_TrimBlanks(element[i].str());
    text += ")";
  }
  return text + ")";
}

void Differ::CompareClock(const std::string& name, const Property* a, const Property* b) {
  const std::string fa = a ? a->GetValueStr().str() : std::string();
  const std::string fb = b ? b->GetValueStr().str() : std::string();
  if (MbdRules::FrequencyOf(StringBase(fa)) != MbdRules::FrequencyOf(StringBase(fb)) ||
      (!MbdRules::IsPlainNumber(StringBase(fa)) && fa != fb))
    Add(Subject::Clock, Change::Changed, name, "frequency", fa, fb);
  const std::string ra = a ? RangeText(*a) : std::string();
  const std::string rb = b ? RangeText(*b) : std::string();
  if (ra != rb) Add(Subject::Clock, Change::Changed, name, "range", ra, rb);
}

void Differ::CompareProps(const QbdBlock& a, const QbdBlock& b, QbdBlock::NodeType type,
                          Subject subject) {
  const std::string inst = a.GetName().str();
  std::unordered_map<std::string, const Property*> theirs;
  for (const Property* p : b.GetPropSeqRef(type)) theirs.emplace(Key(p->GetName()), p);
  std::unordered_set<std::string> seen;
  const bool ports = type == QbdBlock::PORT;
  for (const Property* p : a.GetPropSeqRef(type)) {
    const std::string key = Key(p->GetName());
    if (!seen.insert(key).second) continue;
    if (type == QbdBlock::ATTRIBUTE && key == "instance") continue;
    const std::string name = inst + "." + p->GetName().str();
    auto found = theirs.find(key);
    const Property* q = found == theirs.end() ? nullptr : found->second;
    if (type == QbdBlock::PARAMETER && (MbdRules::IsFrequencyParam(*p) || (q && MbdRules::IsFrequencyParam(*q)))) {
      CompareClock(inst, p, q);
      continue;
    }
    if (!q) {
      Add(subject, Change::Removed, name, "", PropText(*p), "");
      continue;
    }
    if (ports) {
      const std::string na = p->GetValueStr().str(), nb = q->GetValueStr().str();
      const std::string ka = Key(StringBase(na)), kb = Key(StringBase(nb));
      auto renamed = renamed_.find(ka);
      const bool followsRename = renamed != renamed_.end() && renamed->second == kb;
      if (ka != kb && !followsRename) Add(subject, Change::Changed, name, "net", na, nb);
      const std::string roleA = Key(StringBase(SubText(*p, "IO_IS")));
      const std::string roleB = Key(StringBase(SubText(*q, "IO_IS")));
      if (roleA != roleB) Add(subject, Change::Changed, name, "role", SubText(*p, "IO_IS"), SubText(*q, "IO_IS"));
      const char* da = MbdPins::DirectionName(MbdPins::ReadDirection(SubText(*p, "DIR")));
      const char* db = MbdPins::DirectionName(MbdPins::ReadDirection(SubText(*q, "DIR")));
      if (std::string(da) != db) Add(subject, Change::Changed, name, "direction", da, db);
      continue;
    }
    const std::string ta = PropText(*p), tb = PropText(*q);
    if (ta != tb) Add(subject, Change::Changed, name, "value", ta, tb);
  }
  for (const Property* q : b.GetPropSeqRef(type)) {
    const std::string key = Key(q->GetName());
    if (!seen.insert(key).second) continue;
    if (type == QbdBlock::PARAMETER && MbdRules::IsFrequencyParam(*q)) {
      CompareClock(inst, nullptr, q);
      continue;
    }
    Add(subject, Change::Added, inst + "." + q->GetName().str(), "", "", PropText(*q));
  }
}

// An FPGA block's pins are the pins compared above; its attributes name the part.
void Differ::CompareInstance(const QbdBlock& a, const QbdBlock& b) {
  CompareProps(a, b, QbdBlock::ATTRIBUTE, Subject::Attribute);
  if (MbdRules::IsFpgaBlock(&a) && MbdRules::IsFpgaBlock(&b)) return;
  CompareProps(a, b, QbdBlock::PARAMETER, Subject::Parameter);
  CompareProps(a, b, QbdBlock::PORT, Subject::Port);
}

void Differ::Instances() {
  const auto ia = BlocksOf(a_), ib = BlocksOf(b_);
  std::unordered_map<std::string, const QbdBlock*> theirs;
  for (const QbdBlock* block : ib) theirs.emplace(Key(block->GetName()), block);
  std::unordered_set<std::string> seen;
  auto ioType = [](const QbdBlock& block) {
    return MbdRules::IsFpgaBlock(&block) ? std::string("FPGA")
                                         : MbdRules::AttributeOf(block, "IOTYPE").str();
  };
  for (const QbdBlock* block : ia) {
    const std::string key = Key(block->GetName());
    if (!seen.insert(key).second) continue;
    auto found = theirs.find(key);
    if (found == theirs.end()) {
      Add(Subject::Instance, Change::Removed, block->GetName().str(), "", ioType(*block), "");
      continue;
    }
    CompareInstance(*block, *found->second);
  }
  for (const QbdBlock* block : ib)
    if (seen.insert(Key(block->GetName())).second)
      Add(Subject::Instance, Change::Added, block->GetName().str(), "", "", ioType(*block));
}

void Differ::BoardAttributes() {
  std::unordered_map<std::string, const PsfComp*> theirs;
  for (const PsfComp* attr : b_.GetPsfCompSeqRef(Qbd::ATTRIBUTE)) theirs.emplace(Key(attr->GetName()), attr);
  std::unordered_set<std::string> seen;
  for (const PsfComp* attr : a_.GetPsfCompSeqRef(Qbd::ATTRIBUTE)) {
    const std::string key = Key(attr->GetName());
    if (!seen.insert(key).second) continue;
    auto found = theirs.find(key);
    const std::string va = attr->GetValueStr().str();
    if (found == theirs.end())
      Add(Subject::Attribute, Change::Removed, attr->GetName().str(), "", va, "");
    else if (found->second->GetValueStr().str() != va)
      Add(Subject::Attribute, Change::Changed, attr->GetName().str(), "value", va,
          found->second->GetValueStr().str());
  }
  for (const PsfComp* attr : b_.GetPsfCompSeqRef(Qbd::ATTRIBUTE))
    if (seen.insert(Key(attr->GetName())).second)
      Add(Subject::Attribute, Change::Added, attr->GetName().str(), "", "", attr->GetValueStr().str());
}

}  // namespace

std::vector<Record> DiffBoards(const Qbd& a, const Qbd& b, const DiffOptions& options) {
  std::vector<Record> out;
  Differ differ(a, b, options, out);
  differ.Pins();
  if (options.instances) {
    differ.Instances();
    differ.BoardAttributes();
  }
  return out;
}

}  // namespace MbdDiff

namespace MbdDiff {

DiffOptions OptionsForFormat(const std::string& format, DiffOptions options) {
  using MbdFormats::Setting;
  struct FieldSettings {
    const char* field;
    std::vector<Setting> settings;  // the field is known when the format states all of them
  };
  static const FieldSettings kFields[] = {
      {"io standard", {Setting::IoStandard}},
      {"pull", {Setting::PullUp, Setting::PullDown, Setting::Keeper}},
      {"drive", {Setting::Drive}},
      {"slew", {Setting::Slew}},
      {"termination", {Setting::Termination}},
      {"frequency", {Setting::Clock}},
      {"direction", {Setting::Direction}},
      {"pass-through", {Setting::PassThrough}},
  };
  const MbdFormats::FormatInfo* info = MbdFormats::FindFormat(format);
  for (const FieldSettings& f : kFields) {
    bool known = info != nullptr;
    for (Setting setting : f.settings) known = known && MbdFormats::Expresses(format, setting);
    // A format whose clocks live in a companion file states none in the file itself.
    if (info && f.settings.front() == Setting::Clock && *info->clockFile) known = false;
    if (!known) options.unknownFields.push_back(f.field);
  }
  return options;
}

}  // namespace MbdDiff
