// qget_qbd_rule: each answer is one MbdRules function applied to a decoded handle.
#include "BoardRuleCommand.h"

#include <vector>

#include "BoardCommands.h"
#include "LyrBaseTcl.h"
#include "LyrBoard.h"
#include "MbdRules.h"

namespace mbd_detail {
namespace {

using LyrBase::BaseTclIf;
using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

constexpr char kUnknownRule[] =
    "unknown rule specified. valid rules are fpga_blocks, is_fpga, has_iotype, has_role, "
    "location and net_key\n";

int Fail(Tcl_Interp* interp, const char* message, const char* code) {
  Tcl_SetObjResult(interp, Tcl_NewStringObj(message, -1));
  Tcl_SetErrorCode(interp, "QBD", code, static_cast<const char*>(nullptr));
  return TCL_ERROR;
}

int Succeed(Tcl_Interp* interp, Tcl_Obj* result) {
  Tcl_SetObjResult(interp, result);
  return TCL_OK;
}

Tcl_Obj* Text(const StringBase& text) {
  return Tcl_NewStringObj(text.c_str(), static_cast<int>(text.GetLength()));
}

// The node a handle names, as Node; null when the handle is null or names another kind.
template <class Node>
Node* Decode(Tcl_Interp* interp, Tcl_Obj* word, bool* isNull) {
  LyrBase::BaseNode* node = BaseTclIf::GetPtrFromTclObj(interp, word);
  *isNull = node == nullptr;
  return LyrBase::NodeCast<Node>(node);
}

// Decodes objv[2] as Node and runs answer on it, or fails with the usual handle errors.
template <class Node, class Answer>
int WithNode(Tcl_Interp* interp, Tcl_Obj* const objv[], Answer answer) {
  bool isNull = false;
  Node* node = Decode<Node>(interp, objv[2], &isNull);
  if (isNull) return Fail(interp, kNullHandle, "NULL_HANDLE");
  if (!node) return Fail(interp, kInvalidHandle, "INVALID_HANDLE");
  return Succeed(interp, answer(*node));
}

// The board's FPGA blocks in board order; the empty string when there are none.
Tcl_Obj* FpgaBlocks(const Qbd& board) {
  Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
  for (const PsfComp* entry : board.GetPsfCompSeqRef(Qbd::BLOCK)) {
    const auto* block = LyrBase::NodeCast<QbdBlock>(entry);
    if (MbdRules::IsFpgaBlock(block))
      Tcl_ListObjAppendElement(nullptr, list, BaseTclIf::CreateTclObjFromPtr(block));
  }
  return list;
}

// A list of no location (the pin has none) or of one (which may be the empty string).
Tcl_Obj* Location(const Property& pin) {
  Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
  StringBase location;
  if (MbdRules::PinLocation(pin, location)) Tcl_ListObjAppendElement(nullptr, list, Text(location));
  return list;
}

struct Rule {
  const char* name;
  int words;  // the words of the call, the command's name included
  int (*run)(Tcl_Interp* interp, Tcl_Obj* const objv[]);
};

const Rule kRules[] = {
    {"fpga_blocks", 3,
     [](Tcl_Interp* interp, Tcl_Obj* const objv[]) {
       return WithNode<Qbd>(interp, objv, [](const Qbd& board) { return FpgaBlocks(board); });
     }},
    {"is_fpga", 3,
     [](Tcl_Interp* interp, Tcl_Obj* const objv[]) {
       return WithNode<QbdBlock>(interp, objv, [](const QbdBlock& block) {
         return Tcl_NewBooleanObj(MbdRules::IsFpgaBlock(&block));
       });
     }},
    {"has_iotype", 4,
     [](Tcl_Interp* interp, Tcl_Obj* const objv[]) {
       const StringBase type(Tcl_GetString(objv[3]));
       return WithNode<QbdBlock>(interp, objv, [&type](const QbdBlock& block) {
         return Tcl_NewBooleanObj(MbdRules::HasIoType(block, type));
       });
     }},
    {"has_role", 4,
     [](Tcl_Interp* interp, Tcl_Obj* const objv[]) {
       const StringBase role(Tcl_GetString(objv[3]));
       return WithNode<Property>(interp, objv, [&role](const Property& prop) {
         return Tcl_NewBooleanObj(MbdRules::HasRole(prop, role));
       });
     }},
    {"location", 3,
     [](Tcl_Interp* interp, Tcl_Obj* const objv[]) {
       return WithNode<Property>(interp, objv, [](const Property& pin) { return Location(pin); });
     }},
    {"net_key", 3,
     [](Tcl_Interp* interp, Tcl_Obj* const objv[]) {
       return Succeed(interp, Text(MbdRules::NetKey(StringBase(Tcl_GetString(objv[2])))));
     }},
};

}  // namespace

int BoardRule(ClientData /*clientData*/, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  if (objc < 2) return Fail(interp, kWrongCount, "ARGS");
  const StringBase word(Tcl_GetString(objv[1]));
  for (const Rule& rule : kRules) {
    if (!EqualsIgnoringCase(word, StringBase(rule.name))) continue;
    if (objc != rule.words) return Fail(interp, kWrongCount, "ARGS");
    return rule.run(interp, objv);
  }
  return Fail(interp, kUnknownRule, "UNKNOWN_RULE");
}

}  // namespace mbd_detail
