// The model's lookup indexes over the host's tree: blocks by name, blocks by IO type, the FPGA
// blocks, FPGA ports by net and blocks by exclusion group. Built in one walk; the model keeps
// one while the tree's modification count stays the count it was built at, and after a change
// of a few blocks' contents brings it up to date by reading those blocks again (Refresh), so
// that an edit costs what it changes rather than the board. Every lookup is
// safe from any number of threads at once: the records made on first use (FactsByName) are
// made under the index's lock and published whole, and never change after.
#ifndef MBD_BOARD_INDEX_H
#define MBD_BOARD_INDEX_H

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "BlockFacts.h"
#include "FpgaPinsByNet.h"
#include "LyrBoard.h"
#include "MbdRules.h"

namespace mbd_detail {

class BoardIndex {
 public:
  // Indexes the blocks of `qbd` (null gives an empty index).
  explicit BoardIndex(const LyrBoard::Qbd* qbd);

  // The tree's modification count when this index was built.
  unsigned long long BuiltAt() const { return builtAt_; }
  // True while the index answers for `qbd` as it is now.
  bool IsCurrentFor(const LyrBoard::Qbd* qbd) const;
  // Brings the index up to date with `qbd`, the tree it was built from, by reading again the
  // blocks whose counts moved, and returns true; returns false, the index unchanged, when it
  // must be built anew instead: blocks were added or removed, an FPGA block changed (its pins
  // are in every record), a changed block was renamed or changed its IO type or exclusion
  // group, or more blocks changed since the last whole build than the board has. Only while
  // no question reads the index (the model calls it under its lock before it publishes).
  bool Refresh(const LyrBoard::Qbd* qbd);

  // The first block whose name equals `name` ignoring case; null when none.
  LyrBoard::QbdBlock* BlockByName(const StringBase& name) const;
  // What the model reads of the block BlockByName finds, made on first use; null when none.
  const BlockFacts* FactsByName(const StringBase& name) const;
  // The blocks whose IOTYPE equals `ioType` ignoring case, in board order; empty when none.
  const std::vector<LyrBoard::QbdBlock*>& BlocksOfType(const StringBase& ioType) const;
  // True when some block's IOTYPE is exactly `ioType`.
  bool HasExactType(const StringBase& ioType) const { return exactTypes_.count(ioType) != 0; }
  // The FPGA blocks (BLOCKTYPE FPGA ignoring case), in board order; empty when none.
  const std::vector<LyrBoard::QbdBlock*>& FpgaBlocks() const { return fpga_; }
  // The ports of the FPGA blocks on a net matching `net` (FpgaPinsByNet), FPGA blocks in order
  // and ports in order; empty when none.
  const std::vector<LyrBase::Property*>& FpgaPortsOn(const StringBase& net) const {
    return fpgaPins_.On(net);
  }
  // The blocks whose EXCLUSIVE tag is `group` as MbdRules::GroupEqual compares tags, in board
  // order: any two of them are alternatives. Empty when none, and for the empty tag.
  const std::vector<LyrBoard::QbdBlock*>& BlocksInGroup(const StringBase& group) const;

 private:
  template <typename T>
  using CaseBlindMap = std::unordered_map<StringBase, T, CaseBlindHash, CaseBlindEqual>;

  // A block found by name, and its facts once something asked for them.
  struct NamedBlock {
    explicit NamedBlock(LyrBoard::QbdBlock* b) : block(b) {}
    LyrBoard::QbdBlock* block;
    mutable std::atomic<const BlockFacts*> facts{nullptr};
    mutable std::unique_ptr<BlockFacts> owned;  // what facts points at, written under the lock
  };
  // What the index read of each block, in board order: enough to tell whether a block whose
  // count moved still sits in the same maps. The pointers name keys of exactTypes_ and
  // byGroup_, which stay where they are while the index lives.
  struct BlockEntry {
    LyrBoard::QbdBlock* block;
    const StringBase* exactType;  // its IOTYPE value; null without the attribute
    const StringBase* group;      // its exclusion group's key; null without one
    std::uint32_t count;          // its count (kept modulo 2^32, as the block keeps it)
    bool fpga;
  };

  void AddBlock(LyrBoard::QbdBlock* block);
  // Appends to `changed` the positions of the blocks whose counts moved; false when `blocks`
  // are not the blocks the index read, in the same order.
  bool FindChanged(const std::vector<LyrBase::PsfComp*>& blocks,
                   std::vector<std::size_t>& changed) const;
  // The name record of the block of `entry`, whose count moved, when the block may be read
  // again in place: still not an FPGA block, the block its name finds, and in the same IO type
  // and exclusion group; null when not.
  const NamedBlock* InPlace(const BlockEntry& entry) const;
  // Makes the facts of `named` under the lock, unless another thread just did.
  const BlockFacts* MakeFacts(const NamedBlock& named) const;

  unsigned long long builtAt_ = 0;
  unsigned long long listCount_ = 0;
  // Blocks read again since the index was built whole: past the board's size it is built anew,
  // so that pins copied for nets no record names any more stay few.
  std::size_t refreshed_ = 0;
  std::vector<BlockEntry> entries_;
  CaseBlindMap<std::vector<LyrBoard::QbdBlock*>> byType_;
  std::unordered_set<StringBase> exactTypes_;
  std::vector<LyrBoard::QbdBlock*> fpga_;
  FpgaPinsByNet fpgaPins_;
  // Guards what follows it up to byName_: the facts are made one at a time.
  mutable std::mutex factsMutex_;
  // Made with the first facts of a block. Each borrows what is declared before it.
  mutable std::unique_ptr<FpgaPinFacts> pinFacts_;
  CaseBlindMap<NamedBlock> byName_;
  std::unordered_map<StringBase, std::vector<LyrBoard::QbdBlock*>, MbdRules::GroupHash,
                     MbdRules::GroupEqual>
      byGroup_;
};

}  // namespace mbd_detail

#endif  // MBD_BOARD_INDEX_H
