// The board query commands for the wizard's own interpreter. The command procedures are these
// statics; the board interpreter's class registers procedures that run them too.
#include "LyrWiz_BoardTclCommandsRegister.h"

#include "BoardCommands.h"
#include "BoardRuleCommand.h"
#include "BoardScripts.h"
#include "LyrBaseTcl/CommandGuard.h"
#include "LyrBaseTcl/TclStubs.h"

namespace {

constexpr char kRevision[] = "1.0";

using LyrBase::GuardedCommand;

}  // namespace

bool LyrWiz_BoardTclCommandsRegister::addCommands(Tcl_Interp* interp) {
  if (!interp) return false;
  // The host may make handles (BaseTclIf) as soon as the commands exist, so the handle library
  // is bound here too, not only when a command first runs.
  LyrBase::BindTclStubs(interp);
  LyrBase::BaseTclIf::InitStubs(interp);
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
  return GuardedCommand<mbd_detail::BoardGetHandle>(clientData, interp, objc, objv);
}

int LyrWiz_BoardTclCommandsRegister::LyrBoardGetValue(ClientData clientData,
                                                      Tcl_Interp* interp, int objc,
                                                      Tcl_Obj* const objv[]) {
  return GuardedCommand<mbd_detail::BoardGetValue>(clientData, interp, objc, objv);
}

int LyrWiz_BoardTclCommandsRegister::LyrBoardGetRule(ClientData clientData,
                                                     Tcl_Interp* interp, int objc,
                                                     Tcl_Obj* const objv[]) {
  return GuardedCommand<mbd_detail::BoardRule>(clientData, interp, objc, objv);
}

int LyrWiz_BoardTclCommandsRegister::LyrTclBoardGetBlockHandle(ClientData clientData,
                                                               Tcl_Interp* interp, int objc,
                                                               Tcl_Obj* const objv[]) {
  return GuardedCommand<mbd_detail::BoardGetBlockHandle>(clientData, interp, objc, objv);
}
