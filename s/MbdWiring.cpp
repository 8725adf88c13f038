#include "MbdWiring.h"

namespace {

const std::vector<MbdWiring::PortRef>& Lookup(
    const std::unordered_map<StringBase, std::vector<MbdWiring::PortRef>, MbdRules::NetHash,
                             MbdRules::NetEqual>& byNet,
    const StringBase& net) {
  static const std::vector<MbdWiring::PortRef> kNone;
  const auto found = byNet.find(net);
  return found == byNet.end() ? kNone : found->second;
}

}  // namespace

MbdWiring::MbdWiring(const LyrBoard::Qbd& board) {
  for (LyrBase::PsfComp* comp : board.GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK)) {
    auto* block = static_cast<LyrBoard::QbdBlock*>(comp);
    const bool fpga = MbdRules::IsFpgaBlock(block);
    (fpga ? fpga_ : instances_).push_back(block);
    for (LyrBase::Property* port : block->GetPropSeqRef(LyrBoard::QbdBlock::PORT)) {
      const PortRef ref{block, port};
      if (fpga) pins_.push_back(ref);
      const StringBase net = MbdRules::ConnectorOf(*port);
      if (!net.IsEmpty()) (fpga ? pinsByNet_ : portsByNet_)[net].push_back(ref);
    }
  }
}

const std::vector<MbdWiring::PortRef>& MbdWiring::PinsOn(const StringBase& net) const {
  return Lookup(pinsByNet_, net);
}

const std::vector<MbdWiring::PortRef>& MbdWiring::PortsOn(const StringBase& net) const {
  return Lookup(portsByNet_, net);
}
