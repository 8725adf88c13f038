#include "ExpansionIndex.h"

using LyrBase::Property;
using LyrBoard::QbdBlock;

namespace mbd_detail {

void ExpansionIndex::Track(const StringBase& net) {
  if (!followed_.insert(net).second || !fpga_) return;
  // Followed late: the ports already on the net go in first, in list order.
  for (Property* port : fpga_->GetPropSeqRef(QbdBlock::PORT))
    if (MbdRules::CarriesConnector(MbdRules::ConnectorOf(*port), net)) pins_.Add(port);
}

void ExpansionIndex::Resolve(QbdBlock* fpga) {
  fpga_ = fpga;
  for (Property* port : fpga_->GetPropSeqRef(QbdBlock::PORT)) Record(port);
}

Property* ExpansionIndex::LastPortOnNet(const StringBase& net) {
  Track(net);
  return pins_.LastOn(net);
}

void ExpansionIndex::AppendPin(std::unique_ptr<LyrBoard::BdPin> pin) {
  Property* added = pin.get();
  if (fpga_->AddProperty(QbdBlock::PORT, pin.release()) == 0) Record(added);
}

void ExpansionIndex::Record(Property* port) {
  if (followed_.count(MbdRules::ConnectorOf(*port))) pins_.Add(port);
}

}  // namespace mbd_detail
