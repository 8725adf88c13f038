// Where instance expansion finds the FPGA pin that a copied port is wired to, without
// rescanning the FPGA block's growing port list for every port it copies.
#ifndef MBD_EXPANSION_INDEX_H
#define MBD_EXPANSION_INDEX_H

#include <memory>
#include <unordered_set>

#include "FpgaPinsByNet.h"
#include "LyrBoard.h"
#include "MbdRules.h"

namespace mbd_detail {

// The first FPGA block of one expansion pass and its ports on the nets the pass follows, in
// the model's one map of pins by net. It cannot be the model's board index: every pin and
// copy the pass adds moves the tree's modification count, which would rebuild that index
// per lookup, and an answer here must count the pins appended earlier in the pass. Only nets
// that copied ports carry are ever asked for, so only those are followed: the map stays small
// however many pins the pass appends. Pins the pass appends go through AppendPin, so the
// index keeps answering "the last port in list order" as the list grows.
class ExpansionIndex {
 public:
  // Follows net from now on; cheapest before Resolve, when no scan is needed.
  void Track(const StringBase& net);
  // True once Resolve has been called.
  bool IsResolved() const { return fpga_ != nullptr; }
  // Takes fpga (not null) as the pass's FPGA block and indexes its ports on followed nets.
  void Resolve(LyrBoard::QbdBlock* fpga);
  // The last FPGA port on a net matching net; null when none. A net not yet followed is
  // followed from here on, at the price of one scan of the port list.
  LyrBase::Property* LastPortOnNet(const StringBase& net);
  // Appends pin to the FPGA block's ports and records it when its net is followed.
  void AppendPin(std::unique_ptr<LyrBoard::BdPin> pin);

 private:
  // Records port when its net is followed.
  void Record(LyrBase::Property* port);

  LyrBoard::QbdBlock* fpga_ = nullptr;
  std::unordered_set<StringBase, MbdRules::NetHash, MbdRules::NetEqual> followed_;
  FpgaPinsByNet pins_;  // the FPGA block's ports on followed nets, in list order
};

}  // namespace mbd_detail

#endif  // MBD_EXPANSION_INDEX_H
