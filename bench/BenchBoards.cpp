#include "BenchBoards.h"

#include <vector>

namespace benchboards {

namespace {

// Pin locations in the usual ball-grid naming (A1, A2, ... AF26), unique per board.
std::string Location(std::size_t n) {
  static const char* const kRows[] = {"A",  "B",  "C",  "D",  "E",  "F",  "G",  "H",  "J",
                                      "K",  "L",  "M",  "N",  "P",  "R",  "T",  "U",  "V",
                                      "W",  "Y",  "AA", "AB", "AC", "AD", "AE", "AF"};
  constexpr std::size_t kRowCount = sizeof kRows / sizeof kRows[0];
  std::string loc = kRows[n % kRowCount];
  return loc + std::to_string(n / kRowCount + 1);
}

struct Kind {
  const char* prefix;
  const char* iotype;
  const char* corename;
  int ports;
};

const Kind kKinds[] = {{"uart", "QOR_UART_V1", "qor_uartlite", 2},
                       {"gpio", "QOR_GPIO_V1", "qor_gpio", 8},
                       {"sram", "QOR_MEMORY_V1", "qor_emc", 24},
                       {"clk", "QOR_CLOCK_V1", "", 1}};

void AppendBlock(std::string& blocks, std::string& pins, std::size_t index, std::size_t& pinCount) {
  const Kind& kind = kKinds[index % (sizeof kKinds / sizeof kKinds[0])];
  const std::string name = std::string(kind.prefix) + "_" + std::to_string(index);
  blocks += "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = " + name + "\n  ATTRIBUTE IOTYPE   = " +
            kind.iotype + "\n";
  if (*kind.corename) blocks += std::string("  ATTRIBUTE CORENAME = ") + kind.corename + "\n";
  blocks += "  ATTRIBUTE DESC     = \"Generated " + std::string(kind.prefix) +
            " instance, number " + std::to_string(index) + "\"\n";
  if (kind.ports == 1) {
    blocks += "  PARAMETER C_CLK_FREQ = 100000000, IO_IS = clk_freq,\n"
              "            RANGE = ((25000000, 100000000, 0), (125000000))\n";
  } else {
    blocks += "  PARAMETER C_WIDTH = " + std::to_string(kind.ports) +
              ", IO_IS = width, VALUE_NOTE = \"bits\"\n"
              "  PARAMETER C_BASEADDR = 0x80000000, IO_IS = base_addr\n";
  }
  for (int p = 0; p < kind.ports; ++p) {
    const std::string port = std::to_string(p);
    const std::string net = name + "_io_" + port;
    blocks += "  PORT IO" + port + " = " + net + ", IO_IS = io_" + port + "\n";
    pins += "  PORT fpga_" + net + " = " + net + ", UCF_NET_STRING = (LOC=" +
            Location(pinCount++) + ", IOSTANDARD=LVCMOS33, \"DRIVE = 8\"), DIR = IO\n";
  }
  blocks += "END\n\n";
}

// Adds instance blocks while `more(bytes so far, blocks so far)` says so.
template <class More>
std::string Generate(std::size_t sizeHint, More more) {
  std::string head =
      "# Generated benchmark board\n"
      "ATTRIBUTE VENDOR    = Northwind\n"
      "ATTRIBUTE NAME      = Bench\n"
      "ATTRIBUTE REVISION  = A\n"
      "ATTRIBUTE LONG_DESC = \"A large generated board\"\n\n"
      "BEGIN BLOCK\n"
      "  ATTRIBUTE INSTANCE  = fpga_0\n"
      "  ATTRIBUTE BLOCKTYPE = FPGA\n"
      "  ATTRIBUTE FAMILY    = ketral4\n"
      "  ATTRIBUTE DEVICE    = k4fx100\n";
  std::string pins;
  std::string blocks;
  pins.reserve(sizeHint / 2);
  blocks.reserve(sizeHint / 2);
  std::size_t pinCount = 0;
  for (std::size_t i = 0; more(head.size() + pins.size() + blocks.size() + 8, i); ++i)
    AppendBlock(blocks, pins, i, pinCount);
  std::string text;
  text.reserve(head.size() + pins.size() + blocks.size() + 8);
  text += head;
  text += pins;
  text += "END\n\n";
  text += blocks;
  return text;
}

void AppendEscaped(std::string& out, const std::string& text) {
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\t': out += "&#9;"; break;
      case '\n': out += "&#10;"; break;
      default: out += c;
    }
  }
}

void AppendItems(std::string& out, const std::vector<StringBase>& items) {
  for (const StringBase& item : items) {
    out += "<item>";
    AppendEscaped(out, item.str());
    out += "</item>";
  }
}

// A node as an element: a scalar value as an attribute, a list as <item> children, a list of
// lists as <list> children; then its sub-properties.
void AppendNode(std::string& out, const char* tag, const LyrBase::NameValue& node,
                const std::vector<LyrBase::PsfComp*>* subs, const std::string& indent) {
  out += indent + "<" + tag + " name=\"";
  AppendEscaped(out, node.GetName().str());
  out += '"';
  const LyrBase::Value* value = node.GetLyrValuePtr();
  const auto* list = LyrBase::NodeCast<LyrBase::ListStrVal>(value);
  const auto* lists = LyrBase::NodeCast<LyrBase::ListBaseNodePtrVal>(value);
  if (!list && !lists) {
    out += " value=\"";
    AppendEscaped(out, node.GetValueStr().str());
    out += '"';
  }
  if (!list && !lists && (!subs || subs->empty())) {
    out += "/>\n";
    return;
  }
  out += ">";
  if (list) AppendItems(out, list->GetValue());
  if (lists) {
    for (const LyrBase::BaseNode* inner : lists->GetValue()) {
      out += "<list>";
      AppendItems(out, static_cast<const LyrBase::ListStrVal*>(inner)->GetValue());
      out += "</list>";
    }
  }
  if (subs && !subs->empty()) {
    out += '\n';
    for (const LyrBase::PsfComp* sub : *subs) AppendNode(out, "sub", *sub, nullptr, indent + "  ");
    out += indent;
  }
  out += "</" + std::string(tag) + ">\n";
}

}  // namespace

std::string BoardAsXml(const LyrBoard::Qbd& board) {
  using LyrBoard::QbdBlock;
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<board>\n";
  for (const LyrBase::PsfComp* attr : board.GetPsfCompSeqRef(LyrBoard::Qbd::ATTRIBUTE))
    AppendNode(out, "attribute", *attr, nullptr, "  ");
  static const std::pair<QbdBlock::NodeType, const char*> kKinds[] = {
      {QbdBlock::ATTRIBUTE, "attribute"}, {QbdBlock::PARAMETER, "parameter"},
      {QbdBlock::PORT, "port"}};
  for (const LyrBase::PsfComp* comp : board.GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK)) {
    const auto& block = static_cast<const QbdBlock&>(*comp);
    out += "  <block name=\"";
    AppendEscaped(out, block.GetName().str());
    out += "\">\n";
    for (const auto& kind : kKinds)
      for (const LyrBase::Property* prop : block.GetPropSeqRef(kind.first))
        AppendNode(out, kind.second, *prop, &prop->GetPsfCompSeqRef(), "    ");
    out += "  </block>\n";
  }
  return out + "</board>\n";
}

std::string GenerateBoardText(std::size_t targetBytes) {
  return Generate(targetBytes, [targetBytes](std::size_t bytes, std::size_t) {
    return bytes < targetBytes;
  });
}

std::string GenerateBoardBlocks(std::size_t blockCount) {
  // About 1.5 kB of text per block.
  return Generate(blockCount * 1536, [blockCount](std::size_t, std::size_t blocks) {
    return blocks < blockCount;
  });
}

}  // namespace benchboards
