// Block lookup by name on a board of many blocks, against a hash map of the same names in the
// same process, and the same lookups right after the host changed the tree (the model then
// rebuilds its index once).
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "MBD.h"

namespace {

// A board of `blocks` blocks named core_0, core_1, ...; the names asked for, in a scattered
// order, with every tenth one in other letter case.
struct NamedBoard {
  LyrBoard::Qbd qbd;
  std::vector<StringBase> asked;

  explicit NamedBoard(int blocks) {
    for (int b = 0; b < blocks; ++b) {
      auto* block = new LyrBoard::QbdBlock();
      block->SetName(("core_" + std::to_string(b)).c_str());
      qbd.AddPsfComp(LyrBoard::Qbd::BLOCK, block);
    }
    for (int i = 0; i < blocks; ++i) {
      const int b = static_cast<int>((static_cast<long long>(i) * 7919) % blocks);
      asked.emplace_back((i % 10 == 0 ? "CORE_" : "core_") + std::to_string(b));
    }
  }
};

void BM_GetBlockByName(benchmark::State& state) {
  NamedBoard board(static_cast<int>(state.range(0)));
  MBD model(&board.qbd);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(model.getBlockByName(board.asked[i]));
    if (++i == board.asked.size()) i = 0;
  }
}

// The peer: the same names, folded to lower case once, in a plain hash map.
void BM_HashMapLookup(benchmark::State& state) {
  NamedBoard board(static_cast<int>(state.range(0)));
  std::unordered_map<StringBase, LyrBase::PsfComp*, CaseBlindHash, CaseBlindEqual> map;
  for (LyrBase::PsfComp* comp : board.qbd.GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK))
    map.emplace(comp->GetName(), comp);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(map.find(board.asked[i]));
    if (++i == board.asked.size()) i = 0;
  }
}

// A host edit before each lookup: the cost of following the tree.
void BM_GetBlockByNameAfterEdit(benchmark::State& state) {
  NamedBoard board(static_cast<int>(state.range(0)));
  MBD model(&board.qbd);
  LyrBase::PsfComp* first = board.qbd.GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK).front();
  std::size_t i = 0;
  for (auto _ : state) {
    first->SetName("core_0");
    benchmark::DoNotOptimize(model.getBlockByName(board.asked[i]));
    if (++i == board.asked.size()) i = 0;
  }
}

}  // namespace

BENCHMARK(BM_GetBlockByName)->Arg(100)->Arg(10000);
BENCHMARK(BM_HashMapLookup)->Arg(100)->Arg(10000);
BENCHMARK(BM_GetBlockByNameAfterEdit)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
