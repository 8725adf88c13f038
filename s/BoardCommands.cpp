// The board query commands: walking from a handle to related nodes, and reading a node.
#include "BoardCommands.h"

#include <cstring>
#include <vector>

#include "LyrBaseTcl.h"
#include "LyrBoard.h"
#include "ValueWords.h"

namespace mbd_detail {
namespace {

using LyrBase::BaseTclIf;
using LyrBase::PsfComp;
using LyrBase::RANGE6;
using LyrBase::RANGE7;
using LyrBase::RANGE9;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;

constexpr char kNullBoard[] = "A null QBD handle was provided\n";
constexpr char kWrongBlockUsage[] =
    "Wrong usage:qget_qbd_blocktype_handle $pQbdHandle 'block' $type $name";
constexpr char kWrongKindCount[] = "an invalid number of parameters were provided\n";
constexpr char kUnknownBoardKind[] =
    "unknown property type specified with Mhs handle. valid values are parameter, port, "
    "bus_interface, option, or ipinst\n";
constexpr char kUnknownBlockKind[] =
    "unknown property type specified with Core Instance handle. valid values are parameter, "
    "port, bus_interface, option, and io_interface\n";
constexpr char kUnknownValueWord[] = "valid value types are : name, value and handleType\n";
constexpr char kBoardHasNoValue[] =
    "the given handle is of type QBD. It does not have a value associated\n";

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Equal ignoring letter case, as StringBase::Compare with IGNORE_CASE. Every call tests
// several keywords, so the words are compared in place rather than copied into strings.
bool Is(const char* word, const char* keyword) {
  // Scripts mostly write a keyword as it is spelt here: one library compare answers those.
  if (std::strcmp(word, keyword) == 0) return true;
  for (; *word != '\0' && *keyword != '\0'; ++word, ++keyword)
    if (LowerAscii(*word) != LowerAscii(*keyword)) return false;
  return *word == *keyword;
}

// True when the characters that `range` selects in `typeName` are exactly `prefix`, as
// StringBase::Compare(range, prefix, EXACT) tests them, reading the type name in place.
bool HasPrefix(const char* typeName, const Port_Range& range, const char* prefix) {
  const std::size_t length = range.last - range.first + 1;
  return std::strlen(typeName) > range.last && std::strlen(prefix) == length &&
         std::strncmp(typeName + range.first, prefix, length) == 0;
}

// True when the node belongs to one of the libraries whose handles the commands accept.
bool HasAcceptedFamily(const char* typeName) {
  return HasPrefix(typeName, RANGE7, "LyrBas_") || HasPrefix(typeName, RANGE9, "LyrBoard_") ||
         HasPrefix(typeName, RANGE6, "LyrBd_");
}

// The second word of the error code that a script can switch on, for every error text the
// board commands and the base commands they hand over to can give.
struct ErrorKind {
  const char* message;
  const char* code;
};
constexpr ErrorKind kErrorKinds[] = {
    {kWrongCount, "ARGS"},
    {kWrongKindCount, "ARGS"},
    {kWrongBlockUsage, "USAGE"},
    {kNullHandle, "NULL_HANDLE"},
    {kNullBoard, "NULL_HANDLE"},
    {kInvalidHandle, "INVALID_HANDLE"},
    {kUnknownBoardKind, "UNKNOWN_KIND"},
    {kUnknownBlockKind, "UNKNOWN_KIND"},
    {"unknown property type specified with Property handle. valid values are parent and "
     "subproperty\n",
     "UNKNOWN_KIND"},
    {kUnknownValueWord, "UNKNOWN_VALUE_TYPE"},
    {kBoardHasNoValue, "NO_VALUE"},
};

// Sets errorCode to {QBD CODE} for a failed command whose result is one of the known texts,
// leaving the result as it is.
int Classify(Tcl_Interp* interp, int code) {
  if (code != TCL_ERROR) return code;
  const char* message = Tcl_GetStringResult(interp);
  for (const ErrorKind& kind : kErrorKinds) {
    if (std::strcmp(message, kind.message) == 0) {
      Tcl_SetErrorCode(interp, "QBD", kind.code, static_cast<const char*>(nullptr));
      break;
    }
  }
  return code;
}

int Fail(int objc, Tcl_Obj* const objv[], Tcl_Interp* interp, const char* message) {
  return Classify(interp, BaseTclIf::LyrTclError(objc, objv, interp, 0, message));
}

int Succeed(Tcl_Interp* interp, Tcl_Obj* result) {
  Tcl_SetObjResult(interp, result);
  return TCL_OK;
}

template <class Node>
Node* Decode(Tcl_Interp* interp, Tcl_Obj* word) {
  return LyrBase::NodeCast<Node>(BaseTclIf::GetPtrFromTclObj(interp, word));
}

Tcl_Obj* Empty() { return Tcl_NewStringObj("", 0); }

// The handles of `nodes` as a new list, in order; the empty string (never an empty list) when
// there are none.
template <class Node>
Tcl_Obj* HandleList(const std::vector<Node*>& nodes) {
  if (nodes.empty()) return Empty();
  Tcl_Obj* list = Tcl_NewListObj(0, nullptr);
  for (const Node* node : nodes)
    Tcl_ListObjAppendElement(nullptr, list, BaseTclIf::CreateTclObjFromPtr(node));
  return list;
}

// "*" selects every node of the list; another name the first that the lookup finds.
template <class Node, class Lookup>
Tcl_Obj* Select(const std::vector<Node*>& nodes, const char* name, Lookup lookup) {
  if (std::strcmp(name, "*") == 0) return HandleList(nodes);
  return BaseTclIf::CreateTclObjFromPtr(lookup(name));
}

int BoardKind(const Qbd& board, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  const char* keyword = Tcl_GetString(objv[2]);
  const char* name = objc == 4 ? Tcl_GetString(objv[3]) : "";
  if (Is(keyword, "PARENT")) {
    if (objc != 3) return Fail(objc, objv, interp, kWrongKindCount);
    return Succeed(interp, Empty());
  }
  if (!Is(keyword, "ATTRIBUTE")) return Fail(objc, objv, interp, kUnknownBoardKind);
  return Succeed(interp, Select(board.GetPsfCompSeqRef(Qbd::ATTRIBUTE), name,
                                [&board](const char* n) {
                                  return board.GetPsfCompByName(Qbd::ATTRIBUTE, n);
                                }));
}

// The property list a block keyword names; false for any other word. The keyword's first
// letter picks the one keyword it can be, so a call compares one word, not three.
bool BlockListKind(const char* keyword, QbdBlock::NodeType* kind) {
  switch (LowerAscii(keyword[0])) {
    case 'a':
      *kind = QbdBlock::ATTRIBUTE;
      return Is(keyword, "ATTRIBUTE");
    case 'p':
      *kind = LowerAscii(keyword[1]) == 'o' ? QbdBlock::PORT : QbdBlock::PARAMETER;
      return Is(keyword, *kind == QbdBlock::PORT ? "PORT" : "PARAMETER");
    default:
      return false;
  }
}

int BlockKind(const QbdBlock& block, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  if (objc == 5) return Fail(objc, objv, interp, kWrongKindCount);
  const char* keyword = Tcl_GetString(objv[2]);
  if (Is(keyword, "PARENT"))
    return Succeed(interp, BaseTclIf::CreateTclObjFromPtr(block.GetOwner()));
  QbdBlock::NodeType kind;
  if (!BlockListKind(keyword, &kind)) return Fail(objc, objv, interp, kUnknownBlockKind);
  const char* name = objc == 4 ? Tcl_GetString(objv[3]) : "";
  return Succeed(interp, Select(block.GetPropSeqRef(kind), name, [&block, kind](const char* n) {
                   return block.GetPropertyByName(kind, n);
                 }));
}

// The text "handleType" reports: the kind of node, empty for other nodes.
const char* KindWord(const LyrBase::NameValue& node) {
  if (LyrBase::NodeCast<Qbd>(&node)) return "QBD";
  if (LyrBase::NodeCast<QbdBlock>(&node)) return "BLOCK";
  if (LyrBase::NodeCast<LyrBoard::BdPin>(&node)) return "PORT";
  if (LyrBase::NodeCast<LyrBoard::BdParam>(&node)) return "PARAMETER";
  return "";
}

enum class ValueWord { kValue, kName, kHandleType };

// The value of `node` as a result word of `interp`; a single string is read in place.
Tcl_Obj* ValueResult(Tcl_Interp* interp, const LyrBase::NameValue& node) {
  if (const auto* single = LyrBase::NodeCast<LyrBase::StrVal>(node.GetLyrValuePtr())) {
    const StringBase& text = single->GetValue();
    return mbd_detail::ResultWord(interp, &node, text.c_str(), text.GetLength());
  }
  const StringBase text = node.GetValueStr();
  return mbd_detail::ResultWord(interp, &node, text.c_str(), text.GetLength());
}

}  // namespace

int BoardGetHandle(ClientData clientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  if (objc < 3 || objc > 5) return Fail(objc, objv, interp, kWrongCount);
  PsfComp* node = Decode<PsfComp>(interp, objv[1]);
  if (Is(Tcl_GetString(objv[2]), "block"))
    return BoardGetBlockHandle(clientData, interp, objc, objv);
  if (!node) return Fail(objc, objv, interp, kNullHandle);
  const char* typeName = node->GetBaseNode();
  if (HasPrefix(typeName, RANGE7, "LyrBas_"))
    return Classify(interp, BaseTclIf::LyrBaseGetHandle(clientData, interp, objc, objv));
  if (!HasPrefix(typeName, RANGE9, "LyrBoard_") && !HasPrefix(typeName, RANGE6, "LyrBd_"))
    return Fail(objc, objv, interp, kInvalidHandle);
  // Blocks first: scripts walk from blocks far more often than from the board.
  if (const auto* block = LyrBase::NodeCast<QbdBlock>(node))
    return BlockKind(*block, interp, objc, objv);
  if (const auto* board = LyrBase::NodeCast<Qbd>(node))
    return BoardKind(*board, interp, objc, objv);
  if (LyrBase::NodeCast<LyrBase::Property>(node))
    return Classify(interp, BaseTclIf::LyrBaseGetHandle(clientData, interp, objc, objv));
  // A node of the board library that is none of the above has nothing to walk to.
  return Fail(objc, objv, interp, kInvalidHandle);
}

int BoardGetBlockHandle(ClientData /*clientData*/, Tcl_Interp* interp, int objc,
                        Tcl_Obj* const objv[]) {
  if (objc != 5) return Fail(objc, objv, interp, kWrongCount);
  PsfComp* node = Decode<PsfComp>(interp, objv[1]);
  const char* keyword = Tcl_GetString(objv[2]);
  const StringBase type(Tcl_GetString(objv[3]));
  const char* name = Tcl_GetString(objv[4]);
  if (!node) return Fail(objc, objv, interp, kNullBoard);
  if (!Is(keyword, "block")) return Fail(objc, objv, interp, kWrongBlockUsage);
  // Only a board has a block list; any other node is refused rather than misread.
  const auto* board = LyrBase::NodeCast<Qbd>(node);
  if (!board) return Fail(objc, objv, interp, kInvalidHandle);
  const bool all = std::strcmp(name, "*") == 0;
  std::vector<const QbdBlock*> collected;
  const QbdBlock* found = nullptr;
  for (const PsfComp* entry : board->GetPsfCompSeqRef(Qbd::BLOCK)) {
    const auto* block = LyrBase::NodeCast<QbdBlock>(entry);
    if (!block) continue;
    if (block->GetPropertyValueStr(QbdBlock::ATTRIBUTE, "BLOCKTYPE")
            .Compare(type, StringBase::IGNORE_CASE) != 0)
      continue;
    if (all) {
      collected.push_back(block);
    } else if (block->GetName().Compare(name, StringBase::IGNORE_CASE) == 0) {
      found = block;
      break;
    }
  }
  if (!collected.empty()) return Succeed(interp, HandleList(collected));
  return Succeed(interp, BaseTclIf::CreateTclObjFromPtr(found));
}

int BoardGetValue(ClientData clientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  if (objc < 2 || objc > 5) {
    Port_MsgManData::debugStub("num args in Tcl command: %d\n", objc);
    return Classify(interp, BaseTclIf::LyrBaseGetValue(clientData, interp, objc, objv));
  }
  ValueWord what = ValueWord::kValue;
  const LyrBase::NameValue* node = nullptr;
  if (objc == 4) {
    // The call scripts make most, one named property of a block, is answered without passing
    // its handle through the interpreter's result; the answer is the one the handle command
    // would lead to.
    QbdBlock::NodeType kind;
    const char* name = Tcl_GetString(objv[3]);
    const auto* block = Decode<QbdBlock>(interp, objv[1]);
    if (block && BlockListKind(Tcl_GetString(objv[2]), &kind) && std::strcmp(name, "*") != 0) {
      const LyrBase::Property* prop = block->GetPropertyByName(kind, name);
      if (!prop) return Succeed(interp, Empty());
      return Succeed(interp, ValueResult(interp, *prop));
    }
    const int code = BoardGetHandle(clientData, interp, objc, objv);
    if (code != TCL_OK) return code;
    node = Decode<LyrBase::NameValue>(interp, Tcl_GetObjResult(interp));
    // A lookup that found nothing is an answer, not an error.
    if (!node) return Succeed(interp, Empty());
  } else {
    if (objc == 3) {
      const char* word = Tcl_GetString(objv[2]);
      if (Is(word, "value")) {
        what = ValueWord::kValue;
      } else if (Is(word, "name")) {
        what = ValueWord::kName;
      } else if (Is(word, "handleType")) {
        what = ValueWord::kHandleType;
      } else {
        return Fail(objc, objv, interp, kUnknownValueWord);
      }
    }
    node = Decode<LyrBase::NameValue>(interp, objv[1]);
    if (!node) return Fail(objc, objv, interp, kNullHandle);
  }
  if (!HasAcceptedFamily(node->GetBaseNode()))
    return Fail(objc, objv, interp, kInvalidHandle);
  if (what == ValueWord::kValue && LyrBase::NodeCast<Qbd>(node))
    return Fail(objc, objv, interp, kBoardHasNoValue);
  if (what == ValueWord::kValue) return Succeed(interp, ValueResult(interp, *node));
  StringBase text;
  switch (what) {
    case ValueWord::kValue: break;
    case ValueWord::kName: text = node->GetName(); break;
    case ValueWord::kHandleType: text = KindWord(*node); break;
  }
  return Succeed(interp, Tcl_NewStringObj(text.c_str(), static_cast<int>(text.GetLength())));
}

}  // namespace mbd_detail
