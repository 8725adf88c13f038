#include "Diagram.h"

#include <sstream>
#include <unordered_map>

#include "Board.h"
#include "NetIndex.h"

namespace qbd {

namespace {

// Text for an HTML-like label: markup characters as entities, control characters as blanks.
std::string html(const std::string& text) {
  std::string result;
  for (char c : text) {
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

// Text for a quoted DOT string.
std::string quoted(const std::string& text) {
  std::string result = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') result += '\\';
    result += (static_cast<unsigned char>(c) < 0x20) ? ' ' : c;
  }
  return result + "\"";
}

const char* kTable = "<TABLE BORDER=\"0\" CELLBORDER=\"1\" CELLSPACING=\"0\" CELLPADDING=\"4\">";

std::string blockId(std::size_t i) { return "b" + std::to_string(i); }

std::string small(const std::string& text) {
  return text.empty() ? std::string() : "<BR/><FONT POINT-SIZE=\"9\">" + html(text) + "</FONT>";
}

class DotWriter {
 public:
  explicit DotWriter(const LyrBoard::Qbd& qbd) : index_(qbd) {
    for (std::size_t i = 0; i < index_.fpgaBlocks().size(); ++i)
      ids_[index_.fpgaBlocks()[i]] = blockId(i);
    for (std::size_t i = 0; i < index_.instances().size(); ++i)
      ids_[index_.instances()[i]] = blockId(index_.fpgaBlocks().size() + i);
  }

  std::string write(const std::string& title) {
    out_ << "digraph board {\n"
         << "  graph [rankdir=LR, ranksep=1.6, nodesep=0.25, fontname=\"Helvetica\", "
            "fontsize=16, labelloc=t, label="
         << quoted(title) << "];\n"
         << "  node [shape=plaintext, fontname=\"Helvetica\", fontsize=11];\n"
         << "  edge [arrowhead=none, color=\"#4a6fa5\", penwidth=1.2];\n";
    for (const LyrBoard::QbdBlock* block : index_.instances()) instanceNode(*block);
    for (const LyrBoard::QbdBlock* block : index_.fpgaBlocks()) fpgaNode(*block);
    edges();
    out_ << "}\n";
    return out_.str();
  }

 private:
  std::string portId(const LyrBase::Property* port) {
    return "p" + std::to_string(portIds_.emplace(port, portIds_.size()).first->second);
  }

  void instanceNode(const LyrBoard::QbdBlock& block) {
    out_ << "  " << ids_[&block] << " [label=<" << kTable << "<TR><TD BGCOLOR=\"#dbe8f7\"><B>"
         << html(str(block.GetName())) << "</B>" << small(attribute(block, MBD::IO_TYPE))
         << "</TD></TR>";
    for (const LyrBase::Property* port : block.GetPropSeqRef(LyrBoard::QbdBlock::PORT)) {
      const std::string net = str(port->GetValueStr());
      const bool wired = !index_.pinsOn(net).empty() || index_.portsOn(net).size() > 1;
      out_ << "<TR><TD PORT=\"" << portId(port) << "\" ALIGN=\"LEFT\""
           << (wired ? "" : " BGCOLOR=\"#f3f3f3\"") << ">" << html(str(port->GetName()))
           << (wired ? "" : " <FONT COLOR=\"#888888\">(" + html(net.empty() ? "no net" : net) +
                                ")</FONT>")
           << "</TD></TR>";
    }
    out_ << "</TABLE>>];\n";
  }

  void fpgaNode(const LyrBoard::QbdBlock& block) {
    std::string part = attribute(block, MBD::ARCH_NAME);
    for (const char* attr : {MBD::DEVICE_NAME, MBD::PACKAGE_NAME, MBD::SPEED_GRADE_NAME}) {
      const std::string value = attribute(block, attr);
      if (!value.empty()) part += (part.empty() ? "" : " ") + value;
    }
    out_ << "  " << ids_[&block] << " [label=<" << kTable
         << "<TR><TD COLSPAN=\"3\" BGCOLOR=\"#f7e3c4\"><B>" << html(str(block.GetName()))
         << "</B>" << small(part) << "</TD></TR>"
         << "<TR><TD><I>LOC</I></TD><TD><I>pin</I></TD><TD><I>net</I></TD></TR>";
    for (const LyrBase::Property* pin : block.GetPropSeqRef(LyrBoard::QbdBlock::PORT)) {
      std::string loc;
      for (const std::string& text : constraintStrings(*pin)) {
        const Constraint c = splitConstraint(text);
        if (c.hasValue && foldCase(c.key) == "loc") {
          loc = c.value;
          break;
        }
      }
      const bool used = !index_.portsOn(str(pin->GetValueStr())).empty();
      const char* colour = used ? "" : " BGCOLOR=\"#f3f3f3\"";
      out_ << "<TR><TD PORT=\"" << portId(pin) << "\"" << colour << "><B>" << html(loc)
           << "</B></TD><TD ALIGN=\"LEFT\"" << colour << ">" << html(str(pin->GetName()))
           << "</TD><TD ALIGN=\"LEFT\"" << colour << ">" << html(str(pin->GetValueStr()))
           << "</TD></TR>";
    }
    out_ << "</TABLE>>];\n";
  }

  std::string end(const PortRef& ref, const char* side) {
    return ids_[ref.block] + ":" + portId(ref.port) + ":" + side;
  }

  // A line from each instance port to each FPGA pin on its net; nets that join instance ports
  // but reach no FPGA pin get a small net node of their own.
  void edges() {
    std::unordered_map<std::string, std::string> netNodes;
    for (LyrBoard::QbdBlock* block : index_.instances()) {
      for (LyrBase::Property* port : block->GetPropSeqRef(LyrBoard::QbdBlock::PORT)) {
        const std::string net = str(port->GetValueStr());
        const PortRef self{block, port};
        for (const PortRef& pin : index_.pinsOn(net))
          out_ << "  " << end(self, "e") << " -> " << end(pin, "w") << ";\n";
        if (!index_.pinsOn(net).empty() || index_.portsOn(net).size() < 2) continue;
        auto node = netNodes.emplace(foldCase(net), "n" + std::to_string(netNodes.size()));
        if (node.second)
          out_ << "  " << node.first->second << " [shape=ellipse, fontsize=10, style=dashed, "
               << "label=" << quoted(net) << "];\n";
        out_ << "  " << end(self, "e") << " -> " << node.first->second
             << " [style=dashed];\n";
      }
    }
  }

  NetIndex index_;
  std::unordered_map<const LyrBoard::QbdBlock*, std::string> ids_;
  std::unordered_map<const LyrBase::Property*, std::size_t> portIds_;
  std::ostringstream out_;
};

}  // namespace

std::string boardDot(const LyrBoard::Qbd& qbd, const std::string& title) {
  return DotWriter(qbd).write(title);
}

}  // namespace qbd
