// The base library's own commands: from a property node to its holder and its sub-properties,
// and the value and name of a node.
#include "BaseTclIf.h"
#include "CommandGuard.h"

namespace LyrBase {
namespace {

constexpr char kWrongCount[] = "invalid number of parameters specified\n";
constexpr char kNullHandle[] = "a null handle was provided\n";
constexpr char kUnknownKind[] =
    "unknown property type specified with Property handle. valid values are parent and "
    "subproperty\n";
constexpr char kUnknownValueWord[] = "valid value types are : name and value\n";

bool Is(const char* word, const char* keyword) {
  return StringBase(word).Compare(keyword, StringBase::IGNORE_CASE) == 0;
}

NameValue* Decode(Tcl_Interp* interp, Tcl_Obj* word) {
  return LyrBase::NodeCast<NameValue>(BaseTclIf::GetPtrFromTclObj(interp, word));
}

// The handles of `property`'s sub-properties named `name` ("*" for all); the empty string when
// there is none or the node has no sub-properties.
Tcl_Obj* SubProperties(const NameValue* node, const char* name) {
  const auto* property = LyrBase::NodeCast<Property>(node);
  if (!property) return Tcl_NewStringObj("", 0);
  if (StringBase(name) != StringBase("*"))
    return BaseTclIf::CreateTclObjFromPtr(property->GetPsfCompByName(name));
  const std::vector<PsfComp*>& subs = property->GetPsfCompSeqRef();
  if (subs.empty()) return Tcl_NewStringObj("", 0);
  Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
  for (const PsfComp* sub : subs)
    Tcl_ListObjAppendElement(nullptr, list, BaseTclIf::CreateTclObjFromPtr(sub));
  return list;
}

int GetHandle(ClientData /*clientData*/, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  if (objc < 3 || objc > 4) return BaseTclIf::LyrTclError(objc, objv, interp, 0, kWrongCount);
  const NameValue* node = Decode(interp, objv[1]);
  if (!node) return BaseTclIf::LyrTclError(objc, objv, interp, 0, kNullHandle);
  const char* keyword = Tcl_GetString(objv[2]);
  Tcl_Obj* result = nullptr;
  if (Is(keyword, "PARENT")) {
    if (objc != 3) return BaseTclIf::LyrTclError(objc, objv, interp, 0, kWrongCount);
    result = BaseTclIf::CreateTclObjFromPtr(node->GetOwner());
  } else if (Is(keyword, "SUBPROPERTY")) {
    if (objc != 4) return BaseTclIf::LyrTclError(objc, objv, interp, 0, kWrongCount);
    result = SubProperties(node, Tcl_GetString(objv[3]));
  } else {
    return BaseTclIf::LyrTclError(objc, objv, interp, 0, kUnknownKind);
  }
  Tcl_SetObjResult(interp, result);
  return TCL_OK;
}

int GetValue(ClientData /*clientData*/, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  if (objc < 2 || objc > 3) return BaseTclIf::LyrTclError(objc, objv, interp, 0, kWrongCount);
  bool wantName = false;
  if (objc == 3) {
    const char* what = Tcl_GetString(objv[2]);
    if (!Is(what, "value") && !Is(what, "name"))
      return BaseTclIf::LyrTclError(objc, objv, interp, 0, kUnknownValueWord);
    wantName = Is(what, "name");
  }
  const NameValue* node = Decode(interp, objv[1]);
  if (!node) return BaseTclIf::LyrTclError(objc, objv, interp, 0, kNullHandle);
  const StringBase text = wantName ? node->GetName() : node->GetValueStr();
  Tcl_SetObjResult(interp, Tcl_NewStringObj(text.c_str(), static_cast<int>(text.GetLength())));
  return TCL_OK;
}

}  // namespace

int BaseTclIf::LyrBaseGetHandle(ClientData clientData, Tcl_Interp* interp, int objc,
                                Tcl_Obj* const objv[]) {
  return GuardedCommand<GetHandle>(clientData, interp, objc, objv);
}

int BaseTclIf::LyrBaseGetValue(ClientData clientData, Tcl_Interp* interp, int objc,
                               Tcl_Obj* const objv[]) {
  return GuardedCommand<GetValue>(clientData, interp, objc, objv);
}

}  // namespace LyrBase
