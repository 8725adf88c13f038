#include "FpgaPinFacts.h"

using LyrBase::Property;
using LyrBase::PsfComp;

namespace mbd_detail {

FpgaPinFacts::Range FpgaPinFacts::On(const StringBase& net) {
  const auto slot = copied_.emplace(net, Range());
  Range& range = slot.first->second;
  if (!slot.second) return range;
  range.first = static_cast<std::uint32_t>(pins_.size());
  for (const Property* port : byNet_->On(net)) AddPin(*port);
  range.count = static_cast<std::uint32_t>(pins_.size()) - range.first;
  return range;
}

void FpgaPinFacts::AddPin(const Property& fpgaPort) {
  Pin pin;
  const PsfComp* constraints = MbdRules::ConstraintsOf(fpgaPort);
  pin.hasConstraints = constraints != nullptr;
  pin.firstString = static_cast<std::uint32_t>(strings_.size());
  const std::vector<StringBase> strings = MbdRules::StringsOf(constraints);
  for (const StringBase& line : strings) strings_.push_back(text_.Keep(line));
  pin.strings = static_cast<std::uint32_t>(strings.size());
  StringBase location;
  pin.hasLocation = MbdRules::FirstLocation(strings, location);
  if (pin.hasLocation) pin.location = text_.Keep(location);
  pins_.push_back(pin);
}

}  // namespace mbd_detail
