// Flash memories of the board, and the block-RAM and processor-cache sizes the wizard may
// choose for the board's FPGA family.
#include <climits>
#include <cstdint>

#include "LyrWiz_WizUtils/ArchDb.h"
#include "LyrWiz_WizUtils/Module.h"
#include "MBD.h"
#include "MbdRules.h"

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

namespace {

// The database keeps sizes one below a power of two; block-RAM sizes are reported in these
// units.
const unsigned kBramUnit = 1023;
const char kBus[] = "lmb";

// The board's FPGA family without surrounding spaces; empty over no board.
StringBase FamilyOf(MBD& mbd) {
  if (!mbd.getQbdObject()) return StringBase();
  return MbdRules::SizeFamily(mbd.getArch());
}

bool Contains(const StringBase& family, const char* name) {
  return family.GetIndexOfString(name, StringBase::IGNORE_CASE) != StringBase::NPOS;
}

// first, 2 x first, 4 x first, ... while not above `last`. The doubling is done wide and stops
// before a value would no longer fit an unsigned int, so the list always ends; a first of 0
// would never grow and gives an empty list.
std::vector<unsigned> Doublings(std::uint64_t first, std::uint64_t last) {
  std::vector<unsigned> sizes;
  if (first == 0) return sizes;
  for (std::uint64_t s = first; s <= last && s <= UINT_MAX; s *= 2)
    sizes.push_back(static_cast<unsigned>(s));
  return sizes;
}

}  // namespace

std::vector<std::pair<StringBase, StringBase>> MBD::getReadOnlyMems() {
  std::vector<std::pair<StringBase, StringBase>> mems;
  if (!qbd) return mems;
  for (const PsfComp* comp : qbd->GetPsfCompSeqRef(Qbd::BLOCK)) {
    const auto* block = static_cast<const QbdBlock*>(comp);
    for (const Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER)) {
      if (!MbdRules::IsFlashParam(*param)) continue;
      const PsfComp* role = MbdRules::RoleOf(*param);
      if (!role) {
        Port_MsgManData::debugStub("Error:There is no IOIS found for %s:%s \n",
                                   block->GetName().c_str(), param->GetValueStr().c_str());
        continue;
      }
      mems.emplace_back(block->GetName(), role->GetValueStr());
    }
  }
  return mems;
}

std::vector<unsigned int> MBD::getBramSizeList(StringBase bus) {
  const StringBase family = FamilyOf(*this);
  std::vector<unsigned> sizes = Doublings(ArchDb::getMinSizeByArchBus(family, bus),
                                          ArchDb::getMaxSizeByArchBus(family, bus));
  for (unsigned& s : sizes) s /= kBramUnit;
  return sizes;
}

unsigned int MBD::getDefBramSize(StringBase bus) {
  return ArchDb::getDefSizeByArchBus(FamilyOf(*this), bus) / kBramUnit;
}

std::vector<unsigned int> MBD::getPNCacheSizeList(StringBase kind) {
  if (kind.Compare("icache", StringBase::IGNORE_CASE) == 0)
    return {0, 64, 128, 256, 512, 2048, 4096, 8192, 16384, 32768, 65536};
  const StringBase family = FamilyOf(*this);
  // Wide arithmetic: a database maximum of UINT_MAX must not wrap the limit round to 0.
  std::uint64_t start = std::uint64_t(ArchDb::getMinSizeByArchBus(family, kBus)) + 1;
  if (start < 1024) start = 1024;
  if (start < 2048 && Contains(family, "ketral4")) start = 2048;
  if (Contains(family, "torvala3")) start = 2048;
  const std::uint64_t limit = std::uint64_t(ArchDb::getMaxSizeByArchBus(family, kBus)) + 1;
  std::vector<unsigned> sizes = Doublings(start, limit);
  sizes.insert(sizes.begin(), 0u);
  return sizes;
}
