// Board texts generated for the benchmarks: large, realistic in shape, and the same on every
// run (no randomness), so that figures from different runs compare.
#ifndef BENCH_BOARDS_H
#define BENCH_BOARDS_H

#include <cstddef>
#include <string>

#include "LyrBoard.h"

namespace benchboards {

// A real board of about `targetBytes` bytes: board attributes, one FPGA block with one pin per
// instance port, then as many instance blocks (UARTs, GPIO banks, memories, clocks) as it
// takes. Ports carry IO_IS roles; FPGA pins carry UCF_NET_STRING lists and a direction.
std::string GenerateBoardText(std::size_t targetBytes);
// The same kind of board with exactly `blockCount` instance blocks besides the FPGA block.
std::string GenerateBoardBlocks(std::size_t blockCount);
// The same content as `board` written as XML: board attributes and blocks as elements, names
// and scalar values as attributes, list items as child elements; the peer a DOM parser reads.
std::string BoardAsXml(const LyrBoard::Qbd& board);

}  // namespace benchboards

#endif  // BENCH_BOARDS_H
