// What the model reads of one block, copied into one compact record: the names and values of
// its attributes, parameters and ports and of their sub-properties, each property's role, and
// for each port the FPGA pins on its net. A wizard asks a dozen questions about one instance
// in a row; read from this record they touch a few cache lines instead of every node of the
// block and of its FPGA pins, however large the board. The board index builds it from the
// tree and drops it as soon as the tree changes.
#ifndef MBD_BLOCK_FACTS_H
#define MBD_BLOCK_FACTS_H

#include <cstdint>
#include <vector>

#include "CompactRecords.h"
#include "FpgaPinFacts.h"
#include "LyrBoard.h"

namespace mbd_detail {

class BlockFacts {
 public:
  using Text = TextRef;
  // A sub-property: its name and value text.
  struct Sub {
    Text name;
    Text value;
  };
  // An attribute, parameter or port.
  struct Prop {
    Text name;
    Text value;
    Text connector;  // ports only: MbdRules::ConnectorOf
    std::uint32_t firstSub = 0;
    std::uint32_t subs = 0;
    std::int32_t role = -1;  // the role sub-property, counted from firstSub; -1 without one
    // Ports only: the first port of the block with the same role (itself when it is the
    // first), and the FPGA pins on the port's own connector (none when it is empty).
    std::uint32_t roleLead = 0;
    FpgaPinFacts::Range pins;
  };
  // Reads `block` as it is now; `fpgaPins` (borrowed, kept as long as this record) are the
  // board's FPGA pins.
  BlockFacts(const LyrBoard::QbdBlock& block, FpgaPinFacts& fpgaPins);

  // The properties of that kind, in order; empty for an unknown kind.
  Run<Prop> Props(LyrBoard::QbdBlock::NodeType kind) const;
  // The sub-properties of `prop`, in order.
  Run<Sub> Subs(const Prop& prop) const;
  // The FPGA pins on the connector of `port` (a port of this record), in order; empty when
  // none.
  Run<FpgaPinFacts::Pin> Pins(const Prop& port) const { return fpgaPins_->In(port.pins); }
  // The board's FPGA pins, for reading a pin Pins gave.
  const FpgaPinFacts& PinTable() const { return *fpgaPins_; }
  // The first port of the block with the role of `port` (a port of this record).
  const Prop& RoleLead(const Prop& port) const { return props_[port.roleLead]; }

  // The text as a string.
  StringBase Str(Text text) const { return text_.Str(text); }

  // The first property of that kind whose name equals `name` ignoring case; null when none.
  const Prop* Named(LyrBoard::QbdBlock::NodeType kind, const StringBase& name) const;
  // The first sub-property of `prop` whose name equals `name` ignoring case; null when none.
  const Sub* SubNamed(const Prop& prop, const StringBase& name) const;
  // The value of the first attribute whose name equals `name` ignoring case; empty when none.
  StringBase Attribute(const StringBase& name) const;
  // The role sub-property of `prop`; null when it has none.
  const Sub* Role(const Prop& prop) const;
  // True when `prop` has a role that matches `iois` as roles match (MbdRules::HasRole).
  bool HasRole(const Prop& prop, const StringBase& iois) const;
  // The first property of that kind whose role matches `iois`; null when none.
  const Prop* FirstWithRole(LyrBoard::QbdBlock::NodeType kind, const StringBase& iois) const;

  // The block's speed as MbdRules::SpeedOf reads it.
  StringBase Speed() const { return Str(speed_); }
  // The block's exclusion group as MbdRules::ExclusiveGroupOf reads it; empty when none.
  StringBase ExclusiveGroup() const { return Str(group_); }

 private:
  void AddProps(const LyrBoard::QbdBlock& block, LyrBoard::QbdBlock::NodeType kind);
  void AddProp(const LyrBase::Property& prop, LyrBoard::QbdBlock::NodeType kind);
  void WirePorts(FpgaPinFacts& fpgaPins);
  bool TextEquals(Text text, const StringBase& other) const;

  TextBuffer text_;
  std::vector<Prop> props_;
  std::vector<Sub> subs_;
  const FpgaPinFacts* fpgaPins_;
  // Where each kind's properties begin in props_, by NodeType; the next entry ends them.
  std::uint32_t kindStart_[5] = {};
  Text speed_;
  Text group_;
};

}  // namespace mbd_detail

#endif  // MBD_BLOCK_FACTS_H
