// A program written the way a user of the installed library writes one: it reads a board,
// asks the model for the FPGA family and the instances of one IO type, and asks the board
// interpreter which board commands it holds.
#include <cstdio>

#include "LyrWiz_BoardTclCommandsRegister.h"
#include "LyrWiz_BoardTclIf.h"
#include "MBD.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: consumer BOARD IOTYPE\n", stderr);
    return 2;
  }
  LyrBoard::Qbd board;
  if (board.ReadFile(argv[1]) != 0) {
    std::fputs(board.GetErrorText().c_str(), stderr);
    return 1;
  }
  MBD model(&board);
  std::printf("family %s\n", model.getArch().c_str());
  std::printf("%s", argv[2]);
  for (const StringBase& name : model.getInstanceNamesByIOType(argv[2], 0))
    std::printf(" %s", name.c_str());
  std::printf("\n");

  LyrWiz_BoardTclIf* shell = LyrWiz_BoardTclIf::ConstructBoardTclIf();
  Tcl_Interp* interp = shell->GetInterp();
  if (Tcl_Eval(interp, "lsort [info commands qget_qbd_*]") != TCL_OK) return 1;
  std::printf("commands %s\n", Tcl_GetStringResult(interp));
  delete static_cast<LyrBase::BaseNode*>(shell);
  return 0;
}
