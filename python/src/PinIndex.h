// The wiring of a board as the binding walks it: the FPGA pins and the instance ports on each
// net. Built from the board's rules (which block is the FPGA block, what a port's connector
// is, which nets match) on first use, and again after the board changed.
#ifndef QBD_PY_PIN_INDEX_H
#define QBD_PY_PIN_INDEX_H

#include <unordered_map>
#include <vector>

#include "LyrBoard.h"
#include "MbdRules.h"

namespace qbdpy {

// A port and the block it belongs to.
struct PortRef {
  LyrBoard::QbdBlock* block;
  LyrBase::Property* port;
};

class PinIndex {
 public:
  explicit PinIndex(const LyrBoard::Qbd& board);

  // The FPGA pins carrying that connector, in board order; empty when none.
  const std::vector<PortRef>& PinsOn(const StringBase& connector) const;
  // The instance ports wired to that net, in board order; empty when none.
  const std::vector<PortRef>& PortsOn(const StringBase& net) const;
  // Every FPGA pin, FPGA blocks in order, pins in order.
  const std::vector<PortRef>& Pins() const { return pins_; }
  // The blocks that are not FPGA blocks, in order.
  const std::vector<LyrBoard::QbdBlock*>& Instances() const { return instances_; }

 private:
  using ByNet = std::unordered_map<StringBase, std::vector<PortRef>, MbdRules::NetHash,
                                   MbdRules::NetEqual>;
  std::vector<PortRef> pins_;
  std::vector<LyrBoard::QbdBlock*> instances_;
  ByNet pinsByNet_;
  ByNet portsByNet_;
};

}  // namespace qbdpy

#endif  // QBD_PY_PIN_INDEX_H
