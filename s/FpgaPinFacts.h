// What the model reads of the FPGA pins, copied into one compact table: for each pin whether
// it has constraint strings, the strings, and the location of its first LOC string. A net's
// pins are copied when a block's record first asks for them, side by side and next to the
// other nets of that block, so the pins of one instance's ports are read from a few
// neighbouring cache lines, and a change of the tree costs no copy of pins nobody asks about.
// The board index owns it and drops it as soon as the tree changes. Copying (On) is the
// index's business, under its lock; what was copied never moves, so that any thread may read
// the pins of a record made earlier (In, String, Location) while another is copied.
#ifndef MBD_FPGA_PIN_FACTS_H
#define MBD_FPGA_PIN_FACTS_H

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "CompactRecords.h"
#include "FpgaPinsByNet.h"
#include "LyrBoard.h"
#include "MbdRules.h"

namespace mbd_detail {

class FpgaPinFacts {
 public:
  using Text = TextRef;
  // One FPGA pin.
  struct Pin {
    bool hasConstraints = false;  // it has UCF_NET_STRING (MbdRules::ConstraintsOf)
    bool hasLocation = false;     // MbdRules::FirstLocation found a LOC string
    Text location;
    std::uint32_t firstString = 0;
    std::uint32_t strings = 0;
  };
  // The pins on one net: `count` pins from `first`.
  struct Range {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
  };

  // A table of the pins `byNet` (borrowed, kept as long as this table) finds.
  explicit FpgaPinFacts(const FpgaPinsByNet& byNet) : byNet_(&byNet) {}

  // The pins on a net that matches `net` as FpgaPinsByNet::On finds them, FPGA blocks in
  // order and pins in order, copied on the first call for the net; empty when none.
  Range On(const StringBase& net);
  // The pins of a range On gave.
  Run<Pin> In(Range range) const {
    if (range.count == 0) return {nullptr, nullptr};
    const Pin* first = pins_.At(range.first);
    return {first, first + range.count};
  }
  // The constraint string `n` of `pin` (n below pin.strings).
  StringBase String(const Pin& pin, std::uint32_t n) const {
    return Str(*strings_.At(pin.firstString + n));
  }
  // The location of `pin`; empty when it has none.
  StringBase Location(const Pin& pin) const { return Str(pin.location); }

 private:
  StringBase Str(Text text) const { return text_.Str(text); }
  void CopyPin(const LyrBase::Property& fpgaPort, Pin& pin);

  GrowOnlyText text_;
  GrowOnlyStore<Pin> pins_;
  GrowOnlyStore<Text> strings_;
  const FpgaPinsByNet* byNet_;
  std::unordered_map<StringBase, Range, MbdRules::NetHash, MbdRules::NetEqual> copied_;
};

}  // namespace mbd_detail

#endif  // MBD_FPGA_PIN_FACTS_H
