// The wizard's module tree: the FPGA block becomes the top module, every other block a child
// module, and the board nets become signals of the top module that join the two sides.
#include <algorithm>
#include <functional>
#include <string>
#include <utility>

#include "LyrWiz_WizUtils/ArchDb.h"
#include "LyrWiz_WizUtils/Module.h"
#include "MBD.h"
#include "MbdRules.h"

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

namespace {

// Pins carry no bit range or direction of their own; a port's direction travels in the pin's
// properties.
const int kNoBit = -1;

// The top block's attributes and parameters as properties keyed by their trimmed names.
void AddTopProperties(const QbdBlock* top, LyrWiz_Module* module) {
  for (QbdBlock::NodeType kind : {QbdBlock::ATTRIBUTE, QbdBlock::PARAMETER})
    for (const Property* prop : top->GetPropSeqRef(kind)) {
      StringBase key = prop->GetName();
      key.Trim(" \t", StringBase::TRIM_BOTH);
      module->properties.emplace(key, prop->GetValueStr());
    }
}

// One pin per FPGA port, on its net's top-module signal, with its direction and constraints.
void AddTopPin(const Property* port, const std::vector<StringBase>& ucfStrings,
               LyrWiz_Module* module) {
  LyrWiz_Pin* pin = module->AddPin(port->GetName(), kNoBit, kNoBit, LyrWiz_Module::PINDIR_UNDEF);
  pin->SetInternalSignal(module->AddSignal(port->GetValueStr(), kNoBit, kNoBit));
  if (const PsfComp* dir = port->GetPsfCompByName(MBD::DIRECTION.c_str()))
    pin->properties.emplace(MBD::DIRECTION, dir->GetValueStr());
  for (const StringBase& line : ucfStrings) pin->properties.emplace(MBD::UCF_NET_STRING, line);
}

// A child parameter with its sub-properties, except one that repeats the parameter's name.
void AddChildParam(const Property* param, LyrWiz_Module* child) {
  LyrWiz_Param* made = child->AddParam(param->GetName(), param->GetValueStr());
  for (const PsfComp* sub : param->GetPsfCompSeqRef())
    if (sub->GetName().Compare(param->GetName(), StringBase::IGNORE_CASE) != 0)
      made->properties.emplace(sub->GetName(), sub->GetValueStr());
}

// A child pin with its role first and its other sub-properties after, wired to its net's
// signal on the top module.
void AddChildPin(const Property* port, LyrWiz_Module* child, LyrWiz_Module* top) {
  const PsfComp* role = MbdRules::RoleOf(*port);
  LyrWiz_Pin* pin = child->AddPin(port->GetName(), kNoBit, kNoBit, LyrWiz_Module::PINDIR_UNDEF);
  if (role) pin->properties.emplace(MBD::IOIS, role->GetValueStr());
  for (const PsfComp* sub : port->GetPsfCompSeqRef())
    if (sub != role) pin->properties.emplace(sub->GetName(), sub->GetValueStr());
  pin->SetExternalSignal(top->AddSignal(port->GetValueStr(), kNoBit, kNoBit));
}

// The signals a top module ends with: one per distinct net (names compare byte for byte), and
// one per port without a net. Counted over a sorted list of borrowed ports rather than a set
// of copied names, so that the count costs a few bytes per port.
std::size_t CountSignals(const QbdBlock* top, const Qbd& qbd) {
  std::vector<std::pair<std::size_t, const Property*>> named;
  std::size_t unnamed = 0;
  const auto add = [&](const QbdBlock* block) {
    for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
      const StringBase net = port->GetValueStr();
      if (net.IsEmpty())
        ++unnamed;
      else
        named.emplace_back(std::hash<std::string>()(net.str()), port);
    }
  };
  add(top);
  for (const PsfComp* comp : qbd.GetPsfCompSeqRef(Qbd::BLOCK))
    if (comp != top) add(static_cast<const QbdBlock*>(comp));
  const auto before = [](const std::pair<std::size_t, const Property*>& a,
                         const std::pair<std::size_t, const Property*>& b) {
    if (a.first != b.first) return a.first < b.first;
    return a.second->GetValueStr().str() < b.second->GetValueStr().str();
  };
  std::sort(named.begin(), named.end(), before);
  std::size_t distinct = 0;
  for (std::size_t i = 0; i < named.size(); ++i)
    if (i == 0 || before(named[i - 1], named[i])) ++distinct;
  return distinct + unnamed;
}

}  // namespace

void MBD::fillChildModule(const QbdBlock* block, LyrWiz_Module* child, LyrWiz_Module* top) {
  // Parameters reserved for the base user stay out of the wizard's view entirely.
  for (Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER))
    if (!isBaseUserProperty(param)) AddChildParam(param, child);
  for (const Property* attr : block->GetPropSeqRef(QbdBlock::ATTRIBUTE))
    child->properties.emplace(attr->GetName(), attr->GetValueStr());
  for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT))
    AddChildPin(port, child, top);
}

void MBD::visitModules(ModuleVisitor& visitor) {
  if (!qbd) return;
  const std::vector<QbdBlock*> fpgaBlocks = getFPGABlocks();
  if (fpgaBlocks.empty()) return;
  const QbdBlock* top = fpgaBlocks.front();
  {
    LyrWiz_Module head(top->GetName());
    AddTopProperties(top, &head);
    visitor.Top(head, CountSignals(top, *qbd));
  }
  for (const Property* port : top->GetPropSeqRef(QbdBlock::PORT)) {
    LyrWiz_Module holder;
    AddTopPin(port, MbdRules::ConstraintStrings(*port), &holder);
    visitor.TopPin(*holder.GetPins().front());
  }
  for (PsfComp* comp : qbd->GetPsfCompSeqRef(Qbd::BLOCK)) {
    if (comp == top) continue;
    const auto* block = static_cast<const QbdBlock*>(comp);
    LyrWiz_Module standIn;
    LyrWiz_Module* child = standIn.AddChildModule(block->GetName());
    fillChildModule(block, child, &standIn);
    visitor.Child(*child);
  }
}

int MBD::setupModules(LyrWiz_Module* module) {
  if (!module || !qbd) return 0;
  const std::vector<QbdBlock*> fpgaBlocks = getFPGABlocks();
  if (fpgaBlocks.empty()) return 0;
  const QbdBlock* top = fpgaBlocks.front();
  module->name = top->GetName();
  AddTopProperties(top, module);
  for (const Property* port : top->GetPropSeqRef(QbdBlock::PORT))
    AddTopPin(port, MbdRules::ConstraintStrings(*port), module);

  for (PsfComp* comp : qbd->GetPsfCompSeqRef(Qbd::BLOCK)) {
    if (comp == top) continue;
    const auto* block = static_cast<const QbdBlock*>(comp);
    fillChildModule(block, module->AddChildModule(block->GetName()), module);
  }
  return 0;
}
