// The architecture size database: for an FPGA family and a bus, the smallest, largest and
// default memory size the wizard may choose. Families and buses match ignoring letter case.
#ifndef LYRWIZ_WIZUTILS_ARCHDB_H
#define LYRWIZ_WIZUTILS_ARCHDB_H

#include <vector>

#include "Portability.h"

// Sizes are stored as the wizard's callers expect them: one less than a power of two of bytes
// (2047 for 2 KiB). The built-in table knows the families "ketral4", "ketral2p", "ketral3" and
// "torvala3" on the buses "lmb", "opb" and "plb".
//
// Threads: the table is one per process, and every operation is safe from any thread at any
// time; each sees the table wholly before or wholly after a concurrent setEntry or reset. The
// three lookups are separate, though: asking for the minimum and then the maximum of a pair
// while another thread changes it may give one size from before and one from after.
class ArchDb {
 public:
  // Smallest size for the pair; 0 when the pair is unknown.
  static unsigned getMinSizeByArchBus(StringBase family, StringBase bus);
  // Largest size for the pair; 0 when the pair is unknown.
  static unsigned getMaxSizeByArchBus(StringBase family, StringBase bus);
  // Default size for the pair; 0 when the pair is unknown.
  static unsigned getDefSizeByArchBus(StringBase family, StringBase bus);
  // True when some bus has sizes for the family; false when the family is unknown.
  static bool knowsFamily(StringBase family);
  // Every family some bus has sizes for, in lower case and sorted; empty when the table is.
  static std::vector<StringBase> families();

  // Adds the pair or replaces its sizes.
  static void setEntry(StringBase family, StringBase bus, unsigned minSize, unsigned maxSize,
                       unsigned defSize);
  // Back to the built-in table.
  static void reset();
};

#endif  // LYRWIZ_WIZUTILS_ARCHDB_H
