// The interpreter of the base class and its per-thread record: the part of the Tcl side that
// makes interpreters, so it links libtcl (LyrBaseTclInterp).
#include "BaseTclIf.h"

namespace LyrBase {
namespace {

// The base library's own commands, as scripts name them.
constexpr char kGetHandleCommand[] = "lyrbase_get_handle";
constexpr char kGetValueCommand[] = "lyrbase_get_value";

Tcl_ThreadDataKey threadDataKey;

// Tcl needs to know where it runs before the first interpreter can find its library.
void FindTcl(const char* argv0) {
  static bool found = false;
  if (found) return;
  Tcl_FindExecutable(argv0);
  found = true;
}

}  // namespace

BaseTclIf::BaseTclIf() = default;

BaseTclIf::~BaseTclIf() {
  if (!interp) return;
  auto* record = static_cast<ThreadData*>(
      Tcl_GetThreadData(GetThreadDataKey(), static_cast<int>(sizeof(ThreadData))));
  if (record && record->interp == interp) record->interp = nullptr;
  Tcl_DeleteInterp(interp);
  interp = nullptr;
}

const char* BaseTclIf::GetBaseNode() const { return "LyrBas_BaseTclIf"; }

bool BaseTclIf::IsBaseNodeType(const char* typeName) const {
  return StringBase(typeName).Compare(GetBaseNode(), StringBase::EXACT) == 0 ||
         BaseNode::IsBaseNodeType(typeName);
}

void BaseTclIf::Tcl_Main(int argc, char** argv) {
  if (interp) return;
  FindTcl(argc > 0 && argv ? argv[0] : nullptr);
  interp = Tcl_CreateInterp();
  InitStubs(interp);
  Tcl_Obj* args = Tcl_NewListObj(0, nullptr);
  for (int i = 1; i < argc && argv; ++i)
    Tcl_ListObjAppendElement(nullptr, args, Tcl_NewStringObj(argv[i], -1));
  Tcl_SetVar2Ex(interp, "argv0", nullptr,
                Tcl_NewStringObj(argc > 0 && argv ? argv[0] : "", -1), TCL_GLOBAL_ONLY);
  Tcl_SetVar2Ex(interp, "argv", nullptr, args, TCL_GLOBAL_ONLY);
  Tcl_SetVar2Ex(interp, "argc", nullptr, Tcl_NewIntObj(argc > 0 ? argc - 1 : 0),
                TCL_GLOBAL_ONLY);
  Tcl_AppInit();
}

void BaseTclIf::Tcl_Main() {
  if (interp) return;
  FindTcl(nullptr);
  interp = Tcl_CreateInterp();
  InitStubs(interp);
  Tcl_AppInit();
}

int BaseTclIf::Tcl_AppInit() {
  if (!interp || Tcl_Init(interp) != TCL_OK) return 1;
  RegisterCommands();
  return 0;
}

void BaseTclIf::RegisterCommands() {
  // The name parameter is writable by its fixed signature only: Tcl copies the name and
  // nothing writes to it.
  CreateCommand(const_cast<char*>(kGetHandleCommand), LyrBaseGetHandle);
  CreateCommand(const_cast<char*>(kGetValueCommand), LyrBaseGetValue);
}

int BaseTclIf::CreateCommand(char* name, Tcl_ObjCmdProc* proc) {
  if (!interp || !name || !proc) return 1;
  return Tcl_CreateObjCommand(interp, name, proc, nullptr, nullptr) ? 0 : 1;
}

Tcl_ThreadDataKey* BaseTclIf::GetThreadDataKey() { return &threadDataKey; }

void BaseTclIf::Tcl_AppExit(ClientData /*clientData*/) {
  auto* record = static_cast<ThreadData*>(
      Tcl_GetThreadData(GetThreadDataKey(), static_cast<int>(sizeof(ThreadData))));
  if (!record || record->flag != 1) return;
  record->interp = nullptr;
  record->flag = 0;
}

}  // namespace LyrBase
