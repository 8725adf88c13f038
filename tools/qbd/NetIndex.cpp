#include "NetIndex.h"

#include "Board.h"

namespace qbd {

namespace {
const std::vector<PortRef> kNone;

template <class ByNet>
const std::vector<PortRef>& lookup(const ByNet& index, const std::string& net) {
  const auto it = index.find(StringBase(net));
  return it == index.end() ? kNone : it->second;
}
}  // namespace

NetIndex::NetIndex(const LyrBoard::Qbd& qbd) {
  for (LyrBoard::QbdBlock* block : blocks(qbd)) {
    const bool fpga = MbdRules::IsFpgaBlock(block);
    (fpga ? fpga_ : instances_).push_back(block);
    for (LyrBase::Property* port : block->GetPropSeqRef(LyrBoard::QbdBlock::PORT)) {
      const PortRef ref{block, port};
      if (fpga) pins_.push_back(ref);
      const StringBase net = MbdRules::ConnectorOf(*port);
      if (net.IsEmpty()) continue;
      (fpga ? pinsByNet_ : portsByNet_)[net].push_back(ref);
    }
  }
}

const std::vector<PortRef>& NetIndex::pinsOn(const std::string& net) const {
  return lookup(pinsByNet_, net);
}

const std::vector<PortRef>& NetIndex::portsOn(const std::string& net) const {
  return lookup(portsByNet_, net);
}

}  // namespace qbd
