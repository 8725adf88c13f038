#include "ExpansionIndex.h"

using LyrBase::Property;
using LyrBoard::QbdBlock;

namespace mbd_detail {

void ExpansionIndex::Track(const StringBase& net) {
  if (lastOnNet_.count(net)) return;
  lastOnNet_.emplace(net, fpga_ ? ScanForLast(net) : nullptr);
}

void ExpansionIndex::Resolve(QbdBlock* fpga) {
  fpga_ = fpga;
  for (auto& entry : lastOnNet_) entry.second = nullptr;
  // Later ports overwrite earlier ones, so each net keeps its last port.
  for (Property* port : fpga_->GetPropSeqRef(QbdBlock::PORT)) Record(port);
}

Property* ExpansionIndex::LastPortOnNet(const StringBase& net) {
  const auto found = lastOnNet_.find(net);
  if (found != lastOnNet_.end()) return found->second;
  Property* last = ScanForLast(net);
  lastOnNet_.emplace(net, last);
  return last;
}

void ExpansionIndex::AppendPin(std::unique_ptr<LyrBoard::BdPin> pin) {
  Property* added = pin.get();
  if (fpga_->AddProperty(QbdBlock::PORT, pin.release()) == 0) Record(added);
}

Property* ExpansionIndex::ScanForLast(const StringBase& net) const {
  const std::vector<Property*>& ports = fpga_->GetPropSeqRef(QbdBlock::PORT);
  for (auto it = ports.rbegin(); it != ports.rend(); ++it)
    if (MbdRules::CarriesConnector((*it)->GetValueStr(), net)) return *it;
  return nullptr;
}

void ExpansionIndex::Record(Property* port) {
  const auto found = lastOnNet_.find(port->GetValueStr());
  if (found != lastOnNet_.end()) found->second = port;
}

}  // namespace mbd_detail
