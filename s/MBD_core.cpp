// The board model's spine: construction, the generic-template test and block lookup.
#include "MBD.h"
#include "MbdRules.h"

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

MBD::MBD(Qbd* board) : qbd(board) {
  // An exception from the expansion leaves the constructor; the members release themselves.
  // The expansion raises the missing FPGA block before it changes anything.
  if (IsGenericBoard(qbd)) dupBlocks();
}

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

QbdBlock* MBD::getBlockByName(StringBase insName) {
  // A linear walk on purpose: the first match ignoring case wins, and blocks appended later
  // take part like any other.
  for (PsfComp* comp : blockList())
    if (EqualsIgnoringCase(comp->GetName(), insName))
      return static_cast<QbdBlock*>(comp);
  return nullptr;
}

std::vector<QbdBlock*> MBD::getBlockSeqByType(StringBase ioType) {
  std::vector<QbdBlock*> result;
  for (PsfComp* comp : blockList()) {
    QbdBlock* block = static_cast<QbdBlock*>(comp);
    if (MbdRules::HasIoType(*block, ioType)) result.push_back(block);
  }
  return result;
}

std::vector<QbdBlock*> MBD::getFPGABlocks() {
  std::vector<QbdBlock*> result;
  for (PsfComp* comp : blockList()) {
    QbdBlock* block = static_cast<QbdBlock*>(comp);
    if (MbdRules::IsFpgaBlock(block)) result.push_back(block);
  }
  return result;
}
