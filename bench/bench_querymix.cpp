// The questions a wizard asks of a real board with many blocks: the board's identity and
// part once, then every instance, parameter and port query for every instance.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "MBD.h"

namespace {

const int kTypes = 10;
const int kGroups = 25;
const int kRoles = 5;

// A real board with an FPGA block and `blocks` instances, each with five parameters and five
// ports that carry roles and descriptions.
std::string queryBoard(int blocks) {
  std::string text =
      "ATTRIBUTE VENDOR = Northwind\nATTRIBUTE NAME = DK-9\nATTRIBUTE REVISION = C\n"
      "ATTRIBUTE LONG_DESC = \"A board with many cores\"\n"
      "ATTRIBUTE SPEC_URL = http://example.org/dk9\n"
      "BEGIN BLOCK fpga_0\n  ATTRIBUTE BLOCKTYPE = FPGA\n  ATTRIBUTE FAMILY = ketral2p\n"
      "  ATTRIBUTE DEVICE = k2p30\n  ATTRIBUTE PACKAGE = ff896\n  ATTRIBUTE SPEED_GRADE = -6\n"
      "  ATTRIBUTE JTAG_POSITION = 1\nEND\n";
  for (int b = 0; b < blocks; ++b) {
    const std::string n = std::to_string(b);
    text += "BEGIN BLOCK core_" + n + "\n  ATTRIBUTE IOTYPE = QOR_T" + std::to_string(b % kTypes) +
            "_V1\n  ATTRIBUTE CORENAME = adapter_" + std::to_string(b % kTypes) +
            "\n  ATTRIBUTE SPEED = HIGH\n  ATTRIBUTE EXCLUSIVE = grp" +
            std::to_string(b % kGroups) + "\n  ATTRIBUTE ALERT = \"check J" + n + "\"\n";
    for (int r = 0; r < kRoles; ++r) {
      const std::string role = std::to_string(r);
      text += "  PARAMETER C_P" + role + " = " + n + ", IO_IS = role" + role +
              ", VALUE_NOTE = short, VALUE_TEXT = \"long text\", DESC = d\n";
    }
    for (int r = 0; r < kRoles; ++r) {
      const std::string role = std::to_string(r);
      text += "  PORT IO" + role + " = net_" + n + "_" + role + ", IO_IS = pin" + role +
              ", DIR = IO\n";
    }
    text += "END\n";
  }
  return text;
}

// Every board-wide question, once.
void askBoard(MBD& model) {
  benchmark::DoNotOptimize(model.getBoardId());
  benchmark::DoNotOptimize(model.getBoardDesc());
  benchmark::DoNotOptimize(model.getSpecUrl());
  benchmark::DoNotOptimize(model.getContactInfoUrl());
  benchmark::DoNotOptimize(model.getArch());
  benchmark::DoNotOptimize(model.getDevice());
  benchmark::DoNotOptimize(model.getPackage());
  benchmark::DoNotOptimize(model.getSpeedGrade());
  benchmark::DoNotOptimize(model.getJtagPos());
  benchmark::DoNotOptimize(model.isK2P());
  benchmark::DoNotOptimize(model.getIOTypes());
  benchmark::DoNotOptimize(model.getIOAdapters());
  benchmark::DoNotOptimize(model.getTrimedIOTypes());
}

// Every question about one instance.
void askInstance(MBD& model, const StringBase& ins) {
  const StringBase type = model.getIOTypeByInstanceName(ins);
  benchmark::DoNotOptimize(model.hasIoType(type));
  benchmark::DoNotOptimize(model.getInstanceNamesByIOType(type, 0));
  benchmark::DoNotOptimize(model.getInstanceNamesByIOType(type, 1));
  benchmark::DoNotOptimize(model.getAlertOfIns(ins));
  benchmark::DoNotOptimize(model.getAttributeValue(ins, "CORENAME"));
  benchmark::DoNotOptimize(model.getSpeedOfIns(ins));
  benchmark::DoNotOptimize(model.getDupInsNamesOfKeyIns(ins));
  benchmark::DoNotOptimize(model.getExclusiveInsSeq(ins));
  benchmark::DoNotOptimize(model.getParamNameByIois(ins, "role2"));
  benchmark::DoNotOptimize(model.getCoreParamValue(ins, "role2"));
  benchmark::DoNotOptimize(model.getCoreParamDesc(ins, "role3", "DESC"));
  benchmark::DoNotOptimize(model.getCoreParamShortDesc(ins, "role4"));
  benchmark::DoNotOptimize(model.getCoreParamLongDesc(ins, "role4"));
  benchmark::DoNotOptimize(model.getValByInsIoisName(ins, "role1", "VALUE_NOTE"));
  benchmark::DoNotOptimize(model.hasPortIoisVal(ins, "pin3"));
  benchmark::DoNotOptimize(model.getParamValue(ins, "C_P4"));
  benchmark::DoNotOptimize(model.getParamSubpropValue(ins, "C_P4", "VALUE_TEXT"));
  benchmark::DoNotOptimize(model.getPortValue(ins, "IO4"));
  benchmark::DoNotOptimize(model.getPortSubpropValue(ins, "IO4", "DIR"));
}

void BM_QueryMix(benchmark::State& state) {
  const int blocks = static_cast<int>(state.range(0));
  LyrBoard::Qbd qbd;
  if (qbd.ReadString(queryBoard(blocks).c_str()) != 0) {
    state.SkipWithError(qbd.GetErrorText().c_str());
    return;
  }
  MBD model(&qbd);
  std::vector<StringBase> names;
  for (int b = 0; b < blocks; ++b) names.push_back(StringBase("core_" + std::to_string(b)));
  for (auto _ : state) {
    askBoard(model);
    for (const StringBase& ins : names) askInstance(model, ins);
  }
  state.counters["per_instance"] = benchmark::Counter(
      blocks, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_QueryMix)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
