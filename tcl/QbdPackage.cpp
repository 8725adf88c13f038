// The package init and the commands that open and close boards.
#include "QbdPackage.h"

#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "LyrBaseTcl.h"
#include "LyrBaseTcl/CommandGuard.h"
#include "LyrBaseTcl/TclStubs.h"
#include "LyrWiz_BoardTclCommandsRegister.h"
#include "MBD.h"
#include "MbdRules.h"
#include "QbdExport.h"

#ifndef QBD_PACKAGE_VERSION
#error "QBD_PACKAGE_VERSION must be defined by the build"
#endif

namespace {

constexpr char kAssocKey[] = "qbd::boards";

// A board read by qbd::open and the model built over it; the model borrows the tree, so it is
// released first.
struct OpenBoard {
  std::unique_ptr<LyrBoard::Qbd> qbd;
  std::unique_ptr<MBD> model;
  std::string path;  // as qbd::open was given it, for the exports' messages and headers
  ~OpenBoard() { model.reset(); }
};

// The boards an interpreter opened, by board node.
using OpenBoards = std::unordered_map<const LyrBase::BaseNode*, std::unique_ptr<OpenBoard>>;

void DeleteOpenBoards(ClientData data, Tcl_Interp* /*interp*/) {
  delete static_cast<OpenBoards*>(data);
}

OpenBoards& BoardsOf(Tcl_Interp* interp) {
  auto* boards = static_cast<OpenBoards*>(Tcl_GetAssocData(interp, kAssocKey, nullptr));
  if (!boards) {
    boards = new OpenBoards;
    Tcl_SetAssocData(interp, kAssocKey, DeleteOpenBoards, boards);
  }
  return *boards;
}

int Error(Tcl_Interp* interp, const std::string& message) {
  Tcl_SetObjResult(interp, Tcl_NewStringObj(message.c_str(), static_cast<int>(message.size())));
  return TCL_ERROR;
}

std::string WithoutTrailingNewlines(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// Reads the board file, or for "-" the whole of the interpreter's standard input (as bytes,
// named "<stdin>" in messages); nonzero when it does not read.
int ReadBoard(LyrBoard::Qbd& qbd, const char* path) {
  if (std::strcmp(path, "-") != 0) return qbd.ReadFile(path);
  Tcl_Channel in = Tcl_GetStdChannel(TCL_STDIN);
  Tcl_Obj* data = Tcl_NewObj();
  Tcl_IncrRefCount(data);
  if (in) {
    Tcl_SetChannelOption(nullptr, in, "-translation", "binary");
    Tcl_ReadChars(in, data, -1, 0);
  }
  int size = 0;
  const unsigned char* bytes = Tcl_GetByteArrayFromObj(data, &size);
  const int status =
      qbd.ReadBuffer(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size), "<stdin>");
  Tcl_DecrRefCount(data);
  return status;
}

// qbd::open of objv[1]: the board's handle as result, or a read or expansion error.
int Open(Tcl_Interp* interp, Tcl_Obj* const objv[]) {
  auto board = std::make_unique<OpenBoard>();
  board->qbd = std::make_unique<LyrBoard::Qbd>();
  if (ReadBoard(*board->qbd, Tcl_GetString(objv[1])) != 0) {
    const std::string text = WithoutTrailingNewlines(board->qbd->GetErrorText().str());
    Tcl_SetErrorCode(interp, "QBD", "READ", static_cast<const char*>(nullptr));
    return Error(interp, text.empty() ? "cannot read board file" : text);
  }
  // A template past the expansion's node limit would be opened half expanded; refuse it,
  // located at the block's count.
  const std::string overLimit =
      MbdRules::OverLimitErrors(MbdRules::PlanExpansion(board->qbd.get()), Tcl_GetString(objv[1]));
  if (!overLimit.empty()) {
    Tcl_SetErrorCode(interp, "QBD", "EXPAND", "LIMIT", static_cast<const char*>(nullptr));
    return Error(interp, overLimit);
  }
  // Expansion of a template that copies ports but has no FPGA block throws; the script gets
  // an error instead of a dead process.
  try {
    board->model = std::make_unique<MBD>(board->qbd.get());
  } catch (const std::out_of_range&) {
    Tcl_SetErrorCode(interp, "QBD", "EXPAND", static_cast<const char*>(nullptr));
    return Error(interp, std::string(Tcl_GetString(objv[1])) +
                             ": cannot expand the generic template: it copies ports but has "
                             "no FPGA block");
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    Tcl_SetErrorCode(interp, "QBD", "EXPAND", static_cast<const char*>(nullptr));
    return Error(interp, std::string(Tcl_GetString(objv[1])) +
                             ": cannot expand the generic template: " + e.what());
  }
  board->path = Tcl_GetString(objv[1]);
  const LyrBase::BaseNode* node = board->qbd.get();
  BoardsOf(interp).emplace(node, std::move(board));
  Tcl_SetObjResult(interp, LyrBase::BaseTclIf::CreateTclObjFromPtr(node));
  return TCL_OK;
}

// Running out of memory anywhere in reading or expanding is the command guard's {QBD NOMEM},
// located at the file.
int OpenCmd(ClientData /*clientData*/, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  if (objc != 2) {
    Tcl_WrongNumArgs(interp, 1, objv, "file");
    return TCL_ERROR;
  }
  return Open(interp, objv);
}

int CloseCmd(ClientData /*clientData*/, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  if (objc != 2) {
    Tcl_WrongNumArgs(interp, 1, objv, "handle");
    return TCL_ERROR;
  }
  OpenBoards& boards = BoardsOf(interp);
  const auto found = boards.find(LyrBase::BaseTclIf::GetPtrFromTclObj(interp, objv[1]));
  if (found == boards.end()) {
    Tcl_SetErrorCode(interp, "QBD", "NOT_OPEN", static_cast<const char*>(nullptr));
    return Error(interp, std::string("\"") + Tcl_GetString(objv[1]) +
                             "\" is not a board opened by qbd::open in this interpreter");
  }
  boards.erase(found);
  Tcl_ResetResult(interp);
  return TCL_OK;
}

// The board opened by qbd::open that objv[1] names; null (and the error set) when none.
OpenBoard* OpenBoardOf(Tcl_Interp* interp, Tcl_Obj* const objv[]) {
  OpenBoards& boards = BoardsOf(interp);
  const auto found = boards.find(LyrBase::BaseTclIf::GetPtrFromTclObj(interp, objv[1]));
  if (found != boards.end()) return found->second.get();
  Tcl_SetErrorCode(interp, "QBD", "NOT_OPEN", static_cast<const char*>(nullptr));
  Error(interp, std::string("\"") + Tcl_GetString(objv[1]) +
                    "\" is not a board opened by qbd::open in this interpreter");
  return nullptr;
}

// qbd::constraints and qbd::top: BOARD then options.
template <int (*Export)(Tcl_Interp*, MBD&, const std::string&, int, Tcl_Obj* const[])>
int ExportCmd(ClientData /*clientData*/, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  if (objc < 2) {
    Tcl_WrongNumArgs(interp, 1, objv, "board ?option value ...?");
    return TCL_ERROR;
  }
  OpenBoard* board = OpenBoardOf(interp, objv);
  return board ? Export(interp, *board->model, board->path, objc, objv) : TCL_ERROR;
}

}  // namespace

extern "C" int Qbd_Init(Tcl_Interp* interp) {
  // Tcl_InitStubs, once per process, for this object and for the handle library it calls; the
  // board commands bind their library when first called.
  if (!LyrBase::BindTclStubs(interp) || !LyrBase::BaseTclIf::InitStubs(interp)) return TCL_ERROR;
  // The C++ runtime and the board libraries came with this package, so their per-thread data
  // is made on first use in the thread; first used when memory has run out (the throw of an
  // allocation failure after reading a huge file), it cannot be made and the process aborts.
  // One throw now makes it while memory is at hand.
  try {
    throw std::bad_alloc();
  } catch (const std::bad_alloc&) {
  }
  Tcl_CreateObjCommand(interp, "qget_qbd_handle",
                       LyrWiz_BoardTclCommandsRegister::LyrBoardGetHandle, nullptr, nullptr);
  Tcl_CreateObjCommand(interp, "qget_qbd_value",
                       LyrWiz_BoardTclCommandsRegister::LyrBoardGetValue, nullptr, nullptr);
  Tcl_CreateObjCommand(interp, "qget_qbd_rule",
                       LyrWiz_BoardTclCommandsRegister::LyrBoardGetRule, nullptr, nullptr);
  Tcl_CreateObjCommand(interp, "qbd::open", LyrBase::GuardedCommand<OpenCmd>, nullptr, nullptr);
  Tcl_CreateObjCommand(interp, "qbd::close", LyrBase::GuardedCommand<CloseCmd>, nullptr,
                       nullptr);
  Tcl_CreateObjCommand(interp, "qbd::constraints",
                       LyrBase::GuardedCommand<ExportCmd<qbdtcl::Constraints>>, nullptr, nullptr);
  Tcl_CreateObjCommand(interp, "qbd::top", LyrBase::GuardedCommand<ExportCmd<qbdtcl::Top>>,
                       nullptr, nullptr);
  return Tcl_PkgProvide(interp, "qbd", QBD_PACKAGE_VERSION);
}
