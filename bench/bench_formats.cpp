// Writing the pin table of a large board in every constraint format, against the ucf form the
// program wrote before formats existed (the peer, in the same run). Each format must stay
// linear in the board (the complexity fit over 1,000 and 10,000 blocks) and near the peer.
// Building the table itself must stay linear too: its fit runs over 1,000 to 16,000 blocks,
// where one FPGA block carries every pin, so a step that walks the pins per row would show.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "BenchBoards.h"
#include "MBD.h"
#include "MbdConstraintWriter.h"
#include "MbdPinTable.h"

namespace {

// A generated board with `blocks` instance blocks. The last one read is kept, so that the runs
// of one size read it once, while a large tree is let go once the next size is asked for.
struct Board {
  int blocks = -1;
  LyrBoard::Qbd qbd;
  std::unique_ptr<MBD> model;
};
MBD& modelOf(int blocks) {
  static std::unique_ptr<Board> board;
  if (board && board->blocks == blocks) return *board->model;
  board.reset();
  board = std::make_unique<Board>();
  board->blocks = blocks;
  const std::string text = benchboards::GenerateBoardBlocks(static_cast<std::size_t>(blocks));
  board->qbd.ReadString(text.c_str());  // a board that does not read makes no rows
  board->model = std::make_unique<MBD>(&board->qbd);
  return *board->model;
}

// The table of a generated board with `blocks` instance blocks, built once per size.
const MbdPins::PinTable& tableOf(int blocks) {
  static std::map<int, MbdPins::PinTable> tables;
  auto it = tables.find(blocks);
  if (it != tables.end()) return it->second;
  MbdPins::TableOptions options;
  options.bus = true;
  return tables[blocks] = MbdPins::BuildPinTable(modelOf(blocks), options);
}

// The table built from the board's tree, with bus naming as `qbd constraints --bus` asks.
// "time/row" is CPU time per row: flat across the sizes when the build is linear.
void BM_BuildPinTable(benchmark::State& state) {
  MBD& model = modelOf(static_cast<int>(state.range(0)));
  MbdPins::TableOptions options;
  options.bus = true;
  std::size_t rows = 0;
  for (auto _ : state) {
    const MbdPins::PinTable table = MbdPins::BuildPinTable(model, options);
    rows = table.rows.size();
    benchmark::DoNotOptimize(table.rows.data());
  }
  if (rows == 0) state.SkipWithError("the generated board made no rows");
  state.SetComplexityN(static_cast<std::int64_t>(rows));
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["time/row"] = benchmark::Counter(
      static_cast<double>(rows),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BuildPinTable)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void BM_Write(benchmark::State& state, const std::string& format) {
  const MbdPins::PinTable& table = tableOf(static_cast<int>(state.range(0)));
  MbdFormats::WriteOptions options;
  options.source = "generated.qbd";
  std::size_t bytes = 0;
  for (auto _ : state) {
    MbdFormats::WriteOutput out;
    MbdFormats::WriteConstraints(format, table, options, out);
    bytes = out.text.size() + out.companionText.size();
    benchmark::DoNotOptimize(out.text.data());
  }
  state.SetComplexityN(static_cast<std::int64_t>(table.rows.size()));
  state.counters["rows"] = static_cast<double>(table.rows.size());
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(table.rows.size()),
                                                benchmark::Counter::kIsIterationInvariantRate);
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}

// ucf first: it is the peer every other line compares with.
const int registered = [] {
  for (const std::string& format : MbdFormats::WriterFormats())
    benchmark::RegisterBenchmark(("BM_Write/" + format).c_str(), BM_Write, format)
        ->Arg(1000)
        ->Arg(10000)
        ->Complexity(benchmark::oN)
        ->Unit(benchmark::kMillisecond);
  return 0;
}();

}  // namespace

BENCHMARK_MAIN();
