#include "ExpansionIndex.h"

using LyrBase::Property;
using LyrBoard::QbdBlock;

namespace mbd_detail {

void ExpansionIndex::Resolve(QbdBlock* fpga) {
  fpga_ = fpga;
  lastOnNet_.clear();
  // Later ports overwrite earlier ones, so each net keeps its last port.
  for (Property* port : fpga_->GetPropSeqRef(QbdBlock::PORT)) Index(port);
}

Property* ExpansionIndex::LastPortOnNet(const StringBase& net) const {
  const auto found = lastOnNet_.find(FoldCase(net));
  return found == lastOnNet_.end() ? nullptr : found->second;
}

void ExpansionIndex::AppendPin(std::unique_ptr<LyrBoard::BdPin> pin) {
  Property* added = pin.get();
  if (fpga_->AddProperty(QbdBlock::PORT, pin.release()) == 0) Index(added);
}

std::string ExpansionIndex::FoldCase(const StringBase& net) {
  std::string key = net.str();
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

void ExpansionIndex::Index(Property* port) { lastOnNet_[FoldCase(port->GetValueStr())] = port; }

}  // namespace mbd_detail
