// The wiring of a board as it is written: the FPGA pins and the instance ports on each net, in
// one walk. Which block is an FPGA block, what a port's connector is and which nets match are
// the board's rules (MbdRules); this only keeps their answers at hand for a whole-board walk.
// It reads the tree once: build a new one after the tree changed. It borrows the tree's nodes
// and copies no names, so that it costs a few words per port.
#ifndef MBD_WIRING_H
#define MBD_WIRING_H

#include <cstddef>
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
  // Ports in board order, held by the index: valid while the index lives.
  class Ports {
   public:
    Ports(const PortRef* first, const PortRef* last) : first_(first), last_(last) {}
    const PortRef* begin() const { return first_; }
    const PortRef* end() const { return last_; }
    std::size_t size() const { return static_cast<std::size_t>(last_ - first_); }
    bool empty() const { return first_ == last_; }
    const PortRef& front() const { return *first_; }
    const PortRef& operator[](std::size_t i) const { return first_[i]; }

   private:
    const PortRef* first_;
    const PortRef* last_;
  };

  explicit MbdWiring(const LyrBoard::Qbd& board);

  // The FPGA blocks, in board order.
  const std::vector<LyrBoard::QbdBlock*>& FpgaBlocks() const { return fpga_; }
  // The other blocks (instances), in board order.
  const std::vector<LyrBoard::QbdBlock*>& Instances() const { return instances_; }
  // Every FPGA pin, FPGA blocks in order, pins in order.
  const std::vector<PortRef>& FpgaPins() const { return pins_; }
  // The FPGA pins carrying that net, in board order; empty when none (and for the empty net).
  Ports PinsOn(const StringBase& net) const;
  // The instance ports wired to that net, in board order; empty when none (and for the empty
  // net).
  Ports PortsOn(const StringBase& net) const;
  // True when the net joins several FPGA pins and several instance ports: a listing of every
  // port beside every pin of such a net would grow with the product of the two, so the
  // program names it once. False for any other net.
  bool IsSharedNet(const StringBase& net) const;

 private:
  // Ports grouped by net: sorted by the hash of their net, then by net, then in board order,
  // beside the hashes, so that a lookup is a binary search over borrowed pointers.
  struct ByNet {
    std::vector<std::size_t> hashes;
    std::vector<PortRef> ports;
    void Sort();
    Ports Find(const StringBase& net) const;
  };
  std::vector<LyrBoard::QbdBlock*> fpga_;
  std::vector<LyrBoard::QbdBlock*> instances_;
  std::vector<PortRef> pins_;
  ByNet pinsByNet_;
  ByNet portsByNet_;
};

#endif  // MBD_WIRING_H
