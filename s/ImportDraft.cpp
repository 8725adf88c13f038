// The draft builder: a neutral pin table grouped into instances and written as a board tree.
// Every decision the table does not force is recorded as a guess.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "ImportNames.h"
#include "MbdImport.h"
#include "MbdRules.h"

using LyrBase::ListBaseNodePtrVal;
using LyrBase::ListStrVal;
using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBase::StrVal;
using LyrBoard::BdParam;
using LyrBoard::BdPin;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;
using MbdPins::PinRow;
using MbdPins::PinSettings;
using MbdPins::PinTable;

namespace MbdImport {

const char* GuessKindName(GuessKind kind) {
  switch (kind) {
    case GuessKind::Group: return "group";
    case GuessKind::IoType: return "io_type";
    case GuessKind::PassThrough: return "pass_through";
    case GuessKind::Exclusive: return "exclusive";
    case GuessKind::ClockRange: return "clock_range";
    case GuessKind::Rename: return "rename";
    case GuessKind::UnnamedNet: return "unnamed_net";
    case GuessKind::NoLocation: return "no_location";
    case GuessKind::Conflict: return "conflict";
    case GuessKind::Skipped: return "skipped";
    case GuessKind::Identity: return "identity";
  }
  return "group";
}

std::string FormatGuess(const Guess& guess) {
  std::string place;
  if (!guess.file.empty()) {
    place = guess.file;
    if (guess.line) place += ":" + std::to_string(guess.line);
    place += ": ";
  }
  return place + "note: " + guess.message + " [" + GuessKindName(guess.kind) + "]";
}

std::string FormatError(const ImportError& error) {
  // A column of 0 stands for the whole line (an evaluated command is known by its line).
  return error.file + ":" + std::to_string(error.line) +
         (error.column ? ":" + std::to_string(error.column) : std::string()) + ": error: " +
         error.message;
}

namespace {

const char* const kIoTypePlaceholder = "QOR_GPIO_V1";
const char* const kClockIoType = "QOR_CLOCK_V1";
const char* const kFpgaInstance = "fpga_0";
// 32-bit frequency numbers are what the model reads (MbdRules::FrequencyOf).
constexpr double kMaxFrequency = 4294967295.0;

// One row on its way into the draft.
struct Port {
  const PinRow* row = nullptr;
  std::string net;        // the board net (unique ignoring case)
  std::string own;        // the net it would have had alone, which names its instance port
  std::string key;        // the group it joins
  std::string why;        // how the key was found, for the report
  bool clock = false;
  std::string pairStem;   // without _p/_n; empty when unpaired
  bool negative = false;  // the N side of a pair
  std::size_t group = 0;  // index into the groups
  const Port* sharesPinOf = nullptr;  // an earlier port on the same ball: no pin of its own
  bool dropped = false;  // a second line for a ball of its own group: left out
  bool taken = false;    // the net name wanted was another port's
};

struct Group {
  std::string key;
  std::string name;  // the instance name
  std::string why;
  std::string heading;
  bool clock = false;
  double frequency = 0;  // the last frequency met among its pins
  std::vector<Port*> ports;
  std::size_t alternativeOf = 0;  // union-find parent among groups
};

class Builder {
 public:
  Builder(const PinTable& table, const DraftOptions& options)
      : table_(table), options_(options) {}

  Draft Build();

 private:
  void NameNets();
  void FindPairs();
  void ChooseKeys();
  void MakeGroups();
  void ShareBalls();
  void WriteBoardAttributes(Qbd& board);
  void WriteFpgaBlock(Qbd& board);
  void WriteInstances(Qbd& board);
  void ReportPassThrough();
  void ReportRenames();
  std::size_t Root(std::size_t group);

  void Note(GuessKind kind, const std::string& instance, const PinRow* row,
            const std::string& message) {
    Guess guess;
    guess.kind = kind;
    guess.instance = instance;
    if (row) {
      guess.port = row->name;
      guess.file = row->file;
      guess.line = row->line;
    }
    guess.message = message;
    draft_.guesses.push_back(std::move(guess));
  }

  const PinTable& table_;
  const DraftOptions& options_;
  Draft draft_;
  std::vector<Port> ports_;
  std::vector<Group> groups_;
  detail::UniqueNames nets_;
  bool titleOnly_ = false;  // one heading above every line: the file's title
};

// --- tree construction ---

// Board text carries a tab and a line feed as escapes but no other control character: any
// other is written as '_'. Every text the draft puts in the tree goes through here.
StringBase Text(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') || c == 0x7f) c = '_';
  return StringBase(std::move(out));
}

std::unique_ptr<Property> Attribute(const char* name, const std::string& value) {
  return std::make_unique<Property>(StringBase(name), std::make_unique<StrVal>(Text(value)));
}

void AddSub(Property& prop, const char* name, std::unique_ptr<LyrBase::Value> value) {
  prop.AddPsfComp(new PsfComp(StringBase(name), std::move(value)));
}

void AddTextSub(Property& prop, const char* name, const std::string& value) {
  AddSub(prop, name, std::make_unique<StrVal>(Text(value)));
}

const char* DirText(MbdPins::Direction direction) {
  switch (direction) {
    case MbdPins::Direction::In: return "I";
    case MbdPins::Direction::Out: return "O";
    case MbdPins::Direction::InOut: return "IO";
    case MbdPins::Direction::Unset: break;
  }
  return nullptr;
}

std::string FrequencyText(double hz) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.0f", hz);
  return buf;
}

// --- naming ---

void Builder::NameNets() {
  ports_.reserve(table_.rows.size());
  for (const PinRow& row : table_.rows) {
    Port port;
    port.row = &row;
    std::string wanted = detail::NetName(row);
    port.net = nets_.Claim(wanted);
    port.own = port.net;
    port.taken = port.net != wanted;
    port.clock = row.settings.frequencyHz > 0;
    ports_.push_back(std::move(port));
  }
}

// A pair is two rows named STEM_p and STEM_n (either case), or rows the reader paired.
void Builder::FindPairs() {
  std::unordered_map<std::string, Port*> byName;
  for (Port& port : ports_) byName.emplace(Port_AsciiLower(port.net), &port);
  for (Port& port : ports_) {
    std::string stem;
    bool negative = false;
    if (port.row->pairSide != MbdPins::PairSide::None) {
      negative = port.row->pairSide == MbdPins::PairSide::N;
      stem = detail::PairStem(port.net, negative);
      if (stem.empty()) stem = port.net;
    } else if (detail::SplitPairName(port.net, stem, negative)) {
      const std::string other = Port_AsciiLower(stem) + (negative ? "_p" : "_n");
      if (!byName.count(other)) stem.clear();
    }
    port.pairStem = stem;
    port.negative = negative;
  }
}

void Builder::ChooseKeys() {
  // A heading that sits above every line of the file is its title, not a group.
  std::unordered_map<std::string, std::size_t> headingCount;
  for (const Port& port : ports_)
    if (!port.row->heading.empty()) ++headingCount[port.row->heading];
  titleOnly_ = headingCount.size() == 1 && headingCount.begin()->second == ports_.size();
  const bool titleOnly = titleOnly_;

  std::unordered_map<std::string, std::size_t> stemCount;
  std::vector<std::string> stems(ports_.size());
  for (std::size_t i = 0; i < ports_.size(); ++i) {
    stems[i] = detail::NameStem(ports_[i].net);
    ++stemCount[Port_AsciiLower(stems[i])];
  }
  // A clock pair's other side joins the clock.
  std::unordered_set<std::string> clockStems;
  for (const Port& port : ports_)
    if (port.clock && !port.pairStem.empty()) clockStems.insert(Port_AsciiLower(port.pairStem));

  for (std::size_t i = 0; i < ports_.size(); ++i) {
    Port& port = ports_[i];
    const PinRow& row = *port.row;
    const std::string bus = row.busStem.empty() ? detail::BusStem(row.name) : row.busStem;
    if (!row.instance.empty()) {
      port.key = "instance " + row.instance;
      port.why = "the instance or component the file names";
    } else if (port.clock ||
               (!port.pairStem.empty() && clockStems.count(Port_AsciiLower(port.pairStem)))) {
      port.clock = true;
      port.key = "clock " + (port.pairStem.empty() ? port.net : port.pairStem);
      port.why = "a clock";
    } else if (!row.heading.empty() && !titleOnly) {
      port.key = "heading " + row.heading;
      port.why = "the comment heading \"" + row.heading + "\"";
    } else if (!bus.empty()) {
      port.key = "stem " + Port_AsciiLower(bus);
      port.why = "the bus " + bus;
    } else if (!port.pairStem.empty()) {
      port.key = "stem " + Port_AsciiLower(port.pairStem);
      port.why = "the differential pair " + port.pairStem;
    } else if (stemCount[Port_AsciiLower(stems[i])] > 1) {
      port.key = "stem " + Port_AsciiLower(stems[i]);
      port.why = "the common name part \"" + stems[i] + "\"";
    } else {
      port.key = "alone " + Port_AsciiLower(port.net);
      port.why = "no other pin like it";
    }
  }
}

// A clock instance is named after its net, with "_clk" when the net does not say it already.
std::string ClockName(const std::string& net) {
  const std::string lower = Port_AsciiLower(net);
  return lower.find("clk") != std::string::npos || lower.find("clock") != std::string::npos
             ? net
             : net + "_clk";
}

void Builder::MakeGroups() {
  std::unordered_map<std::string, std::size_t> byKey;
  detail::UniqueNames names;
  names.Claim(kFpgaInstance);
  for (Port& port : ports_) {
    auto found = byKey.find(port.key);
    if (found == byKey.end()) {
      Group group;
      group.key = port.key;
      group.why = port.why;
      group.clock = port.clock;
      if (!titleOnly_) group.heading = port.row->heading;
      const std::string base = port.key.substr(port.key.find(' ') + 1);
      const bool named = port.key.compare(0, 9, "instance ") == 0;
      group.name =
          names.Claim(detail::InstanceName(port.clock && !named ? ClockName(base) : base, named));
      group.alternativeOf = groups_.size();
      found = byKey.emplace(port.key, groups_.size()).first;
      groups_.push_back(std::move(group));
    }
    port.group = found->second;
    // A group the file names is a clock only when every pin of it is one, of one frequency.
    Group& group = groups_[found->second];
    const double hz = port.row->settings.frequencyHz;
    if (hz > 0 && group.frequency > 0 && hz != group.frequency) group.clock = false;
    if (hz > 0) group.frequency = hz;
    group.clock = group.clock && port.clock;
    groups_[found->second].ports.push_back(&port);
  }
  for (const Group& group : groups_) {
    std::string message = "instance " + group.name + ": " +
                          std::to_string(group.ports.size()) + " pin" +
                          (group.ports.size() == 1 ? "" : "s") + " grouped by " + group.why;
    Note(GuessKind::Group, group.name, group.ports.front()->row, message);
  }
}

std::size_t Builder::Root(std::size_t group) {
  while (groups_[group].alternativeOf != group) {
    groups_[group].alternativeOf = groups_[groups_[group].alternativeOf].alternativeOf;
    group = groups_[group].alternativeOf;
  }
  return group;
}

// The same ball in two groups: alternatives of one another, the later port on the earlier
// port's net. In one group it is a conflict: the first line wins.
void Builder::ShareBalls() {
  std::unordered_map<std::string, Port*> byBall;
  for (Port& port : ports_) {
    const std::string ball = Port_AsciiUpper(port.row->settings.location);
    if (ball.empty()) continue;
    auto [found, fresh] = byBall.emplace(ball, &port);
    if (fresh) continue;
    Port& first = *found->second;
    if (first.group == port.group) {
      Note(GuessKind::Conflict, groups_[port.group].name, port.row,
           "\"" + port.row->name + "\" is on ball " + port.row->settings.location +
               " like \"" + first.row->name + "\"; the first line wins");
      port.dropped = true;
      continue;
    }
    port.sharesPinOf = &first;
    port.net = first.net;
    // One pin carries both: it keeps the first line's settings, and says so when they differ.
    std::vector<std::string> mine = SettingStrings(port.row->settings);
    std::vector<std::string> theirs = SettingStrings(first.row->settings);
    mine.erase(mine.begin());  // the LOC, the same ball
    theirs.erase(theirs.begin());
    if (mine != theirs) {
      auto join = [](const std::vector<std::string>& strings) {
        std::string text;
        for (const std::string& s : strings) text += (text.empty() ? "" : ", ") + s;
        return text.empty() ? std::string("no settings") : text;
      };
      Note(GuessKind::Exclusive, groups_[port.group].name, port.row,
           "\"" + port.row->name + "\" asks ball " + port.row->settings.location + " for " +
               join(mine) + "; its pin keeps \"" + first.row->name + "\"'s " + join(theirs));
    }
    const std::size_t a = Root(first.group), b = Root(port.group);
    if (a != b) groups_[std::max(a, b)].alternativeOf = std::min(a, b);
  }
  std::unordered_map<std::size_t, std::vector<std::size_t>> members;
  for (std::size_t g = 0; g < groups_.size(); ++g) members[Root(g)].push_back(g);
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    if (Root(g) != g || members[g].size() < 2) continue;
    std::string names;
    for (std::size_t m : members[g]) names += (names.empty() ? "" : ", ") + groups_[m].name;
    Note(GuessKind::Exclusive, groups_[g].name, groups_[g].ports.front()->row,
         "instances " + names + " share balls: made alternatives (EXCLUSIVE = " +
             groups_[g].name + "_alt)");
  }
}

void Builder::ReportRenames() {
  for (const Port& port : ports_) {
    if (port.sharesPinOf || port.dropped || port.net == port.row->name) continue;
    Note(GuessKind::Rename, groups_[port.group].name, port.row,
         "\"" + port.row->name + "\" is net \"" + port.net + "\" on the board" +
             (port.taken ? " (the name was taken)" : ""));
  }
}

// --- writing ---

void Builder::WriteBoardAttributes(Qbd& board) {
  struct Identity {
    const char* attr;
    const std::string& given;
    std::string placeholder;
  };
  std::string stem = table_.source;
  const std::size_t slash = stem.find_last_of('/');
  if (slash != std::string::npos) stem = stem.substr(slash + 1);
  const std::size_t dot = stem.rfind('.');
  if (dot != std::string::npos && dot > 0) stem.resize(dot);
  if (stem.empty()) stem = "imported";
  const Identity identity[] = {{"VENDOR", options_.vendor, "Unknown"},
                               {"NAME", options_.name, stem},
                               {"REVISION", options_.revision, "1"}};
  std::string guessed;
  for (const Identity& id : identity) {
    const std::string& value = id.given.empty() ? id.placeholder : id.given;
    if (id.given.empty()) guessed += (guessed.empty() ? "" : ", ") + std::string(id.attr) + " = " + value;
    board.AddPsfComp(Qbd::ATTRIBUTE, Attribute(id.attr, value).release());
  }
  if (!table_.source.empty())
    board.AddPsfComp(Qbd::ATTRIBUTE,
                     Attribute("LONG_DESC", "Drafted from " + table_.source).release());
  if (!guessed.empty())
    Note(GuessKind::Identity, "", nullptr, "board identity is a placeholder: " + guessed);
}

void Builder::WriteFpgaBlock(Qbd& board) {
  auto block = std::make_unique<QbdBlock>();
  block->SetName(kFpgaInstance);
  block->AddProperty(QbdBlock::ATTRIBUTE, Attribute("INSTANCE", kFpgaInstance).release());
  block->AddProperty(QbdBlock::ATTRIBUTE, Attribute("BLOCKTYPE", "FPGA").release());
  const std::pair<const char*, const std::string*> part[] = {
      {"FAMILY", &options_.family}, {"DEVICE", &options_.device},
      {"PACKAGE", &options_.package}, {"SPEED_GRADE", &options_.speedGrade}};
  for (const auto& [attr, value] : part)
    if (!value->empty()) block->AddProperty(QbdBlock::ATTRIBUTE, Attribute(attr, *value).release());
  if (options_.family.empty() || options_.device.empty())
    Note(GuessKind::Identity, kFpgaInstance, nullptr,
         "the FPGA part is not known: give --fpga-family and --device");

  detail::UniqueNames pinNames;
  for (const Port& port : ports_) {
    if (port.sharesPinOf || port.dropped) continue;
    const PinRow& row = *port.row;
    const std::string pinName =
        row.fpgaPin.empty() ? "fpga_" + detail::PortName(row, port.net) : row.fpgaPin;
    auto pin = std::make_unique<BdPin>(Text(pinNames.Claim(pinName)),
                                       std::make_unique<StrVal>(Text(port.net)));
    // The reader's own KEY=VALUE form when it gave one, else the neutral settings written out.
    std::vector<StringBase> strings;
    if (!row.strings.empty()) {
      for (const std::string& text : row.strings) strings.push_back(Text(text));
    } else {
      for (const std::string& text : SettingStrings(row.settings)) strings.push_back(Text(text));
    }
    // A clock outside a clock instance keeps its frequency on its pin.
    if (row.settings.frequencyHz > 0 && !groups_[port.group].clock &&
        MbdPins::ReadSettings(strings).frequencyHz == 0)
      strings.emplace_back("FREQUENCY = " + FrequencyText(std::round(row.settings.frequencyHz)) + " Hz");
    if (row.settings.location.empty()) {
      Note(GuessKind::NoLocation, groups_[port.group].name, &row,
           "\"" + row.name + "\" has no location: add LOC=... to its pin");
    }
    AddSub(*pin, "UCF_NET_STRING", std::make_unique<ListStrVal>(std::move(strings)));
    if (const char* dir = DirText(row.settings.direction)) AddTextSub(*pin, "DIR", dir);
    block->AddProperty(QbdBlock::PORT, pin.release());
  }
  board.AddPsfComp(Qbd::BLOCK, block.release());
}

// The port name and role of a port in its group: the net itself, except in a clock.
void ClockPortName(const Port& port, std::string& name, std::string& role) {
  name = port.negative ? "CLK_N" : "CLK";
  role = port.negative ? "ext_clk_n" : "ext_clk";
}

void Builder::WriteInstances(Qbd& board) {
  // How many groups share each group of alternatives (by its root).
  std::vector<std::size_t> alternatives(groups_.size(), 0);
  for (std::size_t g = 0; g < groups_.size(); ++g) ++alternatives[Root(g)];
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    const Group& group = groups_[g];
    auto block = std::make_unique<QbdBlock>();
    block->SetName(StringBase(group.name));
    block->AddProperty(QbdBlock::ATTRIBUTE, Attribute("INSTANCE", group.name).release());
    block->AddProperty(QbdBlock::ATTRIBUTE,
                       Attribute("IOTYPE", group.clock ? kClockIoType : kIoTypePlaceholder)
                           .release());
    const std::size_t root = Root(g);
    if (alternatives[root] > 1)
      block->AddProperty(QbdBlock::ATTRIBUTE,
                         Attribute("EXCLUSIVE", groups_[root].name + "_alt").release());
    if (!group.heading.empty())
      block->AddProperty(QbdBlock::ATTRIBUTE, Attribute("DESC", group.heading).release());
    if (!group.clock)
      Note(GuessKind::IoType, group.name, group.ports.front()->row,
           std::string("instance ") + group.name + ": IOTYPE " + kIoTypePlaceholder +
               " is a placeholder; set the interface it is");

    double frequency = 0;
    const PinRow* clockRow = nullptr;
    detail::UniqueNames portNames, roles;
    for (const Port* port : group.ports) {
      if (port->dropped) continue;
      std::string name = detail::PortName(*port->row, port->own);
      std::string role = Port_AsciiLower(name);
      if (group.clock && port->row->port.empty()) ClockPortName(*port, name, role);
      else if (group.clock) role = port->negative ? "ext_clk_n" : "ext_clk";
      name = portNames.Claim(name);
      if (Port_AsciiLower(name) != role && !group.clock) role = Port_AsciiLower(name);
      auto prop = std::make_unique<BdPin>(Text(name), std::make_unique<StrVal>(Text(port->net)));
      AddTextSub(*prop, "IO_IS", roles.Claim(role));
      if (const char* dir = DirText(port->row->settings.direction)) AddTextSub(*prop, "DIR", dir);
      block->AddProperty(QbdBlock::PORT, prop.release());
      if (port->row->settings.frequencyHz > frequency) {
        frequency = port->row->settings.frequencyHz;
        clockRow = port->row;
      }
    }
    if (group.clock) {
      if (frequency > kMaxFrequency) {
        Note(GuessKind::Conflict, group.name, clockRow,
             "clock frequency " + FrequencyText(frequency) + " Hz is above what a board states; "
             "written as " + FrequencyText(kMaxFrequency));
        frequency = kMaxFrequency;
      }
      const std::string hz = FrequencyText(std::round(frequency));
      auto param = std::make_unique<BdParam>(StringBase("C_CLK_FREQ"),
                                             std::make_unique<StrVal>(StringBase(hz)));
      AddTextSub(*param, "IO_IS", "clk_freq");
      auto range = std::make_unique<ListBaseNodePtrVal>();
      range->Append(std::make_unique<ListStrVal>(std::vector<StringBase>{StringBase(hz)}));
      AddSub(*param, "RANGE", std::move(range));
      block->AddProperty(QbdBlock::PARAMETER, param.release());
      Note(GuessKind::ClockRange, group.name, clockRow,
           "clock " + group.name + ": RANGE taken as its one frequency, " + hz + " Hz");
    }
    board.AddPsfComp(Qbd::BLOCK, block.release());
  }
}

// One note per pass-through key, not per pin: a master file repeats the same key on every line.
void Builder::ReportPassThrough() {
  struct Seen {
    std::size_t count = 0;
    const PinRow* first = nullptr;
  };
  std::vector<std::string> order;
  std::unordered_map<std::string, Seen> seen;
  for (const PinRow& row : table_.rows) {
    for (const MbdPins::PassThrough& p : row.settings.passThrough) {
      Seen& s = seen[p.key];
      if (s.count++ == 0) {
        s.first = &row;
        order.push_back(p.key);
      }
    }
    for (const std::string& m : row.settings.malformed)
      Note(GuessKind::Skipped, "", &row, "\"" + m + "\" on \"" + row.name +
                                             "\" fits no constraint form; left out");
  }
  for (const std::string& key : order) {
    const Seen& s = seen[key];
    Note(GuessKind::PassThrough, "", s.first,
         key + " kept as written (pass-through) on " + std::to_string(s.count) + " pin" +
             (s.count == 1 ? "" : "s"));
  }
}

Draft Builder::Build() {
  draft_.board = std::make_unique<Qbd>();
  for (const MbdPins::Problem& problem : table_.problems)
    Note(GuessKind::Conflict, "", nullptr,
         (problem.port.empty() ? "" : "\"" + problem.port + "\": ") + problem.message);
  NameNets();
  FindPairs();
  ChooseKeys();
  MakeGroups();
  ShareBalls();
  ReportRenames();
  WriteBoardAttributes(*draft_.board);
  WriteFpgaBlock(*draft_.board);
  WriteInstances(*draft_.board);
  ReportPassThrough();
  return std::move(draft_);
}

}  // namespace

std::vector<std::string> SettingStrings(const PinSettings& settings) {
  std::vector<std::string> out;
  if (!settings.location.empty()) out.push_back("LOC=" + settings.location);
  if (!settings.ioStandard.empty()) out.push_back("IOSTANDARD=" + settings.ioStandard);
  switch (settings.pull) {
    case MbdPins::Pull::Up: out.push_back("PULLUP=TRUE"); break;
    case MbdPins::Pull::Down: out.push_back("PULLDOWN=TRUE"); break;
    case MbdPins::Pull::Keeper: out.push_back("KEEPER=TRUE"); break;
    case MbdPins::Pull::None: out.push_back("PULLMODE=NONE"); break;
    case MbdPins::Pull::Unset: break;
  }
  if (!settings.drive.empty()) out.push_back("DRIVE=" + settings.drive);
  if (!settings.slew.empty()) out.push_back("SLEW=" + settings.slew);
  if (!settings.termination.empty()) out.push_back("TERMINATION=" + settings.termination);
  for (const MbdPins::PassThrough& p : settings.passThrough)
    out.push_back(p.hasValue ? p.key + "=" + p.value : p.key);
  return out;
}

Draft BuildDraft(const PinTable& table, const DraftOptions& options) {
  return Builder(table, options).Build();
}

}  // namespace MbdImport

namespace MbdImport {

namespace {

template <class T>
void FillEmpty(T& into, const T& from) {
  if (into == T()) into = from;
}

void FillSettings(MbdPins::PinRow& into, const MbdPins::PinRow& from) {
  MbdPins::PinSettings& s = into.settings;
  const MbdPins::PinSettings& f = from.settings;
  FillEmpty(s.location, f.location);
  FillEmpty(s.ioStandard, f.ioStandard);
  FillEmpty(s.pull, f.pull);
  FillEmpty(s.drive, f.drive);
  FillEmpty(s.slew, f.slew);
  FillEmpty(s.termination, f.termination);
  FillEmpty(s.frequencyHz, f.frequencyHz);
  FillEmpty(s.direction, f.direction);
  s.passThrough.insert(s.passThrough.end(), f.passThrough.begin(), f.passThrough.end());
  // The strings as written no longer say all the row holds: the draft writes the settings.
  into.strings.clear();
  FillEmpty(into.heading, from.heading);
}

}  // namespace

void MergeTable(PinTable& into, const PinTable& from) {
  std::unordered_map<std::string, std::size_t> byName;
  for (std::size_t i = 0; i < into.rows.size(); ++i) byName.emplace(into.rows[i].name, i);
  for (const PinRow& row : from.rows) {
    auto found = byName.find(row.name);
    if (found != byName.end()) {
      PinRow& there = into.rows[found->second];
      const std::string& a = there.settings.location;
      const std::string& b = row.settings.location;
      if (a.empty() || b.empty() || Port_AsciiUpper(a) == Port_AsciiUpper(b)) {
        FillSettings(there, row);
        continue;
      }
    }
    byName.emplace(row.name, into.rows.size());
    into.rows.push_back(row);
  }
  into.problems.insert(into.problems.end(), from.problems.begin(), from.problems.end());
  if (into.source.empty()) into.source = from.source;
}

}  // namespace MbdImport
