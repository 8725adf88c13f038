// The instance queries read a compact record of the block that the model makes on first use
// and drops when the tree changes. Random boards whose parameters, ports and FPGA pins collide
// in name, role and net, random host edits between queries, and each answer of a long-lived
// model compared with a plain walk over the tree as it is now.
#include <random>
#include <string>
#include <vector>

#include "MbdRules.h"
#include "MbdTestSupport.h"

namespace {

using mbdtest::Below;
using mbdtest::Pick;
using mbdtest::WalkAlternatives;
using mbdtest::WalkByName;
using LyrBase::ListStrVal;
using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::BdParam;
using LyrBoard::BdPin;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

// Small pools with case variants and blanks, so that names, roles and nets collide often.
const char* const kBlockNames[] = {"core", "CORE", "fpga", "other"};
const char* const kPropNames[] = {"P1", "p1", "P2", "SPEED", "EXCLUSIVE", "speed"};
const char* const kSubNames[] = {"IO_IS", "io_is", " IO_IS", "DESC", "desc ", "VALUE", "Dir"};
const char* const kValues[] = {"io", "IO", "clk", "", "x", "High", "g1"};
const char* const kNets[] = {"tx", "TX", "rx", ""};
const char* const kConstraints[] = {"LOC=A1", " loc = B2", "IOSTANDARD=X", "=C3", "LOC=", "flag"};

PsfComp* Sub(const char* name, const char* value) {
  auto* sub = new PsfComp(name);
  sub->SetValueStr(value);
  return sub;
}

// A UCF_NET_STRING sub-property: no value, a single string or a list of strings.
PsfComp* Constraints(std::mt19937& rng) {
  auto* ucf = new PsfComp(MBD::UCF_NET_STRING.c_str());
  const std::size_t kind = Below(rng, 3);
  if (kind == 1) ucf->SetValueStr(Pick(rng, kConstraints));
  if (kind == 2)
    ucf->SetLyrValuePtr(new ListStrVal({Pick(rng, kConstraints), Pick(rng, kConstraints)}));
  return ucf;
}

void AddSubs(std::mt19937& rng, Property& prop) {
  for (std::size_t n = Below(rng, 4); n > 0; --n)
    prop.AddPsfComp(Sub(Pick(rng, kSubNames), Pick(rng, kValues)));
}

Property* RandomProp(std::mt19937& rng, QbdBlock::NodeType kind) {
  Property* prop = nullptr;
  if (kind == QbdBlock::PORT) {
    prop = new BdPin(Pick(rng, kPropNames), Pick(rng, kNets));
  } else {
    prop = new BdParam(Pick(rng, kPropNames));
    prop->SetValueStr(Pick(rng, kValues));
  }
  AddSubs(rng, *prop);
  return prop;
}

QbdBlock* RandomBlock(std::mt19937& rng) {
  auto* block = new QbdBlock();
  block->SetName(Pick(rng, kBlockNames));
  if (Below(rng, 4) == 0) {
    auto* kind = new Property(MBD::BLOCK_NAME);
    kind->SetValueStr("FPGA");
    block->AddProperty(QbdBlock::ATTRIBUTE, kind);
    for (std::size_t n = Below(rng, 5); n > 0; --n) {
      auto* pin = new BdPin("pin", Pick(rng, kNets));
      if (Below(rng, 4) != 0) pin->AddPsfComp(Constraints(rng));
      block->AddProperty(QbdBlock::PORT, pin);
    }
  }
  for (QbdBlock::NodeType kind : {QbdBlock::ATTRIBUTE, QbdBlock::PARAMETER, QbdBlock::PORT})
    for (std::size_t n = Below(rng, 4); n > 0; --n)
      block->AddProperty(kind, RandomProp(rng, kind));
  return block;
}

std::vector<Property*> AllProps(const Qbd& qbd) {
  std::vector<Property*> props;
  for (QbdBlock* block : mbdtest::Blocks(qbd))
    for (QbdBlock::NodeType kind : {QbdBlock::ATTRIBUTE, QbdBlock::PARAMETER, QbdBlock::PORT})
      for (Property* prop : block->GetPropSeqRef(kind)) props.push_back(prop);
  return props;
}

// One edit of the kinds a host makes between two calls.
void RandomEdit(std::mt19937& rng, Qbd& qbd) {
  const std::vector<Property*> props = AllProps(qbd);
  Property* prop = props.empty() ? nullptr : props[Below(rng, props.size())];
  const auto& subs = prop ? prop->GetPsfCompSeqRef() : std::vector<PsfComp*>();
  PsfComp* sub = subs.empty() ? nullptr : subs[Below(rng, subs.size())];
  switch (Below(rng, 7)) {
    case 0: qbd.AddPsfComp(Qbd::BLOCK, RandomBlock(rng)); return;
    case 1:
      if (prop) prop->SetValueStr(Below(rng, 2) ? Pick(rng, kValues) : Pick(rng, kNets));
      return;
    case 2: if (prop) prop->SetName(Pick(rng, kPropNames)); return;
    case 3: if (sub) sub->SetValueStr(Pick(rng, kValues)); return;
    case 4: if (sub) prop->RemovePsfComp(sub); return;
    case 5:
      if (prop && Below(rng, 2)) prop->AddPsfComp(Constraints(rng));
      else if (prop) prop->AddPsfComp(Sub(Pick(rng, kSubNames), Pick(rng, kValues)));
      return;
    default: if (sub) sub->SetName(Pick(rng, kSubNames));
  }
}

// --- the plain walks the record stands for ---

std::vector<Property*> WalkFpgaPins(const Qbd& qbd, const StringBase& net) {
  std::vector<Property*> pins;
  for (QbdBlock* block : mbdtest::Blocks(qbd)) {
    if (!MbdRules::IsFpgaBlock(block)) continue;
    for (Property* pin : block->GetPropSeqRef(QbdBlock::PORT))
      if (EqualsIgnoringCase(pin->GetValueStr(), net)) pins.push_back(pin);
  }
  return pins;
}

std::string ValueOf(const PsfComp* node) {
  return node ? node->GetValueStr().str() : std::string();
}

// The first property named `name` (ignoring case) that has a sub-property `sub`, or its value.
std::string WalkNamed(const QbdBlock* block, QbdBlock::NodeType kind, const StringBase& name,
                      const char* sub) {
  if (!block) return std::string();
  for (const Property* prop : block->GetPropSeqRef(kind)) {
    if (!EqualsIgnoringCase(prop->GetName(), name)) continue;
    if (!sub) return ValueOf(prop);
    if (const PsfComp* found = prop->GetPsfCompByName(sub)) return ValueOf(found);
  }
  return std::string();
}

std::string WalkParamDesc(const QbdBlock* block, const StringBase& role, const char* sub) {
  if (!block) return std::string();
  for (const Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER))
    if (MbdRules::HasRole(*param, role) && param->GetPsfCompByName(sub))
      return ValueOf(param->GetPsfCompByName(sub));
  return std::string();
}

void AddSubs(const Property& prop, MBD::Table& table) {
  for (const PsfComp* sub : prop.GetPsfCompSeqRef()) {
    StringBase key = sub->GetName();
    key.Trim(" \t", StringBase::TRIM_BOTH);
    table.emplace(key, sub->GetValueStr());
  }
}

std::vector<MBD::Table> WalkParamTables(const QbdBlock* block) {
  std::vector<MBD::Table> tables;
  if (!block) return tables;
  for (const Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER)) {
    if (!MbdRules::RoleOf(*param)) continue;
    MBD::Table table{{MBD::VALUE, param->GetValueStr()}};
    AddSubs(*param, table);
    tables.push_back(table);
  }
  return tables;
}

std::vector<MBD::Table> WalkPortTables(const Qbd& qbd, const QbdBlock* block) {
  std::vector<MBD::Table> tables;
  if (!block) return tables;
  for (const Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
    const PsfComp* role = MbdRules::RoleOf(*port);
    if (!role) continue;
    const StringBase connector = MbdRules::ConnectorOfRole(block, role->GetValueStr());
    if (connector.IsEmpty()) continue;
    for (const Property* pin : WalkFpgaPins(qbd, connector)) {
      const PsfComp* ucf = MbdRules::ConstraintsOf(*pin);
      if (!ucf) continue;
      MBD::Table table;
      for (const StringBase& line : MbdRules::StringsOf(ucf))
        table.emplace(MBD::UCF_NET_STRING, line);
      table.emplace(MBD::CONNECTOR, connector);
      AddSubs(*port, table);
      tables.push_back(table);
    }
  }
  return tables;
}

std::string WalkLocation(const Qbd& qbd, const QbdBlock* block, const StringBase& role) {
  const StringBase connector = MbdRules::ConnectorOfRole(block, role);
  if (connector.IsEmpty()) return std::string();
  StringBase location;
  for (const Property* pin : WalkFpgaPins(qbd, connector)) {
    const PsfComp* ucf = MbdRules::ConstraintsOf(*pin);
    if (ucf && MbdRules::FirstLocation(MbdRules::StringsOf(ucf), location)) return location.str();
  }
  return std::string();
}

void CompareAnswers(std::mt19937& rng, const Qbd& qbd, MBD& model) {
  for (int q = 0; q < 4; ++q) {
    const StringBase name = Pick(rng, kBlockNames);
    const StringBase prop = Pick(rng, kPropNames);
    const StringBase role = Pick(rng, kValues);
    const char* sub = Pick(rng, kSubNames);
    SCOPED_TRACE(name.str() + " / " + prop.str() + " / " + role.str() + " / " + sub);
    const QbdBlock* block = WalkByName(qbd, name);
    const Property* param =
        block ? MbdRules::FirstWithRole(block->GetPropSeqRef(QbdBlock::PARAMETER), role) : nullptr;
    const Property* port =
        block ? MbdRules::FirstWithRole(block->GetPropSeqRef(QbdBlock::PORT), role) : nullptr;
    ASSERT_EQ(model.getAttributeValue(name, prop).str(),
              block ? MbdRules::AttributeOf(*block, prop.c_str()).str() : "");
    ASSERT_EQ(model.getSpeedOfIns(name), MbdRules::SpeedOf(block));
    ASSERT_EQ(mbdtest::Strings(model.getExclusiveInsSeq(name)), WalkAlternatives(qbd, name));
    ASSERT_EQ(model.getParamNameByIois(name, role).str(), param ? param->GetName().str() : "");
    ASSERT_EQ(model.getCoreParamValue(name, role).str(), ValueOf(param));
    ASSERT_EQ(model.getCoreParamDesc(name, role, sub).str(), WalkParamDesc(block, role, sub));
    ASSERT_EQ(model.getValByInsIoisName(name, role, sub).str(),
              param ? ValueOf(param->GetPsfCompByName(sub)) : "");
    ASSERT_EQ(model.hasPortIoisVal(name, role), port != nullptr);
    ASSERT_EQ(model.getParamValue(name, prop).str(),
              WalkNamed(block, QbdBlock::PARAMETER, prop, nullptr));
    ASSERT_EQ(model.getPortValue(name, prop).str(),
              WalkNamed(block, QbdBlock::PORT, prop, nullptr));
    ASSERT_EQ(model.getParamSubpropValue(name, prop, sub).str(),
              WalkNamed(block, QbdBlock::PARAMETER, prop, sub));
    ASSERT_EQ(model.getPortSubpropValue(name, prop, sub).str(),
              WalkNamed(block, QbdBlock::PORT, prop, sub));
    ASSERT_EQ(model.getParamsByIns(name), WalkParamTables(block));
    ASSERT_EQ(model.getPortsByIns(name), WalkPortTables(qbd, block));
    ASSERT_EQ(model.getCorePortLoc(name, role).str(), WalkLocation(qbd, block, role));
  }
}

TEST(MbdFacts, InstanceAnswersFollowHostEditsLikeAPlainWalk) {
  std::mt19937 rng(20261210);
  Port_MsgCapture quiet;  // the traces of absent roles and constraints are not compared here
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    Qbd qbd;
    for (std::size_t n = 1 + Below(rng, 6); n > 0; --n)
      qbd.AddPsfComp(Qbd::BLOCK, RandomBlock(rng));
    MBD model(&qbd);
    for (int step = 0; step < 12; ++step) {
      CompareAnswers(rng, qbd, model);
      if (HasFatalFailure()) return;
      RandomEdit(rng, qbd);
    }
  }
}

}  // namespace
