// The C++ side of the Python pin-walk comparison (bench/python_pin_walk.py): reads a board
// file and visits the pin location of every FPGA pin wired to every instance port, the walk
// the Python script makes through the package, and prints the best time of several runs.
//
//   pin_walk write FILE BLOCKS   writes a generated board of at least BLOCKS blocks
//   pin_walk walk FILE RUNS      prints "seconds locations" of the fastest run
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "BenchBoards.h"
#include "LyrBoard.h"
#include "MbdRules.h"

namespace {

std::size_t CountBlocks(const std::string& text) {
  std::size_t count = 0;
  for (std::size_t at = text.find("BEGIN BLOCK"); at != std::string::npos;
       at = text.find("BEGIN BLOCK", at + 1))
    ++count;
  return count;
}

int Write(const char* path, std::size_t blocks) {
  std::size_t bytes = blocks * 1024;
  std::string text = benchboards::GenerateBoardText(bytes);
  while (CountBlocks(text) < blocks) text = benchboards::GenerateBoardText(bytes += bytes / 4);
  std::ofstream(path, std::ios::binary) << text;
  std::printf("%zu blocks, %zu bytes\n", CountBlocks(text), text.size());
  return 0;
}

// Reads the board and counts the pins with a location on the nets of the instance ports.
std::size_t ReadAndWalk(const char* path) {
  LyrBoard::Qbd board;
  if (board.ReadFile(path) != 0) {
    std::fputs(board.GetErrorText().c_str(), stderr);
    std::exit(1);
  }
  std::unordered_map<StringBase, std::vector<LyrBase::Property*>, MbdRules::NetHash,
                     MbdRules::NetEqual>
      pinsByNet;
  std::vector<LyrBoard::QbdBlock*> instances;
  for (LyrBase::PsfComp* comp : board.GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK)) {
    auto* block = static_cast<LyrBoard::QbdBlock*>(comp);
    if (!MbdRules::IsFpgaBlock(block)) {
      instances.push_back(block);
      continue;
    }
    for (LyrBase::Property* pin : block->GetPropSeqRef(LyrBoard::QbdBlock::PORT))
      pinsByNet[MbdRules::ConnectorOf(*pin)].push_back(pin);
  }
  std::size_t located = 0;
  for (LyrBoard::QbdBlock* block : instances)
    for (LyrBase::Property* port : block->GetPropSeqRef(LyrBoard::QbdBlock::PORT)) {
      const auto found = pinsByNet.find(MbdRules::ConnectorOf(*port));
      if (found == pinsByNet.end()) continue;
      for (LyrBase::Property* pin : found->second) {
        StringBase location;
        if (MbdRules::FirstLocation(MbdRules::ConstraintStrings(*pin), location)) ++located;
      }
    }
  return located;
}

int Walk(const char* path, int runs) {
  double best = 1e30;
  std::size_t located = 0;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    located = ReadAndWalk(path);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  std::printf("%.6f %zu\n", best, located);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "write") == 0)
    return Write(argv[2], std::strtoul(argv[3], nullptr, 10));
  if (argc == 4 && std::strcmp(argv[1], "walk") == 0)
    return Walk(argv[2], std::max(1, std::atoi(argv[3])));
  std::fputs("usage: pin_walk write FILE BLOCKS | walk FILE RUNS\n", stderr);
  return 2;
}
