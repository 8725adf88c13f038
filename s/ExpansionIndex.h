// Where instance expansion finds the FPGA pin that a copied port is wired to, without
// rescanning the FPGA block's growing port list for every port it copies.
#ifndef MBD_EXPANSION_INDEX_H
#define MBD_EXPANSION_INDEX_H

#include <memory>
#include <string>
#include <unordered_map>

#include "LyrBoard.h"

namespace mbd_detail {

// The first FPGA block of one expansion pass and, per net ignoring letter case, the last of
// its ports on that net. Pins the pass appends go through AppendPin, so the index keeps
// answering "the last port in list order" as the list grows.
class ExpansionIndex {
 public:
  // True once Resolve has been called.
  bool IsResolved() const { return fpga_ != nullptr; }
  // Takes fpga (not null) as the pass's FPGA block and indexes its ports.
  void Resolve(LyrBoard::QbdBlock* fpga);
  // The FPGA block given to Resolve; null before.
  LyrBoard::QbdBlock* FpgaBlock() const { return fpga_; }
  // The last FPGA port whose net equals net ignoring case; null when none.
  LyrBase::Property* LastPortOnNet(const StringBase& net) const;
  // Appends pin to the FPGA block's ports and indexes it as the last port on its net.
  void AppendPin(std::unique_ptr<LyrBoard::BdPin> pin);

 private:
  // The key under which a net is filed: the same folding as StringBase's IGNORE_CASE.
  static std::string FoldCase(const StringBase& net);
  void Index(LyrBase::Property* port);

  LyrBoard::QbdBlock* fpga_ = nullptr;
  std::unordered_map<std::string, LyrBase::Property*> lastOnNet_;
};

}  // namespace mbd_detail

#endif  // MBD_EXPANSION_INDEX_H
