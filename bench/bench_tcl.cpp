// The Tcl board commands per call, against Tcl's own `dict get` on the same data in the same
// interpreter. Each script is one Tcl object evaluated again and again, so it is compiled
// once, as the body of `time` is in a script. The board holds N blocks of one type, each with
// eight parameters and eight ports.
#include <benchmark/benchmark.h>

#include <ctime>
#include <string>

#include <tcl.h>

#include "LyrBaseTcl.h"
#include "LyrBoard.h"
#include "LyrWiz_BoardTclCommandsRegister.h"
#include "MBD.h"

namespace {

const int kPropsPerBlock = 8;

std::string TclBoard(int blocks) {
  std::string text = "ATTRIBUTE NAME = tcl bench\nATTRIBUTE VENDOR = Northwind\n";
  for (int b = 0; b < blocks; ++b) {
    const std::string n = std::to_string(b);
    text += "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = inst_" + n + "\n  ATTRIBUTE BLOCKTYPE = CORE\n";
    for (int p = 0; p < kPropsPerBlock; ++p)
      text += "  PARAMETER C_P" + std::to_string(p) + " = " + std::to_string(b * 10 + p) +
              ", IO_IS = role" + std::to_string(p) + "\n";
    for (int p = 0; p < kPropsPerBlock; ++p)
      text += "  PORT P" + std::to_string(p) + " = net_" + n + "_" + std::to_string(p) +
              ", DIR = IO\n";
    text += "END\n";
  }
  return text;
}

class Registrar : public LyrWiz_BoardTclCommandsRegister {};

// An interpreter with the board commands, the board, and the variables the scripts read:
// q (the board), b (the last block), p (its parameter C_P3) and d (a dict of the last block's
// parameters and ports, the same data as b).
class TclBench {
 public:
  explicit TclBench(int blocks) : interp_(Tcl_CreateInterp()) {
    Registrar registrar;
    registrar.registerInterp(interp_);
    // The floor of any command an extension adds: one that takes the same words and does
    // nothing. Tcl compiles `dict get` into its bytecode; an extension's command is called.
    Tcl_CreateObjCommand(
        interp_, "bench_nothing",
        [](ClientData, Tcl_Interp*, int, Tcl_Obj* const*) { return TCL_OK; }, nullptr, nullptr);
    ok_ = board_.ReadString(TclBoard(blocks).c_str(), "bench.qbd") == 0;
    const std::string last = "inst_" + std::to_string(blocks - 1);
    Tcl_SetVar2Ex(interp_, "q", nullptr, LyrBase::BaseTclIf::CreateTclObjFromPtr(&board_), 0);
    ok_ = ok_ && Eval("set b [qget_qbd_handle $q block CORE " + last + "]") &&
          Eval("set p [qget_qbd_handle $b PARAMETER C_P3]") &&
          Eval("set d [dict create]; foreach k {PARAMETER PORT} {"
               " foreach h [qget_qbd_handle $b $k *] {"
               "  dict set d $k [qget_qbd_value $h name] [qget_qbd_value $h] } }");
  }
  ~TclBench() { Tcl_DeleteInterp(interp_); }

  bool ok() const { return ok_; }
  bool Eval(const std::string& script) {
    return Tcl_EvalEx(interp_, script.c_str(), -1, 0) == TCL_OK;
  }
  // A script object that keeps its compiled form between evaluations.
  Tcl_Obj* Script(const char* text) {
    Tcl_Obj* obj = Tcl_NewStringObj(text, -1);
    Tcl_IncrRefCount(obj);
    return obj;
  }
  bool Run(Tcl_Obj* script) { return Tcl_EvalObjEx(interp_, script, 0) == TCL_OK; }
  std::string Result() const { return Tcl_GetStringResult(interp_); }

 private:
  Tcl_Interp* interp_;
  LyrBoard::Qbd board_;
  bool ok_ = false;
};

void RunScript(benchmark::State& state, const char* text, int blocks) {
  TclBench bench(blocks);
  if (!bench.ok()) return state.SkipWithError("setup failed");
  Tcl_Obj* script = bench.Script(text);
  for (auto _ : state)
    if (!bench.Run(script)) {
      state.SkipWithError(bench.Result().c_str());
      break;
    }
  Tcl_DecrRefCount(script);
}

void BM_TclValueByName(benchmark::State& state) {
  RunScript(state, "qget_qbd_value $b PARAMETER C_P3", 1000);
}
BENCHMARK(BM_TclValueByName);

void BM_TclDictGet(benchmark::State& state) { RunScript(state, "dict get $d PARAMETER C_P3", 1000); }
BENCHMARK(BM_TclDictGet);

void BM_TclHandleByName(benchmark::State& state) {
  RunScript(state, "qget_qbd_handle $b PARAMETER C_P3", 1000);
}
BENCHMARK(BM_TclHandleByName);

void BM_TclValueOfHandle(benchmark::State& state) { RunScript(state, "qget_qbd_value $p", 1000); }
BENCHMARK(BM_TclValueOfHandle);

void BM_TclNameOfHandle(benchmark::State& state) { RunScript(state, "qget_qbd_value $p name", 1000); }
BENCHMARK(BM_TclNameOfHandle);

void BM_TclAllPorts(benchmark::State& state) { RunScript(state, "qget_qbd_handle $b PORT *", 1000); }
BENCHMARK(BM_TclAllPorts);

// The block form walks the whole block list: linear in the number of blocks.
void BM_TclBlockByName(benchmark::State& state) {
  const int blocks = static_cast<int>(state.range(0));
  const std::string script = "qget_qbd_handle $q block CORE inst_" + std::to_string(blocks - 1);
  RunScript(state, script.c_str(), blocks);
  state.SetComplexityN(blocks);
}
BENCHMARK(BM_TclBlockByName)->Arg(10)->Arg(100)->Arg(1000)->Complexity(benchmark::oN);

void BM_TclAllBlocks(benchmark::State& state) {
  const int blocks = static_cast<int>(state.range(0));
  RunScript(state, "qget_qbd_handle $q block CORE *", blocks);
  state.SetComplexityN(blocks);
}
BENCHMARK(BM_TclAllBlocks)->Arg(10)->Arg(100)->Arg(1000)->Complexity(benchmark::oN);

// CPU time of this thread in nanoseconds: other processes on the machine do not count.
double ThreadCpuNs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// One value lookup against one dict get, timed in alternating batches in one interpreter;
// the "ratio" counter is the cost of the lookup in dict gets, "floor" that of a command that
// does nothing with the same words, which no command of an extension can beat.
void BM_TclValueVsDictGet(benchmark::State& state) {
  TclBench bench(1000);
  if (!bench.ok()) return state.SkipWithError("setup failed");
  Tcl_Obj* scripts[] = {bench.Script("qget_qbd_value $b PARAMETER C_P3"),
                        bench.Script("dict get $d PARAMETER C_P3"),
                        bench.Script("bench_nothing $b PARAMETER C_P3")};
  double times[3] = {};
  const int batch = 1000;
  for (auto _ : state) {
    for (int s = 0; s < 3; ++s) {
      const double start = ThreadCpuNs();
      for (int i = 0; i < batch; ++i) bench.Run(scripts[s]);
      times[s] += ThreadCpuNs() - start;
    }
  }
  const double calls = static_cast<double>(state.iterations()) * batch;
  state.counters["qbd_ns"] = times[0] / calls;
  state.counters["dict_ns"] = times[1] / calls;
  state.counters["nothing_ns"] = times[2] / calls;
  state.counters["ratio"] = times[0] / times[1];
  state.counters["floor"] = times[2] / times[1];
  for (Tcl_Obj* script : scripts) Tcl_DecrRefCount(script);
}
BENCHMARK(BM_TclValueVsDictGet)->Unit(benchmark::kMillisecond);

// A board whose FPGA has `pins` pins, each wired to one port of the instance gpio_0, in an
// interpreter with the board-access scripts; $ports holds the instance's port names.
class PinBench {
 public:
  explicit PinBench(int pins) : interp_(Tcl_CreateInterp()) {
    Registrar registrar;
    registrar.registerInterp(interp_);
    ok_ = board_.ReadString(Board(pins).c_str(), "pins.qbd") == 0;
    Tcl_SetVar2Ex(interp_, "q", nullptr, LyrBase::BaseTclIf::CreateTclObjFromPtr(&board_), 0);
    const std::string scripts = std::string(QBD_SOURCE_DIR) + "/data/datastructure/";
    ok_ = ok_ && Eval("source {" + scripts + "qbd_database_access.tcl}") &&
          Eval("source {" + scripts + "qorlib_qbd.tcl}") &&
          Eval("set ports [lmap p [qbdlib::props [qbdlib::block $q gpio_0] PORT] {"
               " qbdlib::name_of $p }]") &&
          Eval(kScanPeer);
  }
  ~PinBench() { Tcl_DeleteInterp(interp_); }

  bool ok() const { return ok_; }
  bool Eval(const std::string& script) { return Tcl_EvalEx(interp_, script.c_str(), -1, 0) == TCL_OK; }
  std::string Result() const { return Tcl_GetStringResult(interp_); }

 private:
  static std::string Board(int pins) {
    std::string fpga = "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = fpga_0\n  ATTRIBUTE BLOCKTYPE = FPGA\n";
    std::string gpio = "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = gpio_0\n  ATTRIBUTE IOTYPE = QOR_GPIO_V1\n";
    for (int i = 0; i < pins; ++i) {
      const std::string n = std::to_string(i);
      fpga += "  PORT fpga_io_" + n + " = io_" + n + ", UCF_NET_STRING = (LOC=P" + n +
              ", IOSTANDARD=LVCMOS33)\n";
      gpio += "  PORT IO_" + n + " = io_" + n + ", IO_IS = io_" + n + "\n";
    }
    return "ATTRIBUTE NAME = pin bench\n" + fpga + "END\n" + gpio + "END\n";
  }

  // The peer: every query walks every FPGA pin, as a script without an index does.
  static constexpr const char* kScanPeer = R"(
    proc scan_pin_locations {board instance port} {
        set net [qbdlib::port_net $board $instance $port]
        set result {}
        foreach fpga [qbdlib::blocks_of_type $board FPGA] {
            foreach pin [qbdlib::props $fpga PORT] {
                if {![string equal -nocase [qbdlib::value_of $pin] $net]} continue
                foreach item [qbdlib::list_items [qbdlib::sub_value $pin UCF_NET_STRING]] {
                    if {[regexp -nocase {^\s*LOC\s*=\s*(.*?)\s*$} $item -> location]} {
                        lappend result $location
                    }
                }
            }
        }
        return $result
    })";

  Tcl_Interp* interp_;
  LyrBoard::Qbd board_;
  bool ok_ = false;
};

// The location of every pin of a wide port, as a pin report asks for them: one call per port
// on a board opened afresh (the helper's index is dropped before each round).
void RunPinLocations(benchmark::State& state, const char* call) {
  const int pins = static_cast<int>(state.range(0));
  PinBench bench(pins);
  if (!bench.ok()) return state.SkipWithError(bench.Result().c_str());
  const std::string script = std::string("set qbdlib::pin_index {}; set n 0; foreach p $ports {"
                                         " incr n [llength [") + call + " $q gpio_0 $p]] }; set n";
  for (auto _ : state) {
    if (!bench.Eval(script) || bench.Result() != std::to_string(pins)) {
      state.SkipWithError(("wrong answer: " + bench.Result()).c_str());
      break;
    }
  }
  state.SetComplexityN(pins);
}

void BM_TclPinLocationsIndexed(benchmark::State& state) {
  RunPinLocations(state, "qbdlib::pin_locations");
}
BENCHMARK(BM_TclPinLocationsIndexed)->Arg(700)->Arg(2800)->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_TclPinLocationsScan(benchmark::State& state) { RunPinLocations(state, "scan_pin_locations"); }
BENCHMARK(BM_TclPinLocationsScan)->Arg(700)->Arg(2800)->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace

int main(int argc, char** argv) {
  Tcl_FindExecutable(argv[0]);
  // The board-access scripts are not installed beside the benchmark; the commands do not
  // need them, so the report of their absence is dropped.
  Port_MsgManData::setSink([](Port_MsgKind, const std::string&) {});
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
