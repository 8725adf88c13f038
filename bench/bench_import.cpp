// Reading constraint files of 1,000 to 10,000 pins: the time per pin stays flat (linear).
// Peers in the same run: for the Tcl-syntax formats, a plain interpreter evaluating the same
// file with commands that do nothing (the cost of Tcl itself); for the line formats, splitting
// the same text into words.
#include <benchmark/benchmark.h>
#include <tcl.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "MbdConstraintReader.h"

namespace {

// A file of `pins` ports in `format`, every port with a location and two settings, as the
// writers lay them out.
std::string ConstraintFile(const std::string& format, int pins) {
  std::string text;
  char line[256];
  for (int i = 0; i < pins; ++i) {
    const int bank = i / 100;
    if (i % 100 == 0) {
      std::snprintf(line, sizeof line, "%s Bank %d\n", format == "cst" ? "//" : "#", bank);
      text += line;
    }
    const char* f = format.c_str();
    if (format == "xdc")
      std::snprintf(line, sizeof line,
                    "set_property -dict {PACKAGE_PIN P%d IOSTANDARD LVCMOS33 SLEW FAST} "
                    "[get_ports {d%d[%d]}]\n",
                    i, bank, i % 100);
    else if (format == "qsf")
      std::snprintf(line, sizeof line,
                    "set_location_assignment PIN_P%d -to d%d[%d]\n"
                    "set_instance_assignment -name IO_STANDARD \"3.3-V LVTTL\" -to d%d[%d]\n",
                    i, bank, i % 100, bank, i % 100);
    else if (format == "lpf")
      std::snprintf(line, sizeof line,
                    "LOCATE COMP \"d%d[%d]\" SITE \"P%d\";\n"
                    "IOBUF PORT \"d%d[%d]\" IO_TYPE=LVCMOS33 PULLMODE=UP;\n",
                    bank, i % 100, i, bank, i % 100);
    else if (format == "pcf")
      std::snprintf(line, sizeof line, "set_io -pullup yes d%d[%d] P%d\n", bank, i % 100, i);
    else
      std::snprintf(line, sizeof line, "%s\n", f);
    text += line;
  }
  return text;
}

const std::string& FileFor(const std::string& format, int pins) {
  static std::string cached[4][2];
  const char* formats[] = {"xdc", "qsf", "lpf", "pcf"};
  int f = 0;
  while (format != formats[f]) ++f;
  std::string& text = cached[f][pins == 10000 ? 1 : 0];
  if (text.empty()) text = ConstraintFile(format, pins);
  return text;
}

void ReadFormat(benchmark::State& state, const std::string& format) {
  const int pins = static_cast<int>(state.range(0));
  const std::string& text = FileFor(format, pins);
  for (auto _ : state) {
    MbdFormats::ReadResult result;
    if (!MbdFormats::ReadConstraints(format, text, "bench." + format, MbdFormats::ReadOptions(),
                                     result) ||
        result.table.rows.size() != static_cast<std::size_t>(pins)) {
      state.SkipWithError("the file did not read back");
      break;
    }
    benchmark::DoNotOptimize(result.table.rows.data());
  }
  state.SetItemsProcessed(state.iterations() * pins);
  state.SetComplexityN(pins);
}

void BM_ReadXdc(benchmark::State& state) {
  ReadFormat(state, "xdc");
}
void BM_ReadQsf(benchmark::State& state) {
  ReadFormat(state, "qsf");
}
void BM_ReadLpf(benchmark::State& state) {
  ReadFormat(state, "lpf");
}
void BM_ReadPcf(benchmark::State& state) {
  ReadFormat(state, "pcf");
}
BENCHMARK(BM_ReadXdc)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_ReadQsf)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_ReadLpf)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_ReadPcf)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

int Nothing(ClientData, Tcl_Interp*, int, Tcl_Obj* const[]) {
  return TCL_OK;
}

// The peer of BM_ReadXdc: the same file evaluated by a plain interpreter whose set_property
// and get_ports do nothing.
void BM_PeerTclEval(benchmark::State& state) {
  const int pins = static_cast<int>(state.range(0));
  const std::string& text = FileFor("xdc", pins);
  Tcl_FindExecutable(nullptr);
  for (auto _ : state) {
    Tcl_Interp* interp = Tcl_CreateInterp();
    Tcl_CreateObjCommand(interp, "set_property", Nothing, nullptr, nullptr);
    Tcl_CreateObjCommand(interp, "get_ports", Nothing, nullptr, nullptr);
    if (Tcl_EvalEx(interp, text.data(), static_cast<int>(text.size()), 0) != TCL_OK)
      state.SkipWithError(Tcl_GetStringResult(interp));
    Tcl_DeleteInterp(interp);
  }
  state.SetItemsProcessed(state.iterations() * pins);
}
BENCHMARK(BM_PeerTclEval)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The peer of BM_ReadLpf: the same text split into lines and words, nothing more.
void BM_PeerSplitWords(benchmark::State& state) {
  const int pins = static_cast<int>(state.range(0));
  const std::string& text = FileFor("lpf", pins);
  for (auto _ : state) {
    std::istringstream in(text);
    std::string word;
    std::size_t words = 0;
    while (in >> word) ++words;
    benchmark::DoNotOptimize(words);
  }
  state.SetItemsProcessed(state.iterations() * pins);
}
BENCHMARK(BM_PeerSplitWords)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
