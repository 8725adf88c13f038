// The model's lookup indexes: one walk over the blocks answers every lookup until the tree changes.
#include "BoardIndex.h"

#include <tuple>

#include "MBD.h"
#include "MbdRules.h"

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

namespace mbd_detail {

namespace {

template <typename Map>
const typename Map::mapped_type& FindOrNone(const Map& map, const StringBase& key) {
  static const typename Map::mapped_type kNone{};
  const auto found = map.find(key);
  return found == map.end() ? kNone : found->second;
}

}  // namespace

BoardIndex::BoardIndex(const Qbd* qbd) {
  if (!qbd) return;
  builtAt_ = qbd->GetModCount();
  const std::vector<PsfComp*>& blocks = qbd->GetPsfCompSeqRef(Qbd::BLOCK);
  byName_.reserve(blocks.size());
  for (PsfComp* comp : blocks) AddBlock(static_cast<QbdBlock*>(comp));
  for (QbdBlock* fpga : fpga_)
    for (Property* port : fpga->GetPropSeqRef(QbdBlock::PORT))
      fpgaPins_.Add(port);
}

bool BoardIndex::IsCurrentFor(const Qbd* qbd) const {
  return (qbd ? qbd->GetModCount() : 0) == builtAt_;
}

void BoardIndex::AddBlock(QbdBlock* block) {
  // The first block of a name keeps it: later ones are shadowed, as in a walk.
  byName_.emplace(std::piecewise_construct, std::forward_as_tuple(block->GetName()),
                  std::forward_as_tuple(block));
  if (block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::IO_TYPE)) {
    const StringBase value = MbdRules::AttributeOf(*block, MBD::IO_TYPE);
    byType_[value].push_back(block);
    exactTypes_.insert(value);
  }
  if (MbdRules::IsFpgaBlock(block)) fpga_.push_back(block);
  const StringBase group = MbdRules::ExclusiveGroupOf(*block);
  if (!group.IsEmpty()) byGroup_[group].push_back(block);
}

QbdBlock* BoardIndex::BlockByName(const StringBase& name) const {
  const auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second.block;
}

const BlockFacts* BoardIndex::FactsByName(const StringBase& name) const {
  const auto found = byName_.find(name);
  if (found == byName_.end()) return nullptr;
  // Acquire pairs with the release in MakeFacts: a record seen here is seen whole.
  const BlockFacts* facts = found->second.facts.load(std::memory_order_acquire);
  return facts ? facts : MakeFacts(found->second);
}

const BlockFacts* BoardIndex::MakeFacts(const NamedBlock& named) const {
  std::lock_guard<std::mutex> lock(factsMutex_);
  if (const BlockFacts* facts = named.facts.load(std::memory_order_relaxed)) return facts;
  // Made when first asked for: a board's blocks are many, the instances asked about few.
  if (!pinFacts_) pinFacts_ = std::make_unique<FpgaPinFacts>(fpgaPins_);
  made_.push_back(std::make_unique<BlockFacts>(*named.block, *pinFacts_));
  named.facts.store(made_.back().get(), std::memory_order_release);
  return made_.back().get();
}

const std::vector<QbdBlock*>& BoardIndex::BlocksOfType(const StringBase& ioType) const {
  return FindOrNone(byType_, ioType);
}

const std::vector<QbdBlock*>& BoardIndex::BlocksInGroup(const StringBase& group) const {
  return FindOrNone(byGroup_, group);
}

}  // namespace mbd_detail
