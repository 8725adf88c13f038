// The board's wiring in one pass: which FPGA pins and which instance ports sit on each net.
// Nets match ignoring letter case, as the model matches connectors.
#ifndef QBD_NET_INDEX_H
#define QBD_NET_INDEX_H

#include <string>
#include <unordered_map>
#include <vector>

#include "LyrBoard.h"
#include "MbdRules.h"

namespace qbd {

// A port of a block: an FPGA pin when the block is an FPGA block, an instance port otherwise.
struct PortRef {
  LyrBoard::QbdBlock* block;
  LyrBase::Property* port;
};

class NetIndex {
 public:
  explicit NetIndex(const LyrBoard::Qbd& qbd);

  // The FPGA blocks and the other blocks (instances), in board order.
  const std::vector<LyrBoard::QbdBlock*>& fpgaBlocks() const { return fpga_; }
  const std::vector<LyrBoard::QbdBlock*>& instances() const { return instances_; }
  // Every FPGA pin, FPGA blocks in order, pins in order.
  const std::vector<PortRef>& fpgaPins() const { return pins_; }
  // FPGA pins on the net; empty when none (and for the empty net).
  const std::vector<PortRef>& pinsOn(const std::string& net) const;
  // Instance ports on the net; empty when none (and for the empty net).
  const std::vector<PortRef>& portsOn(const std::string& net) const;

 private:
  std::vector<LyrBoard::QbdBlock*> fpga_;
  std::vector<LyrBoard::QbdBlock*> instances_;
  std::vector<PortRef> pins_;
  using ByNet =
      std::unordered_map<StringBase, std::vector<PortRef>, MbdRules::NetHash, MbdRules::NetEqual>;
  ByNet pinsByNet_;
  ByNet portsByNet_;
};

}  // namespace qbd

#endif  // QBD_NET_INDEX_H
