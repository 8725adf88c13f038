#include "FpgaPinFacts.h"

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::QbdBlock;

namespace mbd_detail {

FpgaPinFacts::FpgaPinFacts(const std::vector<QbdBlock*>& fpgaBlocks) {
  // Nets in the order of their first pin, each with its pins in order.
  std::vector<std::vector<const Property*>> nets;
  std::unordered_map<StringBase, std::size_t, MbdRules::NetHash, MbdRules::NetEqual> netOf;
  for (const QbdBlock* fpga : fpgaBlocks)
    for (const Property* port : fpga->GetPropSeqRef(QbdBlock::PORT)) {
      const auto slot = netOf.emplace(MbdRules::ConnectorOf(*port), nets.size());
      if (slot.second) nets.emplace_back();
      nets[slot.first->second].push_back(port);
    }
  std::vector<Range> ranges(nets.size());
  for (std::size_t n = 0; n < nets.size(); ++n) {
    ranges[n].first = static_cast<std::uint32_t>(pins_.size());
    for (const Property* port : nets[n]) AddPin(*port);
    ranges[n].count = static_cast<std::uint32_t>(pins_.size()) - ranges[n].first;
  }
  byNet_.reserve(netOf.size());
  for (const auto& net : netOf) byNet_.emplace(net.first, ranges[net.second]);
}

FpgaPinFacts::Range FpgaPinFacts::On(const StringBase& net) const {
  const auto found = byNet_.find(net);
  return found == byNet_.end() ? Range() : found->second;
}

FpgaPinFacts::Text FpgaPinFacts::Keep(const StringBase& text) {
  Text kept{static_cast<std::uint32_t>(text_.size()), text.GetLength()};
  text_.append(text.c_str(), text.GetLength());
  return kept;
}

void FpgaPinFacts::AddPin(const Property& fpgaPort) {
  Pin pin;
  const PsfComp* constraints = MbdRules::ConstraintsOf(fpgaPort);
  pin.hasConstraints = constraints != nullptr;
  pin.firstString = static_cast<std::uint32_t>(strings_.size());
  const std::vector<StringBase> strings = MbdRules::StringsOf(constraints);
  for (const StringBase& line : strings) strings_.push_back(Keep(line));
  pin.strings = static_cast<std::uint32_t>(strings.size());
  StringBase location;
  pin.hasLocation = MbdRules::FirstLocation(strings, location);
  if (pin.hasLocation) pin.location = Keep(location);
  pins_.push_back(pin);
}

}  // namespace mbd_detail
