#include "NetIndex.h"

#include "Board.h"

namespace qbd {

namespace {
const std::vector<PortRef> kNone;

const std::vector<PortRef>& lookup(
    const std::unordered_map<std::string, std::vector<PortRef>>& index, const std::string& net) {
  const auto it = index.find(foldCase(net));
  return it == index.end() ? kNone : it->second;
}
}  // namespace

NetIndex::NetIndex(const LyrBoard::Qbd& qbd) {
  for (LyrBoard::QbdBlock* block : blocks(qbd)) {
    const bool fpga = isFpgaBlock(*block);
    (fpga ? fpga_ : instances_).push_back(block);
    for (LyrBase::Property* port : block->GetPropSeqRef(LyrBoard::QbdBlock::PORT)) {
      const PortRef ref{block, port};
      if (fpga) pins_.push_back(ref);
      const std::string net = str(port->GetValueStr());
      if (net.empty()) continue;
      (fpga ? pinsByNet_ : portsByNet_)[foldCase(net)].push_back(ref);
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
