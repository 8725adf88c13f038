// The language server on the largest real board's size (about 130 KB, 700 FPGA pins): an
// editing session replayed through the server's message handler, one benchmark per answer,
// against the plain read of the same text in the same run. What a change costs is a read, the
// lint checks and the index of places; hover and completion ask the last good read only.
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "BenchBoards.h"
#include "LspServer.h"
#include "LyrBoard.h"
#include "MbdLint.h"

namespace {

using Json = nlohmann::json;

const std::string URI = "file:///bench/board.qbd";

const std::string& BoardText() {
  static const std::string text = benchboards::GenerateBoardText(130 * 1024);
  return text;
}

// The position (line, character) of the first occurrence of `needle` at or after `from`.
Json PositionOf(const std::string& text, const std::string& needle, std::size_t from = 0) {
  const std::size_t at = text.find(needle, from);
  std::size_t line = 0, lineStart = 0;
  for (std::size_t i = text.find('\n'); i != std::string::npos && i < at;
       i = text.find('\n', i + 1)) {
    ++line;
    lineStart = i + 1;
  }
  return Json{{"line", line}, {"character", at - lineStart}};
}

// A server with the board open, its output to a buffer that each step empties.
struct Session {
  std::istringstream in;
  std::ostringstream out, log;
  qbdlsp::LspServer server{in, out, log};
  int version = 1;
  int id = 0;

  Session() {
    send({{"id", ++id}, {"method", "initialize"}, {"params", {{"capabilities", Json::object()}}}});
    send({{"method", "textDocument/didOpen"},
          {"params", {{"textDocument", {{"uri", URI}, {"version", 1}, {"text", BoardText()}}}}}});
  }
  // What the server wrote in answer.
  std::string send(Json message) {
    message["jsonrpc"] = "2.0";
    server.handle(message.dump());
    std::string answer = out.str();
    out.str("");
    return answer;
  }
  // One keystroke typed at `at`: an incremental change, as an editor sends it.
  void type(const Json& at, const std::string& text) {
    send({{"method", "textDocument/didChange"},
          {"params",
           {{"textDocument", {{"uri", URI}, {"version", ++version}}},
            {"contentChanges", {{{"range", {{"start", at}, {"end", at}}}, {"text", text}}}}}}});
  }
  std::string ask(const char* method, const Json& at) {
    return send({{"id", ++id},
                 {"method", method},
                 {"params", {{"textDocument", {{"uri", URI}}}, {"position", at}}}});
  }
};

// The peer: reading the same text into a tree, which every change has to do at least.
void BM_PlainRead(benchmark::State& state) {
  for (auto _ : state) {
    LyrBoard::Qbd board;
    benchmark::DoNotOptimize(board.ReadBuffer(BoardText().data(), BoardText().size(), "board.qbd"));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BoardText().size()));
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

// The second peer: a read and the lint checks, what `qbd lint` does; the server adds its index
// of places and the message to this.
void BM_ReadAndLint(benchmark::State& state) {
  for (auto _ : state) {
    LyrBoard::Qbd board;
    board.ReadBuffer(BoardText().data(), BoardText().size(), "board.qbd");
    benchmark::DoNotOptimize(MbdLint::LintBoard(board, "board.qbd"));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BoardText().size()));
}
BENCHMARK(BM_ReadAndLint)->Unit(benchmark::kMillisecond);

// A keystroke in a comment at the end of the file, then its diagnostics: read, lint, places.
void BM_DiagnosticsAfterChange(benchmark::State& state) {
  Session session;
  session.type(Json{{"line", 0}, {"character", 0}}, "# ");
  for (auto _ : state) session.type(Json{{"line", 0}, {"character", 2}}, "x");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BoardText().size()));
}
BENCHMARK(BM_DiagnosticsAfterChange)->Unit(benchmark::kMillisecond);

// Hover on an instance port's net in the middle of the board: pins, settings, ports.
void BM_HoverNet(benchmark::State& state) {
  Session session;
  const std::string& text = BoardText();
  const Json at = PositionOf(text, "= uart_80_io_0", text.find("INSTANCE = uart_80"));
  Json onNet = at;
  onNet["character"] = at["character"].get<int>() + 3;
  if (session.ask("textDocument/hover", onNet).find("AE27") == std::string::npos)
    state.SkipWithError("the hover does not show the pin");
  for (auto _ : state) session.ask("textDocument/hover", onNet);
}
BENCHMARK(BM_HoverNet)->Unit(benchmark::kMicrosecond);

// Completion of a net after "PORT X = ": every net of the board.
void BM_CompletionNets(benchmark::State& state) {
  Session session;
  const Json end{{"line", std::count(BoardText().begin(), BoardText().end(), '\n')},
                 {"character", 0}};
  session.type(end, "  PORT X = ");
  Json at = end;
  at["character"] = 11;
  if (session.ask("textDocument/completion", at).find("gpio_81_io_2") == std::string::npos)
    state.SkipWithError("the completion does not list the nets");
  for (auto _ : state) session.ask("textDocument/completion", at);
}
BENCHMARK(BM_CompletionNets)->Unit(benchmark::kMicrosecond);

// The session as a whole: type a new port line into the last block a character at a time,
// each keystroke followed by its diagnostics, a completion and a hover, as an editor asks them.
// From "= u" on, the line reads; before, each keystroke gives read errors.
void BM_EditingSession(benchmark::State& state) {
  const std::string line = "  PORT X = uart_80_io_0, IO_IS = x";
  const std::string& text = BoardText();
  const Json hoverAt = PositionOf(text, "fpga_uart_80_io_0");
  const std::size_t lastEnd = text.rfind("\nEND") + 1;
  const std::size_t endLine = std::count(text.begin(), text.begin() + lastEnd, '\n');
  for (auto _ : state) {
    state.PauseTiming();
    Session session;
    session.type(Json{{"line", endLine}, {"character", 0}}, "\n");  // an empty line to type on
    state.ResumeTiming();
    for (std::size_t i = 0; i < line.size(); ++i) {
      session.type(Json{{"line", endLine}, {"character", i}}, line.substr(i, 1));
      session.ask("textDocument/completion", Json{{"line", endLine}, {"character", i + 1}});
      session.ask("textDocument/hover", hoverAt);
    }
  }
  state.counters["keystrokes"] = static_cast<double>(line.size());
}
BENCHMARK(BM_EditingSession)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
