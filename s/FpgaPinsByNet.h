// FPGA ports by the net they carry: the one map from a net to the FPGA pins on it. A port is
// keyed by its connector (MbdRules::ConnectorOf) and nets match as MbdRules::CarriesConnector
// says, so every lookup of pins by net in the model answers alike.
#ifndef MBD_FPGA_PINS_BY_NET_H
#define MBD_FPGA_PINS_BY_NET_H

#include <unordered_map>
#include <vector>

#include "LyrBoard.h"
#include "MbdRules.h"

namespace mbd_detail {

class FpgaPinsByNet {
 public:
  // Records `port` (not null) last among the ports on its net.
  void Add(LyrBase::Property* port);
  // The ports recorded on a net that matches `net`, in the order they were added; empty when
  // none.
  const std::vector<LyrBase::Property*>& On(const StringBase& net) const;
  // The port recorded last on a net that matches `net`; null when none.
  LyrBase::Property* LastOn(const StringBase& net) const;

 private:
  std::unordered_map<StringBase, std::vector<LyrBase::Property*>, MbdRules::NetHash,
                     MbdRules::NetEqual>
      byNet_;
};

}  // namespace mbd_detail

#endif  // MBD_FPGA_PINS_BY_NET_H
