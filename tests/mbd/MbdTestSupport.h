// Boards from text and the block list as names, for the model's tests.
#ifndef MBD_TEST_SUPPORT_H
#define MBD_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "MBD.h"
#include "MbdRules.h"

namespace mbdtest {

// Random choices for the tests that build random trees.
template <std::size_t N>
const char* Pick(std::mt19937& rng, const char* const (&pool)[N]) {
  return pool[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
}
inline bool Chance(std::mt19937& rng, int percent) {
  return std::uniform_int_distribution<int>(0, 99)(rng) < percent;
}
inline std::size_t Below(std::mt19937& rng, std::size_t n) {
  return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
}

// The board the text describes; the calling test fails when it does not read.
inline std::unique_ptr<LyrBoard::Qbd> ReadBoard(const char* text) {
  auto qbd = std::make_unique<LyrBoard::Qbd>();
  EXPECT_EQ(qbd->ReadString(text), 0) << qbd->GetErrorText().c_str();
  return qbd;
}

inline std::unique_ptr<LyrBoard::Qbd> ReadBoard(const std::string& text) {
  return ReadBoard(text.c_str());
}

inline std::vector<LyrBoard::QbdBlock*> Blocks(const LyrBoard::Qbd& qbd) {
  std::vector<LyrBoard::QbdBlock*> blocks;
  for (LyrBase::PsfComp* comp : qbd.GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK))
    blocks.push_back(static_cast<LyrBoard::QbdBlock*>(comp));
  return blocks;
}

inline std::vector<std::string> Strings(const std::vector<StringBase>& values) {
  std::vector<std::string> out;
  for (const StringBase& v : values) out.push_back(v.str());
  return out;
}

inline std::vector<std::string> BlockNames(const LyrBoard::Qbd& qbd) {
  std::vector<std::string> names;
  for (const LyrBoard::QbdBlock* block : Blocks(qbd)) names.push_back(block->GetName().str());
  return names;
}

// Names of the properties of one kind, in order.
inline std::vector<std::string> PropNames(const LyrBoard::QbdBlock& block,
                                          LyrBoard::QbdBlock::NodeType kind) {
  std::vector<std::string> names;
  for (const LyrBase::Property* prop : block.GetPropSeqRef(kind))
    names.push_back(prop->GetName().str());
  return names;
}

// The plain walks the differential tests compare the model's indexes with.
// The first block named `name` ignoring case; null when none.
inline LyrBoard::QbdBlock* WalkByName(const LyrBoard::Qbd& qbd, const StringBase& name) {
  for (LyrBoard::QbdBlock* block : Blocks(qbd))
    if (EqualsIgnoringCase(block->GetName(), name)) return block;
  return nullptr;
}
// The other blocks that are alternatives of the first block of that name, in board order.
inline std::vector<std::string> WalkAlternatives(const LyrBoard::Qbd& qbd, const StringBase& name) {
  std::vector<std::string> names;
  const LyrBoard::QbdBlock* block = WalkByName(qbd, name);
  if (!block) return names;
  for (LyrBoard::QbdBlock* other : Blocks(qbd))
    if (!EqualsIgnoringCase(other->GetName(), name) && MbdRules::AreAlternatives(*block, *other))
      names.push_back(other->GetName().str());
  return names;
}

}  // namespace mbdtest

#endif  // MBD_TEST_SUPPORT_H
