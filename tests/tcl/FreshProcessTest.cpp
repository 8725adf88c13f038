// A host that makes its own interpreter and hands it to the registrar may make handles at once:
// registration binds the stub-built libraries, handle library included. This program is kept
// apart from the other Tcl tests, whose support code binds the handle library itself.
#include <gtest/gtest.h>
#include <tcl.h>

#include <memory>
#include <string>

#include "LyrBaseTcl.h"
#include "LyrWiz_BoardTclCommandsRegister.h"

namespace {

struct Registrar : LyrWiz_BoardTclCommandsRegister {};

TEST(FreshProcess, RegistrationAloneLetsTheHostMakeHandles) {
  Tcl_FindExecutable(nullptr);
  Tcl_Interp* interp = Tcl_CreateInterp();
  Registrar registrar;
  // The scripts are not where this test runs, so sourcing fails after the commands were added.
  registrar.registerInterp(interp);
  auto node = std::make_unique<LyrBase::NameValue>("n");
  Tcl_Obj* word = LyrBase::BaseTclIf::CreateTclObjFromPtr(node.get());
  Tcl_IncrRefCount(word);
  EXPECT_EQ(std::string(Tcl_GetString(word)).rfind("qbd#", 0), 0u);
  EXPECT_EQ(LyrBase::BaseTclIf::GetPtrFromTclObj(interp, word), node.get());
  Tcl_SetVar2Ex(interp, "w", nullptr, word, TCL_GLOBAL_ONLY);
  EXPECT_EQ(Tcl_EvalEx(interp, "qget_qbd_value $w name", -1, TCL_EVAL_GLOBAL), TCL_OK);
  EXPECT_STREQ(Tcl_GetStringResult(interp), "n");
  Tcl_DecrRefCount(word);
  Tcl_DeleteInterp(interp);
}

}  // namespace
