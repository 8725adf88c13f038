// Helpers shared by the C++ Tcl tests: a bare interpreter, script trees on disk, a board read
// from inline text, and a capture of the error messages the message manager sends.
#ifndef QBD_TESTS_TCL_TCLTESTSUPPORT_H
#define QBD_TESTS_TCL_TCLTESTSUPPORT_H

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LyrBaseTcl.h"
#include "LyrBoard.h"

namespace tcltest_support {

// Tcl's memory and encodings are set up once, before any test makes a Tcl object, and the
// stub-built handle library is bound to this process's Tcl, as a program that makes its own
// interpreters does before it calls the handle codec.
inline bool PrepareTcl() {
  Tcl_FindExecutable(nullptr);
  Tcl_Interp* first = Tcl_CreateInterp();
  const bool bound = LyrBase::BaseTclIf::InitStubs(first);
  Tcl_DeleteInterp(first);
  return bound;
}
inline const bool kTclReady = PrepareTcl();

// The handle word that names `node` in scripts.
inline std::string HandleWord(const LyrBase::BaseNode* node) {
  Tcl_Obj* obj = LyrBase::BaseTclIf::CreateTclObjFromPtr(node);
  Tcl_IncrRefCount(obj);
  std::string word = Tcl_GetString(obj);
  Tcl_DecrRefCount(obj);
  return word;
}

// A bare interpreter (no Tcl_Init), deleted at the end of the scope.
struct Interp {
  Interp() {
    Tcl_FindExecutable(nullptr);
    interp = Tcl_CreateInterp();
  }
  ~Interp() { Tcl_DeleteInterp(interp); }
  Interp(const Interp&) = delete;
  Interp& operator=(const Interp&) = delete;
  // Evaluates `script`; the code, and the result in `result` when given.
  int Eval(const std::string& script, std::string* result = nullptr) const {
    const int code = Tcl_EvalEx(interp, script.c_str(), -1, TCL_EVAL_GLOBAL);
    if (result) *result = Tcl_GetStringResult(interp);
    return code;
  }
  std::string Var(const char* name) const {
    const char* value = Tcl_GetVar(interp, name, TCL_GLOBAL_ONLY);
    return value ? value : "<unset>";
  }
  bool HasCommand(const char* name) const {
    Tcl_CmdInfo info;
    return Tcl_GetCommandInfo(interp, name, &info) != 0;
  }
  Tcl_Interp* interp;
};

// A directory below the system's temporary directory holding script files; removed at the end
// of the scope. `files` maps paths relative to the tree to their contents.
class Tree {
 public:
  Tree(const std::string& name, const std::map<std::string, std::string>& files)
      : root_(std::filesystem::temp_directory_path() /
              ("qbd-tcl-" + name + "-" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    for (const auto& [path, text] : files) {
      const auto full = root_ / path;
      std::filesystem::create_directories(full.parent_path());
      std::ofstream(full) << text;
    }
  }
  ~Tree() { std::filesystem::remove_all(root_); }
  Tree(const Tree&) = delete;
  Tree& operator=(const Tree&) = delete;
  std::string Path() const { return root_.string(); }

 private:
  std::filesystem::path root_;
};

constexpr char kFirstScript[] = "data/datastructure/qbd_database_access.tcl";
constexpr char kSecondScript[] = "data/datastructure/qorlib_qbd.tcl";

// Sets or (for null) unsets an environment variable for the scope, restoring it afterwards.
class EnvVar {
 public:
  EnvVar(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    hadOld_ = old != nullptr;
    if (old) old_ = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~EnvVar() {
    if (hadOld_) {
      setenv(name_.c_str(), old_.c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }
  EnvVar(const EnvVar&) = delete;
  EnvVar& operator=(const EnvVar&) = delete;

 private:
  std::string name_, old_;
  bool hadOld_ = false;
};


// A board read from inline text; a text that does not read fails the calling test.
inline std::unique_ptr<LyrBoard::Qbd> Board(const char* text) {
  auto board = std::make_unique<LyrBoard::Qbd>();
  EXPECT_EQ(board->ReadString(text), 0) << board->GetErrorText().c_str();
  return board;
}

}  // namespace tcltest_support

#endif  // QBD_TESTS_TCL_TCLTESTSUPPORT_H
