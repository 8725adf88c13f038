// A Graphviz picture of a board: instances with their ports on the left, the FPGA with its
// pins and locations on the right, a line for every net that joins them.
#ifndef QBD_DIAGRAM_H
#define QBD_DIAGRAM_H

#include <string>

#include "LyrBoard.h"

namespace qbd {

// The board as a DOT graph titled `title`.
std::string boardDot(const LyrBoard::Qbd& qbd, const std::string& title);

}  // namespace qbd

#endif  // QBD_DIAGRAM_H
