// How the import names what it draws: nets from a design's port names, instances from headings
// and stems, and names kept unique ignoring case, as the board matches them.
#ifndef MBD_IMPORT_NAMES_H
#define MBD_IMPORT_NAMES_H

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "MbdPinTable.h"

namespace MbdImport {
namespace detail {


// Names handed out once each, ignoring case: a taken name gets _2, _3, ... (the next free
// suffix is remembered per name, so many clashes stay linear).
class UniqueNames {
 public:
  // `wanted` when free, else the first free `wanted_N`; the result is taken from then on.
  std::string Claim(const std::string& wanted);

 private:
  std::unordered_set<std::string> taken_;  // lower case
  std::unordered_map<std::string, unsigned> next_;
};

// The board net of a row: the row's net when the reader knows it, else its name as the file
// wrote it, control characters as '_'; "unnamed" for an empty name.
std::string NetName(const MbdPins::PinRow& row);
// The instance port of a row on `net`: the row's port when the reader knows it, a bus bit
// led[3] (or the reader's stem and index) as led_3, else the net.
std::string PortName(const MbdPins::PinRow& row, const std::string& net);
// The stem of a bus bit name led[3] ("led"); empty when the name is not one.
std::string BusStem(const std::string& name);
// True when the name ends in _p or _n (either case) after something: `stem` without it and
// `negative` for _n.
bool SplitPairName(const std::string& name, std::string& stem, bool& negative);
// The stem of a pair name; empty when the name is not one.
std::string PairStem(const std::string& name, bool& negative);
// The part of a name that its siblings share: before the first '_' (uart_tx -> uart), else
// without trailing digits (led3 -> led); the name itself when neither leaves anything.
std::string NameStem(const std::string& name);
// A block name from any text: with `keepPlain`, the text itself when it is letters, digits and
// '_' (not starting with a digit); else those characters in lower case with '_' between words;
// "group" when nothing is left; a leading digit gets "i_" before it.
std::string InstanceName(const std::string& text, bool keepPlain);

}  // namespace detail
}  // namespace MbdImport

#endif  // MBD_IMPORT_NAMES_H
