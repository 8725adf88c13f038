// The model's lookup indexes: one walk over the blocks answers every lookup until the tree changes.
#include "BoardIndex.h"

#include <algorithm>
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
  listCount_ = qbd->GetBlockListCount();
  const std::vector<PsfComp*>& blocks = qbd->GetPsfCompSeqRef(Qbd::BLOCK);
  byName_.reserve(blocks.size());
  entries_.reserve(blocks.size());
  for (PsfComp* comp : blocks) AddBlock(static_cast<QbdBlock*>(comp));
  for (QbdBlock* fpga : fpga_)
    for (Property* port : fpga->GetPropSeqRef(QbdBlock::PORT))
      fpgaPins_.Add(port);
}

bool BoardIndex::IsCurrentFor(const Qbd* qbd) const {
  return (qbd ? qbd->GetModCount() : 0) == builtAt_;
}

bool BoardIndex::Refresh(const Qbd* qbd) {
  if (!qbd || qbd->GetBlockListCount() != listCount_) return false;
  const unsigned long long now = qbd->GetModCount();
  // Each change of a block counts on the board too: below 2^32 changes of the board, no
  // block's 32-bit count can have come round to the count the index read.
  if (now - builtAt_ >= (1ull << 32)) return false;
  std::vector<std::size_t> changed;
  if (!FindChanged(qbd->GetPsfCompSeqRef(Qbd::BLOCK), changed)) return false;
  if (refreshed_ + changed.size() > std::max<std::size_t>(entries_.size(), 64)) return false;
  std::vector<const NamedBlock*> named(changed.size());
  for (std::size_t c = 0; c < changed.size(); ++c)
    if (!(named[c] = InPlace(entries_[changed[c]]))) return false;
  // No question reads the index now, but records are dropped as they are made: under the lock.
  std::lock_guard<std::mutex> lock(factsMutex_);
  for (std::size_t c = 0; c < changed.size(); ++c) {
    BlockEntry& entry = entries_[changed[c]];
    entry.count = static_cast<std::uint32_t>(entry.block->GetModCount());
    named[c]->facts.store(nullptr, std::memory_order_relaxed);
    named[c]->owned.reset();
  }
  refreshed_ += changed.size();
  builtAt_ = now;
  return true;
}

bool BoardIndex::FindChanged(const std::vector<PsfComp*>& blocks,
                             std::vector<std::size_t>& changed) const {
  // The list's own count says the blocks are the ones read; the nodes are compared all the same.
  if (blocks.size() != entries_.size()) return false;
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    const BlockEntry& entry = entries_[b];
    if (blocks[b] != entry.block) return false;
    if (static_cast<std::uint32_t>(entry.block->GetModCount()) != entry.count) changed.push_back(b);
  }
  return true;
}

const BoardIndex::NamedBlock* BoardIndex::InPlace(const BlockEntry& entry) const {
  QbdBlock* block = entry.block;
  if (entry.fpga || MbdRules::IsFpgaBlock(block)) return nullptr;
  // Shadowed blocks are not read in place: the first of the name may be another block.
  const auto named = byName_.find(block->GetName());
  if (named == byName_.end() || named->second.block != block) return nullptr;
  const bool typed = block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::IO_TYPE) != nullptr;
  if (typed != (entry.exactType != nullptr)) return nullptr;
  if (typed && !(MbdRules::AttributeOf(*block, MBD::IO_TYPE) == *entry.exactType)) return nullptr;
  const StringBase group = MbdRules::ExclusiveGroupOf(*block);
  if (group.IsEmpty() != (entry.group == nullptr)) return nullptr;
  if (!group.IsEmpty() && !MbdRules::GroupEqual()(group, *entry.group)) return nullptr;
  return &named->second;
}

void BoardIndex::AddBlock(QbdBlock* block) {
  BlockEntry entry{block, nullptr, nullptr, static_cast<std::uint32_t>(block->GetModCount()),
                   MbdRules::IsFpgaBlock(block)};
  // The first block of a name keeps it: later ones are shadowed, as in a walk.
  byName_.emplace(std::piecewise_construct, std::forward_as_tuple(block->GetName()),
                  std::forward_as_tuple(block));
  if (block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::IO_TYPE)) {
    const StringBase value = MbdRules::AttributeOf(*block, MBD::IO_TYPE);
    byType_[value].push_back(block);
    entry.exactType = &*exactTypes_.insert(value).first;
  }
  if (entry.fpga) fpga_.push_back(block);
  const StringBase group = MbdRules::ExclusiveGroupOf(*block);
  if (!group.IsEmpty()) {
    const auto members = byGroup_.emplace(group, std::vector<QbdBlock*>()).first;
    members->second.push_back(block);
    entry.group = &members->first;
  }
  entries_.push_back(entry);
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
  named.owned = std::make_unique<BlockFacts>(*named.block, *pinFacts_);
  named.facts.store(named.owned.get(), std::memory_order_release);
  return named.owned.get();
}

const std::vector<QbdBlock*>& BoardIndex::BlocksOfType(const StringBase& ioType) const {
  return FindOrNone(byType_, ioType);
}

const std::vector<QbdBlock*>& BoardIndex::BlocksInGroup(const StringBase& group) const {
  return FindOrNone(byGroup_, group);
}

}  // namespace mbd_detail
