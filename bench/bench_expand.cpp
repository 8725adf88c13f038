// Instance expansion of a generic template whose key instances have 20 ports each, every
// port wired to an FPGA pin. The time per copy must not grow with the number of copies.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <ctime>
#include <memory>
#include <string>

#include "MBD.h"

namespace {

const int kPortsPerInstance = 20;
// One key instance may ask for at most 1024 instances, so larger boards use several keys.
const int kInstancesPerKey = 1000;

// A template with `instances` instances in all: ceil(instances / 1000) key instances, each
// with its own 20 nets, and an FPGA pin with constraint strings for every net.
std::string expansionTemplate(int instances) {
  const int keys = (instances + kInstancesPerKey - 1) / kInstancesPerKey;
  std::string fpga = "BEGIN BLOCK fpga\n  ATTRIBUTE BLOCKTYPE = FPGA\n";
  std::string cores;
  int left = instances;
  for (int k = 0; k < keys; ++k) {
    const int count = left < kInstancesPerKey ? left : kInstancesPerKey;
    left -= count;
    const std::string key = "core" + std::to_string(k);
    cores += "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = " + key +
             "\n  ATTRIBUTE IOTYPE = QOR_GPIO_V1\n  ATTRIBUTE MAX_NUM_INSTANCES = " +
             std::to_string(count) + "\n  PARAMETER C_WIDTH = 8, IO_IS = width\n";
    for (int p = 0; p < kPortsPerInstance; ++p) {
      const std::string net = key + "_net" + std::to_string(p);
      cores += "  PORT IO" + std::to_string(p) + " = " + net + ", IO_IS = io" +
               std::to_string(p) + ", DIR = IO\n";
      fpga += "  PORT pin_" + net + " = " + net + ", UCF_NET_STRING = (\"LOC=A" +
              std::to_string(p) + "\", \"IOSTANDARD=LVCMOS33\"), DIR = IO\n";
    }
    cores += "END\n";
  }
  return "ATTRIBUTE NAME = Generic Template\n" + fpga + "END\n" + cores;
}

// Builds and drops one expanded board, so that every timed run finds the process's memory
// already mapped: otherwise small boards reuse warm pages while a large one pays for the first
// touch of every page, and the comparison measures the operating system, not the expansion.
void warmUp(const std::string& text) {
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  LyrBoard::Qbd qbd;
  if (qbd.ReadString(text.c_str()) == 0) MBD model(&qbd);
}

// CPU time of this thread: the machine is shared, and other processes must not count.
double threadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void BM_Expand(benchmark::State& state) {
  const int instances = static_cast<int>(state.range(0));
  const std::string text = expansionTemplate(instances);
  const int keys = (instances + kInstancesPerKey - 1) / kInstancesPerKey;
  const int copies = instances - keys;
  warmUp(text);
  for (auto _ : state) {
    auto qbd = std::make_unique<LyrBoard::Qbd>();
    if (qbd->ReadString(text.c_str()) != 0) {
      state.SkipWithError(qbd->GetErrorText().c_str());
      break;
    }
    // Only the construction (the expansion) is timed; reading and freeing the tree are not.
    const double start = threadSeconds();
    {
      MBD model(qbd.get());
      benchmark::DoNotOptimize(model.getDupInsNamesOfKeyIns("core0").size());
    }
    state.SetIterationTime(threadSeconds() - start);
  }
  state.counters["copies"] = copies;
  state.counters["per_copy"] = benchmark::Counter(
      copies, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_Expand)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
