#include "FpgaPinFacts.h"

using LyrBase::Property;
using LyrBase::PsfComp;

namespace mbd_detail {

FpgaPinFacts::Range FpgaPinFacts::On(const StringBase& net) {
  const auto found = copied_.find(net);
  if (found != copied_.end()) return found->second;
  const std::vector<Property*>& ports = byNet_->On(net);
  Range range;
  range.count = static_cast<std::uint32_t>(ports.size());
  range.first = pins_.AppendRun(range.count);
  for (std::uint32_t p = 0; p < range.count; ++p) CopyPin(*ports[p], *pins_.At(range.first + p));
  copied_.emplace(net, range);
  return range;
}

void FpgaPinFacts::CopyPin(const Property& fpgaPort, Pin& pin) {
  const PsfComp* constraints = MbdRules::ConstraintsOf(fpgaPort);
  pin.hasConstraints = constraints != nullptr;
  const std::vector<StringBase> strings = MbdRules::StringsOf(constraints);
  pin.strings = static_cast<std::uint32_t>(strings.size());
  pin.firstString = strings_.AppendRun(pin.strings);
  for (std::uint32_t n = 0; n < pin.strings; ++n)
    *strings_.At(pin.firstString + n) = text_.Keep(strings[n]);
  StringBase location;
  pin.hasLocation = MbdRules::FirstLocation(strings, location);
  if (pin.hasLocation) pin.location = text_.Keep(location);
}

}  // namespace mbd_detail
