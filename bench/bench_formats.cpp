// Writing the pin table of a large board in every constraint format, against the ucf form the
// program wrote before formats existed (the peer, in the same run). Each format must stay
// linear in the board (the complexity fit over 1,000 and 10,000 blocks) and near the peer.
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

// The table of a generated board with `blocks` instance blocks, built once per size.
const MbdPins::PinTable& tableOf(int blocks) {
  static std::map<int, MbdPins::PinTable> tables;
  auto it = tables.find(blocks);
  if (it != tables.end()) return it->second;
  const std::string text = benchboards::GenerateBoardBlocks(static_cast<std::size_t>(blocks));
  LyrBoard::Qbd qbd;
  if (qbd.ReadString(text.c_str()) != 0) return tables[blocks];
  MBD model(&qbd);
  MbdPins::TableOptions options;
  options.bus = true;
  return tables[blocks] = MbdPins::BuildPinTable(model, options);
}

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
