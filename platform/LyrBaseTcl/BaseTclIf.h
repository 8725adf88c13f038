// The Tcl interface base class of the base-object library: an interpreter, the handle codec
// that turns live nodes into Tcl words and back, error reporting, and the library's own
// commands over property nodes.
//
// Handles. A handle is the word "qbd#<serial>", where the serial is a decimal number that the
// process-wide handle table gives a node the first time a handle is made for it. The table maps
// serials to live nodes and back; a node that is destroyed leaves the table (BaseNode's
// destructor calls ForgetNode), so its words decode to null from then on. Serials are never
// reused, so a word made for a dead node never names a newer node at the same address. A word
// is never turned into an address by arithmetic: any word that is not exactly a live entry of
// the table (forged, stale, malformed, a list) decodes to null.
//
// Threads. An interpreter lives in one thread, and so does a handle: the table remembers the
// thread that made a node's handle, and the word decodes to the node in that thread only; in any
// other it decodes to null, as a stale word does. So a thread can never reach the nodes of a
// board that another thread may close at any moment. Making a handle for a node that already
// has one gives its existing word, whichever thread asks. Every access to the table and to a
// node's serial holds the table's lock.
//
// Libraries. The handle codec, the base commands and the error reporters are in LyrBaseTcl,
// built against the Tcl stubs so that a loadable extension uses them without linking libtcl;
// the interpreter part (constructor, destructor, Tcl_Main, Tcl_AppInit, RegisterCommands,
// CreateCommand, Tcl_AppExit) is in LyrBaseTclInterp, which links libtcl, for programs. A
// stub-built library calls into Tcl only once it is bound to an interpreter's Tcl: Tcl_Main, the
// commands, the registrar and the package's init bind it; a program that makes its interpreters
// itself and calls the handle codec before any of these calls InitStubs first.
//
// Failures. Every command procedure runs through one guard (CommandGuard.h): no C++ exception
// reaches Tcl; an allocation failure is the error {QBD NOMEM}, any other exception {QBD FAILED}.
//
// The base library's own commands serve the nodes of this library (properties and their
// sub-properties); they mirror the board commands qget_qbd_handle and qget_qbd_value:
//
//   lyrbase_get_handle H PARENT              the node that holds H (a parameter or port gives
//                                            its block, a sub-property its property); the
//                                            empty string when H has no holder
//   lyrbase_get_handle H SUBPROPERTY NAME    H's first sub-property named NAME ignoring case;
//                                            with NAME "*" a list of all of them, in order;
//                                            the empty string when there is none
//   lyrbase_get_value H                      H's value text
//   lyrbase_get_value H value|name           H's value text or name (matched ignoring case)
//
// Keywords match ignoring letter case. The board commands hand these procedures calls about
// base-library nodes unchanged, so the words are counted the same way there (the command name
// is word 0). Errors:
//   "invalid number of parameters specified\n"                 a word count not listed above
//   "a null handle was provided\n"                             H names no live node of this
//                                                              library that has a name
//   "unknown property type specified with Property handle. valid values are parent and
//    subproperty\n"                                            another keyword
//   "valid value types are : name and value\n"                 another value word
#ifndef LYRBASE_BASETCLIF_H
#define LYRBASE_BASETCLIF_H

#include <tcl.h>

#include "../LyrBase.h"

// tcl.h spells its own shell loop Tcl_Main as a three-argument macro; the member functions of
// that name below would not compile under it, and code using this class never wants Tcl's loop.
#undef Tcl_Main

namespace LyrBase {

// The first 7, 9 and 6 characters of a type name: the lengths of the family prefixes
// "LyrBas_", "LyrBoard_" and "LyrBd_" that tell which library a node belongs to.
inline const Port_Range RANGE7(0, 6);
inline const Port_Range RANGE9(0, 8);
inline const Port_Range RANGE6(0, 5);

class BaseTclIf : public BaseNode {
 public:
  BaseTclIf();
  // Deletes the interpreter made by Tcl_Main, if any.
  ~BaseTclIf() override;
  const char* GetBaseNode() const override;
  bool IsBaseNodeType(const char* typeName) const override;

  // Creates the interpreter, sets argv0, argv and argc from the command line (argv[0] is the
  // program) and runs Tcl_AppInit on it. Does nothing when an interpreter exists.
  virtual void Tcl_Main(int argc, char** argv);
  // Creates the interpreter and runs Tcl_AppInit on it. Does nothing when one exists.
  virtual void Tcl_Main();
  // Initialises the interpreter (Tcl_Init, then this library's commands); 0 on success, 1
  // when Tcl_Init fails or there is no interpreter.
  virtual int Tcl_AppInit();

  // The interpreter; null before Tcl_Main.
  Tcl_Interp* GetInterp() const { return interp; }
  // Registers the base library's own commands in the interpreter; nothing without one.
  void RegisterCommands();
  // Registers an object command in the interpreter; 0 on success, 1 without an interpreter
  // or a name.
  int CreateCommand(char* name, Tcl_ObjCmdProc* proc);

  // A new Tcl word naming `node`; the word decodes back to it, in the thread that first made a
  // word for the node, while the node lives. The same node always gets the same word. Null
  // gives the empty string.
  static Tcl_Obj* CreateTclObjFromPtr(const BaseNode* node);
  // The live node that `obj` names for the calling thread; null for any other word (forged,
  // stale, malformed, made in another thread, null).
  static BaseNode* GetPtrFromTclObj(Tcl_Interp* interp, Tcl_Obj* obj);
  // Binds LyrBaseTcl to the Tcl of `interp` (the first call only; the stub table is the same
  // for every interpreter of the process); false when that Tcl is not 8.6 or `interp` is null.
  static bool InitStubs(Tcl_Interp* interp);
  // Sets `message` as the interpreter's result and returns TCL_ERROR. `flags` 0 reports the
  // message alone; any other value puts the command's name (objv[0]) and ": " in front.
  static int LyrTclError(int objc, Tcl_Obj* const objv[], Tcl_Interp* interp, int flags,
                         const char* message);
  // Reports a command that threw: sets "WORD0 WORD1: WHAT" ("out of memory" for a null `what`)
  // as the result and errorCode {QBD FAILED} ({QBD NOMEM} for a null `what`); TCL_ERROR.
  static int CommandFailed(Tcl_Interp* interp, int objc, Tcl_Obj* const objv[],
                           const char* what) noexcept;
  // Exit handler: clears the calling thread's record.
  static void Tcl_AppExit(ClientData clientData);

  // The base library's own commands over property nodes (syntax above).
  static int LyrBaseGetHandle(ClientData clientData, Tcl_Interp* interp, int objc,
                              Tcl_Obj* const objv[]);
  static int LyrBaseGetValue(ClientData clientData, Tcl_Interp* interp, int objc,
                             Tcl_Obj* const objv[]);

  // Retires the handle of a node that is being destroyed: its word decodes to null from now on.
  // Nothing happens for a node without a handle.
  static void ForgetNode(const BaseNode* node);
  // How many nodes currently hold a handle (for leak checks).
  static unsigned LiveHandleCount();

 protected:
  // The per-thread record that Tcl keeps under GetThreadDataKey(): the interpreter of the
  // thread, and a flag that is 1 once the record was initialised.
  struct ThreadData {
    Tcl_Interp* interp;
    int flag;
  };

  static Tcl_ThreadDataKey* GetThreadDataKey();
  Tcl_Interp* interp = nullptr;
};

}  // namespace LyrBase

#endif  // LYRBASE_BASETCLIF_H
