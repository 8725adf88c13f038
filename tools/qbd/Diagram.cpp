#include "Diagram.h"

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <vector>
#include <unordered_map>

#include "Board.h"
#include "MbdWiring.h"
#include "Output.h"

namespace qbd {

namespace {

// Text for an HTML-like label: markup characters as entities, control characters as blanks,
// bytes that are not UTF-8 spelled out (Graphviz refuses a file that is not UTF-8).
std::string html(const std::string& text) {
  std::string result;
  for (char c : spellInvalidUtf8(text)) {
    switch (c) {
      case '&': result += "&amp;"; break;
      case '<': result += "&lt;"; break;
      case '>': result += "&gt;"; break;
      case '"': result += "&quot;"; break;
      default: result += (static_cast<unsigned char>(c) < 0x20) ? ' ' : c;
    }
  }
  return result;
}

// Text for a quoted DOT string, as UTF-8 like html().
std::string quoted(const std::string& text) {
  std::string result = "\"";
  for (char c : spellInvalidUtf8(text)) {
    if (c == '"' || c == '\\') result += '\\';
    result += (static_cast<unsigned char>(c) < 0x20) ? ' ' : c;
  }
  return result + "\"";
}

const char* kTable = "<TABLE BORDER=\"0\" CELLBORDER=\"1\" CELLSPACING=\"0\" CELLPADDING=\"3\">";
const char* kGrey = " BGCOLOR=\"#eeeeee\"";

std::string small(const std::string& text) {
  return text.empty() ? std::string() : "<BR/><FONT POINT-SIZE=\"9\">" + html(text) + "</FONT>";
}

enum Side { LEFT, RIGHT };

// Instances stand on both sides of the FPGA, split in board order so that the two sides hold
// about as many ports; each FPGA pin faces the side of the first instance wired to it. That
// halves the height of a board with many pins.
class DotWriter {
  // What is known of a port or pin: its number once drawn, and the side a pin faces. Kept in
  // one vector sorted by address, a few words per port.
  static constexpr std::uint32_t kNoId = 0xFFFFFFFFu;
  struct PortMark {
    const LyrBase::Property* port;
    std::uint32_t id;
    Side side;
  };

 public:
  DotWriter(std::ostream& out, const LyrBoard::Qbd& qbd) : out_(out), index_(qbd) {
    std::size_t total = 0;
    for (const LyrBoard::QbdBlock* block : index_.Instances()) total += rows(*block);
    std::size_t left = 0;
    for (std::size_t i = 0; i < index_.Instances().size(); ++i) {
      const LyrBoard::QbdBlock* block = index_.Instances()[i];
      // A block goes left when its middle row falls in the first half of all rows.
      side_[block] = (2 * left + rows(*block) <= total || left == 0) ? LEFT : RIGHT;
      if (side_[block] == LEFT) left += rows(*block);
      ids_[block] = "i" + std::to_string(i);
    }
    for (std::size_t i = 0; i < index_.FpgaBlocks().size(); ++i)
      ids_[index_.FpgaBlocks()[i]] = "f" + std::to_string(i);
    for (const auto* blocks : {&index_.Instances(), &index_.FpgaBlocks()})
      for (const LyrBoard::QbdBlock* block : *blocks)
        for (const LyrBase::Property* port : block->GetPropSeqRef(LyrBoard::QbdBlock::PORT))
          ports_.push_back({port, kNoId, LEFT});
    std::sort(ports_.begin(), ports_.end(),
              [](const PortMark& a, const PortMark& b) { return a.port < b.port; });
  }

  void write(const std::string& title) {
    out_ << "digraph board {\n"
         << "  graph [rankdir=LR, ranksep=1.2, nodesep=0.2, fontname=\"Helvetica\", "
            "fontsize=16, labelloc=t, label="
         << quoted(title) << "];\n"
         << "  node [shape=plaintext, fontname=\"Helvetica\", fontsize=11];\n"
         << "  edge [arrowhead=none, color=\"#4a6fa5\", penwidth=1.1];\n";
    for (const LyrBoard::QbdBlock* block : index_.Instances()) instanceNode(*block);
    for (const LyrBoard::QbdBlock* block : index_.FpgaBlocks()) fpgaNode(*block);
    edges();
    out_ << "}\n";
  }

 private:
  static std::size_t rows(const LyrBoard::QbdBlock& block) {
    return block.GetPropSeqRef(LyrBoard::QbdBlock::PORT).size() + 2;
  }

  // Ports and pins are numbered in the order they are first drawn.
  std::string portId(const LyrBase::Property* port) {
    const auto found = std::lower_bound(
        ports_.begin(), ports_.end(), port,
        [](const PortMark& mark, const LyrBase::Property* p) { return mark.port < p; });
    if (found == ports_.end() || found->port != port) return "p?";
    if (found->id == kNoId) found->id = nextId_++;
    return "p" + std::to_string(found->id);
  }

  PortMark& mark(const LyrBase::Property* port) {
    return *std::lower_bound(
        ports_.begin(), ports_.end(), port,
        [](const PortMark& m, const LyrBase::Property* p) { return m.port < p; });
  }

  void instanceNode(const LyrBoard::QbdBlock& block) {
    out_ << "  " << ids_[&block] << " [label=<" << kTable << "<TR><TD BGCOLOR=\"#dbe8f7\"><B>"
         << html(str(block.GetName())) << "</B>" << small(attribute(block, MBD::IO_TYPE))
         << "</TD></TR>";
    for (const LyrBase::Property* port : block.GetPropSeqRef(LyrBoard::QbdBlock::PORT)) {
      const std::string net = str(port->GetValueStr());
      const bool wired = !index_.PinsOn(net).empty() || index_.PortsOn(net).size() > 1;
      out_ << "<TR><TD PORT=\"" << portId(port) << "\" ALIGN=\""
           << (side_[&block] == LEFT ? "LEFT" : "RIGHT") << "\"" << (wired ? "" : kGrey) << ">"
           << html(str(port->GetName()))
           << (wired ? "" : " <FONT COLOR=\"#888888\">(" + html(net.empty() ? "no net" : net) +
                                ")</FONT>")
           << "</TD></TR>";
    }
    out_ << "</TABLE>>];\n";
  }

  // The side an FPGA pin faces: that of the first instance on its net; unwired pins fill the
  // shorter side.
  Side pinSide(const LyrBase::Property& pin, std::size_t leftCount, std::size_t rightCount) {
    const MbdWiring::Ports ports = index_.PortsOn(str(pin.GetValueStr()));
    if (!ports.empty()) return side_[ports.front().block];
    return leftCount <= rightCount ? LEFT : RIGHT;
  }

  std::string pinCells(const LyrBase::Property* pin, Side side) {
    if (!pin) return "<TD></TD><TD></TD><TD></TD>";
    const bool used = !index_.PortsOn(str(pin->GetValueStr())).empty();
    const std::string colour = used ? "" : kGrey;
    const std::string loc = "<TD PORT=\"" + portId(pin) + "\"" + colour + "><B>" +
                            html(pinLocation(constraintStrings(*pin))) + "</B></TD>";
    const std::string name =
        "<TD ALIGN=\"LEFT\"" + colour + ">" + html(str(pin->GetName())) + "</TD>";
    const std::string net =
        "<TD ALIGN=\"LEFT\"" + colour + "><I>" + html(str(pin->GetValueStr())) + "</I></TD>";
    return side == LEFT ? loc + name + net : net + name + loc;
  }

  void fpgaNode(const LyrBoard::QbdBlock& block) {
    std::vector<const LyrBase::Property*> sides[2];
    for (const LyrBase::Property* pin : block.GetPropSeqRef(LyrBoard::QbdBlock::PORT)) {
      const Side side = pinSide(*pin, sides[LEFT].size(), sides[RIGHT].size());
      mark(pin).side = side;
      sides[side].push_back(pin);
    }
    std::string part = attribute(block, MBD::ARCH_NAME);
    for (const char* attr : {MBD::DEVICE_NAME, MBD::PACKAGE_NAME, MBD::SPEED_GRADE_NAME}) {
      const std::string value = attribute(block, attr);
      if (!value.empty()) part += (part.empty() ? "" : " ") + value;
    }
    const bool twoSided = !sides[RIGHT].empty();
    out_ << "  " << ids_[&block] << " [label=<" << kTable << "<TR><TD COLSPAN=\""
         << (twoSided ? 6 : 3) << "\" BGCOLOR=\"#f7e3c4\"><B>" << html(str(block.GetName()))
         << "</B>" << small(part) << "</TD></TR><TR><TD><I>LOC</I></TD><TD><I>pin</I></TD>"
         << "<TD><I>net</I></TD>"
         << (twoSided ? "<TD><I>net</I></TD><TD><I>pin</I></TD><TD><I>LOC</I></TD>" : "")
         << "</TR>";
    const std::size_t height = std::max(sides[LEFT].size(), sides[RIGHT].size());
    for (std::size_t r = 0; r < height; ++r) {
      out_ << "<TR>" << pinCells(r < sides[LEFT].size() ? sides[LEFT][r] : nullptr, LEFT);
      if (twoSided)
        out_ << pinCells(r < sides[RIGHT].size() ? sides[RIGHT][r] : nullptr, RIGHT);
      out_ << "</TR>";
    }
    out_ << "</TABLE>>];\n";
  }

  std::string end(const PortRef& ref, const char* compass) {
    return ids_[ref.block] + ":" + portId(ref.port) + ":" + compass;
  }

  // Left instances draw toward the FPGA, right ones away from it, so that the ranks come out
  // left instances, FPGA, right instances.
  void line(const PortRef& port, const PortRef& pin) {
    if (mark(pin.port).side == LEFT)
      out_ << "  " << end(port, side_[port.block] == LEFT ? "e" : "w") << " -> "
           << end(pin, "w") << ";\n";
    else
      out_ << "  " << end(pin, "e") << " -> "
           << end(port, side_[port.block] == LEFT ? "e" : "w") << ";\n";
  }

  // The node of a net, numbered in the order nets get one; `made` tells whether it is new.
  const std::string& netNode(const std::string& net, bool& made) {
    const auto node = netNodes_.emplace(StringBase(net), "n" + std::to_string(netNodes_.size()));
    made = node.second;
    return node.first->second;
  }

  // A net of several ports and several pins: each port to the net's node, the node to each
  // pin, facing the way a direct line would.
  void throughNode(const PortRef& self, const std::string& net, const MbdWiring::Ports& pins) {
    bool made = false;
    const std::string& node = netNode(net, made);
    const bool left = mark(pins.front().port).side == LEFT;
    const char* portSide = side_[self.block] == LEFT ? "e" : "w";
    if (made) {
      out_ << "  " << node << " [shape=ellipse, fontsize=10, label=" << quoted(net) << "];\n";
      for (const PortRef& pin : pins)
        if (left)
          out_ << "  " << node << " -> " << end(pin, "w") << " [style=bold];\n";
        else
          out_ << "  " << end(pin, "e") << " -> " << node << " [style=bold];\n";
    }
    if (left)
      out_ << "  " << end(self, portSide) << " -> " << node << " [style=bold];\n";
    else
      out_ << "  " << node << " -> " << end(self, portSide) << " [style=bold];\n";
  }

  // A line from each instance port to each FPGA pin on its net (through a net node when the
  // net has several of both); nets that join instance ports but reach no FPGA pin get a small
  // dashed net node of their own.
  void edges() {
    for (LyrBoard::QbdBlock* block : index_.Instances()) {
      for (LyrBase::Property* port : block->GetPropSeqRef(LyrBoard::QbdBlock::PORT)) {
        const std::string net = str(port->GetValueStr());
        const PortRef self{block, port};
        const MbdWiring::Ports pins = index_.PinsOn(net);
        const std::size_t ports = index_.PortsOn(net).size();
        if (index_.IsSharedNet(net)) {
          throughNode(self, net, pins);
          continue;
        }
        for (const PortRef& pin : pins) line(self, pin);
        if (!pins.empty() || ports < 2) continue;
        bool made = false;
        const std::string& node = netNode(net, made);
        if (made)
          out_ << "  " << node << " [shape=ellipse, fontsize=10, style=dashed, "
               << "label=" << quoted(net) << "];\n";
        if (side_[block] == LEFT)
          out_ << "  " << end(self, "e") << " -> " << node << " [style=dashed];\n";
        else
          out_ << "  " << node << " -> " << end(self, "w") << " [style=dashed];\n";
      }
    }
  }

  std::ostream& out_;
  MbdWiring index_;
  std::unordered_map<const LyrBoard::QbdBlock*, std::string> ids_;
  std::unordered_map<const LyrBoard::QbdBlock*, Side> side_;
  std::vector<PortMark> ports_;
  std::uint32_t nextId_ = 0;
  std::unordered_map<StringBase, std::string, MbdRules::NetHash, MbdRules::NetEqual> netNodes_;
};

}  // namespace

void writeBoardDot(std::ostream& out, const LyrBoard::Qbd& qbd, const std::string& title) {
  DotWriter(out, qbd).write(title);
}

std::string boardDot(const LyrBoard::Qbd& qbd, const std::string& title) {
  std::ostringstream out;
  writeBoardDot(out, qbd, title);
  return out.str();
}

}  // namespace qbd
