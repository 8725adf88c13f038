#include "MbdRules.h"

#include <charconv>
#include <string>
#include <unordered_map>

#include "LyrWiz_WizUtils.h"

using LyrBase::ListBaseNodePtrVal;
using LyrBase::ListStrVal;
using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBase::StrVal;
using LyrBase::Value;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

namespace MbdRules {

namespace {

const char kBlanks[] = " \t";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The text of a quoted word without its quotes and escapes; other words as they are.
std::string Unquoted(const std::string& word) {
  if (word.size() < 2 || word.front() != '"' || word.back() != '"') return word;
  std::string out;
  for (std::size_t i = 1; i + 1 < word.size(); ++i) {
    char c = word[i];
    if (c == '\\' && i + 2 < word.size()) {
      c = word[++i];
      if (c == 'n') c = '\n';
      else if (c == 't') c = '\t';
    }
    out += c;
  }
  return out;
}

// Splits "(a, b, (c, d))" at its top-level commas into trimmed items; false when the text is
// not one parenthesised list. Quoted items may hold commas and parentheses.
bool SplitList(const std::string& whole, std::vector<std::string>& items) {
  const std::string text = Port_TrimBlanks(whole);
  if (text.size() < 2 || text.front() != '(' || text.back() != ')') return false;
  items.clear();
  std::string piece;
  int depth = 0;
  bool quoted = false;
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '\\' && i + 2 < text.size()) piece += text[i++];
      else if (c == '"') quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (depth-- == 0) return false;
    } else if (c == ',' && depth == 0) {
      items.push_back(Port_TrimBlanks(piece));
      piece.clear();
      continue;
    }
    piece += c;
  }
  if (depth != 0 || quoted) return false;
  if (!items.empty() || !Port_TrimBlanks(piece).empty()) items.push_back(Port_TrimBlanks(piece));
  return true;
}

std::vector<StringBase> Words(const std::vector<std::string>& items) {
  std::vector<StringBase> words;
  for (const std::string& item : items) words.emplace_back(Unquoted(item));
  return words;
}

// A single string read as the board reader reads the same text as a value: a list holding a
// list is a list of elements, a plain list one element, anything else one number.
std::vector<std::vector<StringBase>> RangeElementsOfText(const StringBase& text) {
  std::vector<std::string> items;
  if (!SplitList(text.str(), items)) return {std::vector<StringBase>(1, text)};
  std::vector<std::vector<std::string>> nested(items.size());
  bool anyNested = false;
  for (std::size_t i = 0; i < items.size(); ++i) anyNested |= SplitList(items[i], nested[i]);
  if (!anyNested) return {Words(items)};
  std::vector<std::vector<StringBase>> elements;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (SplitList(items[i], nested[i])) elements.push_back(Words(nested[i]));
    else elements.push_back(std::vector<StringBase>(1, StringBase(Unquoted(items[i]))));
  }
  return elements;
}

// Reads blanks-separated KEY=VALUE words from text; false at anything else.
bool ReadAssignments(const std::string& text, std::vector<Constraint>& items) {
  std::size_t i = 0;
  const auto skipBlanks = [&] {
    while (i < text.size() && IsBlank(text[i])) ++i;
  };
  skipBlanks();
  while (i < text.size()) {
    const std::size_t keyStart = i;
    while (i < text.size() && !IsBlank(text[i]) && text[i] != '=') ++i;
    Constraint c;
    c.key = StringBase(text.substr(keyStart, i - keyStart));
    skipBlanks();
    if (c.key.IsEmpty() || i >= text.size() || text[i] != '=') return false;
    ++i;
    skipBlanks();
    const std::size_t valueStart = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    c.value = StringBase(text.substr(valueStart, i - valueStart));
    c.hasValue = true;
    if (c.value.IsEmpty() && i < text.size()) return false;
    items.push_back(std::move(c));
    skipBlanks();
  }
  return true;
}

// What one copy of a node adds: nodes, and bytes of name and value text.
struct CopyCost {
  unsigned long nodes = 0;
  unsigned long long bytes = 0;
  CopyCost& operator+=(const CopyCost& other) {
    nodes += other.nodes;
    bytes += other.bytes;
    return *this;
  }
};

// A node's own name and value text; the value is measured, not formatted, where it is a plain
// string.
unsigned long long TextBytes(const LyrBase::NameValue& node) {
  const LyrBase::Value* value = node.GetLyrValuePtr();
  const auto* plain = LyrBase::NodeCast<LyrBase::StrVal>(value);
  const std::size_t valueBytes =
      !value ? 0 : plain ? plain->GetValue().str().size() : value->GetValueStr().str().size();
  return node.GetName().str().size() + valueBytes;
}

// A property and its sub-properties.
CopyCost PropertyCost(const Property& prop) {
  CopyCost cost{1, TextBytes(prop)};
  for (const PsfComp* sub : prop.GetPsfCompSeqRef()) cost += CopyCost{1, TextBytes(*sub)};
  return cost;
}

// For each net of the FPGA block, what a pin copied from its last port on the net adds.
using PinCostByNet = std::unordered_map<StringBase, CopyCost, NetHash, NetEqual>;

PinCostByNet PinCostsOf(const QbdBlock* fpga) {
  PinCostByNet costs;
  if (!fpga) return costs;
  for (const Property* pin : fpga->GetPropSeqRef(QbdBlock::PORT))
    costs[pin->GetValueStr()] = PropertyCost(*pin);
  return costs;
}

// What one copy of the block adds: the block, its properties and their sub-properties, and a
// pin (with sub-properties) for each port whose net the FPGA block carries.
CopyCost CostPerCopy(const QbdBlock& block, const PinCostByNet& pins) {
  CopyCost cost{1, TextBytes(block)};
  for (QbdBlock::NodeType kind : {QbdBlock::ATTRIBUTE, QbdBlock::PARAMETER, QbdBlock::PORT})
    for (const Property* prop : block.GetPropSeqRef(kind)) cost += PropertyCost(*prop);
  for (const Property* port : block.GetPropSeqRef(QbdBlock::PORT)) {
    const auto pin = pins.find(ConnectorOf(*port));
    if (pin != pins.end()) cost += pin->second;
  }
  return cost;
}

const QbdBlock* FirstFpgaBlock(const Qbd& qbd) {
  for (const PsfComp* comp : qbd.GetPsfCompSeqRef(Qbd::BLOCK)) {
    const auto* block = static_cast<const QbdBlock*>(comp);
    if (IsFpgaBlock(block)) return block;
  }
  return nullptr;
}

}  // namespace

const char* const EXPANDED_MARKER = "-1";

bool IsFpgaBlock(const QbdBlock* block) {
  return block && EqualsIgnoringCase(AttributeOf(*block, MBD::BLOCK_NAME), MBD::FPGA_IOTYPE);
}

bool HasIoType(const QbdBlock& block, const StringBase& ioType) {
  const Property* type = block.GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::IO_TYPE);
  return type && EqualsIgnoringCase(type->GetValueStr(), ioType);
}

StringBase AttributeOf(const QbdBlock& block, const char* name) {
  const Property* attr = block.GetPropertyByName(QbdBlock::ATTRIBUTE, name);
  return attr ? attr->GetValueStr() : StringBase();
}

StringBase SpeedOf(const QbdBlock* block) {
  const StringBase speed = block ? AttributeOf(*block, MBD::SPEED_TAG) : StringBase();
  return speed.IsEmpty() ? StringBase(MBD::SPEED_LOW) : speed;
}

StringBase ExclusiveGroupOf(const QbdBlock& block) {
  return AttributeOf(block, MBD::EXCLUSIVE.c_str());
}

bool AreAlternatives(const QbdBlock& a, const QbdBlock& b) {
  const StringBase group = ExclusiveGroupOf(a);
  return !group.IsEmpty() && EqualsIgnoringCase(group, ExclusiveGroupOf(b));
}

StringBase SizeFamily(const StringBase& familyText) {
  StringBase family = familyText;
  family.Trim(" ", StringBase::TRIM_BOTH);
  return family;
}

bool SizesKnownFor(const StringBase& family) {
  return !family.IsEmpty() && ArchDb::knowsFamily(family);
}

const PsfComp* RoleOf(const Property& prop) { return prop.GetPsfCompByName(MBD::IOIS.c_str()); }

bool HasRole(const Property& prop, const StringBase& iois) {
  const PsfComp* role = RoleOf(prop);
  return role && EqualsIgnoringCase(role->GetValueStr(), iois);
}

Property* FirstWithRole(const std::vector<Property*>& props, const StringBase& iois) {
  for (Property* prop : props)
    if (HasRole(*prop, iois)) return prop;
  return nullptr;
}

StringBase ConnectorOf(const Property& port) { return port.GetValueStr(); }

StringBase ConnectorOfRole(const QbdBlock* block, const StringBase& iois) {
  if (!block) return StringBase();
  const Property* port = FirstWithRole(block->GetPropSeqRef(QbdBlock::PORT), iois);
  return port ? ConnectorOf(*port) : StringBase();
}

bool CarriesConnector(const StringBase& fpgaNet, const StringBase& connector) {
  return EqualsIgnoringCase(fpgaNet, connector);
}

StringBase NetKey(const StringBase& net) {
  std::string key = net.str();
  // The same A-Z fold as EqualsIgnoringCase, and nothing more: a wider fold would join nets
  // that CarriesConnector keeps apart.
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return StringBase(key);
}

std::vector<StringBase> StringsOf(const PsfComp* sub) {
  const Value* value = sub ? sub->GetLyrValuePtr() : nullptr;
  if (const auto* list = LyrBase::NodeCast<ListStrVal>(value)) return list->GetValue();
  if (const auto* single = LyrBase::NodeCast<StrVal>(value))
    return std::vector<StringBase>(1, single->GetValue());
  return std::vector<StringBase>();
}

const PsfComp* ConstraintsOf(const Property& fpgaPort) {
  return fpgaPort.GetPsfCompByName(MBD::UCF_NET_STRING.c_str());
}

std::vector<StringBase> ConstraintStrings(const Property& fpgaPort) {
  return StringsOf(ConstraintsOf(fpgaPort));
}

ConstraintReading ReadConstraint(const StringBase& text) {
  ConstraintReading reading;
  const std::string t = Port_TrimBlanks(text.str());
  const auto eq = t.find('=');
  if (eq == std::string::npos) {
    if (t.empty() || t.find_first_of(kBlanks) != std::string::npos) return reading;
    reading.form = ConstraintForm::Flag;
    reading.items.push_back(Constraint{StringBase(t), StringBase(), false});
    return reading;
  }
  const std::string key = Port_TrimBlanks(t.substr(0, eq));
  if (key.empty() || key.find_first_of(kBlanks) != std::string::npos) return reading;
  // Several only when every blank-separated word is an assignment; otherwise the value is
  // the whole rest of the string, blanks and "=" included.
  std::vector<Constraint> several;
  if (ReadAssignments(t, several) && several.size() > 1) {
    reading.form = ConstraintForm::Assignments;
    reading.items = std::move(several);
    return reading;
  }
  const std::string value = Port_TrimBlanks(t.substr(eq + 1));
  reading.form = ConstraintForm::Assignment;
  reading.items.push_back(Constraint{StringBase(key), StringBase(value), true});
  return reading;
}

const char* ConstraintFormsText() {
  return "KEY=VALUE, a plain flag such as PULLUP, or KEY=VALUE assignments separated by blanks";
}

bool LocationIn(const StringBase& constraintString, StringBase& location) {
  const unsigned eq = constraintString.GetIndexOfFirstChar('=', '\0');
  if (eq == StringBase::NPOS) return false;
  StringBase key(constraintString.str().substr(0, eq));
  key.Trim(kBlanks, StringBase::TRIM_BOTH);
  if (!EqualsIgnoringCase(key, MBD::LOC)) return false;
  location = StringBase(constraintString.str().substr(eq + 1));
  return true;
}

bool FirstLocation(const std::vector<StringBase>& constraintStrings, StringBase& location) {
  for (const StringBase& text : constraintStrings)
    if (LocationIn(text, location)) return true;
  return false;
}

std::vector<StringBase> Locations(const std::vector<StringBase>& constraintStrings) {
  std::vector<StringBase> locations;
  StringBase location;
  for (const StringBase& text : constraintStrings)
    if (LocationIn(text, location)) locations.push_back(location);
  return locations;
}

StringBase ReadableLocation(const StringBase& stored) {
  return StringBase(Port_TrimBlanks(stored.str()));
}

bool IsBlankLocation(const StringBase& location) { return ReadableLocation(location).IsEmpty(); }

bool PinLocation(const Property& fpgaPort, StringBase& location) {
  StringBase stored;
  if (!FirstLocation(ConstraintStrings(fpgaPort), stored)) return false;
  location = ReadableLocation(stored);
  return true;
}

bool IsFrequencyParam(const Property& param) { return HasRole(param, MBD::FREQIOIS); }

const PsfComp* RangeOf(const Property& param) {
  return param.GetPsfCompByName(MBD::CLK_RANGE.c_str());
}

unsigned FrequencyOf(const StringBase& text) {
  return UT_STR::StrToUINT32(text.c_str(), nullptr, 10);
}

bool IsPlainNumber(const StringBase& text) {
  const std::string t = Port_TrimBlanks(text.str());
  unsigned value = 0;
  const auto result = std::from_chars(t.data(), t.data() + t.size(), value, 10);
  return !t.empty() && result.ec == std::errc() && result.ptr == t.data() + t.size();
}

std::vector<std::vector<StringBase>> RangeElements(const PsfComp& range) {
  std::vector<std::vector<StringBase>> elements;
  const Value* value = range.GetLyrValuePtr();
  if (const auto* lists = LyrBase::NodeCast<ListBaseNodePtrVal>(value)) {
    for (const LyrBase::BaseNode* node : lists->GetValue())
      if (const auto* element = LyrBase::NodeCast<ListStrVal>(node))
        elements.push_back(element->GetValue());
  } else if (const auto* list = LyrBase::NodeCast<ListStrVal>(value)) {
    elements.push_back(list->GetValue());
  } else if (const auto* single = LyrBase::NodeCast<StrVal>(value)) {
    elements = RangeElementsOfText(single->GetValue());
  }
  return elements;
}

bool RangeRecord(const std::vector<StringBase>& element, const StringBase& insName,
                 MBD::ClkRng& record) {
  if (element.empty() || element.size() > 3) return false;
  unsigned numbers[3] = {0, 0, 0};
  for (std::size_t i = 0; i < element.size(); ++i) numbers[i] = FrequencyOf(element[i]);
  record.minFreq = numbers[0];
  record.maxFreq = element.size() == 1 ? numbers[0] : numbers[1];
  record.stepFreq = element.size() == 1 ? 1 : numbers[2];
  record.clkInsName = insName;
  return true;
}

MBD::ClkRng UnrestrictedRange(const StringBase& insName) {
  MBD::ClkRng any;
  any.minFreq = 0;
  any.maxFreq = MBD::MAX_FREQ;
  any.stepFreq = 1;
  any.clkInsName = insName;
  return any;
}

bool RangeAdmits(const MBD::ClkRng& range, unsigned freq) {
  const unsigned step = range.stepFreq == 0 ? 1 : range.stepFreq;
  return range.minFreq <= freq && freq <= range.maxFreq && (freq - range.minFreq) % step == 0;
}

bool RangeIsReversed(const MBD::ClkRng& range) { return range.minFreq > range.maxFreq; }

bool IsFlashParam(const Property& param) {
  const PsfComp* kind = param.GetPsfCompByName(MBD::MEMORY_TYPE);
  if (!kind) return false;
  StringBase text = kind->GetValueStr();
  text.Trim(kBlanks, StringBase::TRIM_BOTH);
  return EqualsIgnoringCase(text, StringBase("FLASH"));
}

InstanceCount ReadInstanceCount(const StringBase& text) {
  InstanceCount count;
  count.expanded = text == StringBase(EXPANDED_MARKER);
  count.value = UT_STR::StrToUINT32(text.c_str(), nullptr, 0);
  count.tooMany = count.value > MAX_INSTANCES;
  std::string t = Port_TrimBlanks(text.str());
  int base = 10;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    t.erase(0, 2);
  } else if (t.size() > 1 && t[0] == '0') {
    base = 8;
    t.erase(0, 1);
  }
  unsigned value = 0;
  const auto result = std::from_chars(t.data(), t.data() + t.size(), value, base);
  count.plain = !t.empty() && t[0] != '-' && t[0] != '+' && result.ec == std::errc() &&
                result.ptr == t.data() + t.size();
  return count;
}

bool ReadsInstanceCounts(const Qbd& qbd) { return MBD::IsGenericBoard(const_cast<Qbd*>(&qbd)); }

ExpansionPlan PlanExpansion(const Qbd* qbd) {
  ExpansionPlan plan;
  if (!MBD::IsGenericBoard(const_cast<Qbd*>(qbd))) return plan;
  const QbdBlock* fpga = FirstFpgaBlock(*qbd);
  const PinCostByNet pins = PinCostsOf(fpga);
  for (PsfComp* comp : qbd->GetPsfCompSeqRef(Qbd::BLOCK)) {
    auto* block = static_cast<QbdBlock*>(comp);
    const Property* countAttr = block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::MAX_NUM_INSTANCES);
    if (!countAttr) continue;
    ExpansionStep step;
    step.block = block;
    const InstanceCount count = ReadInstanceCount(countAttr->GetValueStr());
    if (count.expanded) {
      step.outcome = ExpansionStep::AlreadyExpanded;
    } else if (!block->GetPropertyByName(QbdBlock::ATTRIBUTE, "INSTANCE")) {
      step.outcome = ExpansionStep::NoInstanceAttr;
    } else if (count.tooMany) {
      step.outcome = ExpansionStep::TooMany;
    } else if (count.value > 1) {
      step.copies = count.value - 1;
      const CopyCost each = CostPerCopy(*block, pins);
      step.nodes = step.copies * each.nodes;
      step.bytes = step.copies * each.bytes;
      // Both totals stay within their limits, so neither subtraction wraps.
      const bool nodesFit = step.nodes <= MAX_EXPANSION_NODES - plan.nodes;
      const bool bytesFit = step.bytes <= MAX_EXPANSION_BYTES - plan.bytes;
      const bool fits = nodesFit && bytesFit;
      step.outcome = fits       ? ExpansionStep::Copy
                     : nodesFit ? ExpansionStep::OverByteLimit
                                : ExpansionStep::OverNodeLimit;
      if (fits) {
        plan.nodes += step.nodes;
        plan.bytes += step.bytes;
      }
      if (fits && !fpga && !block->GetPropSeqRef(QbdBlock::PORT).empty())
        plan.needsFpgaBlock = true;
    }
    plan.steps.push_back(step);
  }
  return plan;
}

std::string OverLimitErrors(const ExpansionPlan& plan, const std::string& path) {
  std::string text;
  for (const ExpansionStep& step : plan.steps) {
    std::string what;
    if (step.outcome == ExpansionStep::OverNodeLimit)
      what = std::to_string(step.nodes) + " nodes, past the limit of " +
             std::to_string(MAX_EXPANSION_NODES);
    else if (step.outcome == ExpansionStep::OverByteLimit)
      what = std::to_string(step.bytes) + " bytes of text, past the limit of " +
             std::to_string(MAX_EXPANSION_BYTES);
    else
      continue;
    const PsfComp* count = step.block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::MAX_NUM_INSTANCES);
    std::string where = path;
    if (count->GetLineNo() != 0) {
      if (!count->GetFileName().IsEmpty()) where = count->GetFileName().str();
      where += ":" + std::to_string(count->GetLineNo()) + ":" +
               std::to_string(count->GetColumnNo() ? count->GetColumnNo() : 1);
    }
    text += (text.empty() ? "" : "\n") + where + ": error: the " + std::to_string(step.copies) +
            " copies of block \"" + step.block->GetName().str() + "\" would add " + what +
            " that expansion may add to one board; the template cannot be expanded";
  }
  return text;
}

}  // namespace MbdRules

namespace MbdRules {

std::vector<StringBase> KnownFamilies() { return ArchDb::families(); }

const char* const MEMORY_SIZE_ROLE = "mem_size";

StringBase MemoryTypeOf(const Property& param) {
  const PsfComp* kind = param.GetPsfCompByName(MBD::MEMORY_TYPE);
  if (!kind) return StringBase();
  StringBase text = kind->GetValueStr();
  text.Trim(" \t", StringBase::TRIM_BOTH);
  return text;
}

bool IsMemoryIoType(const StringBase& ioType) {
  for (const StringBase* type : {&MBD::IOTYPE_DDR, &MBD::IOTYPE_DDR2, &MBD::IOTYPE_MEMORY})
    if (EqualsIgnoringCase(ioType, *type)) return true;
  return false;
}

const Property* MemorySizeParam(const QbdBlock& block) {
  const std::vector<Property*>& params = block.GetPropSeqRef(QbdBlock::PARAMETER);
  for (const Property* p : params)
    if (p->GetPsfCompByName(MBD::MEMORY_TYPE)) return p;
  return FirstWithRole(params, StringBase(MEMORY_SIZE_ROLE));
}

std::string MessageAsError(const std::string& message) {
  static const std::string label = "Warning: ";
  std::string result;
  std::size_t start = 0;
  while (start < message.size()) {
    std::size_t end = message.find('\n', start);
    if (end == std::string::npos) end = message.size();
    std::string line = message.substr(start, end - start);
    if (line.compare(0, label.size(), label) == 0) line.erase(0, label.size());
    if (!line.empty()) result += (result.empty() ? "" : "\n") + line;
    start = end + 1;
  }
  return result;
}

const std::vector<IoTypeInfo>& IoTypes() {
  // The roles are the ones the model's clock and reset queries ask for; the port roles are
  // named by the model but carry no value it reads.
  static const RoleInfo kMemorySize{
      MEMORY_SIZE_ROLE, "parameter", "size in bytes, unless a parameter has a MEMORY_TYPE"};
  static const std::vector<IoTypeInfo> types{
      {"QOR_CLOCK_V1", "a clock source",
       {{"clk_freq", "parameter", "frequency in hertz, with its RANGE of allowed values"},
        {"ext_clk", "port", "the external clock input"}}},
      {"QOR_RESET_V1", "a reset input",
       {{"polarity", "parameter", "reset polarity as written (e.g. ACTIVE_HIGH, ACTIVE_LOW)"},
        {"ext_rst", "port", "the external reset input"}}},
      {"QOR_CPUDEBUG_V1", "a processor debug port", {}},
      {"QOR_TRACE_V1", "a processor trace port", {}},
      {"QOR_DDR_V1", "a DDR SDRAM memory", {kMemorySize}},
      {"QOR_DDR2_V1", "a DDR2 SDRAM memory", {kMemorySize}},
      {"QOR_MEMORY_V1", "an external memory (SRAM, SDRAM, flash)",
       {kMemorySize,
        {"(any)", "parameter",
         "with MEMORY_TYPE = FLASH: a flash memory (the model's read-only memories); its "
         "MEMORY_TYPE parameter gives the size"}}},
      {"QOR_PCI32_V1", "a 32-bit PCI interface", {}},
      {"QOR_PCI_ARBITER_V1", "a PCI arbiter", {}},
      {"QOR_ENETX_V1", "an Ethernet interface", {}},
      {"QOR_CFBOOT_V1", "a CompactFlash boot device", {}},
  };
  return types;
}

const IoTypeInfo* FindIoType(const StringBase& name) {
  for (const IoTypeInfo& type : IoTypes())
    if (EqualsIgnoringCase(name, StringBase(type.name))) return &type;
  return nullptr;
}

}  // namespace MbdRules
