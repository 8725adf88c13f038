// The board query commands for the wizard's own interpreter.
#include "LyrWiz_BoardTclCommandsRegister.h"

#include "BoardCommands.h"
#include "BoardRuleCommand.h"
#include "BoardScripts.h"

namespace {

constexpr char kRevision[] = "1.0";

const mbd_detail::BoardProcs kProcs{LyrWiz_BoardTclCommandsRegister::LyrBoardGetHandle,
                                    LyrWiz_BoardTclCommandsRegister::LyrTclBoardGetBlockHandle};

}  // namespace

bool LyrWiz_BoardTclCommandsRegister::addCommands(Tcl_Interp* interp) {
  if (!interp) return false;
  // A failed registration shows when the command is called, so its result is not examined.
  // Writable by the fixed signature only: the name is copied by Tcl, never written.
  createCommand(interp, const_cast<char*>(mbd_detail::kHandleCommand), LyrBoardGetHandle);
  createCommand(interp, const_cast<char*>(mbd_detail::kValueCommand), LyrBoardGetValue);
  createCommand(interp, const_cast<char*>(mbd_detail::kRuleCommand), LyrBoardGetRule);
  return true;
}

bool LyrWiz_BoardTclCommandsRegister::sourceTclFiles(Tcl_Interp* interp) {
  if (!interp) return false;
  return mbd_detail::SourceBoardScripts(interp, {__FILE__, __LINE__, kRevision}) == 0;
}

int LyrWiz_BoardTclCommandsRegister::LyrBoardGetHandle(ClientData clientData,
                                                       Tcl_Interp* interp, int objc,
                                                       Tcl_Obj* const objv[]) {
  return mbd_detail::BoardGetHandle(kProcs, clientData, interp, objc, objv);
}

int LyrWiz_BoardTclCommandsRegister::LyrBoardGetValue(ClientData clientData,
                                                      Tcl_Interp* interp, int objc,
                                                      Tcl_Obj* const objv[]) {
  return mbd_detail::BoardGetValue(kProcs, clientData, interp, objc, objv);
}

int LyrWiz_BoardTclCommandsRegister::LyrBoardGetRule(ClientData clientData,
                                                     Tcl_Interp* interp, int objc,
                                                     Tcl_Obj* const objv[]) {
  return mbd_detail::BoardRule(clientData, interp, objc, objv);
}

int LyrWiz_BoardTclCommandsRegister::LyrTclBoardGetBlockHandle(ClientData clientData,
                                                               Tcl_Interp* interp, int objc,
                                                               Tcl_Obj* const objv[]) {
  return mbd_detail::BoardGetBlockHandle(clientData, interp, objc, objv);
}
