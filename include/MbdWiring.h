// The wiring of a board as it is written: the FPGA pins and the instance ports on each net, in
// one walk. Which block is an FPGA block, what a port's connector is and which nets match are
// the board's rules (MbdRules); this only keeps their answers at hand for a whole-board walk.
// It reads the tree once: build a new one after the tree changed.
#ifndef MBD_WIRING_H
#define MBD_WIRING_H

#include <unordered_map>
#include <vector>

#include "LyrBoard.h"
#include "MbdExport.h"
#include "MbdRules.h"

class LYRWIZ_MBD_EXPORT MbdWiring {
 public:
  // A port and the block it belongs to: an FPGA pin when the block is an FPGA block.
  struct PortRef {
    LyrBoard::QbdBlock* block;
    LyrBase::Property* port;
  };

  explicit MbdWiring(const LyrBoard::Qbd& board);

  // The FPGA blocks, in board order.
  const std::vector<LyrBoard::QbdBlock*>& FpgaBlocks() const { return fpga_; }
  // The other blocks (instances), in board order.
  const std::vector<LyrBoard::QbdBlock*>& Instances() const { return instances_; }
  // Every FPGA pin, FPGA blocks in order, pins in order.
  const std::vector<PortRef>& FpgaPins() const { return pins_; }
  // The FPGA pins carrying that net, in board order; empty when none (and for the empty net).
  const std::vector<PortRef>& PinsOn(const StringBase& net) const;
  // The instance ports wired to that net, in board order; empty when none (and for the empty
  // net).
  const std::vector<PortRef>& PortsOn(const StringBase& net) const;

 private:
  using ByNet =
      std::unordered_map<StringBase, std::vector<PortRef>, MbdRules::NetHash, MbdRules::NetEqual>;
  std::vector<LyrBoard::QbdBlock*> fpga_;
  std::vector<LyrBoard::QbdBlock*> instances_;
  std::vector<PortRef> pins_;
  ByNet pinsByNet_;
  ByNet portsByNet_;
};

#endif  // MBD_WIRING_H
