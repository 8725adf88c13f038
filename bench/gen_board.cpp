// Writes one generated board twice: as board text (PREFIX.qbd) and the same content as XML
// (PREFIX.xml), so that whole-process readers of the two formats compare on equal content.
//
//   gen_board BLOCKS PREFIX
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "BenchBoards.h"
#include "LyrBoard.h"

namespace {

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

std::string ToXml(const LyrBoard::Qbd& board) {
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

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  return static_cast<bool>(file.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: gen_board BLOCKS PREFIX\n");
    return 2;
  }
  const std::string text = benchboards::GenerateBoardBlocks(std::strtoul(argv[1], nullptr, 10));
  LyrBoard::Qbd board;
  if (board.ReadBuffer(text.data(), text.size(), "generated") != 0) {
    std::fputs(board.GetErrorText().c_str(), stderr);
    return 1;
  }
  const std::string prefix = argv[2];
  if (!WriteText(prefix + ".qbd", text) || !WriteText(prefix + ".xml", ToXml(board))) {
    std::fprintf(stderr, "gen_board: cannot write %s.qbd or %s.xml\n", argv[2], argv[2]);
    return 1;
  }
  return 0;
}
