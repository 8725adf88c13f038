// The board model's spine: construction, the generic-template test and block lookup.
#include "MBD.h"

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

MBD::MBD(Qbd* board) : qbd(board) {
  // An exception from the expansion leaves the constructor; the members release themselves,
  // and whatever the expansion already handed to the tree stays there.
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
  return value.Compare(GENERIC_NAME, StringBase::IGNORE_CASE) == 0;
}

bool MBD::isGeneric() { return IsGenericBoard(qbd); }

const std::vector<PsfComp*>& MBD::blockList() const {
  static const std::vector<PsfComp*> none;
  return qbd ? qbd->GetPsfCompSeqRef(Qbd::BLOCK) : none;
}

StringBase MBD::blockAttr(const QbdBlock* block, const char* attrName) {
  const Property* attr = block->GetPropertyByName(QbdBlock::ATTRIBUTE, attrName);
  return attr ? attr->GetValueStr() : StringBase();
}

QbdBlock* MBD::getBlockByName(StringBase insName) {
  // A linear walk on purpose: the first match ignoring case wins, and blocks appended later
  // take part like any other.
  for (PsfComp* comp : blockList())
    if (comp->GetName().Compare(insName, StringBase::IGNORE_CASE) == 0)
      return static_cast<QbdBlock*>(comp);
  return nullptr;
}

std::vector<QbdBlock*> MBD::getBlocksByAttr(const char* attrName, const StringBase& value) {
  std::vector<QbdBlock*> result;
  for (PsfComp* comp : blockList()) {
    QbdBlock* block = static_cast<QbdBlock*>(comp);
    const Property* attr = block->GetPropertyByName(QbdBlock::ATTRIBUTE, attrName);
    if (attr && attr->GetValueStr().Compare(value, StringBase::IGNORE_CASE) == 0)
      result.push_back(block);
  }
  return result;
}

std::vector<QbdBlock*> MBD::getBlockSeqByType(StringBase ioType) {
  return getBlocksByAttr(IO_TYPE, ioType);
}

std::vector<QbdBlock*> MBD::getFPGABlocks() { return getBlocksByAttr(BLOCK_NAME, FPGA_IOTYPE); }
