#include "MbdWiring.h"

#include <algorithm>
#include <numeric>

namespace {

// Net order within one hash: the connector compared as CarriesConnector compares (its key),
// so that each net's ports stand together even when two nets share a hash.
bool NetBefore(const MbdWiring::PortRef& a, const MbdWiring::PortRef& b) {
  return MbdRules::NetKey(MbdRules::ConnectorOf(*a.port)).str() <
         MbdRules::NetKey(MbdRules::ConnectorOf(*b.port)).str();
}

}  // namespace

void MbdWiring::ByNet::Sort() {
  std::vector<std::size_t> order(ports.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  // Stable: ports of one net keep board order.
  std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
    if (hashes[a] != hashes[b]) return hashes[a] < hashes[b];
    return NetBefore(ports[a], ports[b]);
  });
  std::vector<std::size_t> sortedHashes(order.size());
  std::vector<PortRef> sortedPorts(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    sortedHashes[i] = hashes[order[i]];
    sortedPorts[i] = ports[order[i]];
  }
  hashes.swap(sortedHashes);
  ports.swap(sortedPorts);
}

MbdWiring::Ports MbdWiring::ByNet::Find(const StringBase& net) const {
  const PortRef* base = ports.data();
  if (net.IsEmpty()) return Ports(base, base);
  const auto range = std::equal_range(hashes.begin(), hashes.end(), MbdRules::NetHash()(net));
  std::size_t first = static_cast<std::size_t>(range.first - hashes.begin());
  std::size_t last = static_cast<std::size_t>(range.second - hashes.begin());
  const auto matches = [&](std::size_t i) {
    return MbdRules::CarriesConnector(MbdRules::ConnectorOf(*ports[i].port), net);
  };
  // Nets that only share the hash stand before or after this one.
  while (first < last && !matches(first)) ++first;
  while (last > first && !matches(last - 1)) --last;
  return Ports(base + first, base + last);
}

MbdWiring::MbdWiring(const LyrBoard::Qbd& board) {
  for (LyrBase::PsfComp* comp : board.GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK)) {
    auto* block = static_cast<LyrBoard::QbdBlock*>(comp);
    const bool fpga = MbdRules::IsFpgaBlock(block);
    (fpga ? fpga_ : instances_).push_back(block);
    for (LyrBase::Property* port : block->GetPropSeqRef(LyrBoard::QbdBlock::PORT)) {
      const PortRef ref{block, port};
      if (fpga) pins_.push_back(ref);
      const StringBase net = MbdRules::ConnectorOf(*port);
      if (net.IsEmpty()) continue;
      ByNet& byNet = fpga ? pinsByNet_ : portsByNet_;
      byNet.hashes.push_back(MbdRules::NetHash()(net));
      byNet.ports.push_back(ref);
    }
  }
  pinsByNet_.Sort();
  portsByNet_.Sort();
}

MbdWiring::Ports MbdWiring::PinsOn(const StringBase& net) const { return pinsByNet_.Find(net); }

MbdWiring::Ports MbdWiring::PortsOn(const StringBase& net) const { return portsByNet_.Find(net); }

bool MbdWiring::IsSharedNet(const StringBase& net) const {
  return PinsOn(net).size() > 1 && PortsOn(net).size() > 1;
}
