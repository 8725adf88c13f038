// The wizard's module tree: the FPGA block becomes the top module, every other block a child
// module, and the board nets become signals of the top module that join the two sides.
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

}  // namespace

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
    LyrWiz_Module* child = module->AddChildModule(block->GetName());
    // Parameters reserved for the base user stay out of the wizard's view entirely.
    for (Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER))
      if (!isBaseUserProperty(param)) AddChildParam(param, child);
    for (const Property* attr : block->GetPropSeqRef(QbdBlock::ATTRIBUTE))
      child->properties.emplace(attr->GetName(), attr->GetValueStr());
    for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT))
      AddChildPin(port, child, module);
  }
  return 0;
}
