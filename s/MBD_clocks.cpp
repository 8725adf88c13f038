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

std::vector<MBD::ClkRng> MBD::getClkFreqRngSeq() {
  if (!clkFreqRngSeq.empty()) return clkFreqRngSeq;
  for (const StringBase& name : getInstanceNamesByIOType(IOTYPE_CLOCK, 0)) {
    const QbdBlock* block = getBlockByName(name);
    if (!block) return clkFreqRngSeq;
    for (const Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER)) {
      if (!MbdRules::IsFrequencyParam(*param)) continue;
      const PsfComp* range = MbdRules::RangeOf(*param);
      if (!range) {
        // An unrestricted clock supersedes the ranges read so far; findClkInst still
        // searches them through clkInsRngSeq.
        const ClkRng any = MbdRules::UnrestrictedRange(name);
        clkFreqRngSeq.clear();
        clkFreqRngSeq.push_back(any);
        clkInsRngSeq.push_back(any);
        continue;
      }
      for (const std::vector<StringBase>& element : MbdRules::RangeElements(*range)) {
        TraceRangeElement(element);
        ClkRng record;
        if (!MbdRules::RangeRecord(element, name, record)) {
          Port_MsgManData::debugStub(
              "Clock range of %s ignored: %u numbers where 1 to 3 are expected\n", name.c_str(),
              static_cast<unsigned>(element.size()));
          continue;
        }
        clkFreqRngSeq.push_back(record);
        clkInsRngSeq.push_back(record);
      }
    }
  }
  return clkFreqRngSeq;
}

StringBase MBD::findClkInst(unsigned int freq) {
  if (clkFreqRngSeq.empty()) clkFreqRngSeq = getClkFreqRngSeq();
  for (const ClkRng& range : clkInsRngSeq)
    if (MbdRules::RangeAdmits(range, freq)) return range.clkInsName;
  return StringBase();
}
