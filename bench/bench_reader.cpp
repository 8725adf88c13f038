// Reading and printing large generated boards; throughput in bytes per second of board text.
// The peer, when libpugixml-dev is there: a DOM parser loading the same content written as
// XML, counted in bytes of the same board text, so that the two rates compare directly.
#include <benchmark/benchmark.h>

#include <memory>
#include <utility>

#if defined(QBD_HAVE_PUGIXML)
#include <pugixml.hpp>
#endif

#include "BenchBoards.h"
#include "LyrBoard.h"

namespace {

const std::string& BoardText(std::size_t megabytes) {
  static std::string five = benchboards::GenerateBoardText(5u << 20);
  static std::string fifty;
  if (megabytes == 5) return five;
  if (fifty.empty()) fifty = benchboards::GenerateBoardText(50u << 20);
  return fifty;
}

// Reading alone: building the tree counts, freeing it afterwards does not (BM_ReadAndFree).
void BM_ReadBoard(benchmark::State& state) {
  const std::string& text = BoardText(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    auto board = std::make_unique<LyrBoard::Qbd>();
    if (board->ReadBuffer(text.data(), text.size(), "bench.qbd") != 0) {
      state.SkipWithError(board->GetErrorText().c_str());
      break;
    }
    benchmark::DoNotOptimize(board->GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK).size());
    state.PauseTiming();
    board.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadBoard)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond);

// A whole load and unload, as a program that reads one board and exits pays it.
void BM_ReadAndFree(benchmark::State& state) {
  const std::string& text = BoardText(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    LyrBoard::Qbd board;
    if (board.ReadBuffer(text.data(), text.size(), "bench.qbd") != 0) {
      state.SkipWithError(board.GetErrorText().c_str());
      break;
    }
    benchmark::DoNotOptimize(board.GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK).size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadAndFree)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond);

#if defined(QBD_HAVE_PUGIXML)
// The board of BoardText(megabytes) as XML, and the size of its board text.
const std::pair<std::string, std::size_t>& BoardXml(std::size_t megabytes) {
  static std::pair<std::string, std::size_t> five, fifty;
  std::pair<std::string, std::size_t>& xml = megabytes == 5 ? five : fifty;
  if (xml.first.empty()) {
    const std::string& text = BoardText(megabytes);
    LyrBoard::Qbd board;
    if (board.ReadBuffer(text.data(), text.size(), "bench.qbd") == 0)
      xml = {benchboards::BoardAsXml(board), text.size()};
  }
  return xml;
}

// The peer of BM_ReadBoard (freeing the document is not counted) and, with `free` set, of
// BM_ReadAndFree.
void XmlDomLoad(benchmark::State& state, bool free) {
  const auto& xml = BoardXml(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    auto doc = std::make_unique<pugi::xml_document>();
    if (!doc->load_buffer(xml.first.data(), xml.first.size())) {
      state.SkipWithError("the XML peer did not parse");
      break;
    }
    benchmark::DoNotOptimize(doc->first_child());
    if (free) {
      doc.reset();
      continue;
    }
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(xml.second));
}
void BM_XmlDomLoad(benchmark::State& state) { XmlDomLoad(state, false); }
void BM_XmlDomLoadAndFree(benchmark::State& state) { XmlDomLoad(state, true); }
BENCHMARK(BM_XmlDomLoad)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XmlDomLoadAndFree)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond);
#endif

void BM_WriteBoard(benchmark::State& state) {
  const std::string& text = BoardText(static_cast<std::size_t>(state.range(0)));
  LyrBoard::Qbd board;
  if (board.ReadBuffer(text.data(), text.size(), "bench.qbd") != 0) {
    state.SkipWithError(board.GetErrorText().c_str());
    return;
  }
  std::size_t bytes = 0;
  for (auto _ : state) {
    const StringBase printed = board.WriteString();
    bytes += printed.GetLength();
    benchmark::DoNotOptimize(printed.c_str());
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_WriteBoard)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
