// Reset polarity, clock frequencies and the frequency ranges of the clock instances.
#include <string>

#include "MBD.h"
#include "MbdRules.h"

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::QbdBlock;

namespace {

void TraceRangeElement(const std::vector<StringBase>& strings) {
  std::string line = "Get clock range ";
  for (const StringBase& s : strings) line += s.str() + ":";
  line += "\n";
  Port_MsgManData::debugStub("%s", line.c_str());
}

}  // namespace

StringBase MBD::getRstPolarity() {
  const std::vector<QbdBlock*> resets = getBlockSeqByType(IOTYPE_RESET);
  if (resets.empty()) return StringBase();
  const Property* polarity = getCoreParamProperty(resets.front(), POLARITYIOIS);
  return polarity ? polarity->GetValueStr() : StringBase();
}

std::vector<StringBase> MBD::getClkFreqSeq() {
  std::vector<StringBase> freqs;
  for (const StringBase& name : getInstanceNamesByIOType(IOTYPE_CLOCK, 0)) {
    const unsigned freq = MbdRules::FrequencyOf(getCoreParamValue(name, FREQIOIS));
    // Unsigned text, so that frequencies of 2^31 and more do not read as negative.
    StringBase text;
    text.Format("%u", freq);
    freqs.push_back(text);
  }
  return freqs;
}

MBD::ClockSlot::ClockSlot(const ClockSlot& other) { *this = other; }

MBD::ClockSlot& MBD::ClockSlot::operator=(const ClockSlot& other) {
  if (this == &other) return *this;
  std::vector<ClkRng> otherAll, otherByInstance;
  bool otherDone = false;
  {
    std::lock_guard<std::mutex> lock(other.mutex_);
    otherAll = other.all;
    otherByInstance = other.byInstance;
    otherDone = other.done_.load(std::memory_order_relaxed);
  }
  std::lock_guard<std::mutex> lock(mutex_);
  all = std::move(otherAll);
  byInstance = std::move(otherByInstance);
  done_.store(otherDone, std::memory_order_release);
  return *this;
}

const MBD::ClockSlot& MBD::clockRanges() {
  return clockSlot.Once([this](std::vector<ClkRng>& all, std::vector<ClkRng>& byInstance) {
    for (const StringBase& name : getInstanceNamesByIOType(IOTYPE_CLOCK, 0)) {
      const QbdBlock* block = getBlockByName(name);
      if (!block) return;
      for (const Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER)) {
        if (!MbdRules::IsFrequencyParam(*param)) continue;
        const PsfComp* range = MbdRules::RangeOf(*param);
        if (!range) {
          // An unrestricted clock supersedes the ranges read so far; findClkInst still
          // searches them through the ranges by instance.
          const ClkRng any = MbdRules::UnrestrictedRange(name);
          all.clear();
          all.push_back(any);
          byInstance.push_back(any);
          continue;
        }
        for (const std::vector<StringBase>& element : MbdRules::RangeElements(*range)) {
          TraceRangeElement(element);
          ClkRng record;
          if (!MbdRules::RangeRecord(element, name, record)) {
            Port_MsgManData::debugStub(
                "Clock range of %s ignored: %u numbers where 1 to 3 are expected\n",
                name.c_str(), static_cast<unsigned>(element.size()));
            continue;
          }
          all.push_back(record);
          byInstance.push_back(record);
        }
      }
    }
  });
}

std::vector<MBD::ClkRng> MBD::getClkFreqRngSeq() { return clockRanges().all; }

StringBase MBD::findClkInst(unsigned int freq) {
  for (const ClkRng& range : clockRanges().byInstance)
    if (MbdRules::RangeAdmits(range, freq)) return range.clkInsName;
  return StringBase();
}
