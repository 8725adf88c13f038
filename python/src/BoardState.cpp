#include "BoardState.h"

namespace qbdpy {

namespace {
std::shared_ptr<BoardState> Keep(std::unique_ptr<LyrBoard::Qbd> tree, int status,
                                 const std::string& source) {
  if (status != 0) throw ReadFailure{std::move(tree)};
  return std::make_shared<BoardState>(std::move(tree), source);
}
}  // namespace

std::shared_ptr<BoardState> BoardState::FromFile(const std::string& path) {
  auto tree = std::make_unique<LyrBoard::Qbd>();
  const int status = tree->ReadFile(path.c_str());
  return Keep(std::move(tree), status, path);
}

std::shared_ptr<BoardState> BoardState::FromText(const std::string& text,
                                                 const std::string& name) {
  auto tree = std::make_unique<LyrBoard::Qbd>();
  const int status = tree->ReadBuffer(text.data(), text.size(), name.c_str());
  return Keep(std::move(tree), status, name);
}

MBD& BoardState::model() {
  if (model_) return *model_;
  if (MBD::IsGenericBoard(tree_.get()))
    throw NotExpanded(
        "the board is a generic template: call expand() before asking the board model");
  model_ = std::make_unique<MBD>(tree_.get());
  return *model_;
}

bool BoardState::expand() {
  if (model_) return false;
  // A failed expansion may have left copies behind; another try would copy them again.
  if (!expandFailure_.empty()) throw std::runtime_error(expandFailure_);
  const bool generic = MBD::IsGenericBoard(tree_.get());
  try {
    model_ = std::make_unique<MBD>(tree_.get());
  } catch (const std::out_of_range&) {
    // The model throws when a template copies ports but has no FPGA block to number pins on.
    touch();
    expandFailure_ = "cannot expand the generic template: it copies ports but has no FPGA block";
    throw std::runtime_error(expandFailure_);
  }
  if (generic) touch();
  return generic;
}

const MbdWiring& BoardState::pins() {
  if (!pins_ || pinsGeneration_ != generation_) {
    pins_ = std::make_shared<const MbdWiring>(*tree_);
    pinsGeneration_ = generation_;
  }
  return *pins_;
}

}  // namespace qbdpy
