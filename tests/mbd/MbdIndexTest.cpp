// The model's lookups over a tree the host keeps changing: random boards, random edits between
// queries, and each answer of a long-lived model compared with a plain walk over the tree and
// with a model made afresh after the edit.
#include <random>
#include <string>
#include <vector>

#include "MbdRules.h"
#include "MbdTestSupport.h"

namespace {

using mbdtest::Below;
using mbdtest::Chance;
using mbdtest::Pick;
using mbdtest::WalkAlternatives;
using mbdtest::WalkByName;
using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::BdPin;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

// Small pools with case variants, so that names, types and nets collide often.
const char* const kNames[] = {"uart", "UART", "spi", "Spi_1", "fpga", "led"};
const char* const kTypes[] = {"QOR_UART_V1", "qor_uart_v1", "QOR_SPI_V1", ""};
const char* const kNets[] = {"tx", "TX", "rx", "clk", ""};
const char* const kGroups[] = {"g1", "G1", "g2"};

Property* Attr(const char* name, const char* value) {
  auto* attr = new Property(name);
  attr->SetValueStr(value);
  return attr;
}

BdPin* Port(std::mt19937& rng, int n) {
  auto* pin = new BdPin(("P" + std::to_string(n)).c_str(), Pick(rng, kNets));
  auto* ucf = new PsfComp(MBD::UCF_NET_STRING.c_str());
  ucf->SetValueStr(("LOC=" + std::to_string(n)).c_str());
  pin->AddPsfComp(ucf);
  if (Chance(rng, 50)) {
    auto* role = new PsfComp(MBD::IOIS.c_str());
    role->SetValueStr(Chance(rng, 50) ? "io" : "IO");
    pin->AddPsfComp(role);
  }
  return pin;
}

QbdBlock* RandomBlock(std::mt19937& rng) {
  auto* block = new QbdBlock();
  block->SetName(Pick(rng, kNames));
  if (Chance(rng, 25)) block->AddProperty(QbdBlock::ATTRIBUTE, Attr(MBD::BLOCK_NAME, "fpga"));
  if (Chance(rng, 70)) block->AddProperty(QbdBlock::ATTRIBUTE, Attr(MBD::IO_TYPE, Pick(rng, kTypes)));
  if (Chance(rng, 40)) block->AddProperty(QbdBlock::ATTRIBUTE, Attr("EXCLUSIVE", Pick(rng, kGroups)));
  for (int n = static_cast<int>(Below(rng, 4)); n > 0; --n)
    block->AddProperty(QbdBlock::PORT, Port(rng, n));
  return block;
}

std::unique_ptr<Qbd> RandomBoard(std::mt19937& rng) {
  auto qbd = std::make_unique<Qbd>();
  qbd->AddPsfComp(Qbd::ATTRIBUTE, Attr("NAME", "Fuzzed"));
  for (int n = static_cast<int>(Below(rng, 12)); n > 0; --n) qbd->AddPsfComp(Qbd::BLOCK, RandomBlock(rng));
  return qbd;
}

QbdBlock* AnyBlock(std::mt19937& rng, Qbd& qbd) {
  const auto& blocks = qbd.GetPsfCompSeqRef(Qbd::BLOCK);
  return blocks.empty() ? nullptr : static_cast<QbdBlock*>(blocks[Below(rng, blocks.size())]);
}

// One edit of the kinds a host makes between two calls.
void RandomEdit(std::mt19937& rng, Qbd& qbd, MBD& model) {
  QbdBlock* block = AnyBlock(rng, qbd);
  switch (Below(rng, 8)) {
    case 0: qbd.AddPsfComp(Qbd::BLOCK, RandomBlock(rng)); return;
    case 1: if (block) qbd.RemovePsfComp(Qbd::BLOCK, block); return;
    case 2: if (block) block->SetName(Pick(rng, kNames)); return;
    case 3:
      if (block && !block->GetPropSeqRef(QbdBlock::ATTRIBUTE).empty()) {
        const auto& attrs = block->GetPropSeqRef(QbdBlock::ATTRIBUTE);
        Property* attr = attrs[Below(rng, attrs.size())];
        attr->SetValueStr(Chance(rng, 50) ? Pick(rng, kTypes) : Pick(rng, kGroups));
      }
      return;
    case 4: if (block) block->AddProperty(QbdBlock::ATTRIBUTE, Attr(MBD::IO_TYPE, Pick(rng, kTypes))); return;
    case 5:
      if (block && !block->GetPropSeqRef(QbdBlock::PORT).empty()) {
        const auto& ports = block->GetPropSeqRef(QbdBlock::PORT);
        Property* port = ports[Below(rng, ports.size())];
        if (Chance(rng, 50)) port->SetValueStr(Pick(rng, kNets));
        else block->RemoveProperty(QbdBlock::PORT, port);
      }
      return;
    case 6: if (block) block->AddProperty(QbdBlock::PORT, Port(rng, 9)); return;
    default: model.setArch("ketral2p");  // a real board: the setter changes nothing
  }
}

// The plain walks the indexes stand for.
std::vector<Property*> WalkFpgaPorts(const Qbd& qbd, const StringBase& net) {
  std::vector<Property*> ports;
  for (QbdBlock* block : mbdtest::Blocks(qbd)) {
    const Property* kind = block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::BLOCK_NAME);
    if (!kind || !EqualsIgnoringCase(kind->GetValueStr(), MBD::FPGA_IOTYPE)) continue;
    for (Property* port : block->GetPropSeqRef(QbdBlock::PORT))
      if (EqualsIgnoringCase(port->GetValueStr(), net)) ports.push_back(port);
  }
  return ports;
}

std::vector<std::string> WalkNamesOfType(const Qbd& qbd, const StringBase& type) {
  std::vector<std::string> names;
  if (type.IsEmpty()) return names;
  for (QbdBlock* block : mbdtest::Blocks(qbd)) {
    const Property* attr = block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::IO_TYPE);
    if (attr && EqualsIgnoringCase(attr->GetValueStr(), type)) names.push_back(block->GetName().str());
  }
  return names;
}

// Every looked-up answer of `model`, against the walks and against `fresh`.
void CompareAnswers(std::mt19937& rng, const Qbd& qbd, MBD& model, MBD& fresh) {
  for (int q = 0; q < 6; ++q) {
    const StringBase name = Pick(rng, kNames);
    const StringBase type = Pick(rng, kTypes);
    const StringBase net = Pick(rng, kNets);
    SCOPED_TRACE(name.str() + " / " + type.str() + " / " + net.str());
    ASSERT_EQ(model.getBlockByName(name), WalkByName(qbd, name));
    ASSERT_EQ(model.getFpgaPortsOnNet(net), WalkFpgaPorts(qbd, net));
    ASSERT_EQ(mbdtest::Strings(model.getInstanceNamesByIOType(type, 0)), WalkNamesOfType(qbd, type));
    ASSERT_EQ(model.hasIoType(type), fresh.hasIoType(type));
    ASSERT_EQ(mbdtest::Strings(model.getExclusiveInsSeq(name)), WalkAlternatives(qbd, name));
    ASSERT_EQ(model.getPortsByIns(name), fresh.getPortsByIns(name));
    ASSERT_EQ(model.getCorePortLoc(name, "io"), fresh.getCorePortLoc(name, "io"));
    ASSERT_EQ(model.getPortsByIOType(type), fresh.getPortsByIOType(type));
    ASSERT_EQ(model.getIOTypeByInstanceName(name), fresh.getIOTypeByInstanceName(name));
    ASSERT_EQ(model.getArch(), fresh.getArch());
  }
}

TEST(MbdIndex, AnswersFollowHostEditsLikeAPlainWalk) {
  std::mt19937 rng(20261209);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    auto qbd = RandomBoard(rng);
    MBD model(qbd.get());
    for (int step = 0; step < 12; ++step) {
      MBD fresh(qbd.get());
      CompareAnswers(rng, *qbd, model, fresh);
      if (HasFatalFailure()) return;
      RandomEdit(rng, *qbd, model);
    }
  }
}

// A host that replaces a block by one built the same way: the new block has the old one's
// count of changes, and the node pool is likely to give it the old one's memory, so only the
// board's count of block-list changes tells the model that it is another block.
TEST(MbdIndex, ABlockReplacedByOneBuiltAlikeIsReadAnew) {
  const auto make = [](const char* net) {
    auto* block = new QbdBlock();
    block->SetName("uart");
    block->AddProperty(QbdBlock::PORT, new BdPin("TX", net));
    return block;
  };
  Qbd qbd;
  MBD model(&qbd);
  qbd.AddPsfComp(Qbd::BLOCK, make("tx"));
  ASSERT_EQ(model.getPortValue("uart", "TX").str(), "tx");
  for (const char* net : {"rx", "tx", "clk"}) {
    qbd.RemovePsfComp(Qbd::BLOCK, qbd.GetPsfCompSeqRef(Qbd::BLOCK)[0]);
    qbd.AddPsfComp(Qbd::BLOCK, make(net));
    EXPECT_EQ(model.getPortValue("uart", "TX").str(), net);
  }
}

TEST(MbdIndex, AModelCopyAnswersForTheSameTree) {
  auto qbd = mbdtest::ReadBoard("BEGIN BLOCK a\n  ATTRIBUTE IOTYPE = T\nEND\n");
  MBD model(qbd.get());
  ASSERT_NE(model.getBlockByName("A"), nullptr);
  MBD copy(model);
  auto* added = new QbdBlock();
  added->SetName("b");
  qbd->AddPsfComp(Qbd::BLOCK, added);
  EXPECT_EQ(copy.getBlockByName("B"), added);
  EXPECT_EQ(model.getBlockByName("B"), added);
  ASSERT_EQ(qbd->RemovePsfComp(Qbd::BLOCK, model.getBlockByName("a")), 0);
  EXPECT_EQ(model.getBlockByName("a"), nullptr);
  EXPECT_EQ(copy.getBlockByName("a"), nullptr);
  EXPECT_TRUE(model.getInstanceNamesByIOType("t", 0).empty());
}

}  // namespace
