#include "Board.h"

#include <stdexcept>

#include "ToolError.h"

namespace qbd {

LoadedBoard::LoadedBoard(const std::string& path)
    : path_(path), qbd_(std::make_unique<LyrBoard::Qbd>()) {
  if (qbd_->ReadFile(path.c_str()) != 0) {
    std::string text = str(qbd_->GetErrorText());
    while (!text.empty() && text.back() == '\n') text.pop_back();
    if (text.empty()) text = path + ": error: cannot read the board file";
    throw ReadFailure(text, qbd_->GetErrors());
  }
}

// The model holds a pointer into the tree, so it goes first.
LoadedBoard::~LoadedBoard() { mbd_.reset(); }

MBD& LoadedBoard::model() {
  if (mbd_) return *mbd_;
  // Expanding a template that copies ports but has no FPGA block throws; say what is wrong.
  try {
    mbd_ = std::make_unique<MBD>(qbd_.get());
  } catch (const std::out_of_range&) {
    throw ToolError(path_ + ": error: cannot expand the generic template: it copies ports but "
                    "has no FPGA block");
  }
  return *mbd_;
}

LyrBoard::QbdBlock& LoadedBoard::instance(const std::string& name) {
  LyrBoard::QbdBlock* block = model().getBlockByName(StringBase(name));
  if (!block) throw ToolError(path_ + ": error: no instance named \"" + name + "\"");
  return *block;
}

MessageCapture::MessageCapture() {
  previous_ = Port_MsgManData::setSink(
      [this](Port_MsgKind, const std::string& text) { text_ += text; });
}

MessageCapture::~MessageCapture() { Port_MsgManData::setSink(previous_); }

std::string str(const StringBase& s) { return s.str(); }

std::string attribute(const LyrBoard::QbdBlock& block, const char* name) {
  const LyrBase::Property* prop = block.GetPropertyByName(LyrBoard::QbdBlock::ATTRIBUTE, name);
  return prop ? str(prop->GetValueStr()) : std::string();
}

bool isFpgaBlock(const LyrBoard::QbdBlock& block) {
  const LyrBase::Property* type =
      block.GetPropertyByName(LyrBoard::QbdBlock::ATTRIBUTE, MBD::BLOCK_NAME);
  return type && type->GetValueStr().Compare(MBD::FPGA_IOTYPE, StringBase::IGNORE_CASE) == 0;
}

std::vector<LyrBoard::QbdBlock*> blocks(const LyrBoard::Qbd& qbd) {
  std::vector<LyrBoard::QbdBlock*> result;
  for (LyrBase::PsfComp* comp : qbd.GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK))
    if (auto* block = dynamic_cast<LyrBoard::QbdBlock*>(comp)) result.push_back(block);
  return result;
}

std::vector<std::string> constraintStrings(const LyrBase::Property& port) {
  std::vector<std::string> result;
  const LyrBase::PsfComp* sub = port.GetPsfCompByName(MBD::UCF_NET_STRING.c_str());
  if (!sub || !sub->GetLyrValuePtr()) return result;
  if (auto* list = dynamic_cast<const LyrBase::ListStrVal*>(sub->GetLyrValuePtr())) {
    for (const StringBase& item : list->GetValue()) result.push_back(str(item));
  } else if (!sub->GetValueStr().IsEmpty()) {
    result.push_back(str(sub->GetValueStr()));
  }
  return result;
}

std::vector<std::vector<std::string>> rangeElements(const LyrBase::PsfComp& range) {
  std::vector<std::vector<std::string>> result;
  auto strings = [](const LyrBase::ListStrVal& list) {
    std::vector<std::string> items;
    for (const StringBase& s : list.GetValue()) items.push_back(str(s));
    return items;
  };
  const LyrBase::Value* value = range.GetLyrValuePtr();
  if (auto* lists = dynamic_cast<const LyrBase::ListBaseNodePtrVal*>(value)) {
    for (const LyrBase::BaseNode* node : lists->GetValue())
      if (auto* list = dynamic_cast<const LyrBase::ListStrVal*>(node))
        result.push_back(strings(*list));
  } else if (auto* list = dynamic_cast<const LyrBase::ListStrVal*>(value)) {
    result.push_back(strings(*list));
  } else if (value) {
    result.push_back({str(value->GetValueStr())});
  }
  return result;
}

bool parseDecimal32(const std::string& text, unsigned long long& value) {
  const std::string t = trim(text);
  if (t.empty() || t.size() > 10) return false;
  for (char c : t)
    if (c < '0' || c > '9') return false;
  value = std::stoull(t);
  return value <= 0xFFFFFFFFull;
}

std::string foldCase(const std::string& s) {
  std::string result(s);
  for (char& c : result)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return result;
}

std::string trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

Constraint splitConstraint(const std::string& text) {
  Constraint c;
  const auto eq = text.find('=');
  if (eq == std::string::npos) {
    c.key = trim(text);
    return c;
  }
  c.key = trim(text.substr(0, eq));
  c.value = trim(text.substr(eq + 1));
  c.hasValue = true;
  return c;
}

std::string pinLocation(const std::vector<std::string>& constraints) {
  for (const std::string& text : constraints) {
    const Constraint c = splitConstraint(text);
    if (c.hasValue && foldCase(c.key) == "loc") return c.value;
  }
  return std::string();
}

}  // namespace qbd
