// The board query commands for an interpreter the wizard already owns: handed to the wizard's
// registration scheme, it registers "qget_qbd_handle", "qget_qbd_value" and "qget_qbd_rule" and
// sources the two board-access script libraries there.
#ifndef LYRWIZ_BOARDTCLCOMMANDSREGISTER_H
#define LYRWIZ_BOARDTCLCOMMANDSREGISTER_H

#include <tcl.h>

#include "LyrWiz_WizUtils.h"
#include "MbdExport.h"

class LYRWIZ_MBD_EXPORT LyrWiz_BoardTclCommandsRegister : public LyrWiz_TclCommandsRegister {
 public:
  LyrWiz_BoardTclCommandsRegister() = default;
  LyrWiz_BoardTclCommandsRegister(const LyrWiz_BoardTclCommandsRegister&) = default;
  LyrWiz_BoardTclCommandsRegister& operator=(const LyrWiz_BoardTclCommandsRegister&) = default;

  // The procedure of "qget_qbd_handle": from a handle to the handles of related nodes.
  static int LyrBoardGetHandle(ClientData clientData, Tcl_Interp* interp, int objc,
                               Tcl_Obj* const objv[]);
  // The procedure of "qget_qbd_value": a node's value, name or kind.
  static int LyrBoardGetValue(ClientData clientData, Tcl_Interp* interp, int objc,
                              Tcl_Obj* const objv[]);
  // The procedure of "qget_qbd_rule": the board's rules asked of a handle or a net.
  static int LyrBoardGetRule(ClientData clientData, Tcl_Interp* interp, int objc,
                             Tcl_Obj* const objv[]);
  // The "block" form of "qget_qbd_handle": blocks of one BLOCKTYPE, by name or all.
  static int LyrTclBoardGetBlockHandle(ClientData clientData, Tcl_Interp* interp, int objc,
                                       Tcl_Obj* const objv[]);

 protected:
  // Registers the three commands; false only for a null interpreter.
  bool addCommands(Tcl_Interp* interp) override;
  // Sources the two scripts ($MYQUORIN first, file by file, else $QUORIN_VLK); false for a
  // null interpreter or when a script failed (the second is then not tried).
  bool sourceTclFiles(Tcl_Interp* interp) override;
};

#endif  // LYRWIZ_BOARDTCLCOMMANDSREGISTER_H
