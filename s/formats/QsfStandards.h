// The IO standards a qsf names its own way ("3.3-V LVTTL" for LVTTL): one table that the qsf
// writer reads one way and the qsf reader the other, so the two cannot disagree. It is defined
// here, in the header, because the reader lives in another library (the one that links Tcl)
// and each library must hold the same table; it is internal to both and never installed.
#ifndef MBD_FORMATS_QSF_STANDARDS_H
#define MBD_FORMATS_QSF_STANDARDS_H

#include <string>

namespace MbdFormats {
namespace detail {

struct QsfStandard {
  const char* common;  // the name the other formats and boards use
  const char* qsf;     // the qsf's own name
};

// Where several common names share one qsf name (LVTTL and LVTTL33), the first is the one a
// qsf reads back as. A standard the qsf names as the others do needs no entry, unless another
// common name is written as it (LVDS_25 is LVDS): then it comes first, to read back as itself.
inline constexpr QsfStandard kQsfStandards[] = {
    {"LVCMOS33", "3.3-V LVCMOS"},  {"LVTTL", "3.3-V LVTTL"},
    {"LVTTL33", "3.3-V LVTTL"},    {"LVCMOS30", "3.0-V LVCMOS"},
    {"LVTTL30", "3.0-V LVTTL"},    {"LVCMOS25", "2.5 V"},
    {"LVCMOS18", "1.8 V"},         {"LVCMOS15", "1.5 V"},
    {"LVCMOS12", "1.2 V"},         {"LVDS", "LVDS"},
    {"LVDS_25", "LVDS"},
    {"SSTL2_I", "SSTL-2 CLASS I"}, {"SSTL2_II", "SSTL-2 CLASS II"},
    {"SSTL18_I", "SSTL-18 CLASS I"}, {"SSTL18_II", "SSTL-18 CLASS II"},
    {"SSTL15", "SSTL-15"},         {"SSTL135", "SSTL-135"},
};

// True when `text` equals `name` ignoring ASCII case.
inline bool SameStandard(const std::string& text, const char* name) {
  std::size_t i = 0;
  for (; i < text.size() && name[i] != '\0'; ++i) {
    char a = text[i], b = name[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
    if (a != b) return false;
  }
  return i == text.size() && name[i] == '\0';
}

// The qsf name of the standard `common` (ignoring case); `common` as written when the qsf has
// no name of its own for it.
inline std::string QsfStandardName(const std::string& common) {
  for (const QsfStandard& s : kQsfStandards)
    if (SameStandard(common, s.common)) return s.qsf;
  return common;
}

// The common name of the qsf's standard `qsf` (ignoring case); `qsf` as written when it is a
// name the qsf shares with the others.
inline std::string CommonStandardName(const std::string& qsf) {
  for (const QsfStandard& s : kQsfStandards)
    if (SameStandard(qsf, s.qsf)) return s.common;
  return qsf;
}

}  // namespace detail
}  // namespace MbdFormats

#endif  // MBD_FORMATS_QSF_STANDARDS_H
