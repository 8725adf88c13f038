// The safe interpreter the Tcl-syntax constraint formats are evaluated in. It runs only pure
// commands (set, foreach, if, expr, list, string, dict, proc, ...) and the recording commands
// a format adds; any other command, exec, open and source among them, is reported with its
// line and skipped, never run. Work is bounded by a command count, a time limit and a size
// limit on every word, so a hostile script is stopped, not obeyed.
#ifndef MBD_TCL_RECORDER_H
#define MBD_TCL_RECORDER_H

#include <tcl.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "MbdConstraintReader.h"
#include "ReaderTable.h"

namespace MbdFormats {
namespace detail {

class TclRecorder {
 public:
  using Command = int (*)(TclRecorder& recorder, int objc, Tcl_Obj* const objv[]);

  TclRecorder(TableBuilder& table, const ReadOptions& options);
  ~TclRecorder();
  TclRecorder(const TclRecorder&) = delete;
  TclRecorder& operator=(const TclRecorder&) = delete;

  // Makes `name` a recording command of the interpreter.
  void Add(const char* name, Command command);
  // Adds get_ports, which returns port objects that the recording commands accept.
  void AddGetPorts();
  // Evaluates the script one top-level command at a time: an error in one is reported and the
  // next one still runs; a script that does not parse, or passes a limit, stops there.
  void Run(const std::string& script);

  TableBuilder& Table() { return table_; }
  Tcl_Interp* Interp() { return interp_; }
  // The file line of the command being run (inside loops and if-bodies too; a proc's command
  // counts at the line the proc was called from).
  unsigned CurrentLine();

  // A port object for `name` (a pattern when it holds '*' or '?').
  Tcl_Obj* PortObject(const std::string& name);
  // The port (or pattern) that an object word names; false for any other word.
  bool PortOf(Tcl_Obj* word, std::string& name, bool& pattern) const;
  // Reports a skipped command at the current line.
  void Skip(const std::string& message);
  // A Tcl error with `message` (reported as a read error by Run, at the current line).
  int Fail(const std::string& message);

  static std::string Text(Tcl_Obj* object);

 private:
  struct Binding;
  static int Trampoline(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]);
  void MakeSafe();
  unsigned FrameLine(int level, unsigned& lines, bool& eval);
  void EvaluateCommand(const char* start, int size, unsigned line);

  TableBuilder& table_;
  const ReadOptions& options_;
  Tcl_Interp* interp_;
  std::vector<std::unique_ptr<Binding>> bindings_;
  std::vector<std::string> ports_;  // by object number
  std::unordered_map<std::string, std::size_t> portNumber_;
  Tcl_Obj* infoWords_[3];
  unsigned commandLine_ = 0;   // where the top-level command being run begins
  unsigned commandLines_ = 1;  // how many lines it spans
  bool stopped_ = false;
  int tracedLevel_ = 0;    // the nesting level of the last command run, 1 at the top level
  unsigned failLine_ = 0;  // where a recording command of the current top-level one failed
};

}  // namespace detail
}  // namespace MbdFormats

#endif  // MBD_TCL_RECORDER_H
