// The board interpreter: one per process, made on first request. Its command procedures are
// those of LyrWiz_BoardTclCommandsRegister (the same commands), so this part, which makes an
// interpreter and links libtcl, holds no command of its own.
#include "LyrWiz_BoardTclIf.h"

#include "BoardCommands.h"
#include "BoardRuleCommand.h"
#include "BoardScripts.h"
#include "LyrWiz_BoardTclCommandsRegister.h"

namespace {

constexpr char kRevision[] = "1.0";

using Commands = LyrWiz_BoardTclCommandsRegister;

}  // namespace

LyrWiz_BoardTclIf* LyrWiz_BoardTclIf::instance_ = nullptr;

LyrWiz_BoardTclIf* LyrWiz_BoardTclIf::ConstructBoardTclIf() {
  if (instance_) return instance_;
  auto* created = new LyrWiz_BoardTclIf;  // owned by the host from here on
  created->Tcl_Main();
  SourceBoardTclFile(created->GetInterp());
  return created;
}

LyrWiz_BoardTclIf::LyrWiz_BoardTclIf() { instance_ = this; }

LyrWiz_BoardTclIf::~LyrWiz_BoardTclIf() {
  if (instance_ == this) instance_ = nullptr;
}

int LyrWiz_BoardTclIf::Tcl_AppInit() {
  if (Tcl_Init(interp) != TCL_OK) return 1;
  BaseTclIf::RegisterCommands();
  LyrWiz_BoardTclIf::RegisterCommands();
  // A second instance in the same process must not leave two handlers behind.
  Tcl_DeleteExitHandler(BaseTclIf::Tcl_AppExit, nullptr);
  Tcl_CreateExitHandler(BaseTclIf::Tcl_AppExit, nullptr);
  auto* record = static_cast<ThreadData*>(
      Tcl_GetThreadData(GetThreadDataKey(), static_cast<int>(sizeof(ThreadData))));
  record->interp = interp;
  record->flag = 1;
  return 0;
}

void LyrWiz_BoardTclIf::RegisterCommands() {
  // Writable by the fixed signature only: the name is copied by Tcl, never written.
  CreateCommand(const_cast<char*>(mbd_detail::kHandleCommand), LyrBoardGetHandle);
  CreateCommand(const_cast<char*>(mbd_detail::kValueCommand), LyrBoardGetValue);
  CreateCommand(const_cast<char*>(mbd_detail::kRuleCommand), LyrBoardGetRule);
}

int LyrWiz_BoardTclIf::SourceBoardTclFile(Tcl_Interp* interp) {
  return mbd_detail::SourceBoardScripts(interp, {__FILE__, __LINE__, kRevision});
}

int LyrWiz_BoardTclIf::LyrBoardGetHandle(ClientData clientData, Tcl_Interp* interp, int objc,
                                         Tcl_Obj* const objv[]) {
  return Commands::LyrBoardGetHandle(clientData, interp, objc, objv);
}

int LyrWiz_BoardTclIf::LyrBoardGetValue(ClientData clientData, Tcl_Interp* interp, int objc,
                                        Tcl_Obj* const objv[]) {
  return Commands::LyrBoardGetValue(clientData, interp, objc, objv);
}

int LyrWiz_BoardTclIf::LyrBoardGetRule(ClientData clientData, Tcl_Interp* interp, int objc,
                                       Tcl_Obj* const objv[]) {
  return Commands::LyrBoardGetRule(clientData, interp, objc, objv);
}

int LyrWiz_BoardTclIf::LyrTclBoardGetBlockHandle(ClientData clientData, Tcl_Interp* interp,
                                                 int objc, Tcl_Obj* const objv[]) {
  return Commands::LyrTclBoardGetBlockHandle(clientData, interp, objc, objv);
}
