// Board texts generated for the benchmarks: large, realistic in shape, and the same on every
// run (no randomness), so that figures from different runs compare.
#ifndef BENCH_BOARDS_H
#define BENCH_BOARDS_H

#include <cstddef>
#include <string>

namespace benchboards {

// A real board of about `targetBytes` bytes: board attributes, one FPGA block with one pin per
// instance port, then as many instance blocks (UARTs, GPIO banks, memories, clocks) as it
// takes. Ports carry IO_IS roles; FPGA pins carry UCF_NET_STRING lists and a direction.
std::string GenerateBoardText(std::size_t targetBytes);
// The same kind of board with exactly `blockCount` instance blocks besides the FPGA block.
std::string GenerateBoardBlocks(std::size_t blockCount);

}  // namespace benchboards

#endif  // BENCH_BOARDS_H
