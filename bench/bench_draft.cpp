// Drafting a board from a 1,000 to 10,000-pin CSV pin table, and diffing two boards of 1,000 to
// 10,000 blocks: the time per pin or block stays flat (linear). Peers in the same run: reading
// the printed draft back as a board (what any use of the draft costs), and a walk that only
// collects both boards' nets in a hash set (the least a keyed comparison does).
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_set>

#include "LyrBoard.h"
#include "MbdDiff.h"
#include "MbdImport.h"

namespace {

// A pin table with a heading every 64 pins, buses, pairs and a clock in each section.
std::string PinCsv(int pins) {
  std::string text = "name,loc,iostandard,drive,frequency\n";
  for (int i = 0; i < pins; ++i) {
    if (i % 64 == 0) text += "# Bank " + std::to_string(i / 64) + "\n";
    const std::string loc = std::string(1, static_cast<char>('A' + i % 26)) + std::to_string(i);
    std::string name;
    if (i % 64 == 0) name = "clk" + std::to_string(i);
    else if (i % 16 < 2) name = "d" + std::to_string(i / 16) + (i % 2 ? "_n" : "_p");
    else name = "bus" + std::to_string(i / 64) + "[" + std::to_string(i % 64) + "]";
    text += name + "," + loc + ",LVCMOS33,8," + (i % 64 == 0 ? "100 MHz" : "") + "\n";
  }
  return text;
}

void BM_DraftFromCsv(benchmark::State& state) {
  const int pins = static_cast<int>(state.range(0));
  const std::string text = PinCsv(pins);
  for (auto _ : state) {
    MbdImport::TableRead read = MbdImport::ReadPinCsv(text, "pins.csv", {});
    MbdImport::Draft draft = MbdImport::BuildDraft(read.table, MbdImport::DraftOptions());
    benchmark::DoNotOptimize(draft.board->WriteString().GetLength());
  }
  state.SetComplexityN(pins);
}
BENCHMARK(BM_DraftFromCsv)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_PeerReadDraft(benchmark::State& state) {
  const int pins = static_cast<int>(state.range(0));
  MbdImport::TableRead read = MbdImport::ReadPinCsv(PinCsv(pins), "pins.csv", {});
  const std::string board =
      MbdImport::BuildDraft(read.table, MbdImport::DraftOptions()).board->WriteString().str();
  for (auto _ : state) {
    LyrBoard::Qbd qbd;
    benchmark::DoNotOptimize(qbd.ReadString(board.c_str(), "draft.qbd"));
  }
}
BENCHMARK(BM_PeerReadDraft)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A board of `blocks` one-port instances, each port on its own FPGA pin; `revision` moves every
// 100th pin and renames every 250th net.
std::string Board(int blocks, bool revision) {
  std::string fpga = "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = fpga_0\n  ATTRIBUTE BLOCKTYPE = FPGA\n";
  std::string instances;
  for (int i = 0; i < blocks; ++i) {
    std::string net = "n" + std::to_string(i);
    if (revision && i % 250 == 0) net += "_r";
    const std::string loc = "P" + std::to_string(revision && i % 100 == 0 ? i + blocks : i);
    fpga += "  PORT p" + std::to_string(i) + " = " + net + ", UCF_NET_STRING = (LOC=" + loc +
            ", IOSTANDARD=LVCMOS33), DIR = O\n";
    instances += "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = i" + std::to_string(i) +
                 "\n  ATTRIBUTE IOTYPE = QOR_GPIO_V1\n  PORT O = " + net + ", IO_IS = gpio_0\nEND\n";
  }
  return fpga + "END\n" + instances;
}

void BM_DiffBoards(benchmark::State& state) {
  const int blocks = static_cast<int>(state.range(0));
  LyrBoard::Qbd a, b;
  a.ReadString(Board(blocks, false).c_str(), "a.qbd");
  b.ReadString(Board(blocks, true).c_str(), "b.qbd");
  for (auto _ : state) benchmark::DoNotOptimize(MbdDiff::DiffBoards(a, b).size());
  state.SetComplexityN(blocks);
}
BENCHMARK(BM_DiffBoards)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_PeerCollectNets(benchmark::State& state) {
  const int blocks = static_cast<int>(state.range(0));
  LyrBoard::Qbd a, b;
  a.ReadString(Board(blocks, false).c_str(), "a.qbd");
  b.ReadString(Board(blocks, true).c_str(), "b.qbd");
  for (auto _ : state) {
    std::unordered_set<std::string> nets;
    for (const LyrBoard::Qbd* board : {&a, &b})
      for (const LyrBase::PsfComp* comp : board->GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK))
        for (const LyrBase::Property* port :
             static_cast<const LyrBoard::QbdBlock*>(comp)->GetPropSeqRef(LyrBoard::QbdBlock::PORT))
          nets.insert(port->GetValueStr().str());
    benchmark::DoNotOptimize(nets.size());
  }
}
BENCHMARK(BM_PeerCollectNets)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
