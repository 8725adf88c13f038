// Writes one format of a board's pin table, or its Verilog top, for the toolchain test:
// board_export BOARD FORMAT|verilog OUT INSTANCE... (bus naming on). Exit 1 on any problem.
#include <fstream>
#include <iostream>

#include "MBD.h"
#include "MbdConstraintWriter.h"
#include "MbdPinTable.h"
#include "MbdTopLevel.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: board_export BOARD FORMAT|verilog OUT INSTANCE...\n";
    return 2;
  }
  LyrBoard::Qbd qbd;
  if (qbd.ReadFile(argv[1]) != 0) {
    std::cerr << qbd.GetErrorText().c_str() << "\n";
    return 1;
  }
  MBD model(&qbd);
  MbdPins::TableOptions options;
  options.bus = true;
  options.instances.assign(argv + 4, argv + argc);
  const MbdPins::PinTable table = MbdPins::BuildPinTable(model, options);
  for (const MbdPins::Problem& p : table.problems) std::cerr << p.port << ": " << p.message << "\n";
  if (!table.problems.empty()) return 1;
  std::string text;
  const std::string format = argv[2];
  if (format == "verilog") {
    MbdTop::TopOutput top;
    if (!MbdTop::WriteTop(table, {}, top)) return 1;
    text = top.text;
  } else {
    MbdFormats::WriteOutput out;
    if (!MbdFormats::WriteConstraints(format, table, {}, out)) return 1;
    for (const MbdPins::Problem& p : out.unexpressed)
      if (p.error) return 1;
    text = out.text;
  }
  std::ofstream(argv[3], std::ios::binary) << text;
  return 0;
}
