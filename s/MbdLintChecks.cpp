// The lint checks. Each walks the board once (or keeps an index), so a large board stays cheap;
// every rule of the board they apply comes from MbdRules.
#include "MbdLintChecks.h"

#include <algorithm>
#include <unordered_map>

#include "MBD.h"
#include "MbdRules.h"

namespace MbdLint {
namespace checks {

namespace {

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::QbdBlock;

std::string quote(const std::string& s) { return "\"" + s + "\""; }

std::string blockName(const QbdBlock& block) { return quote(block.GetName().str()); }

std::string pinName(const LintContext::Pin& pin) {
  return pin.block->GetName().str() + "." + pin.port->GetName().str();
}

std::string lineOf(const PsfComp& node) {
  return node.GetLineNo() ? " (line " + std::to_string(node.GetLineNo()) + ")" : std::string();
}

using NameMap = std::unordered_map<StringBase, const QbdBlock*, CaseBlindHash, CaseBlindEqual>;

// Calls visit(block, frequency parameter) for every frequency parameter of every clock.
template <class Visit>
void forEachFrequencyParam(const LintContext& context, Visit visit) {
  for (const QbdBlock* block : context.blocks()) {
    if (!MbdRules::HasIoType(*block, MBD::IOTYPE_CLOCK)) continue;
    for (const Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER))
      if (MbdRules::IsFrequencyParam(*param)) visit(*block, *param);
  }
}

}  // namespace

void DuplicateNames(LintContext& context) {
  NameMap seen;
  for (const QbdBlock* block : context.blocks()) {
    const auto first = seen.emplace(block->GetName(), block);
    if (first.second) continue;
    context.report("QBD001", block,
                   "block " + blockName(*block) + " has the same name as block " +
                       blockName(*first.first->second) + lineOf(*first.first->second) +
                       " (names are compared ignoring case)");
  }
}

void UnwiredPorts(LintContext& context) {
  for (const QbdBlock* block : context.instances()) {
    for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
      const StringBase net = MbdRules::ConnectorOf(*port);
      if (net.IsEmpty() || context.netHasPin(net)) continue;
      context.report("QBD002", port,
                     "port " + quote(block->GetName().str() + "." + port->GetName().str()) +
                         " is on net " + quote(net.str()) + ", which no FPGA pin carries");
    }
  }
}

void PinsWithoutConstraints(LintContext& context) {
  for (const LintContext::Pin& pin : context.fpgaPins()) {
    if (!MbdRules::ConstraintStrings(*pin.port).empty()) continue;
    context.report("QBD003", pin.port,
                   "FPGA pin " + quote(pinName(pin)) + " has no constraint strings");
  }
}

void PinConflicts(LintContext& context) {
  std::unordered_map<StringBase, const Property*, CaseBlindHash, CaseBlindEqual> byLoc;
  for (const LintContext::Pin& pin : context.fpgaPins()) {
    for (const StringBase& stored : MbdRules::Locations(MbdRules::ConstraintStrings(*pin.port))) {
      const StringBase location = MbdRules::ReadableLocation(stored);
      if (location.IsEmpty()) continue;
      const auto seen = byLoc.emplace(location, pin.port);
      // A pin that repeats its own LOC is QBD016's.
      if (seen.second || seen.first->second == pin.port) continue;
      context.report("QBD004", pin.port,
                     "pin conflict: FPGA pin " + quote(pinName(pin)) + " is at location " +
                         quote(location.str()) + ", as is pin " +
                         quote(seen.first->second->GetName().str()) +
                         lineOf(*seen.first->second));
    }
  }
}

void MalformedConstraints(LintContext& context) {
  for (const LintContext::Pin& pin : context.fpgaPins()) {
    const PsfComp* where = MbdRules::ConstraintsOf(*pin.port);
    for (const StringBase& text : MbdRules::ConstraintStrings(*pin.port)) {
      if (MbdRules::ReadConstraint(text).form != MbdRules::ConstraintForm::Malformed) continue;
      context.report("QBD005", where ? where : pin.port,
                     "constraint string " + quote(text.str()) + " of FPGA pin " +
                         quote(pinName(pin)) + " is none of the forms " +
                         MbdRules::ConstraintFormsText());
    }
  }
}

void FlashWithoutRole(LintContext& context) {
  for (const QbdBlock* block : context.blocks()) {
    for (const Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER)) {
      if (!MbdRules::IsFlashParam(*param) || MbdRules::RoleOf(*param)) continue;
      context.report("QBD006", param,
                     "flash memory parameter " + quote(param->GetName().str()) + " of block " +
                         blockName(*block) + " has no IO_IS");
    }
  }
}

void NoFpgaBlock(LintContext& context) {
  for (const QbdBlock* block : context.blocks())
    if (MbdRules::IsFpgaBlock(block)) return;
  context.report("QBD007", nullptr, "the board has no FPGA block (BLOCKTYPE = FPGA)");
}

void SecondFpgaBlock(LintContext& context) {
  const QbdBlock* first = nullptr;
  for (const QbdBlock* block : context.blocks()) {
    if (!MbdRules::IsFpgaBlock(block)) continue;
    if (!first) {
      first = block;
      continue;
    }
    context.report("QBD008", block,
                   "block " + blockName(*block) + " is a second FPGA block; the board model "
                   "reads only the first, " + blockName(*first));
  }
}

void ClockWithoutFrequency(LintContext& context) {
  for (const QbdBlock* block : context.blocks()) {
    if (!MbdRules::HasIoType(*block, MBD::IOTYPE_CLOCK)) continue;
    bool hasFrequency = false;
    for (const Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER))
      if (MbdRules::IsFrequencyParam(*param) &&
          !Port_TrimBlanks(param->GetValueStr().str()).empty())
        hasFrequency = true;
    if (!hasFrequency)
      context.report("QBD009", block,
                     "clock " + blockName(*block) + " has no frequency (a parameter with IO_IS = " +
                         MBD::FREQIOIS.str() + " and a value)");
  }
}

void FrequencyNotANumber(LintContext& context) {
  forEachFrequencyParam(context, [&context](const QbdBlock& block, const Property& param) {
    const StringBase value = param.GetValueStr();
    if (!Port_TrimBlanks(value.str()).empty() && !MbdRules::IsPlainNumber(value))
      context.report("QBD010", &param,
                     "frequency " + quote(value.str()) + " of clock " + blockName(block) +
                         " is not a number");
    const PsfComp* range = MbdRules::RangeOf(param);
    if (!range) return;
    for (const std::vector<StringBase>& element : MbdRules::RangeElements(*range)) {
      if (element.empty() || element.size() > 3) continue;
      for (const StringBase& number : element)
        if (!MbdRules::IsPlainNumber(number))
          context.report("QBD010", range,
                         "RANGE value " + quote(number.str()) + " of clock " + blockName(block) +
                             " is not a number");
    }
  });
}

void RangeElementSize(LintContext& context) {
  forEachFrequencyParam(context, [&context](const QbdBlock& block, const Property& param) {
    const PsfComp* range = MbdRules::RangeOf(param);
    if (!range) return;
    for (const std::vector<StringBase>& element : MbdRules::RangeElements(*range)) {
      MBD::ClkRng record;
      if (MbdRules::RangeRecord(element, block.GetName(), record)) continue;
      context.report("QBD011", range,
                     "RANGE element of clock " + blockName(block) + " has " +
                         std::to_string(element.size()) + " numbers (expected 1 to 3)");
    }
  });
}

void InstanceCounts(LintContext& context) {
  for (const QbdBlock* block : context.blocks()) {
    const Property* count = block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::MAX_NUM_INSTANCES);
    if (!count) continue;
    const std::string text = count->GetValueStr().str();
    const MbdRules::InstanceCount reading = MbdRules::ReadInstanceCount(count->GetValueStr());
    if (reading.expanded) continue;
    if (!reading.plain) {
      context.report("QBD012", count,
                     "MAX_NUM_INSTANCES " + quote(text) + " of block " + blockName(*block) +
                         " is not a number");
    } else if (reading.tooMany) {
      context.report("QBD012", count,
                     "MAX_NUM_INSTANCES " + quote(text) + " of block " + blockName(*block) +
                         " is above " + std::to_string(MbdRules::MAX_INSTANCES));
    }
    if (!block->GetPropertyByName(QbdBlock::ATTRIBUTE, "INSTANCE"))
      context.report("QBD012", count,
                     "block " + blockName(*block) +
                         " has MAX_NUM_INSTANCES but no INSTANCE attribute to number its copies");
  }
}

void BlocksWithoutIoType(LintContext& context) {
  for (const QbdBlock* block : context.instances()) {
    if (block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::IO_TYPE)) continue;
    context.report("QBD013", block, "block " + blockName(*block) + " has no IOTYPE attribute");
  }
}

void LoneExclusiveGroups(LintContext& context) {
  struct Group {
    const QbdBlock* first;
    const Property* tag;
    std::size_t members;
  };
  // The model compares EXCLUSIVE tags whole, ignoring case.
  std::unordered_map<StringBase, Group, CaseBlindHash, CaseBlindEqual> groups;
  std::vector<StringBase> order;
  for (const QbdBlock* block : context.blocks()) {
    const Property* tag = block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::EXCLUSIVE.c_str());
    if (!tag || tag->GetValueStr().IsEmpty()) continue;
    const auto it = groups.emplace(tag->GetValueStr(), Group{block, tag, 0}).first;
    if (it->second.members++ == 0) order.push_back(tag->GetValueStr());
  }
  for (const StringBase& key : order) {
    const Group& g = groups.at(key);
    if (g.members != 1) continue;
    context.report("QBD014", g.tag,
                   "EXCLUSIVE group " + quote(g.tag->GetValueStr().str()) + " has only block " +
                       blockName(*g.first) + "; nothing excludes it");
  }
}


void PinsWithoutLocation(LintContext& context) {
  for (const LintContext::Pin& pin : context.fpgaPins()) {
    const std::vector<StringBase> strings = MbdRules::ConstraintStrings(*pin.port);
    // A pin without any constraint string is QBD003's.
    if (strings.empty() || !MbdRules::Locations(strings).empty()) continue;
    context.report("QBD015", pin.port,
                   "FPGA pin " + quote(pinName(pin)) +
                       " has no LOC: the pins table and the constraint file give it no location");
  }
}

void PinLocationCount(LintContext& context) {
  for (const LintContext::Pin& pin : context.fpgaPins()) {
    const std::vector<StringBase> locations =
        MbdRules::Locations(MbdRules::ConstraintStrings(*pin.port));
    const PsfComp* strings = MbdRules::ConstraintsOf(*pin.port);
    const PsfComp* where = strings ? strings : pin.port;
    for (const StringBase& location : locations)
      if (MbdRules::IsBlankLocation(location))
        context.report("QBD016", where, "FPGA pin " + quote(pinName(pin)) + " has an empty LOC");
    if (locations.size() > 1)
      context.report("QBD016", where,
                     "FPGA pin " + quote(pinName(pin)) + " has " +
                         std::to_string(locations.size()) +
                         " LOC strings; the board model uses only the first, " +
                         quote(MbdRules::ReadableLocation(locations.front()).str()));
  }
}

namespace {

using PropertyMap =
    std::unordered_map<StringBase, const Property*, MbdRules::NameHash, MbdRules::NameEqual>;

// Reports each port of the block whose name an earlier port of it already has.
void reportSharedPortNames(LintContext& context, const char* code, const QbdBlock& block,
                           const std::string& noun) {
  PropertyMap seen;
  for (const Property* port : block.GetPropSeqRef(QbdBlock::PORT)) {
    const auto first = seen.emplace(port->GetName(), port);
    if (first.second) continue;
    context.report(code, port,
                   noun + " " + quote(port->GetName().str()) + " of block " + blockName(block) +
                       " has the same name as " + noun + " " +
                       quote(first.first->second->GetName().str()) +
                       lineOf(*first.first->second) + " (names are compared ignoring case)");
  }
}

}  // namespace

void SharedRoles(LintContext& context) {
  for (const QbdBlock* block : context.instances()) {
    std::unordered_map<StringBase, const Property*, MbdRules::RoleHash, MbdRules::RoleEqual> seen;
    for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
      const PsfComp* role = MbdRules::RoleOf(*port);
      if (!role) continue;
      const auto first = seen.emplace(role->GetValueStr(), port);
      if (first.second) continue;
      const std::string connector =
          MbdRules::ConnectorOfRole(block, role->GetValueStr()).str();
      context.report("QBD017", role,
                     "port " + quote(port->GetName().str()) + " of instance " + blockName(*block) +
                         " has role " + quote(role->GetValueStr().str()) + ", as has port " +
                         quote(first.first->second->GetName().str()) +
                         lineOf(*first.first->second) +
                         "; the board model resolves the role to that port's connector " +
                         quote(connector) + " only");
    }
  }
}

void SharedPortNames(LintContext& context) {
  for (const QbdBlock* block : context.instances())
    reportSharedPortNames(context, "QBD018", *block, "port");
}

void SharedPinNames(LintContext& context) {
  for (const QbdBlock* block : context.blocks())
    if (MbdRules::IsFpgaBlock(block)) reportSharedPortNames(context, "QBD019", *block, "FPGA pin");
}

void SharedNets(LintContext& context) {
  struct Wired {
    const QbdBlock* first;
    const Property* port;
    std::vector<const QbdBlock*> reported;
  };
  std::unordered_map<StringBase, Wired, MbdRules::NetHash, MbdRules::NetEqual> nets;
  for (const QbdBlock* block : context.instances()) {
    for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
      const StringBase net = MbdRules::ConnectorOf(*port);
      if (net.IsEmpty()) continue;
      Wired& wired = nets.emplace(net, Wired{block, port, {}}).first->second;
      if (wired.first == block || MbdRules::AreAlternatives(*wired.first, *block)) continue;
      if (std::find(wired.reported.begin(), wired.reported.end(), block) != wired.reported.end())
        continue;
      wired.reported.push_back(block);
      context.report("QBD020", port,
                     "net " + quote(net.str()) + " is wired to instance " + blockName(*block) +
                         " and to instance " + blockName(*wired.first) + " (port " +
                         quote(wired.port->GetName().str()) + lineOf(*wired.port) +
                         "), which are not alternatives: no common EXCLUSIVE group");
    }
  }
}

void ReversedRanges(LintContext& context) {
  forEachFrequencyParam(context, [&context](const QbdBlock& block, const Property& param) {
    const PsfComp* range = MbdRules::RangeOf(param);
    if (!range) return;
    for (const std::vector<StringBase>& element : MbdRules::RangeElements(*range)) {
      MBD::ClkRng record;
      if (!MbdRules::RangeRecord(element, block.GetName(), record) ||
          !MbdRules::RangeIsReversed(record))
        continue;
      context.report("QBD021", range,
                     "RANGE element of clock " + blockName(block) + " runs from " +
                         std::to_string(record.minFreq) + " down to " +
                         std::to_string(record.maxFreq) +
                         ": its minimum is above its maximum, so it admits no frequency");
    }
  });
}

void ClocksWithoutRange(LintContext& context) {
  forEachFrequencyParam(context, [&context](const QbdBlock& block, const Property& param) {
    if (MbdRules::RangeOf(param)) return;
    context.report("QBD022", &param,
                   "frequency " + quote(param.GetName().str()) + " of clock " + blockName(block) +
                       " has no RANGE: the board model takes the clock to deliver every "
                       "frequency, so a search for any frequency may choose it");
  });
}

void InstanceCountsIgnored(LintContext& context) {
  if (MbdRules::ReadsInstanceCounts(context.board())) return;
  for (const QbdBlock* block : context.blocks()) {
    const Property* count = block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::MAX_NUM_INSTANCES);
    if (!count) continue;
    context.report("QBD023", count,
                   "block " + blockName(*block) + " has MAX_NUM_INSTANCES, but the board is not "
                   "a generic template (NAME = " + quote(MBD::GENERIC_NAME.str()) +
                       "), so no copies are made");
  }
}

void FamilyWithoutSizes(LintContext& context) {
  for (const QbdBlock* block : context.blocks()) {
    if (!MbdRules::IsFpgaBlock(block)) continue;
    // The model reads the part of the first FPGA block only.
    // A board that names no family at all is not this check's: it has no part to look up.
    const Property* attr = block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::ARCH_NAME);
    if (!attr) return;
    const StringBase family = MbdRules::SizeFamily(attr->GetValueStr());
    if (family.IsEmpty() || MbdRules::SizesKnownFor(family)) return;
    context.report("QBD024", attr,
                   "FPGA family " + quote(family.str()) + " of block " + blockName(*block) +
                       " is not in the size database: block-RAM and cache sizes read as 0");
    return;
  }
}

void NetOnSeveralBalls(LintContext& context) {
  // The first located pin of each net; the first later pin of the net at another ball is the
  // finding, once per net, so that a net on thousands of pins makes one line.
  struct First {
    LintContext::Pin pin;
    bool reported;
  };
  std::unordered_map<StringBase, First, MbdRules::NetHash, MbdRules::NetEqual> first;
  for (const LintContext::Pin& pin : context.fpgaPins()) {
    const StringBase net = MbdRules::ConnectorOf(*pin.port);
    StringBase location;
    if (net.IsEmpty() || !MbdRules::PinLocation(*pin.port, location) || location.IsEmpty())
      continue;
    const auto seen = first.emplace(net, First{pin, false});
    if (seen.second || seen.first->second.reported) continue;
    const LintContext::Pin& before = seen.first->second.pin;
    StringBase firstLocation;
    MbdRules::PinLocation(*before.port, firstLocation);
    if (CaseBlindEqual()(firstLocation, location)) continue;  // two pins at one ball: QBD004
    seen.first->second.reported = true;
    context.report("QBD025", pin.port,
                   "net " + quote(net.str()) + " is on several FPGA balls: pin " +
                       quote(pinName(pin)) + " at " + quote(location.str()) + ", pin " +
                       quote(pinName(before)) + lineOf(*before.port) + " at " +
                       quote(firstLocation.str()) + " (a constraint file gives a port one ball)");
  }
}

}  // namespace checks
}  // namespace MbdLint
