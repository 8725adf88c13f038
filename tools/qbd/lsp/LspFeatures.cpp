// The answers of the language server, each over the board read of the document.
#include "LspFeatures.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <regex>

#include "MBD.h"
#include "MbdConstraintWriter.h"
#include "MbdPinTable.h"
#include "MbdRules.h"

namespace qbdlsp {

namespace {

using LyrBoard::QbdBlock;
using PortRef = MbdWiring::PortRef;

// Completion reads the line before the position; a longer line is no statement anyone types
// and is not searched.
constexpr std::size_t COMPLETION_LINE_LIMIT = 4096;

// How many pins or ports a hover lists before it counts the rest: a net of a wide bus or an
// instance of hundreds of ports stays readable and cheap.
constexpr std::size_t HOVER_LIST_LIMIT = 24;

// What an editor position points at.
struct Target {
  enum Kind { None, Net, Instance, Constraint };
  Kind kind = None;
  const Spot* spot = nullptr;       // the spot hit
  StringBase net;                   // a net
  const QbdBlock* block = nullptr;  // an instance
  Span span;                        // the text under the position
};

bool named(const LyrBase::PsfComp* node, const char* name) {
  return EqualsIgnoringCase(node->GetName(), StringBase(name));
}

Target targetAt(const LspBoard& board, Position at) {
  Target target;
  const std::size_t offset = board.text().offset(at);
  if (offset == std::string::npos) return target;
  const Spot* spot = board.spotAt(offset);
  if (!spot) return target;
  target.spot = spot;
  if (spot->kind == Spot::Port && (spot->value.contains(offset) || spot->name.contains(offset))) {
    target.kind = Target::Net;
    target.net = MbdRules::ConnectorOf(*static_cast<const LyrBase::Property*>(spot->node));
    target.span = spot->value.contains(offset) ? spot->value : spot->name;
    if (target.net.str().empty()) target.kind = Target::None;
  } else if ((spot->kind == Spot::Attribute && named(spot->node, "INSTANCE") &&
              spot->value.contains(offset)) ||
             (spot->kind == Spot::Block && spot->name.contains(offset))) {
    target.kind = Target::Instance;
    target.block = spot->block;
    target.span = spot->kind == Spot::Block ? spot->name : spot->value;
  } else if (spot->kind == Spot::Sub && named(spot->node, MBD::UCF_NET_STRING.c_str())) {
    const Span element = spot->value.valid() && board.text().text()[spot->value.begin] == '('
                             ? listElementAt(board.text().text(), spot->value, offset)
                             : (spot->value.contains(offset) ? spot->value : Span{});
    if (element.valid()) {
      target.kind = Target::Constraint;
      target.span = element;
    }
  }
  return target;
}

// Inline code of a name: backticks would end it early.
std::string code(const std::string& text) {
  std::string out = text;
  std::replace(out.begin(), out.end(), '`', '\'');
  return "`" + out + "`";
}

std::string portName(const PortRef& ref) {
  return ref.block->GetName().str() + "." + ref.port->GetName().str();
}

std::string roleText(const LyrBase::Property& port) {
  const LyrBase::PsfComp* role = MbdRules::RoleOf(port);
  return role ? " (" + role->GetValueStr().str() + ")" : std::string();
}

// One neutral setting as a user reads it, and the registry's word for it (none for a setting
// that no target states on its own, such as "no pull").
struct Meaning {
  std::string text;
  bool hasSetting = false;
  MbdFormats::Setting setting = MbdFormats::Setting::Location;
  std::string passThroughKey;  // for a pass-through setting
};

std::string frequencyText(double hz) {
  char text[64];
  std::snprintf(text, sizeof text, hz >= 1e6 ? "%g MHz" : "%g Hz", hz >= 1e6 ? hz / 1e6 : hz);
  return text;
}

std::vector<Meaning> meaningsOf(const MbdPins::PinSettings& s) {
  using MbdFormats::Setting;
  using MbdPins::Pull;
  std::vector<Meaning> out;
  auto add = [&](std::string text, Setting setting) {
    out.push_back({std::move(text), true, setting, {}});
  };
  if (!s.location.empty()) add("location **" + s.location + "**", Setting::Location);
  if (!s.ioStandard.empty()) add("IO standard " + s.ioStandard, Setting::IoStandard);
  if (s.pull == Pull::Up) add("pull-up", Setting::PullUp);
  if (s.pull == Pull::Down) add("pull-down", Setting::PullDown);
  if (s.pull == Pull::Keeper) add("keeper", Setting::Keeper);
  if (s.pull == Pull::None) out.push_back({"no pull", false, Setting::Location, {}});
  if (!s.drive.empty()) add("drive " + s.drive + " mA", Setting::Drive);
  if (!s.slew.empty()) add("slew " + s.slew, Setting::Slew);
  if (!s.termination.empty()) add("termination " + s.termination, Setting::Termination);
  if (s.frequencyHz > 0) add("clock " + frequencyText(s.frequencyHz), Setting::Clock);
  if (s.direction != MbdPins::Direction::Unset)
    add(std::string("direction ") + (s.direction == MbdPins::Direction::In    ? "in"
                                     : s.direction == MbdPins::Direction::Out ? "out"
                                                                              : "inout"),
        Setting::Direction);
  for (const MbdPins::PassThrough& p : s.passThrough)
    out.push_back({p.key + (p.hasValue ? "=" + p.value : "") + " (passed through as written)", true,
                   Setting::PassThrough, p.key});
  return out;
}

// The constraint-file formats that can state the setting, in the registry's order.
std::vector<std::string> targetsOf(const Meaning& m) {
  if (!m.hasSetting) return {};
  if (m.setting != MbdFormats::Setting::PassThrough)
    return MbdFormats::FormatsExpressing(m.setting);
  std::vector<std::string> out;
  for (const std::string& format : MbdFormats::WriterFormats())
    if (MbdFormats::KnowsPassThrough(format, m.passThroughKey)) out.push_back(format);
  return out;
}

std::string joined(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : ", ") + item;
  return out;
}

std::string pinLine(const PortRef& pin) {
  std::string line = "- FPGA pin " + code(portName(pin));
  const MbdPins::PinSettings settings =
      MbdPins::ReadSettings(MbdRules::ConstraintStrings(*pin.port));
  if (settings.location.empty()) line += " (no location)";
  std::vector<std::string> texts;
  for (const Meaning& m : meaningsOf(settings)) texts.push_back(m.text);
  for (const std::string& bad : settings.malformed) texts.push_back("not a constraint: " + bad);
  if (!texts.empty()) line += ": " + joined(texts);
  const LyrBase::PsfComp* dir = pin.port->GetPsfCompByName(MBD::DIRECTION.c_str());
  if (dir) line += ", DIR " + dir->GetValueStr().str();
  return line + "\n";
}

template <class Items, class Line>
void listLines(std::string& out, const Items& items, Line line) {
  std::size_t shown = 0;
  for (const auto& item : items) {
    if (shown++ == HOVER_LIST_LIMIT) {
      out += "- ... and " + std::to_string(items.size() - HOVER_LIST_LIMIT) + " more\n";
      break;
    }
    out += line(item);
  }
}

std::string netHover(const LspBoard& board, const StringBase& net) {
  std::string out = "**net** " + code(net.str()) + "\n\n";
  const MbdWiring::Ports pins = board.wiring().PinsOn(net);
  const MbdWiring::Ports ports = board.wiring().PortsOn(net);
  if (pins.empty()) out += "No FPGA pin carries this net.\n";
  listLines(out, pins, pinLine);
  if (!ports.empty()) out += "\n";
  listLines(out, ports, [](const PortRef& p) {
    return "- port " + code(portName(p)) + roleText(*p.port) + "\n";
  });
  return out;
}

std::string instanceHover(const LspBoard& board, const QbdBlock& block) {
  std::string out = "**instance** " + code(block.GetName().str());
  if (MbdRules::IsFpgaBlock(&block)) {
    out += ": the FPGA block";
    const StringBase family = MbdRules::AttributeOf(block, MBD::ARCH_NAME);
    if (!family.str().empty()) out += " (" + family.str() + ")";
    out += ", " + std::to_string(block.GetPropSeqRef(QbdBlock::PORT).size()) + " pins\n";
    return out;
  }
  const StringBase ioType = MbdRules::AttributeOf(block, MBD::IO_TYPE);
  out += ioType.str().empty() ? ": no IO type\n" : ": IO type " + code(ioType.str()) + "\n";
  const StringBase group = MbdRules::ExclusiveGroupOf(block);
  if (!group.str().empty()) {
    out += "\nExclusive group " + code(group.str());
    std::string others;
    for (const QbdBlock* other : board.wiring().Instances())
      if (other != &block && MbdRules::AreAlternatives(block, *other))
        others += (others.empty() ? "" : ", ") + code(other->GetName().str());
    out += others.empty() ? ", no other member\n" : ", with " + others + "\n";
  }
  const auto& ports = block.GetPropSeqRef(QbdBlock::PORT);
  if (!ports.empty()) out += "\nPorts:\n";
  listLines(out, ports, [&](const LyrBase::Property* port) {
    const StringBase net = MbdRules::ConnectorOf(*port);
    std::string line =
        "- " + code(port->GetName().str()) + " on " + code(net.str()) + roleText(*port);
    const MbdWiring::Ports pins = board.wiring().PinsOn(net);
    StringBase location;
    if (!pins.empty() && MbdRules::PinLocation(*pins.front().port, location))
      line += " at **" + MbdRules::ReadableLocation(location).str() + "**";
    else if (pins.empty())
      line += ", no FPGA pin";
    return line + "\n";
  });
  return out;
}

std::string unquote(const std::string& text) {
  if (text.size() < 2 || text.front() != '"') return text;
  std::string out;
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == '\\' && i + 2 < text.size()) {
      const char c = text[++i];
      out += c == 't' ? '\t' : c == 'n' ? '\n' : c;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string constraintHover(const std::string& written) {
  const std::string text = unquote(written);
  const MbdRules::ConstraintReading reading = MbdRules::ReadConstraint(StringBase(text));
  std::string out = "**constraint** " + code(text) + "\n\n";
  if (reading.form == MbdRules::ConstraintForm::Malformed)
    return out + "Not a constraint string. " + MbdRules::ConstraintFormsText() + "\n";
  const MbdPins::PinSettings settings = MbdPins::ReadSettings({StringBase(text)});
  const std::vector<Meaning> meanings = meaningsOf(settings);
  if (meanings.empty()) return out + "Read as no setting.\n";
  for (const Meaning& m : meanings) {
    out += "- " + m.text;
    if (m.hasSetting) {
      const std::vector<std::string> targets = targetsOf(m);
      out += targets.empty() ? "; no target format states it" : "; stated in " + joined(targets);
    }
    out += "\n";
  }
  return out;
}

Json markdown(const std::string& text, const LspText& lspText, Span span) {
  return Json{{"contents", {{"kind", "markdown"}, {"value", text}}},
              {"range", rangeOf(lspText, span)}};
}

Json location(const LspBoard& board, const std::string& uri, const LyrBase::PsfComp* node,
              bool valueSpan) {
  const Spot* spot = board.spotOf(node);
  if (!spot) return Json();
  const Span span = valueSpan && spot->value.valid() ? spot->value : spot->name;
  return Json{{"uri", uri}, {"range", rangeOf(board.text(), span)}};
}

void addLocations(Json& out, const LspBoard& board, const std::string& uri,
                  const MbdWiring::Ports& ports, bool valueSpan) {
  for (const PortRef& ref : ports) {
    Json where = location(board, uri, ref.port, valueSpan);
    if (!where.is_null()) out.push_back(std::move(where));
  }
}

// The end of the word at `offset` (blanks and punctuation end it); the end of the line for
// none, so that a diagnostic always shows.
std::size_t wordEnd(const std::string& text, std::size_t offset) {
  std::size_t end = offset;
  while (end < text.size() && !std::strchr(" \t\r\n,()\"#=", text[end])) ++end;
  if (end == offset)
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
  return end;
}

Json diagnostic(const LspText& text, unsigned line, unsigned column, int severity,
                const std::string& codeName, const std::string& message) {
  std::size_t at = text.offsetOfReaderPlace(line, column);
  if (at == std::string::npos) at = text.offsetOfReaderPlace(std::max(line, 1u), 1);
  if (at == std::string::npos) at = 0;
  Json d{{"range", rangeOf(text, Span{at, wordEnd(text.text(), at)})},
         {"severity", severity},
         {"source", "qbd"},
         {"message", message}};
  if (!codeName.empty()) d["code"] = codeName;
  return d;
}

bool writableBare(const std::string& name) {
  if (name.empty() || name.front() == ' ' || name.back() == ' ') return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7f || std::strchr(",()\"#=", c)) return false;
  return true;
}

Json completionItems(const std::vector<std::string>& labels, int kind, const char* detail) {
  Json items = Json::array();
  for (const std::string& label : labels)
    items.push_back({{"label", label}, {"kind", kind}, {"detail", detail}});
  return items;
}

// Where a completion is asked for, read from the line before the position.
enum class Context {
  None,
  Keyword,
  Attribute,
  Parameter,
  Block,
  IoType,
  BlockType,
  Role,
  Direction,
  Speed,
  Net,
  SubProperty,
  ConstraintKey
};

bool insideConstraintList(const std::string& before) {
  int depth = 0;
  std::size_t open = std::string::npos;
  bool quoted = false;
  for (std::size_t i = 0; i < before.size(); ++i) {
    const char c = before[i];
    if (c == '"' && (i == 0 || before[i - 1] != '\\')) quoted = !quoted;
    if (quoted) continue;
    if (c == '(' && depth++ == 0) open = i;
    if (c == ')' && depth > 0) --depth;
  }
  if (depth == 0) return false;
  static const std::regex ucf(R"(UCF_NET_STRING\s*=\s*$)", std::regex::icase);
  return std::regex_search(before.substr(0, open), ucf);
}

Context contextOf(const std::string& before) {
  if (insideConstraintList(before)) return Context::ConstraintKey;
  static const std::vector<std::pair<std::regex, Context>> rules = [] {
    const auto icase = std::regex::icase | std::regex::optimize;
    return std::vector<std::pair<std::regex, Context>>{
        {std::regex(R"(^\s*$)", icase), Context::Keyword},
        {std::regex(R"(^\s*ATTRIBUTE\s+$)", icase), Context::Attribute},
        {std::regex(R"(^\s*PARAMETER\s+$)", icase), Context::Parameter},
        {std::regex(R"(^\s*BEGIN\s+$)", icase), Context::Block},
        {std::regex(R"(^\s*ATTRIBUTE\s+IOTYPE\s*=\s*$)", icase), Context::IoType},
        {std::regex(R"(^\s*ATTRIBUTE\s+BLOCKTYPE\s*=\s*$)", icase), Context::BlockType},
        {std::regex(R"(^\s*ATTRIBUTE\s+SPEED\s*=\s*$)", icase), Context::Speed},
        {std::regex(R"(,\s*IO_IS\s*=\s*$)", icase), Context::Role},
        {std::regex(R"(,\s*DIR\s*=\s*$)", icase), Context::Direction},
        {std::regex(R"(^\s*PORT\s+[^=,]*=\s*$)", icase), Context::Net},
        {std::regex(R"(^\s*(ATTRIBUTE|PARAMETER|PORT)\s[^#]*,\s*$)", icase), Context::SubProperty},
    };
  }();
  for (const auto& rule : rules)
    if (std::regex_search(before, rule.first)) return rule.second;
  return Context::None;
}

std::vector<std::string> names(std::initializer_list<const StringBase*> list) {
  std::vector<std::string> out;
  for (const StringBase* s : list) out.push_back(s->str());
  return out;
}

// Adds `extra` to `base` where no name equal ignoring case is there yet; sorted.
std::vector<std::string> merged(std::vector<std::string> base,
                                const std::vector<std::string>& extra) {
  for (const std::string& name : extra)
    if (std::none_of(base.begin(), base.end(), [&](const std::string& b) {
          return EqualsIgnoringCase(StringBase(b), StringBase(name));
        }))
      base.push_back(name);
  std::sort(base.begin(), base.end());
  return base;
}

// LOC and every key the neutral reading knows, one per key.
const std::vector<std::string>& constraintKeys() {
  static const std::vector<std::string> keys = [] {
    std::vector<std::string> out{MBD::LOC.str()};
    for (const MbdPins::Synonym& synonym : MbdPins::Synonyms()) out.push_back(synonym.key);
    return merged({}, out);
  }();
  return keys;
}

Json completionFor(Context context, const LspBoard* board) {
  static const std::vector<std::string> none;
  const auto& boardNets = board ? board->nets() : none;
  switch (context) {
    case Context::Keyword:
      return completionItems({"ATTRIBUTE", "PARAMETER", "PORT", "BEGIN BLOCK", "END"}, 14,
                             "keyword");
    case Context::Attribute:
      return completionItems(
          merged(names({&MBD::VENDER, &MBD::NAME, &MBD::REVISION, &MBD::TEXT, &MBD::SPEC_URL,
                        &MBD::CONTACT_INFO_URL, &MBD::EXCLUSIVE, &MBD::ALERT, &MBD::NOTE}),
                 {"INSTANCE", MBD::BLOCK_NAME, MBD::IO_TYPE, MBD::ADAPTER_NAME, MBD::ARCH_NAME,
                  MBD::DEVICE_NAME, MBD::PACKAGE_NAME, MBD::SPEED_GRADE_NAME, "JTAG_POSITION",
                  MBD::SPEED_TAG, MBD::MAX_NUM_INSTANCES}),
          10, "attribute");
    case Context::Parameter:
      return completionItems(
          merged({MBD::RESET_POLARITY.str()}, board ? board->parameters() : none), 10, "parameter");
    case Context::Block:
      return completionItems({"BLOCK"}, 14, "keyword");
    case Context::IoType:
      return completionItems(
          merged(names({&MBD::IOTYPE_CLOCK, &MBD::IOTYPE_RESET, &MBD::IOTYPE_CPUDEBUG,
                        &MBD::IOTYPE_TRACE, &MBD::IOTYPE_DDR, &MBD::IOTYPE_DDR2,
                        &MBD::IOTYPE_MEMORY, &MBD::IOTYPE_PCI32, &MBD::IOTYPE_PCI_ARBITER,
                        &MBD::IOTYPE_ENETX, &MBD::IOTYPE_CFBOOT}),
                 board ? board->ioTypes() : none),
          20, "IO type");
    case Context::BlockType:
      return completionItems({MBD::FPGA_IOTYPE.str()}, 20, "block type");
    case Context::Speed:
      return completionItems({MBD::SPEED_HIGH, MBD::SPEED_LOW}, 20, "speed");
    case Context::Role:
      return completionItems(
          merged(names({&MBD::CLKIOIS, &MBD::RSTIOIS, &MBD::FREQIOIS, &MBD::POLARITYIOIS}),
                 board ? board->roles() : none),
          20, "role (IO_IS)");
    case Context::Direction:
      return completionItems({"I", "O", "IO"}, 20, "direction");
    case Context::Net:
      return completionItems(boardNets, 18, "net");
    case Context::SubProperty:
      return completionItems(
          merged(names({&MBD::IOIS, &MBD::UCF_NET_STRING, &MBD::DIRECTION, &MBD::CLK_RANGE,
                        &MBD::VALUE_NOTE, &MBD::VALUE_TEXT, &MBD::PERMIT_TAG}),
                 {MBD::MEMORY_TYPE}),
          10, "sub-property");
    case Context::ConstraintKey:
      return completionItems(merged(constraintKeys(), board ? board->constraintKeys() : none), 10,
                             "constraint key");
    case Context::None:
      break;
  }
  return Json::array();
}

}  // namespace

Json rangeOf(const LspText& text, Span span) {
  const Position start = text.position(span.begin);
  const Position end = text.position(span.end);
  return Json{{"start", {{"line", start.line}, {"character", start.character}}},
              {"end", {{"line", end.line}, {"character", end.character}}}};
}

Json diagnostics(const LspText& current, const std::vector<LyrBoard::ReadError>& errors,
                 const LspBoard* board) {
  Json out = Json::array();
  for (const LyrBoard::ReadError& e : errors)
    out.push_back(diagnostic(current, e.line, e.column, 1, e.code, e.message));
  if (!errors.empty() || !board) return out;
  for (const MbdLint::Finding& f : board->findings())
    out.push_back(diagnostic(board->text(), f.line, f.column,
                             f.severity == MbdLint::Severity::Error ? 1 : 2, f.code, f.message));
  return out;
}

Json hover(const LspBoard& board, Position at) {
  const Target target = targetAt(board, at);
  switch (target.kind) {
    case Target::Net:
      return markdown(netHover(board, target.net), board.text(), target.span);
    case Target::Instance:
      return markdown(instanceHover(board, *target.block), board.text(), target.span);
    case Target::Constraint:
      return markdown(constraintHover(board.text().text().substr(
                          target.span.begin, target.span.end - target.span.begin)),
                      board.text(), target.span);
    case Target::None:
      break;
  }
  return Json();
}

Json definition(const LspBoard& board, Position at, const std::string& uri) {
  Json out = Json::array();
  const Target target = targetAt(board, at);
  if (target.kind == Target::Instance) {
    Json where = location(board, uri, target.block, false);
    if (!where.is_null()) out.push_back(std::move(where));
    return out;
  }
  if (target.kind != Target::Net) return out;
  if (MbdRules::IsFpgaBlock(target.spot->block))
    addLocations(out, board, uri, board.wiring().PortsOn(target.net), false);
  else
    addLocations(out, board, uri, board.wiring().PinsOn(target.net), false);
  return out;
}

Json references(const LspBoard& board, Position at, const std::string& uri, bool withDeclarations) {
  Json out = Json::array();
  const Target target = targetAt(board, at);
  if (target.kind != Target::Net) return out;
  if (withDeclarations) addLocations(out, board, uri, board.wiring().PinsOn(target.net), true);
  addLocations(out, board, uri, board.wiring().PortsOn(target.net), true);
  return out;
}

Json completion(const LspText& current, const LspBoard* board, Position at) {
  const std::size_t offset = current.offset(at);
  if (offset == std::string::npos) return Json::array();
  const std::size_t lineBegin =
      static_cast<std::size_t>(current.line(at.line).data() - current.text().data());
  if (offset - lineBegin > COMPLETION_LINE_LIMIT)
    return Json{{"isIncomplete", false}, {"items", Json::array()}};
  std::string before = current.text().substr(lineBegin, offset - lineBegin);
  // The word being typed is the editor's to filter; the context is what comes before it.
  std::size_t word = before.size();
  while (word > 0 &&
         (std::isalnum(static_cast<unsigned char>(before[word - 1])) || before[word - 1] == '_'))
    --word;
  before.resize(word);
  return Json{{"isIncomplete", false}, {"items", completionFor(contextOf(before), board)}};
}

Json documentSymbols(const LspBoard& board) {
  Json out = Json::array();
  Json* blockSymbol = nullptr;
  for (const Spot& spot : board.spots()) {
    if (spot.kind == Spot::Sub) continue;
    std::string name = spot.node->GetName().str();
    if (name.empty()) name = spot.kind == Spot::Block ? "(block)" : "(unnamed)";
    Span selection = spot.name.valid() ? spot.name : Span{spot.start, spot.start};
    Span whole{spot.start, spot.value.valid() ? spot.value.end : selection.end};
    int kind = 7;  // Property
    std::string detail = spot.node->GetValueStr().str();
    if (spot.kind == Spot::Block) {
      kind = 2;  // Module
      const auto& block = *spot.block;
      detail = MbdRules::IsFpgaBlock(&block) ? std::string("FPGA")
                                             : MbdRules::AttributeOf(block, MBD::IO_TYPE).str();
      whole = Span{spot.start, std::max(spot.end, spot.start)};
      if (!spot.name.valid()) selection = Span{spot.start, std::min(spot.start + 5, whole.end)};
    } else if (spot.kind == Spot::Parameter) {
      kind = 14;  // Constant
    } else if (spot.kind == Spot::Port) {
      kind = 8;  // Field
    }
    if (selection.begin < whole.begin || selection.end > whole.end) selection = whole;
    Json symbol{{"name", name},
                {"detail", detail},
                {"kind", kind},
                {"range", rangeOf(board.text(), whole)},
                {"selectionRange", rangeOf(board.text(), selection)}};
    if (spot.kind == Spot::Block) {
      symbol["children"] = Json::array();
      out.push_back(std::move(symbol));
      blockSymbol = &out.back();
    } else if (spot.kind == Spot::BoardAttribute || !blockSymbol) {
      out.push_back(std::move(symbol));
      blockSymbol = nullptr;
    } else {
      (*blockSymbol)["children"].push_back(std::move(symbol));
    }
  }
  return out;
}

namespace {

// The spans a rename of the target rewrites, the one under the position first; empty when the
// target cannot be renamed.
std::vector<Span> renameSpans(const LspBoard& board, const Target& target) {
  std::vector<Span> spans;
  if (target.kind == Target::Net && target.span.begin == target.spot->value.begin) {
    for (const auto& ports :
         {board.wiring().PinsOn(target.net), board.wiring().PortsOn(target.net)})
      for (const PortRef& ref : ports)
        if (const Spot* spot = board.spotOf(ref.port); spot && spot->value.valid())
          spans.push_back(spot->value);
  } else if (target.kind == Target::Instance) {
    if (const Spot* spot = board.spotOf(target.block); spot && spot->name.valid())
      spans.push_back(spot->name);
    if (const Spot* spot = board.instanceSpot(*target.block); spot && spot->value.valid())
      spans.push_back(spot->value);
  }
  return spans;
}

}  // namespace

Json prepareRename(const LspBoard& board, Position at) {
  const Target target = targetAt(board, at);
  if (renameSpans(board, target).empty()) return Json();
  const std::string& text = board.text().text();
  return Json{{"range", rangeOf(board.text(), target.span)},
              {"placeholder", text.substr(target.span.begin, target.span.end - target.span.begin)}};
}

Json rename(const LspBoard& board, Position at, const std::string& newName,
            const std::string& uri) {
  const Target target = targetAt(board, at);
  const std::vector<Span> spans = renameSpans(board, target);
  if (spans.empty()) return Json();
  if (!writableBare(newName))
    throw RequestError(-32602, "\"" + newName +
                                   "\" cannot be written as a bare name: it is "
                                   "empty, has blanks at an end, or holds , ( ) \" # =");
  Json edits = Json::array();
  for (const Span& span : spans)
    edits.push_back({{"range", rangeOf(board.text(), span)}, {"newText", newName}});
  return Json{{"changes", {{uri, edits}}}};
}

}  // namespace qbdlsp
