// The board interpreter: a Tcl interpreter of the library's own, made once per process, in
// which the board query commands "qget_qbd_handle", "qget_qbd_value" and "qget_qbd_rule" are
// registered and the two board-access script libraries are sourced.
#ifndef LYRWIZ_BOARDTCLIF_H
#define LYRWIZ_BOARDTCLIF_H

#include "LyrBaseTcl.h"
#include "MbdExport.h"

class LYRWIZ_MBD_EXPORT LyrWiz_BoardTclIf : public LyrBase::BaseTclIf {
 public:
  // The process's instance, created, initialised and given the scripts on the first call (and
  // again after the host destroyed the previous one). The first call must not race another.
  static LyrWiz_BoardTclIf* ConstructBoardTclIf();

  // Tcl_Init, the base library's commands and the board commands, the exit handler and the
  // per-thread record; 0 on success, 1 (nothing registered) when Tcl_Init fails.
  int Tcl_AppInit() override;
  // Registers "qget_qbd_handle", "qget_qbd_value" and "qget_qbd_rule" in the instance's
  // interpreter.
  void RegisterCommands();
  // Sources "/data/datastructure/qbd_database_access.tcl" then
  // "/data/datastructure/qorlib_qbd.tcl", each from $MYQUORIN when it exists there and from
  // $QUORIN_VLK otherwise; 0 on success, 1 or 2 when the first or second script failed.
  static int SourceBoardTclFile(Tcl_Interp* interp);

  // The procedure of "qget_qbd_handle": from a handle to the handles of related nodes.
  static int LyrBoardGetHandle(ClientData clientData, Tcl_Interp* interp, int objc,
                               Tcl_Obj* const objv[]);
  // The procedure of "qget_qbd_value": a node's value, name or kind.
  static int LyrBoardGetValue(ClientData clientData, Tcl_Interp* interp, int objc,
                              Tcl_Obj* const objv[]);
  // The procedure of "qget_qbd_rule": the board's rules asked of a handle or a net.
  static int LyrBoardGetRule(ClientData clientData, Tcl_Interp* interp, int objc,
                             Tcl_Obj* const objv[]);

 protected:
  // Records the new object as the process's instance.
  LyrWiz_BoardTclIf();
  // Clears the instance pointer when it names this object, so that the next
  // ConstructBoardTclIf builds a new instance instead of returning a dangling one.
  ~LyrWiz_BoardTclIf() override;

  // The "block" form of "qget_qbd_handle": blocks of one BLOCKTYPE, by name or all.
  static int LyrTclBoardGetBlockHandle(ClientData clientData, Tcl_Interp* interp, int objc,
                                       Tcl_Obj* const objv[]);

 private:
  static LyrWiz_BoardTclIf* instance_;
};

#endif  // LYRWIZ_BOARDTCLIF_H
