// The board model's spine: construction, the generic-template test and block lookup.
#include "MBD.h"
#include "MbdRules.h"

#include "BoardIndex.h"

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

MBD::MBD(Qbd* board) : qbd(board) {
  // An exception from the expansion leaves the constructor; the members release themselves.
  // The expansion raises the missing FPGA block before it changes anything.
  if (IsGenericBoard(qbd)) dupBlocks();
}

MBD::IndexSlot::IndexSlot() = default;
MBD::IndexSlot::IndexSlot(const IndexSlot&) {}
MBD::IndexSlot& MBD::IndexSlot::operator=(const IndexSlot&) {
  // Assignment changes the model, so no question runs meanwhile.
  builtAt_.store(kNone, std::memory_order_relaxed);
  current_.store(nullptr, std::memory_order_relaxed);
  owned_.reset();
  return *this;
}
MBD::IndexSlot::~IndexSlot() = default;

const mbd_detail::BoardIndex& MBD::IndexSlot::For(const Qbd* qbd) {
  // The host may change the tree between any two questions; its count says whether it did.
  // A count seen here was stored after the index it stands for, so that index is seen whole.
  const unsigned long long now = qbd ? qbd->GetModCount() : 0;
  if (builtAt_.load(std::memory_order_acquire) == now)
    return *current_.load(std::memory_order_relaxed);
  return Rebuild(qbd);
}

const mbd_detail::BoardIndex& MBD::IndexSlot::Rebuild(const Qbd* qbd) {
  std::lock_guard<std::mutex> lock(mutex_);
  const unsigned long long now = qbd ? qbd->GetModCount() : 0;
  // Another thread may have built it while this one waited.
  if (builtAt_.load(std::memory_order_relaxed) == now) return *owned_;
  auto fresh = std::make_unique<mbd_detail::BoardIndex>(qbd);
  // The index replaced was built before the last change, so no question still reads it: every
  // question asked before a change has returned before it, and none since reaches it.
  owned_ = std::move(fresh);
  current_.store(owned_.get(), std::memory_order_relaxed);
  builtAt_.store(now, std::memory_order_release);
  return *owned_;
}

MBD::MBD(const MBD& other) = default;

MBD& MBD::operator=(const MBD& other) = default;

// Members go in reverse order: the indexes, the map of copies, then the clock ranges.
// The tree belongs to the host and is never deleted here.
MBD::~MBD() = default;

int MBD::GetErrorCode() const { return qbd ? qbd->GetErrorCode() : 0; }

bool MBD::IsGenericBoard(Qbd* board) {
  if (!board) return false;
  const PsfComp* name = board->GetPsfCompByName(Qbd::ATTRIBUTE, NAME.c_str());
  const StringBase value = name ? name->GetValueStr() : StringBase();
  return EqualsIgnoringCase(value, GENERIC_NAME);
}

bool MBD::isGeneric() { return IsGenericBoard(qbd); }

const std::vector<PsfComp*>& MBD::blockList() const {
  static const std::vector<PsfComp*> none;
  return qbd ? qbd->GetPsfCompSeqRef(Qbd::BLOCK) : none;
}

const mbd_detail::BoardIndex& MBD::boardIndex() { return indexSlot.For(qbd); }

QbdBlock* MBD::getBlockByName(StringBase insName) {
  return boardIndex().BlockByName(insName);
}

std::vector<LyrBase::Property*> MBD::getFpgaPortsOnNet(StringBase net) {
  return boardIndex().FpgaPortsOn(net);
}

std::vector<QbdBlock*> MBD::getBlockSeqByType(StringBase ioType) {
  return boardIndex().BlocksOfType(ioType);
}

std::vector<QbdBlock*> MBD::getFPGABlocks() { return boardIndex().FpgaBlocks(); }
