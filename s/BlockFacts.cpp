#include "BlockFacts.h"

#include <unordered_map>

#include "MbdRules.h"

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::QbdBlock;

namespace mbd_detail {

namespace {

constexpr QbdBlock::NodeType kKinds[] = {QbdBlock::PARAMETER, QbdBlock::PORT,
                                         QbdBlock::ATTRIBUTE};

bool KnownKind(QbdBlock::NodeType kind) {
  return kind >= QbdBlock::PARAMETER && kind <= QbdBlock::ATTRIBUTE;
}

}  // namespace

BlockFacts::BlockFacts(const QbdBlock& block, FpgaPinFacts& fpgaPins)
    : fpgaPins_(&fpgaPins) {
  for (QbdBlock::NodeType kind : kKinds) AddProps(block, kind);
  kindStart_[QbdBlock::ATTRIBUTE + 1] = static_cast<std::uint32_t>(props_.size());
  WirePorts(fpgaPins);
  speed_ = text_.Keep(MbdRules::SpeedOf(&block));
  group_ = text_.Keep(MbdRules::ExclusiveGroupOf(block));
  // One record lives as long as the tree does not change: keep it no larger than it is.
  text_.ShrinkToFit();
  props_.shrink_to_fit();
  subs_.shrink_to_fit();
}

void BlockFacts::AddProps(const QbdBlock& block, QbdBlock::NodeType kind) {
  kindStart_[kind] = static_cast<std::uint32_t>(props_.size());
  for (const Property* prop : block.GetPropSeqRef(kind)) AddProp(*prop, kind);
}

void BlockFacts::AddProp(const Property& prop, QbdBlock::NodeType kind) {
  Prop facts;
  facts.name = text_.Keep(prop.GetName());
  const StringBase value = prop.GetValueStr();
  facts.value = text_.Keep(value);
  if (kind == QbdBlock::PORT) {
    // Kept apart only where it differs from the value text it is read from.
    const StringBase connector = MbdRules::ConnectorOf(prop);
    facts.connector = connector == value ? facts.value : text_.Keep(connector);
  }
  facts.firstSub = static_cast<std::uint32_t>(subs_.size());
  const PsfComp* role = MbdRules::RoleOf(prop);
  for (const PsfComp* sub : prop.GetPsfCompSeqRef()) {
    if (sub == role) facts.role = static_cast<std::int32_t>(subs_.size() - facts.firstSub);
    const Text name = text_.Keep(sub->GetName());
    subs_.push_back(Sub{name, text_.Keep(sub->GetValueStr())});
  }
  facts.subs = static_cast<std::uint32_t>(subs_.size()) - facts.firstSub;
  props_.push_back(facts);
}

void BlockFacts::WirePorts(FpgaPinFacts& fpgaPins) {
  // The first port of a role leads it: every port of the role resolves to its connector.
  std::unordered_map<StringBase, std::uint32_t, MbdRules::RoleHash, MbdRules::RoleEqual> leads;
  for (std::uint32_t p = kindStart_[QbdBlock::PORT]; p < kindStart_[QbdBlock::PORT + 1]; ++p) {
    Prop& port = props_[p];
    port.roleLead = p;
    const Sub* role = Role(port);
    if (!role) continue;
    port.roleLead = leads.emplace(Str(role->value), p).first->second;
    if (port.connector.size != 0) port.pins = fpgaPins.On(Str(port.connector));
  }
}

Run<BlockFacts::Prop> BlockFacts::Props(QbdBlock::NodeType kind) const {
  if (!KnownKind(kind)) return {nullptr, nullptr};
  const Prop* base = props_.data();
  return {base + kindStart_[kind], base + kindStart_[kind + 1]};
}

Run<BlockFacts::Sub> BlockFacts::Subs(const Prop& prop) const {
  const Sub* first = subs_.data() + prop.firstSub;
  return {first, first + prop.subs};
}

bool BlockFacts::TextEquals(Text text, const StringBase& other) const {
  // Case-blind equality folds byte for byte, so texts of other lengths never match.
  return text.size == other.GetLength() && EqualsIgnoringCase(Str(text), other);
}

const BlockFacts::Prop* BlockFacts::Named(QbdBlock::NodeType kind, const StringBase& name) const {
  for (const Prop& prop : Props(kind))
    if (TextEquals(prop.name, name)) return &prop;
  return nullptr;
}

const BlockFacts::Sub* BlockFacts::SubNamed(const Prop& prop, const StringBase& name) const {
  for (const Sub& sub : Subs(prop))
    if (TextEquals(sub.name, name)) return &sub;
  return nullptr;
}

StringBase BlockFacts::Attribute(const StringBase& name) const {
  const Prop* attr = Named(QbdBlock::ATTRIBUTE, name);
  return attr ? Str(attr->value) : StringBase();
}

const BlockFacts::Sub* BlockFacts::Role(const Prop& prop) const {
  return prop.role < 0 ? nullptr : &subs_[prop.firstSub + static_cast<std::uint32_t>(prop.role)];
}

bool BlockFacts::HasRole(const Prop& prop, const StringBase& iois) const {
  const Sub* role = Role(prop);
  return role && MbdRules::RoleEqual()(Str(role->value), iois);
}

const BlockFacts::Prop* BlockFacts::FirstWithRole(QbdBlock::NodeType kind,
                                                  const StringBase& iois) const {
  for (const Prop& prop : Props(kind))
    if (HasRole(prop, iois)) return &prop;
  return nullptr;
}

}  // namespace mbd_detail
