#include "Board.h"

#include <iostream>
#include <stdexcept>

#include "Suggest.h"

#include "MbdRules.h"
#include "ToolError.h"

namespace qbd {

namespace {

// Standard input, read whole the first time a board is asked from it; a second "-" on the
// same command line reads the same text.
const std::string& standardInput() {
  static const std::string text = [] {
    std::string all;
    char buffer[1 << 16];
    while (std::cin.read(buffer, sizeof buffer) || std::cin.gcount() > 0)
      all.append(buffer, static_cast<std::size_t>(std::cin.gcount()));
    if (std::cin.bad()) throw ToolError("qbd: error: cannot read the board from standard input");
    return all;
  }();
  return text;
}

}  // namespace

const char* const STDIN_NAME = "<stdin>";

LoadedBoard::LoadedBoard(const std::string& path)
    : path_(path == "-" ? STDIN_NAME : path), qbd_(std::make_unique<LyrBoard::Qbd>()) {
  const int status = path == "-" ? qbd_->ReadBuffer(standardInput().data(),
                                                    standardInput().size(), STDIN_NAME)
                                 : qbd_->ReadFile(path.c_str());
  if (status != 0) {
    std::string text = str(qbd_->GetErrorText());
    while (!text.empty() && text.back() == '\n') text.pop_back();
    if (text.empty()) text = path_ + ": error: cannot read the board file";
    throw ReadFailure(text, qbd_->GetErrors());
  }
}

// The model holds a pointer into the tree, so it goes first.
LoadedBoard::~LoadedBoard() { mbd_.reset(); }

namespace {

// The board is refused when expansion would leave a block without copies for its node limit.
void refuseOverLimit(const LyrBoard::Qbd& qbd, const std::string& path) {
  const std::string text = MbdRules::OverLimitErrors(MbdRules::PlanExpansion(&qbd), path);
  if (!text.empty()) throw ToolError(text);
}

}  // namespace

MBD& LoadedBoard::model() {
  if (mbd_) return *mbd_;
  refuseOverLimit(*qbd_, path_);
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
  if (!block) {
    std::vector<std::string> names;
    for (const LyrBoard::QbdBlock* b : blocks(*qbd_)) names.push_back(str(b->GetName()));
    throw ToolError(path_ + ": error: no instance named \"" + name + "\"" +
                    didYouMean(name, names));
  }
  return *block;
}

std::string str(const StringBase& s) { return s.str(); }

std::string attribute(const LyrBoard::QbdBlock& block, const char* name) {
  return str(MbdRules::AttributeOf(block, name));
}

std::vector<LyrBoard::QbdBlock*> blocks(const LyrBoard::Qbd& qbd) {
  std::vector<LyrBoard::QbdBlock*> result;
  for (LyrBase::PsfComp* comp : qbd.GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK))
    if (auto* block = LyrBase::NodeCast<LyrBoard::QbdBlock>(comp)) result.push_back(block);
  return result;
}

std::vector<std::string> constraintStrings(const LyrBase::Property& port) {
  std::vector<std::string> result;
  for (const StringBase& text : MbdRules::ConstraintStrings(port)) result.push_back(str(text));
  return result;
}

std::string pinLocation(const std::vector<std::string>& constraints) {
  const std::vector<StringBase> strings(constraints.begin(), constraints.end());
  StringBase location;
  if (!MbdRules::FirstLocation(strings, location)) return std::string();
  return str(MbdRules::ReadableLocation(location));
}

bool isLocation(const std::string& constraint) {
  StringBase location;
  return MbdRules::LocationIn(StringBase(constraint), location);
}

}  // namespace qbd
