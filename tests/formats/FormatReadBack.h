// Small readers of the constraint formats, for tests only: each reads a written file the way its
// toolchain's reader does (the Tcl-syntax ones in a safe Tcl interpreter whose set_property,
// get_ports, create_clock, set_location_assignment, set_instance_assignment and set_io only
// record), and gives back every port with its location and settings in neutral words.
#ifndef FORMAT_READ_BACK_H
#define FORMAT_READ_BACK_H

#include <map>
#include <string>
#include <vector>

namespace readback {

// One port as a file states it.
struct Found {
  std::string location;
  std::string pairN;                            // the N ball on a pair's P line (cst)
  std::map<std::string, std::string> settings;  // "io", "pull", "drive", "slew", "term", or
                                                // a pass-through key upper-cased
  double megahertz = 0;                         // 0 when no clock
  int statements = 0;                           // how many statements named the port
};

struct ReadBack {
  std::map<std::string, Found> ports;
  std::vector<std::string> errors;  // statements the reader would reject
};

// Reads `text` as `format` ("xdc", "sdc", "qsf", "pdc", "pcf", "lpf", "cst", "ccf", "ucf").
ReadBack Read(const std::string& format, const std::string& text);

}  // namespace readback

#endif  // FORMAT_READ_BACK_H
