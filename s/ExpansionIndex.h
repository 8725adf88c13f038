// Where instance expansion finds the FPGA pin that a copied port is wired to, without
// rescanning the FPGA block's growing port list for every port it copies.
#ifndef MBD_EXPANSION_INDEX_H
#define MBD_EXPANSION_INDEX_H

#include <cstddef>
#include <memory>
#include <unordered_map>

#include "LyrBoard.h"
#include "MbdRules.h"

namespace mbd_detail {

// The first FPGA block of one expansion pass and, for each net it follows, the last port of
// that block on the net (nets compared ignoring letter case). Only nets that copied ports
// carry are ever asked for, so the index follows just those: it stays small however many
// pins the pass appends. Pins the pass appends go through AppendPin, so the index keeps
// answering "the last port in list order" as the list grows.
class ExpansionIndex {
 public:
  // Follows net from now on; cheapest before Resolve, when no scan is needed.
  void Track(const StringBase& net);
  // True once Resolve has been called.
  bool IsResolved() const { return fpga_ != nullptr; }
  // Takes fpga (not null) as the pass's FPGA block and indexes its ports on followed nets.
  void Resolve(LyrBoard::QbdBlock* fpga);
  // The last FPGA port whose net equals net ignoring case; null when none. A net not yet
  // followed is followed from here on, at the price of one scan of the port list.
  LyrBase::Property* LastPortOnNet(const StringBase& net);
  // Appends pin to the FPGA block's ports and records it when its net is followed.
  void AppendPin(std::unique_ptr<LyrBoard::BdPin> pin);

 private:
  using NetMap =
      std::unordered_map<StringBase, LyrBase::Property*, MbdRules::NetHash, MbdRules::NetEqual>;

  // The last port of the FPGA block's current list on net; null when none.
  LyrBase::Property* ScanForLast(const StringBase& net) const;
  // Records port as the last on its net when that net is followed.
  void Record(LyrBase::Property* port);

  LyrBoard::QbdBlock* fpga_ = nullptr;
  NetMap lastOnNet_;  // followed nets; null until a port on the net is seen
};

}  // namespace mbd_detail

#endif  // MBD_EXPANSION_INDEX_H
