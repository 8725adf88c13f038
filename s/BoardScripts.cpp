// The board-access scripts are searched file by file, so a user's tree may override one of
// them and take the other from the installation.
#include "BoardScripts.h"

#include "LyrBaseTcl/TclStubs.h"
#include "Portability.h"

namespace mbd_detail {
namespace {

constexpr const char* kScripts[] = {"/data/datastructure/qbd_database_access.tcl",
                                    "/data/datastructure/qorlib_qbd.tcl"};

StringBase ScriptPath(const StringBase& userTree, const StringBase& installTree,
                      const char* script) {
  const StringBase candidate = userTree + script;
  if (Port::File::exist(candidate.c_str())) return candidate;
  return installTree + script;
}

}  // namespace

int SourceBoardScripts(Tcl_Interp* interp, const ReportOrigin& origin) {
  if (!LyrBase::BindTclStubs(interp)) return 1;
  const StringBase userTree = Port_Env::GetEnv("MYQUORIN");
  const StringBase installTree = Port_Env::GetEnv("QUORIN_VLK");
  int failure = 1;
  for (const char* script : kScripts) {
    const StringBase path = ScriptPath(userTree, installTree, script);
    if (Tcl_EvalFile(interp, path.c_str()) != TCL_OK) {
      Port_MsgManData::createObject("VLK", origin.file, origin.line, origin.revision)
          ->issueError("Can not evaluate tcl file %s\n", path.c_str());
      return failure;
    }
    ++failure;
  }
  return 0;
}

}  // namespace mbd_detail
