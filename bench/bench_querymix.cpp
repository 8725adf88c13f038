// The questions a wizard asks of a real board with many blocks: the board's identity and
// part once, the instances of each IO type once per type, then every instance, parameter,
// port, table and pin-location query for every instance. Per query alone, too, to see which
// one grows with the board.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "MBD.h"

namespace {

const int kTypes = 10;
// Alternatives share the pins of one connector: a few per group, however large the board.
const int kGroupSize = 4;
const int kRoles = 5;

// An FPGA pin on the net of port `role` of instance `n`, at a location of its own.
std::string fpgaPin(int n, int role) {
  const std::string net = "net_" + std::to_string(n) + "_" + std::to_string(role);
  return "  PORT fpga_" + net + " = " + net + ", UCF_NET_STRING = (LOC=P" +
         std::to_string(n * kRoles + role) + ", IOSTANDARD=LVCMOS33), DIR = IO\n";
}

// A real board with an FPGA block and `blocks` instances, each with five parameters and five
// ports that carry roles and descriptions, every port wired to a pin of the FPGA block.
std::string queryBoard(int blocks) {
  std::string text =
      "ATTRIBUTE VENDOR = Northwind\nATTRIBUTE NAME = DK-9\nATTRIBUTE REVISION = C\n"
      "ATTRIBUTE LONG_DESC = \"A board with many cores\"\n"
      "ATTRIBUTE SPEC_URL = http://example.org/dk9\n"
      "BEGIN BLOCK fpga_0\n  ATTRIBUTE BLOCKTYPE = FPGA\n  ATTRIBUTE FAMILY = ketral2p\n"
      "  ATTRIBUTE DEVICE = k2p30\n  ATTRIBUTE PACKAGE = ff896\n  ATTRIBUTE SPEED_GRADE = -6\n"
      "  ATTRIBUTE JTAG_POSITION = 1\n";
  for (int b = 0; b < blocks; ++b)
    for (int r = 0; r < kRoles; ++r) text += fpgaPin(b, r);
  text += "END\n";
  for (int b = 0; b < blocks; ++b) {
    const std::string n = std::to_string(b);
    text += "BEGIN BLOCK core_" + n + "\n  ATTRIBUTE IOTYPE = QOR_T" + std::to_string(b % kTypes) +
            "_V1\n  ATTRIBUTE CORENAME = adapter_" + std::to_string(b % kTypes) +
            "\n  ATTRIBUTE SPEED = HIGH\n  ATTRIBUTE EXCLUSIVE = grp" +
            std::to_string(b / kGroupSize) + "\n  ATTRIBUTE ALERT = \"check J" + n + "\"\n";
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
  for (const StringBase& type : model.getTrimedIOTypes()) {
    benchmark::DoNotOptimize(model.getInstanceNamesByIOType(type, 0));
    benchmark::DoNotOptimize(model.getInstanceNamesByIOType(type, 1));
  }
}

// Every question about one instance.
void askInstance(MBD& model, const StringBase& ins) {
  const StringBase type = model.getIOTypeByInstanceName(ins);
  benchmark::DoNotOptimize(model.hasIoType(type));
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
  benchmark::DoNotOptimize(model.getParamsByIns(ins));
  benchmark::DoNotOptimize(model.getPortsByIns(ins));
  benchmark::DoNotOptimize(model.getCorePortLoc(ins, "pin3"));
}

// Reads the benchmark's board of state.range(0) blocks into `qbd` and lists its instances;
// false, with the run marked as failed, when the board does not read.
bool readQueryBoard(benchmark::State& state, LyrBoard::Qbd& qbd, std::vector<StringBase>& names) {
  const int blocks = static_cast<int>(state.range(0));
  if (qbd.ReadString(queryBoard(blocks).c_str()) != 0) {
    state.SkipWithError(qbd.GetErrorText().c_str());
    return false;
  }
  for (int b = 0; b < blocks; ++b) names.push_back(StringBase("core_" + std::to_string(b)));
  return true;
}

void countPerInstance(benchmark::State& state) {
  state.counters["per_instance"] = benchmark::Counter(
      static_cast<double>(state.range(0)),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_QueryMix(benchmark::State& state) {
  LyrBoard::Qbd qbd;
  std::vector<StringBase> names;
  if (!readQueryBoard(state, qbd, names)) return;
  MBD model(&qbd);
  for (auto _ : state) {
    askBoard(model);
    for (const StringBase& ins : names) askInstance(model, ins);
  }
  countPerInstance(state);
}

// A host that changes the tree before every instance it asks about: each round sets one
// block's ALERT (the lookups must start again from the changed tree), then asks every
// question about that instance. What the model pays again after a change, per instance.
void BM_QueryMixAfterEdit(benchmark::State& state) {
  LyrBoard::Qbd qbd;
  std::vector<StringBase> names;
  if (!readQueryBoard(state, qbd, names)) return;
  MBD model(&qbd);
  std::size_t next = 0;
  for (auto _ : state) {
    const StringBase& ins = names[next++ % names.size()];
    LyrBoard::QbdBlock* block = model.getBlockByName(ins);
    LyrBase::Property* alert = block->GetPropertyByName(LyrBoard::QbdBlock::ATTRIBUTE, "ALERT");
    alert->SetValueStr(next % 2 ? "check" : "check again");
    askInstance(model, ins);
  }
}

template <typename T>
void DoNotOptimize(const T& value) {
  benchmark::DoNotOptimize(value);
}

// One query of the mix alone, asked of every instance: which query grows with the board.
struct InstanceQuery {
  const char* name;
  void (*ask)(MBD& model, const StringBase& ins);
};

const InstanceQuery kQueries[] = {
    {"type", [](MBD& m, const StringBase& i) { DoNotOptimize(m.getIOTypeByInstanceName(i)); }},
    {"instances_of_type",
     [](MBD& m, const StringBase& i) {
       DoNotOptimize(m.getInstanceNamesByIOType(m.getIOTypeByInstanceName(i), 0));
     }},
    {"speed", [](MBD& m, const StringBase& i) { DoNotOptimize(m.getSpeedOfIns(i)); }},
    {"exclusive_group", [](MBD& m, const StringBase& i) { DoNotOptimize(m.getExclusiveInsSeq(i)); }},
    {"param_by_role", [](MBD& m, const StringBase& i) { DoNotOptimize(m.getCoreParamValue(i, "role2")); }},
    {"param_value", [](MBD& m, const StringBase& i) { DoNotOptimize(m.getParamValue(i, "C_P4")); }},
    {"port_value", [](MBD& m, const StringBase& i) { DoNotOptimize(m.getPortValue(i, "IO4")); }},
    {"param_table", [](MBD& m, const StringBase& i) { DoNotOptimize(m.getParamsByIns(i)); }},
    {"port_table", [](MBD& m, const StringBase& i) { DoNotOptimize(m.getPortsByIns(i)); }},
    {"pin_location", [](MBD& m, const StringBase& i) { DoNotOptimize(m.getCorePortLoc(i, "pin3")); }},
};

void BM_OneQuery(benchmark::State& state, const InstanceQuery& query) {
  LyrBoard::Qbd qbd;
  std::vector<StringBase> names;
  if (!readQueryBoard(state, qbd, names)) return;
  MBD model(&qbd);
  for (auto _ : state)
    for (const StringBase& ins : names) query.ask(model, ins);
  countPerInstance(state);
}

}  // namespace

BENCHMARK(BM_QueryMix)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryMixAfterEdit)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  for (const InstanceQuery& query : kQueries)
    benchmark::RegisterBenchmark((std::string("BM_OneQuery/") + query.name).c_str(), BM_OneQuery,
                                 query)
        ->Arg(100)
        ->Arg(1000)
        ->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
