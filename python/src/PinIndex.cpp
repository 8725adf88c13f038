#include "PinIndex.h"

#include "BoardState.h"

namespace qbdpy {

namespace {
const std::vector<PortRef>& Lookup(
    const std::unordered_map<StringBase, std::vector<PortRef>, MbdRules::NetHash,
                             MbdRules::NetEqual>& index,
    const StringBase& net) {
  static const std::vector<PortRef> kNone;
  if (net.IsEmpty()) return kNone;
  const auto found = index.find(net);
  return found == index.end() ? kNone : found->second;
}
}  // namespace

PinIndex::PinIndex(const LyrBoard::Qbd& board) {
  for (LyrBase::PsfComp* comp : board.GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK)) {
    auto* block = static_cast<LyrBoard::QbdBlock*>(comp);
    const bool fpga = MbdRules::IsFpgaBlock(block);
    if (!fpga) instances_.push_back(block);
    for (LyrBase::Property* port : block->GetPropSeqRef(LyrBoard::QbdBlock::PORT)) {
      const PortRef ref{block, port};
      if (fpga) pins_.push_back(ref);
      const StringBase net = MbdRules::ConnectorOf(*port);
      if (!net.IsEmpty()) (fpga ? pinsByNet_ : portsByNet_)[net].push_back(ref);
    }
  }
}

const std::vector<PortRef>& PinIndex::PinsOn(const StringBase& connector) const {
  return Lookup(pinsByNet_, connector);
}

const std::vector<PortRef>& PinIndex::PortsOn(const StringBase& net) const {
  return Lookup(portsByNet_, net);
}

const PinIndex& BoardState::pins() {
  if (!pins_ || pinsGeneration_ != generation_) {
    pins_ = std::make_shared<const PinIndex>(*tree_);
    pinsGeneration_ = generation_;
  }
  return *pins_;
}

}  // namespace qbdpy
