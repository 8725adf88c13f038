#include "FpgaPinsByNet.h"

using LyrBase::Property;

namespace mbd_detail {

void FpgaPinsByNet::Add(Property* port) { byNet_[MbdRules::ConnectorOf(*port)].push_back(port); }

const std::vector<Property*>& FpgaPinsByNet::On(const StringBase& net) const {
  static const std::vector<Property*> kNone;
  const auto found = byNet_.find(net);
  return found == byNet_.end() ? kNone : found->second;
}

Property* FpgaPinsByNet::LastOn(const StringBase& net) const {
  const std::vector<Property*>& ports = On(net);
  return ports.empty() ? nullptr : ports.back();
}

}  // namespace mbd_detail
