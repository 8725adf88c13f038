// The model's lookup indexes over the host's tree: blocks by name, blocks by IO type, the FPGA
// blocks, FPGA ports by net and blocks by exclusion group. Built in one walk; the model keeps
// one while the tree's modification count stays the count it was built at. Every lookup is
// safe from any number of threads at once: the records made on first use (FactsByName) are
// made under the index's lock and published whole, and never change after.
#ifndef MBD_BOARD_INDEX_H
#define MBD_BOARD_INDEX_H

#include <atomic>
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

  // A block found by name, and its facts once something asked for them (owned by made_).
  struct NamedBlock {
    explicit NamedBlock(LyrBoard::QbdBlock* b) : block(b) {}
    LyrBoard::QbdBlock* block;
    mutable std::atomic<const BlockFacts*> facts{nullptr};
  };

  void AddBlock(LyrBoard::QbdBlock* block);
  // Makes the facts of `named` under the lock, unless another thread just did.
  const BlockFacts* MakeFacts(const NamedBlock& named) const;

  unsigned long long builtAt_ = 0;
  CaseBlindMap<std::vector<LyrBoard::QbdBlock*>> byType_;
  std::unordered_set<StringBase> exactTypes_;
  std::vector<LyrBoard::QbdBlock*> fpga_;
  FpgaPinsByNet fpgaPins_;
  // Guards what follows it up to byName_: the facts are made one at a time.
  mutable std::mutex factsMutex_;
  // Made with the first facts of a block. Each borrows what is declared before it.
  mutable std::unique_ptr<FpgaPinFacts> pinFacts_;
  mutable std::vector<std::unique_ptr<BlockFacts>> made_;
  CaseBlindMap<NamedBlock> byName_;
  std::unordered_map<StringBase, std::vector<LyrBoard::QbdBlock*>, MbdRules::GroupHash,
                     MbdRules::GroupEqual>
      byGroup_;
};

}  // namespace mbd_detail

#endif  // MBD_BOARD_INDEX_H
