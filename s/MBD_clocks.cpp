// Reset polarity, clock frequencies and the frequency ranges of the clock instances.
#include <string>

#include "MBD.h"

using LyrBase::BaseNode;
using LyrBase::ListBaseNodePtrVal;
using LyrBase::ListStrVal;
using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBase::StrVal;
using LyrBase::Value;
using LyrBoard::QbdBlock;

namespace {

// The range elements of a RANGE sub-property's typed value: each element of a list of lists;
// a plain list as one element; a single string as a one-string element; nothing otherwise.
std::vector<std::vector<StringBase>> RangeElements(const Value* value) {
  std::vector<std::vector<StringBase>> elements;
  if (const auto* lists = dynamic_cast<const ListBaseNodePtrVal*>(value)) {
    for (const BaseNode* node : lists->GetValue())
      if (const auto* element = dynamic_cast<const ListStrVal*>(node))
        elements.push_back(element->GetValue());
  } else if (const auto* list = dynamic_cast<const ListStrVal*>(value)) {
    elements.push_back(list->GetValue());
  } else if (const auto* single = dynamic_cast<const StrVal*>(value)) {
    elements.push_back(std::vector<StringBase>(1, single->GetValue()));
  }
  return elements;
}

void TraceRangeElement(const std::vector<StringBase>& strings) {
  std::string line = "Get clock range ";
  for (const StringBase& s : strings) line += s.str() + ":";
  line += "\n";
  Port_MsgManData::debugStub("%s", line.c_str());
}

// The record of one range element: (f) is the single frequency f, (lo, hi) every frequency
// between, (lo, hi, step) every step-th. False for any other count of numbers.
bool RangeRecord(const std::vector<StringBase>& strings, const StringBase& insName,
                 MBD::ClkRng& record) {
  unsigned numbers[3] = {0, 0, 0};
  if (strings.empty() || strings.size() > 3) return false;
  for (std::size_t i = 0; i < strings.size(); ++i)
    numbers[i] = UT_STR::StrToUINT32(strings[i].c_str(), nullptr, 10);
  record.minFreq = numbers[0];
  record.maxFreq = strings.size() == 1 ? numbers[0] : numbers[1];
  record.stepFreq = strings.size() == 1 ? 1 : numbers[2];
  record.clkInsName = insName;
  return true;
}

// True when the record's range admits `freq`.
bool Admits(const MBD::ClkRng& range, unsigned freq) {
  const unsigned step = range.stepFreq == 0 ? 1 : range.stepFreq;
  return range.minFreq <= freq && freq <= range.maxFreq && (freq - range.minFreq) % step == 0;
}

bool IsFrequencyParam(const Property* param) {
  const PsfComp* role = param->GetPsfCompByName(MBD::IOIS.c_str());
  return role && role->GetValueStr().Compare(MBD::FREQIOIS, StringBase::IGNORE_CASE) == 0;
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
    const unsigned freq = UT_STR::StrToUINT32(getCoreParamValue(name, FREQIOIS).c_str(),
                                              nullptr, 10);
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
      if (!IsFrequencyParam(param)) continue;
      const PsfComp* range = param->GetPsfCompByName(CLK_RANGE.c_str());
      if (!range) {
        // An unrestricted clock supersedes the ranges read so far; findClkInst still
        // searches them through clkInsRngSeq.
        ClkRng any;
        any.minFreq = 0;
        any.maxFreq = MAX_FREQ;
        any.stepFreq = 1;
        any.clkInsName = name;
        clkFreqRngSeq.clear();
        clkFreqRngSeq.push_back(any);
        clkInsRngSeq.push_back(any);
        continue;
      }
      for (const std::vector<StringBase>& element : RangeElements(range->GetLyrValuePtr())) {
        TraceRangeElement(element);
        ClkRng record;
        if (!RangeRecord(element, name, record)) {
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
    if (Admits(range, freq)) return range.clkInsName;
  return StringBase();
}
