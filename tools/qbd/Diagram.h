// A Graphviz picture of a board: instances with their ports on the left, the FPGA with its
// pins and locations on the right, a line for every net that joins them.
// A net that joins several instance ports to several FPGA pins is drawn through a net node, one
// line per port and one per pin, so that the picture grows with the board, not with ports
// times pins on one net.
#ifndef QBD_DIAGRAM_H
#define QBD_DIAGRAM_H

#include <ostream>
#include <string>

#include "LyrBoard.h"

namespace qbd {

// Writes the board as a DOT graph titled `title`, a node at a time.
void writeBoardDot(std::ostream& out, const LyrBoard::Qbd& qbd, const std::string& title);
// The board as a DOT graph titled `title`.
std::string boardDot(const LyrBoard::Qbd& qbd, const std::string& title);

}  // namespace qbd

#endif  // QBD_DIAGRAM_H
