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
  index.reset();
  return *this;
}
MBD::IndexSlot::~IndexSlot() = default;

MBD::MBD(const MBD& other) = default;

MBD& MBD::operator=(const MBD& other) = default;

// Members go in reverse order: the map, then the instance ranges, then the frequency ranges.
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

const mbd_detail::BoardIndex& MBD::boardIndex() {
  // The host may change the tree between any two calls; its count says whether it did.
  if (!indexSlot.index || !indexSlot.index->IsCurrentFor(qbd))
    indexSlot.index = std::make_unique<mbd_detail::BoardIndex>(qbd);
  return *indexSlot.index;
}

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
