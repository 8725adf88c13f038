// The command that lets board scripts ask the board's rules instead of restating them:
// qget_qbd_rule RULE ARG..., answered by MbdRules over handles of the same table as the other
// board commands.
#ifndef MBD_BOARDRULECOMMAND_H
#define MBD_BOARDRULECOMMAND_H

#include <tcl.h>

namespace mbd_detail {

// qget_qbd_rule fpga_blocks B | is_fpga K | has_iotype K TYPE | has_role P ROLE | location P |
// net_key NET. Errors set errorCode {QBD CODE} as the other board commands do.
int BoardRule(ClientData clientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);

// The name under which every scripting class and the package register BoardRule.
constexpr char kRuleCommand[] = "qget_qbd_rule";

}  // namespace mbd_detail

#endif  // MBD_BOARDRULECOMMAND_H
