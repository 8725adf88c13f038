// The Tcl interface base class of the base-object library: an interpreter, the handle codec
// that turns live nodes into Tcl words and back, error reporting, and the library's own
// commands over property nodes.
#ifndef LYRBASE_BASETCLIF_H
#define LYRBASE_BASETCLIF_H

#include <tcl.h>

namespace LyrBase {

class BaseNode;

class BaseTclIf : public BaseNode {
 public:
  BaseTclIf();
  ~BaseTclIf() override;
  const char* GetBaseNode() const override;
  bool IsBaseNodeType(const char* typeName) const override;

  // Creates the interpreter from the command line and runs Tcl_AppInit on it.
  virtual void Tcl_Main(int argc, char** argv);
  // Creates the interpreter and runs Tcl_AppInit on it.
  virtual void Tcl_Main();
  // Initialises the interpreter; 0 on success.
  virtual int Tcl_AppInit();

  // The interpreter; null before Tcl_Main.
  Tcl_Interp* GetInterp() const { return interp; }
  // Registers the base library's own commands in the interpreter.
  void RegisterCommands();
  // Registers an object command in the interpreter; 0 on success.
  int CreateCommand(char* name, Tcl_ObjCmdProc* proc);

  // A new Tcl word naming `node`; the word decodes back to it while the node lives.
  static Tcl_Obj* CreateTclObjFromPtr(const BaseNode* node);
  // The live node that `obj` names; null for any other word (forged, stale, malformed).
  static BaseNode* GetPtrFromTclObj(Tcl_Interp* interp, Tcl_Obj* obj);
  // Sets `message` as the interpreter's result and returns TCL_ERROR.
  static int LyrTclError(Tcl_Interp* interp, const char* message, const char* detail, int flags);
  // Exit handler: releases what the base library keeps per process.
  static void Tcl_AppExit(ClientData clientData);

  // The base library's own commands over property nodes.
  static int LyrBaseGetHandle(ClientData clientData, Tcl_Interp* interp, int objc,
                              Tcl_Obj* const objv[]);
  static int LyrBaseGetValue(ClientData clientData, Tcl_Interp* interp, int objc,
                             Tcl_Obj* const objv[]);

  // Called when a node that was given a handle is destroyed: its words decode to null.
  static void ForgetNode(const BaseNode* node);

 protected:
  static Tcl_ThreadDataKey* GetThreadDataKey();
  Tcl_Interp* interp = nullptr;
};

}  // namespace LyrBase

#endif  // LYRBASE_BASETCLIF_H
