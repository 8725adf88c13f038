// Instance expansion of a generic board template: every block that the template allows
// several times is copied into numbered instances with numbered ports, nets and FPGA pins.
#include <algorithm>
#include <memory>
#include <stdexcept>

#include "ExpansionIndex.h"
#include "MBD.h"
#include "MbdRules.h"

using LyrBase::BaseParser;
using LyrBase::ListStrVal;
using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBase::StrVal;
using LyrBoard::BdParam;
using LyrBoard::BdPin;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

namespace {

const char* const kInstanceAttr = "INSTANCE";

// Appends to `to` a copy of every sub-property of `from`, its value copied as text.
void copySubProps(const Property& from, Property& to) {
  for (const PsfComp* sub : from.GetPsfCompSeqRef()) {
    auto copy = std::make_unique<PsfComp>(sub->GetName().c_str());
    copy->SetLyrValuePtr(new StrVal(sub->GetValueStr().c_str()));
    to.AddPsfComp(copy.release());
  }
}

// Copies the key's attributes; the INSTANCE attribute (instAttr) takes the copy's name.
void copyAttributes(const QbdBlock& key, const Property* instAttr, const StringBase& copyName,
                    QbdBlock& copy) {
  for (const Property* attr : key.GetPropSeqRef(QbdBlock::ATTRIBUTE)) {
    const StringBase value = attr == instAttr ? copyName : attr->GetValueStr();
    auto prop = std::make_unique<Property>(attr->GetName().c_str());
    BaseParser::SetFileInfo(prop.get());
    prop->SetLyrValuePtr(new StrVal(value.c_str()));
    copySubProps(*attr, *prop);
    copy.AddProperty(QbdBlock::ATTRIBUTE, prop.release());
  }
}

void copyParameters(const QbdBlock& key, QbdBlock& copy) {
  for (const Property* param : key.GetPropSeqRef(QbdBlock::PARAMETER)) {
    auto prop = std::make_unique<BdParam>(param->GetName().c_str());
    prop->SetLyrValuePtr(new StrVal(param->GetValueStr().c_str()));
    copySubProps(*param, *prop);
    copy.AddProperty(QbdBlock::PARAMETER, prop.release());
  }
}

// A new FPGA pin for copy `suffix` of a port on `net`, modelled on the FPGA port `model`;
// its sub-properties become lists read from their value text.
std::unique_ptr<BdPin> makeFpgaPin(const Property& model, const StringBase& net,
                                   const StringBase& suffix) {
  auto pin = std::make_unique<BdPin>((model.GetName() + "_" + suffix).c_str(),
                                     (net + "_" + suffix).c_str());
  for (const PsfComp* sub : model.GetPsfCompSeqRef()) {
    auto copy = std::make_unique<PsfComp>(sub->GetName().c_str());
    copy->SetLyrValuePtr(new ListStrVal(sub->GetValueStr().c_str()));
    pin->AddPsfComp(copy.release());
  }
  return pin;
}

// Every net a copied port can carry is known before the pass starts; following them before
// the FPGA block is indexed spares a scan of its port list per net later.
void trackCopiedNets(const std::vector<PsfComp*>& blocks, mbd_detail::ExpansionIndex& index) {
  for (const PsfComp* comp : blocks) {
    const QbdBlock* block = static_cast<const QbdBlock*>(comp);
    if (!block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::MAX_NUM_INSTANCES)) continue;
    for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT))
      index.Track(port->GetValueStr());
  }
}

}  // namespace

int MBD::dupBlocks() {
  // Planned first: what cannot finish (copies of ports without an FPGA block) is refused
  // before the tree changes at all.
  const MbdRules::ExpansionPlan plan = MbdRules::PlanExpansion(qbd);
  if (plan.needsFpgaBlock)
    throw std::out_of_range("the template copies ports but the board has no FPGA block");
  mbd_detail::ExpansionIndex index;
  trackCopiedNets(blockList(), index);
  for (const MbdRules::ExpansionStep& step : plan.steps) {
    QbdBlock* block = step.block;
    const char* name = block->GetName().c_str();
    Property* countAttr = block->GetPropertyByName(QbdBlock::ATTRIBUTE, MAX_NUM_INSTANCES);
    switch (step.outcome) {
      case MbdRules::ExpansionStep::AlreadyExpanded:
        continue;
      case MbdRules::ExpansionStep::NoInstanceAttr:
        Port_MsgManData::debugStub(
            "MAX_NUM_INSTANCES of %s is set but it has no INSTANCE attribute: no copies made\n",
            name);
        continue;
      case MbdRules::ExpansionStep::TooMany:
        Port_MsgManData::debugStub(
            "MAX_NUM_INSTANCES of %s is %s: more than %u instances, no copies made\n", name,
            countAttr->GetValueStr().c_str(), MbdRules::MAX_INSTANCES);
        break;
      case MbdRules::ExpansionStep::OverNodeLimit:
        Port_MsgManData::debugStub(
            "MAX_NUM_INSTANCES of %s: its %u copies would add %lu nodes, past the limit of %lu "
            "for one board, no copies made\n",
            name, step.copies, step.nodes, MbdRules::MAX_EXPANSION_NODES);
        break;
      case MbdRules::ExpansionStep::OverByteLimit:
        Port_MsgManData::debugStub(
            "MAX_NUM_INSTANCES of %s: its %u copies would add %llu bytes of text, past the "
            "limit of %llu for one board, no copies made\n",
            name, step.copies, step.bytes, MbdRules::MAX_EXPANSION_BYTES);
        break;
      case MbdRules::ExpansionStep::Copy:
        // Marked first, so that a later model over the same tree does not copy it again.
        countAttr->SetValueStr(MbdRules::EXPANDED_MARKER);
        if (dupBlock(block, step.copies, index) != 0) return 1;
        break;
      case MbdRules::ExpansionStep::NoCopies:
        break;
    }
    // Keeps the entry dupBlock made; records a key instance without copies otherwise.
    const Property* instAttr = block->GetPropertyByName(QbdBlock::ATTRIBUTE, kInstanceAttr);
    dupInsMap.emplace(instAttr->GetValueStr(), std::vector<StringBase>());
  }
  return 0;
}

int MBD::dupBlock(QbdBlock* block, unsigned int count, mbd_detail::ExpansionIndex& index) {
  const Property* instAttr = block->GetPropertyByName(QbdBlock::ATTRIBUTE, kInstanceAttr);
  if (!instAttr) return 1;  // dupBlocks never asks for that
  const StringBase key = instAttr->GetValueStr();
  // Taken once: when the key is the FPGA block itself, the pins appended for copy 1 are not
  // ports of the template and must not be copied into copy 2.
  const std::vector<Property*> ports = block->GetPropSeqRef(QbdBlock::PORT);
  std::vector<StringBase> names;
  names.reserve(std::min(count, MbdRules::MAX_INSTANCES));
  for (const Property* port : ports) index.Track(port->GetValueStr());
  for (unsigned done = 0; done < count; ++done) {
    StringBase suffix;
    suffix.Format("%d", static_cast<int>(done + 1));
    const StringBase copyName = key + "_" + suffix;
    // Owned here until the tree takes it, so an exception half-way leaves nothing behind.
    auto copy = std::make_unique<QbdBlock>();
    copyAttributes(*block, instAttr, copyName, *copy);
    copyParameters(*block, *copy);
    copyPorts(ports, suffix, *copy, index);
    QbdBlock* added = copy.release();
    if (qbd->AddPsfComp(Qbd::BLOCK, added) != 0) return 1;
    BaseParser::SetFileInfo(added);
    added->SetName(copyName.c_str());
    names.push_back(copyName);
  }
  dupInsMap.emplace(key, std::move(names));
  return 0;
}

void MBD::copyPorts(const std::vector<Property*>& ports, const StringBase& suffix,
                    QbdBlock& copy, mbd_detail::ExpansionIndex& index) {
  for (const Property* port : ports) {
    const StringBase net = port->GetValueStr();
    auto pin = std::make_unique<BdPin>((port->GetName() + "_" + suffix).c_str(),
                                       (net + "_" + suffix).c_str());
    copySubProps(*port, *pin);
    copy.AddProperty(QbdBlock::PORT, pin.release());
    // The first FPGA block cannot change during a pass (copies go to the end of the list), so
    // it is looked up once; the plan has made sure there is one.
    if (!index.IsResolved()) index.Resolve(getFPGABlocks().at(0));
    const Property* model = index.LastPortOnNet(net);
    if (model) index.AppendPin(makeFpgaPin(*model, net, suffix));
  }
}
