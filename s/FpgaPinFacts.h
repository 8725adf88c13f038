// What the model reads of the FPGA pins, copied into one compact table: for each pin whether
// it has constraint strings, the strings, and the location of its first LOC string. The pins of
// one net lie side by side, nets in the order the FPGA blocks first name them, so the pins of
// one instance's ports are read from a few neighbouring cache lines. The board index builds it
// from the tree and drops it as soon as the tree changes.
#ifndef MBD_FPGA_PIN_FACTS_H
#define MBD_FPGA_PIN_FACTS_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "LyrBoard.h"
#include "MbdRules.h"

namespace mbd_detail {

class FpgaPinFacts {
 public:
  // A stretch of the table's text.
  struct Text {
    std::uint32_t at = 0;
    std::uint32_t size = 0;
  };
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

  // Reads the ports of `fpgaBlocks`, in order.
  explicit FpgaPinFacts(const std::vector<LyrBoard::QbdBlock*>& fpgaBlocks);

  // The pins on a net that matches `net` as MbdRules::CarriesConnector says, FPGA blocks in
  // order and pins in order; empty when none.
  Range On(const StringBase& net) const;
  // The pins of a range On gave, for range-for.
  struct Pins {
    const Pin* first;
    const Pin* last;
    const Pin* begin() const { return first; }
    const Pin* end() const { return last; }
  };
  Pins In(Range range) const {
    const Pin* first = pins_.data() + range.first;
    return {first, first + range.count};
  }
  // The constraint string `n` of `pin` (n below pin.strings).
  StringBase String(const Pin& pin, std::uint32_t n) const {
    return Str(strings_[pin.firstString + n]);
  }
  // The location of `pin`; empty when it has none.
  StringBase Location(const Pin& pin) const { return Str(pin.location); }

 private:
  StringBase Str(Text text) const { return StringBase(text_.data() + text.at, text.size); }
  Text Keep(const StringBase& text);
  void AddPin(const LyrBase::Property& fpgaPort);

  std::string text_;
  std::vector<Pin> pins_;
  std::vector<Text> strings_;
  std::unordered_map<StringBase, Range, MbdRules::NetHash, MbdRules::NetEqual> byNet_;
};

}  // namespace mbd_detail

#endif  // MBD_FPGA_PIN_FACTS_H
