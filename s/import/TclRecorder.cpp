// A safe interpreter with recording commands: the pure commands run as the tools run them,
// everything else is refused through our own `unknown`, and limits stop runaway scripts.
#include "TclRecorder.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

namespace MbdFormats {
namespace detail {
namespace {

// The commands a constraint script may use; every other command of the interpreter is deleted.
const char* const kPureCommands[] = {
    "append",  "array",  "break",   "catch",  "concat",  "continue", "dict",
    "error",   "eval",   "expr",    "for",    "foreach", "format",   "global",
    "if",      "incr",   "info",    "join",   "lappend", "lassign",  "lindex",
    "linsert", "list",   "llength", "lmap",   "lrange",  "lreplace", "lreverse",
    "lsearch", "lsort",  "proc",    "return", "set",     "split",    "string",
    "subst",   "switch", "unset",   "upvar",  "uplevel", "variable", "while",
};

// Commands a file may try that must never run; named as refused rather than not understood.
const char* const kRefused[] = {
    "exec",    "open",      "source", "socket",     "file",      "cd",     "load",     "glob",
    "pwd",     "exit",      "interp", "fconfigure", "gets",      "read",   "close",    "encoding",
    "package", "namespace", "rename", "trace",      "after",     "vwait",  "update",   "coroutine",
    "apply",   "fcopy",     "seek",   "tell",       "eof",       "flush",  "chan",     "zlib",
    "clock",   "lrepeat",   "regexp", "regsub",     "puts",      "unload", "tailcall", "yield",
    "yieldto", "binary",    "scan",   "time",       "oo::class",
};

// No word of a constraint script needs to be larger; a script doubling a string is stopped
// before it holds much memory.
constexpr int kMaxWordBytes = 16 << 20;
constexpr int kMaxFormatWidth = 4096;
constexpr int kRecursionLimit = 200;

void FindExecutableOnce() {
  static std::once_flag once;
  // Without a name, Tcl keeps the executable a host that embeds it has given it already.
  std::call_once(once, [] { Tcl_FindExecutable(nullptr); });
}

bool OneOf(const char* name, const char* const* list, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (std::strcmp(name, list[i]) == 0) return true;
  return false;
}

// "3", "7:0" and "*": the bus bits of a name like led[3] written without braces, which the
// tools read as part of the name.
bool IsBusBit(const char* word) {
  if (*word == '\0') return false;
  if (std::strcmp(word, "*") == 0) return true;
  for (const char* c = word; *c; ++c)
    if (!(*c >= '0' && *c <= '9') && *c != ':') return false;
  return true;
}

// Refuses words past the size limit, and '**' in expressions (a power of a big number takes
// unbounded time inside one command, where no limit is checked).
int SizeGuard(ClientData data, Tcl_Interp* interp, int level, const char*, Tcl_Command, int objc,
              Tcl_Obj* const objv[]) {
  *static_cast<int*>(data) = level;
  const char* command = Tcl_GetString(objv[0]);
  const bool expression = std::strcmp(command, "expr") == 0 || std::strcmp(command, "if") == 0 ||
                          std::strcmp(command, "while") == 0 || std::strcmp(command, "for") == 0 ||
                          std::strstr(command, "mathop") != nullptr;
  for (int i = 0; i < objc; ++i) {
    int length = 0;
    const char* text = Tcl_GetStringFromObj(objv[i], &length);
    if (length > kMaxWordBytes) {
      Tcl_SetObjResult(interp, Tcl_NewStringObj("a word of more than 16 MB", -1));
      return TCL_ERROR;
    }
    if (expression && std::strstr(text, "**") != nullptr) {
      Tcl_SetObjResult(interp, Tcl_NewStringObj("the ** operator is not allowed", -1));
      return TCL_ERROR;
    }
  }
  return TCL_OK;
}

// format, with widths and precisions bounded.
Tcl_CmdInfo gFormat;
std::once_flag gFormatOnce;

int BoundedFormat(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  if (objc >= 2) {
    const char* c = Tcl_GetString(objv[1]);
    while ((c = std::strchr(c, '%')) != nullptr) {
      ++c;
      while (*c != '\0' && std::strchr("0123456789.-+ #$*lhL", *c) != nullptr) {
        const bool tooWide =
            *c == '*' || (*c >= '1' && *c <= '9' && std::strtol(c, nullptr, 10) > kMaxFormatWidth);
        if (tooWide) {
          Tcl_SetObjResult(interp, Tcl_NewStringObj("a format width too large", -1));
          return TCL_ERROR;
        }
        if (*c >= '0' && *c <= '9') {
          while (*c >= '0' && *c <= '9') ++c;
        } else {
          ++c;
        }
      }
      if (*c != '\0') ++c;
    }
  }
  const Tcl_CmdInfo* original = static_cast<const Tcl_CmdInfo*>(data);
  return original->objProc(original->objClientData, interp, objc, objv);
}

}  // namespace

struct TclRecorder::Binding {
  TclRecorder* recorder;
  Command command;
};

TclRecorder::TclRecorder(TableBuilder& table, const ReadOptions& options)
    : table_(table), options_(options) {
  FindExecutableOnce();
  interp_ = Tcl_CreateInterp();
  const char* words[3] = {"info", "frame", "0"};
  for (int i = 0; i < 3; ++i) {
    infoWords_[i] = Tcl_NewStringObj(words[i], -1);
    Tcl_IncrRefCount(infoWords_[i]);
  }
  MakeSafe();
}

TclRecorder::~TclRecorder() {
  for (Tcl_Obj* word : infoWords_) Tcl_DecrRefCount(word);
  Tcl_DeleteInterp(interp_);
}

void TclRecorder::MakeSafe() {
  Tcl_MakeSafe(interp_);
  // Every command not on the list goes, whatever Tcl_MakeSafe left.
  if (Tcl_Eval(interp_, "info commands") == TCL_OK) {
    Tcl_Obj* names = Tcl_GetObjResult(interp_);
    Tcl_IncrRefCount(names);
    int count = 0;
    Tcl_Obj** items = nullptr;
    Tcl_ListObjGetElements(nullptr, names, &count, &items);
    for (int i = 0; i < count; ++i) {
      const char* name = Tcl_GetString(items[i]);
      if (!OneOf(name, kPureCommands, sizeof kPureCommands / sizeof *kPureCommands))
        Tcl_DeleteCommand(interp_, name);
    }
    Tcl_DecrRefCount(names);
  }
  for (const char* name : {"::tcl::string::repeat", "::tcl::mathop::**", "::tcl::prefix",
                           "::tcl::unsupported::disassemble", "::tcl::unsupported::assemble"})
    Tcl_DeleteCommand(interp_, name);
  std::call_once(gFormatOnce, [this] { Tcl_GetCommandInfo(interp_, "format", &gFormat); });
  Tcl_CreateObjCommand(interp_, "format", BoundedFormat, &gFormat, nullptr);
  Add("unknown", [](TclRecorder& recorder, int objc, Tcl_Obj* const objv[]) {
    if (objc < 2) return TCL_OK;
    const std::string name = Text(objv[1]);
    if (objc == 2 && IsBusBit(name.c_str())) {
      Tcl_SetObjResult(recorder.Interp(), Tcl_ObjPrintf("[%s]", name.c_str()));
      return TCL_OK;
    }
    if (OneOf(name.c_str(), kRefused, sizeof kRefused / sizeof *kRefused))
      recorder.Skip("refused: the command \"" + name + "\" is not run in a constraint file");
    else
      recorder.Skip("\"" + name + "\" is not understood, skipped");
    Tcl_ResetResult(recorder.Interp());
    return TCL_OK;
  });
  Tcl_SetRecursionLimit(interp_, kRecursionLimit);
  Tcl_CreateObjTrace(interp_, 0, 0, SizeGuard, &tracedLevel_, nullptr);
  Tcl_LimitSetCommands(
      interp_, static_cast<int>(options_.commandLimit > 0x7fffffffUL ? 0x7fffffffUL
                                                                     : options_.commandLimit));
  Tcl_LimitTypeSet(interp_, TCL_LIMIT_COMMANDS);
  Tcl_Time deadline;
  Tcl_GetTime(&deadline);
  deadline.sec += static_cast<long>(options_.timeLimitMs / 1000);
  deadline.usec += static_cast<long>(options_.timeLimitMs % 1000) * 1000;
  if (deadline.usec >= 1000000) {
    deadline.sec += 1;
    deadline.usec -= 1000000;
  }
  Tcl_LimitSetTime(interp_, &deadline);
  Tcl_LimitSetGranularity(interp_, TCL_LIMIT_TIME, 100);
  Tcl_LimitTypeSet(interp_, TCL_LIMIT_TIME);
}

int TclRecorder::Trampoline(ClientData data, Tcl_Interp*, int objc, Tcl_Obj* const objv[]) {
  Binding* binding = static_cast<Binding*>(data);
  return binding->command(*binding->recorder, objc, objv);
}

void TclRecorder::Add(const char* name, Command command) {
  bindings_.push_back(std::unique_ptr<Binding>(new Binding{this, command}));
  Tcl_CreateObjCommand(interp_, name, Trampoline, bindings_.back().get(), nullptr);
}

std::string TclRecorder::Text(Tcl_Obj* object) {
  int length = 0;
  const char* text = Tcl_GetStringFromObj(object, &length);
  return std::string(text, static_cast<std::size_t>(length));
}

Tcl_Obj* TclRecorder::PortObject(const std::string& name) {
  auto found = portNumber_.find(name);
  std::size_t number = 0;
  if (found != portNumber_.end()) {
    number = found->second;
  } else {
    number = ports_.size();
    ports_.push_back(name);
    portNumber_.emplace(name, number);
  }
  return Tcl_ObjPrintf("\x01port:%lu", static_cast<unsigned long>(number));
}

bool TclRecorder::PortOf(Tcl_Obj* word, std::string& name, bool& pattern) const {
  const char* text = Tcl_GetString(word);
  if (std::strncmp(text, "\x01port:", 6) != 0) return false;
  char* end = nullptr;
  const unsigned long number = std::strtoul(text + 6, &end, 10);
  if (end == text + 6 || *end != '\0' || number >= ports_.size()) return false;
  name = ports_[number];
  pattern = name.find_first_of("*?") != std::string::npos;
  return true;
}

void TclRecorder::AddGetPorts() {
  Add("get_ports", [](TclRecorder& recorder, int objc, Tcl_Obj* const objv[]) {
    Tcl_Obj* ports = Tcl_NewListObj(0, nullptr);
    bool options = true;
    for (int i = 1; i < objc; ++i) {
      const std::string word = Text(objv[i]);
      if (options && word == "--") {
        options = false;
        continue;
      }
      if (options && (word == "-quiet" || word == "-nocase")) continue;
      // Options that select ports by what only the design knows, and any other word with a
      // leading '-' before "--": the tools take it for an option however it is quoted, so it
      // names no port.
      if (options && !word.empty() && word[0] == '-') {
        const bool known =
            word == "-regexp" || word == "-filter" || word == "-of_objects" || word == "-of";
        recorder.Skip("get_ports " + word +
                      (known ? " is not understood" : " is an option to the tools, not a name") +
                      "; the port is skipped");
        Tcl_DecrRefCount(ports);
        Tcl_ResetResult(recorder.Interp());
        return TCL_OK;
      }
      int count = 0;
      Tcl_Obj** names = nullptr;
      if (Tcl_ListObjGetElements(recorder.Interp(), objv[i], &count, &names) != TCL_OK) {
        Tcl_DecrRefCount(ports);
        return TCL_ERROR;
      }
      for (int n = 0; n < count; ++n)
        Tcl_ListObjAppendElement(nullptr, ports, recorder.PortObject(Text(names[n])));
    }
    Tcl_SetObjResult(recorder.Interp(), ports);
    return TCL_OK;
  });
}

// The line (within the top-level command) of frame `level`, and whether it is an eval frame
// (a literal script whose lines count from the command's); 0 when the frame has no line.
unsigned TclRecorder::FrameLine(int level, unsigned& lines, bool& eval) {
  eval = false;
  lines = 1;
  Tcl_Obj* levelWord = Tcl_NewIntObj(level);
  Tcl_IncrRefCount(levelWord);
  Tcl_Obj* words[3] = {infoWords_[0], infoWords_[1], levelWord};
  unsigned line = 0;
  if (Tcl_EvalObjv(interp_, 3, words, 0) == TCL_OK) {
    Tcl_Obj* frame = Tcl_GetObjResult(interp_);
    Tcl_Obj* value = nullptr;
    Tcl_Obj* key = Tcl_NewStringObj("type", -1);
    Tcl_IncrRefCount(key);
    if (Tcl_DictObjGet(nullptr, frame, key, &value) == TCL_OK && value != nullptr)
      eval = std::strcmp(Tcl_GetString(value), "eval") == 0;
    Tcl_SetStringObj(key, "line", -1);
    int number = 0;
    if (Tcl_DictObjGet(nullptr, frame, key, &value) == TCL_OK && value != nullptr &&
        Tcl_GetIntFromObj(nullptr, value, &number) == TCL_OK && number > 0)
      line = static_cast<unsigned>(number);
    Tcl_SetStringObj(key, "cmd", -1);
    if (Tcl_DictObjGet(nullptr, frame, key, &value) == TCL_OK && value != nullptr)
      for (const char* c = Tcl_GetString(value); *c; ++c) lines += *c == '\n';
    Tcl_DecrRefCount(key);
  }
  Tcl_DecrRefCount(levelWord);
  return line;
}

unsigned TclRecorder::CurrentLine() {
  // A command of the file's own top level is on the line it begins on; asking the frames is
  // needed only inside loops, bodies and procs.
  if (tracedLevel_ == 1) return commandLine_;
  Tcl_Obj* saved = Tcl_GetObjResult(interp_);
  Tcl_IncrRefCount(saved);
  unsigned result = commandLine_;
  if (Tcl_EvalObjv(interp_, 2, infoWords_, 0) == TCL_OK) {
    int depth = 0;
    Tcl_GetIntFromObj(nullptr, Tcl_GetObjResult(interp_), &depth);
    // Called through Tcl_EvalObjv, `info frame` adds no frame: the innermost one is the
    // recording command's.
    unsigned topLines = 1;
    bool eval = false;
    const unsigned top = depth >= 1 ? FrameLine(1, topLines, eval) : 0;
    for (int level = depth; level >= 1 && top != 0; --level) {
      unsigned lines = 1;
      const unsigned line = level == 1 ? top : FrameLine(level, lines, eval);
      if (level != 1 && !eval) continue;
      // A line outside the top-level command came from a script made at run time.
      if (line >= top && line < top + topLines) {
        result = commandLine_ + line - 1;
        break;
      }
    }
  }
  Tcl_SetObjResult(interp_, saved);
  Tcl_DecrRefCount(saved);
  return result;
}

void TclRecorder::Skip(const std::string& message) {
  const unsigned line = CurrentLine();
  table_.Skip(line, 0, message);
}

int TclRecorder::Fail(const std::string& message) {
  failLine_ = CurrentLine();
  Tcl_SetObjResult(interp_, Tcl_NewStringObj(message.data(), static_cast<int>(message.size())));
  return TCL_ERROR;
}

void TclRecorder::EvaluateCommand(const char* start, int size, unsigned line) {
  commandLine_ = line;
  commandLines_ = 1;
  failLine_ = 0;
  for (int i = 0; i < size; ++i) commandLines_ += start[i] == '\n';
  if (Tcl_EvalEx(interp_, start, size, 0) == TCL_OK) return;
  if (Tcl_LimitExceeded(interp_)) {
    table_.Error(
        line, 0,
        "evaluation stopped: the file runs too long (" + Text(Tcl_GetObjResult(interp_)) + ")");
    stopped_ = true;
    return;
  }
  // A recording command that failed knows its own line; for another error Tcl knows only the
  // line within the top-level command.
  const int errorLine = Tcl_GetErrorLine(interp_);
  const unsigned at = failLine_ != 0 ? failLine_
                      : errorLine >= 1 && static_cast<unsigned>(errorLine) <= commandLines_
                          ? line + static_cast<unsigned>(errorLine) - 1
                          : line;
  table_.Error(at, 0, Text(Tcl_GetObjResult(interp_)));
}

void TclRecorder::Run(const std::string& script) {
  if (script.size() > 0x7fffffffU) {
    table_.Error(1, 1, "the file is too large to read");
    return;
  }
  const char* at = script.data();
  const char* const end = script.data() + script.size();
  const char* counted = at;
  unsigned line = 1;
  auto lineOf = [&](const char* position) {
    for (; counted < position; ++counted) line += *counted == '\n';
    return line;
  };
  while (at < end && !stopped_) {
    Tcl_Parse parse;
    if (Tcl_ParseCommand(interp_, at, static_cast<int>(end - at), 0, &parse) != TCL_OK) {
      const char* where =
          parse.term != nullptr && parse.term >= at && parse.term <= end ? parse.term : at;
      const unsigned errorLine = lineOf(where < at ? at : where);
      table_.Error(errorLine, 0, Text(Tcl_GetObjResult(interp_)));
      return;
    }
    const char* next = parse.commandStart + parse.commandSize;
    if (parse.numWords > 0) {
      const unsigned commandLine = lineOf(parse.commandStart);
      // The command's own bytes, without the terminating newline or ';'.
      int size = parse.commandSize;
      Tcl_FreeParse(&parse);
      EvaluateCommand(parse.commandStart, size, commandLine);
    } else {
      Tcl_FreeParse(&parse);
    }
    if (next <= at) break;
    at = next;
  }
}

}  // namespace detail
}  // namespace MbdFormats
