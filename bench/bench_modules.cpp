// setupModules over a board of 1,000 blocks: an FPGA block with one port per core port, and
// 999 cores with a few parameters and ports each.
#include <benchmark/benchmark.h>

#include <string>

#include "LyrWiz_WizUtils.h"
#include "MBD.h"

namespace {

std::string ModulesBoard(int blocks) {
  std::string text = "ATTRIBUTE NAME = bench\n";
  std::string fpga = "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = fpga_0\n  ATTRIBUTE BLOCKTYPE = FPGA\n"
                     "  ATTRIBUTE FAMILY = ketral4\n";
  std::string cores;
  for (int i = 1; i < blocks; ++i) {
    const std::string n = std::to_string(i);
    cores += "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = core_" + n + "\n  ATTRIBUTE IOTYPE = QOR_GPIO_V1\n"
             "  PARAMETER C_WIDTH = 8, IO_IS = width, DESC = bus width\n"
             "  PARAMETER C_BASE = 0x" + n + "000, PERMIT = BASE_USER\n"
             "  PARAMETER C_MODE = 1\n"
             "  PORT IO = gpio_" + n + ", IO_IS = io, DIR = IO\n"
             "  PORT IRQ = irq_" + n + ", DIR = O\n"
             "END\n";
    fpga += "  PORT p" + n + " = gpio_" + n + ", UCF_NET_STRING = (\"LOC=P" + n +
            "\", \"IOSTANDARD=LVCMOS33\"), DIR = IO\n";
  }
  return text + fpga + "END\n" + cores;
}

void BM_SetupModules(benchmark::State& state) {
  LyrBoard::Qbd qbd;
  if (qbd.ReadString(ModulesBoard(static_cast<int>(state.range(0))).c_str()) != 0) {
    state.SkipWithError(qbd.GetErrorText().c_str());
    return;
  }
  MBD mbd(&qbd);
  for (auto _ : state) {
    LyrWiz_Module top;
    benchmark::DoNotOptimize(mbd.setupModules(&top));
    benchmark::DoNotOptimize(top.GetChildModules().size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SetupModules)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
