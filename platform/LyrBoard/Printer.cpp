// The board file printer. It writes from the typed values, not from their text, so that a
// list keeps its parentheses and a list of lists its inner ones; reading the print gives
// back the same tree, and printing that again the same text.
#include <cerrno>
#include <string>

#include "LyrBase/ValueText.h"
#include "LyrBoard.h"
#include "Portability/ReplacingFile.h"

namespace LyrBoard {

namespace {

using LyrBase::detail::AppendList;
using LyrBase::detail::AppendWord;

void AppendValue(std::string& out, const LyrBase::Value* value) {
  if (!value) {
    AppendWord(out, std::string(), true);
  } else if (const auto* list = LyrBase::NodeCast<LyrBase::ListStrVal>(value)) {
    AppendList(out, list->GetValue());
  } else if (const auto* lists = LyrBase::NodeCast<LyrBase::ListBaseNodePtrVal>(value)) {
    out += '(';
    const std::vector<LyrBase::BaseNode*>& items = lists->GetValue();
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (i) out += ", ";
      if (const auto* inner = LyrBase::NodeCast<LyrBase::ListStrVal>(items[i]))
        AppendList(out, inner->GetValue());
    }
    out += ')';
  } else {
    AppendWord(out, value->GetValueStr().str(), true);
  }
}

void AppendNameValue(std::string& out, const LyrBase::NameValue& node) {
  AppendWord(out, node.GetName().str(), false);
  out += " = ";
  AppendValue(out, node.GetLyrValuePtr());
}

void AppendProperty(std::string& out, const char* indent, const char* keyword,
                    const LyrBase::Property& prop) {
  out += indent;
  out += keyword;
  out += ' ';
  AppendNameValue(out, prop);
  for (const LyrBase::PsfComp* sub : prop.GetPsfCompSeqRef()) {
    out += ", ";
    AppendNameValue(out, *sub);
  }
  out += '\n';
}

// The name the reader would give a block written without one: its first INSTANCE value.
StringBase ImpliedName(const QbdBlock& block) {
  for (const LyrBase::Property* prop : block.GetPropSeqRef(QbdBlock::ATTRIBUTE))
    if (prop->GetName().Compare("INSTANCE", StringBase::IGNORE_CASE) == 0)
      return prop->GetValueStr();
  return StringBase();
}

void AppendBlock(std::string& out, const QbdBlock& block) {
  out += "BEGIN BLOCK";
  if (block.GetName() != ImpliedName(block)) {
    out += ' ';
    AppendWord(out, block.GetName().str(), false);
  }
  out += '\n';
  static const std::pair<QbdBlock::NodeType, const char*> kKinds[] = {
      {QbdBlock::ATTRIBUTE, "ATTRIBUTE"},
      {QbdBlock::PARAMETER, "PARAMETER"},
      {QbdBlock::PORT, "PORT"}};
  for (const auto& kind : kKinds)
    for (const LyrBase::Property* prop : block.GetPropSeqRef(kind.first))
      AppendProperty(out, "  ", kind.second, *prop);
  out += "END\n";
}

}  // namespace

StringBase Qbd::WriteString() const {
  std::string out;
  for (const LyrBase::PsfComp* comp : attributes_.Items()) {
    if (const auto* prop = LyrBase::NodeCast<LyrBase::Property>(comp)) {
      AppendProperty(out, "", "ATTRIBUTE", *prop);
    } else {
      out += "ATTRIBUTE ";
      AppendNameValue(out, *comp);
      out += '\n';
    }
  }
  for (const LyrBase::PsfComp* comp : blocks_.Items()) {
    if (!out.empty()) out += '\n';
    AppendBlock(out, static_cast<const QbdBlock&>(*comp));
  }
  return StringBase(std::move(out));
}

int Qbd::WriteFile(const char* path, bool force) const {
  if (!path || !*path) {
    errno = ENOENT;
    return WRITE_ERROR;
  }
  const StringBase text = WriteString();
  bool refused = false;
  const int error =
      Port::ReplaceFileContents(path, text.c_str(), text.GetLength(), force, &refused);
  errno = error;
  if (error == 0) return WRITE_OK;
  return refused ? WRITE_PROTECTED : WRITE_ERROR;
}

}  // namespace LyrBoard
