// Which board this is (identity, descriptions, links) and which FPGA part sits on it.
#include "MBD.h"
#include "MbdRules.h"

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

namespace {

const char* const kJtagPosition = "JTAG_POSITION";
const char* const kK2PFamily = "KETRAL2P";

// The value of a board attribute as stored; empty when the board or attribute is absent.
StringBase boardAttrOf(const Qbd* qbd, const StringBase& attrName) {
  if (!qbd) return StringBase();
  const PsfComp* attr = qbd->GetPsfCompByName(Qbd::ATTRIBUTE, attrName.c_str());
  return attr ? attr->GetValueStr() : StringBase();
}

MBD::BoardId boardIdOf(const Qbd* qbd) {
  MBD::BoardId id;
  id.vendor = boardAttrOf(qbd, MBD::VENDER);
  id.name = boardAttrOf(qbd, MBD::NAME);
  id.revision = boardAttrOf(qbd, MBD::REVISION);
  return id;
}

}  // namespace

bool MBD::BoardId::operator==(const BoardId& other) const {
  return vendor == other.vendor && name == other.name && revision == other.revision;
}

bool MBD::BoardId::operator<(const BoardId& other) const {
  // Compared as one run of bytes, so differently split identities can be equivalent.
  return vendor + name + revision < other.vendor + other.name + other.revision;
}

StringBase MBD::getBoardAttr(const StringBase& attrName) { return boardAttrOf(qbd, attrName); }

MBD::BoardId MBD::getBoardId() { return boardIdOf(qbd); }

StringBase MBD::getBoardDesc() { return getBoardAttr(TEXT); }

StringBase MBD::getSpecUrl() { return getBoardAttr(SPEC_URL); }

StringBase MBD::getContactInfoUrl() { return getBoardAttr(CONTACT_INFO_URL); }

bool MBD::operator<(const MBD& other) {
  return boardIdOf(qbd) < boardIdOf(other.qbd);
}

StringBase MBD::getFpgaSpec(StringBase attrName) {
  const std::vector<QbdBlock*> fpgas = getFPGABlocks();
  if (fpgas.empty()) return StringBase();
  return MbdRules::AttributeOf(*fpgas.front(), attrName.c_str());
}

int MBD::setFpgaSpec(StringBase attrName, StringBase value) {
  const std::vector<QbdBlock*> fpgas = getFPGABlocks();
  if (fpgas.empty()) return 1;
  Property* attr = fpgas.front()->GetPropertyByName(QbdBlock::ATTRIBUTE, attrName.c_str());
  if (!attr) return 1;  // a missing attribute is never created
  return attr->SetValueStr(value.c_str());
}

int MBD::setFpgaSpecChecked(const char* attrName, const StringBase& value, const char* warning) {
  // The part of a real board is fixed; only a generic template lets the user choose it.
  if (!IsGenericBoard(qbd)) {
    Port_MsgManData::debugStub("%s", warning);
    return 1;
  }
  return setFpgaSpec(attrName, value);
}

StringBase MBD::getArch() { return getFpgaSpec(ARCH_NAME); }

StringBase MBD::getDevice() { return getFpgaSpec(DEVICE_NAME); }

StringBase MBD::getPackage() { return getFpgaSpec(PACKAGE_NAME); }

StringBase MBD::getSpeedGrade() { return getFpgaSpec(SPEED_GRADE_NAME); }

StringBase MBD::getJtagPos() { return getFpgaSpec(kJtagPosition); }

int MBD::setArch(StringBase arch) {
  return setFpgaSpecChecked(ARCH_NAME, arch,
                            "Warning: Can not set FPGA Arch for non-generic QBD file\n");
}

int MBD::setDevice(StringBase device) {
  return setFpgaSpecChecked(DEVICE_NAME, device,
                            "Warning: Can not set FPGA Device Size for non-generic QBD file\n");
}

int MBD::setPackage(StringBase package) {
  return setFpgaSpecChecked(PACKAGE_NAME, package,
                            "Warning: Can not set FPGA Package for non-generic QBD file\n");
}

int MBD::setSpeedGrade(StringBase speedGrade) {
  return setFpgaSpecChecked(SPEED_GRADE_NAME, speedGrade,
                            "Warning: Can not set FPGA Speedgrade for non-generic QBD file\n");
}

unsigned char MBD::isK2P() {
  const StringBase arch = getArch();
  if (arch.IsEmpty()) return 0;
  return arch.GetIndexOfString(kK2PFamily, StringBase::IGNORE_CASE) != StringBase::NPOS ? 1 : 0;
}
