// Writes one generated board twice: as board text (PREFIX.qbd) and the same content as XML
// (PREFIX.xml), so that whole-process readers of the two formats compare on equal content.
//
//   gen_board BLOCKS PREFIX
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "BenchBoards.h"
#include "LyrBoard.h"

namespace {

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  return static_cast<bool>(file.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: gen_board BLOCKS PREFIX\n");
    return 2;
  }
  const std::string text = benchboards::GenerateBoardBlocks(std::strtoul(argv[1], nullptr, 10));
  LyrBoard::Qbd board;
  if (board.ReadBuffer(text.data(), text.size(), "generated") != 0) {
    std::fputs(board.GetErrorText().c_str(), stderr);
    return 1;
  }
  const std::string prefix = argv[2];
  if (!WriteText(prefix + ".qbd", text) || !WriteText(prefix + ".xml", benchboards::BoardAsXml(board))) {
    std::fprintf(stderr, "gen_board: cannot write %s.qbd or %s.xml\n", argv[2], argv[2]);
    return 1;
  }
  return 0;
}
