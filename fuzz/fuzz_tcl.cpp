// Fuzz target: the Tcl board commands. One interpreter for the whole run holds the commands of
// both scripting classes and the base library's own. Each input is read as a board that is
// opened (built into an MBD, as the package's open does), and a script of command calls whose
// words come from the input, from live handles, from handles of a board that was closed, and
// from forged words. No call may crash or answer anything but TCL_OK or TCL_ERROR; once every
// board is closed no handle may stay live.
//
// Script requests: a command name (qget_qbd_handle, qget_qbd_value, qget_qbd_rule, the "if_"
// twins of the first two served by the board interpreter class, lyrbase_get_handle,
// lyrbase_get_value; any other word picks one and stays an argument), then its words.
// "%close" closes the open board, "%open" opens it again, "%pkgopen" opens the board text
// through the package's qbd::open (the file is written for it; qbd::open is never given a word
// of the input, which could name any file), and qbd::close takes any words. Words: "@Q" the
// board, "@B<i>" a block, "@A<i>" a property, "@S<i>" a sub-property, "@G<i>" a board
// attribute, "@X<i>" a handle of the closed board, "@F<i>" a forged word, "@R" the last result,
// "@L<i>" an element of the last result, "@P" the board that qbd::open opened last.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <tcl.h>
#include <unistd.h>

#include "BoardCheck.h"
#include "FuzzInput.h"
#include "LyrBoard.h"
#include "LyrWiz_BoardTclCommandsRegister.h"
#include "LyrWiz_BoardTclIf.h"
#include "MBD.h"
#include "QbdPackage.h"

namespace {

using LyrBase::BaseTclIf;
using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;
using qbd_fuzz::Require;

const size_t kMaxHandlesPerKind = 64;

// A counted reference to a Tcl word.
class Word {
 public:
  explicit Word(Tcl_Obj* obj = nullptr) : obj_(obj) {
    if (obj_) Tcl_IncrRefCount(obj_);
  }
  Word(const Word& other) : Word(other.obj_) {}
  Word& operator=(const Word& other) {
    Word copy(other);
    std::swap(obj_, copy.obj_);
    return *this;
  }
  ~Word() {
    if (obj_) Tcl_DecrRefCount(obj_);
  }
  Tcl_Obj* get() const { return obj_; }

 private:
  Tcl_Obj* obj_;
};

Word Text(const std::string& text) {
  return Word(Tcl_NewStringObj(text.data(), static_cast<int>(text.size())));
}

// Handle words for the nodes of one board, by kind.
struct HandleWords {
  std::vector<Word> board, blocks, props, subs, attrs;

  void Add(std::vector<Word>& kind, const LyrBase::BaseNode* node) {
    if (kind.size() < kMaxHandlesPerKind) kind.emplace_back(BaseTclIf::CreateTclObjFromPtr(node));
  }
  void AddProperty(const Property* prop) {
    Add(props, prop);
    for (const PsfComp* sub : prop->GetPsfCompSeqRef()) Add(subs, sub);
  }
  std::vector<Word> All() const {
    std::vector<Word> all;
    for (const std::vector<Word>* kind : {&board, &blocks, &props, &subs, &attrs})
      all.insert(all.end(), kind->begin(), kind->end());
    return all;
  }
};

HandleWords HandlesOf(const Qbd& board) {
  HandleWords words;
  words.Add(words.board, &board);
  for (const PsfComp* attr : board.GetPsfCompSeqRef(Qbd::ATTRIBUTE)) {
    words.Add(words.attrs, attr);
    if (auto* prop = LyrBase::NodeCast<Property>(attr)) words.AddProperty(prop);
  }
  for (const PsfComp* comp : board.GetPsfCompSeqRef(Qbd::BLOCK)) {
    words.Add(words.blocks, comp);
    auto* block = LyrBase::NodeCast<QbdBlock>(comp);
    if (!block) continue;
    for (QbdBlock::NodeType kind : {QbdBlock::ATTRIBUTE, QbdBlock::PARAMETER, QbdBlock::PORT})
      for (const Property* prop : block->GetPropSeqRef(kind)) words.AddProperty(prop);
  }
  return words;
}

// A board as the package opens it: read, then built into a model (expanding a template).
struct OpenBoard {
  std::unique_ptr<Qbd> board = std::make_unique<Qbd>();
  std::unique_ptr<MBD> model;
  bool ok = false;

  explicit OpenBoard(const std::string& text) {
    if (qbd_fuzz::ReadBoard(*board, text, "tcl.qbd") != 0) return;
    try {
      model = std::make_unique<MBD>(board.get());
    } catch (const std::out_of_range&) {
      // The package refuses such a board; its partly expanded tree is still walkable.
    }
    ok = true;
  }
};

const char* const kForged[] = {"qbd#0", "qbd#", "qbd#-1", "qbd#4294967297",
                               "qbd#99999999999999999999999", "qbd# 1", "QBD#1", "qbd#1 qbd#2",
                               "qbd#01", "qbd#+1", "0x0", "{}", "qbd#1x", "#1", "qbd"};

const char* const kCommands[] = {"qget_qbd_handle",    "qget_qbd_value",
                                 "if_qget_qbd_handle", "if_qget_qbd_value",
                                 "lyrbase_get_handle", "lyrbase_get_value",
                                 "qbd::close",         "qget_qbd_rule"};

// Where %pkgopen writes the board text for qbd::open: one file per fuzzing process.
std::string PackageFile() {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/qbd_fuzz_tcl_" + std::to_string(getpid()) + ".qbd";
}

class Session {
 public:
  Session(Tcl_Interp* interp, const std::string& boardText)
      : interp_(interp), boardText_(boardText) {
    // The closed board: its words are made, then its nodes die.
    OpenBoard closed(boardText_);
    stale_ = HandlesOf(*closed.board).All();
    Open();
  }

  ~Session() {
    // Boards of the package live as long as the interpreter, which outlives the session.
    for (const Word& board : packageBoards_) Call({Text("qbd::close"), board});
  }

  void Run(const std::vector<std::string>& line) {
    if (line[0] == "%close") return Close();
    if (line[0] == "%open") return Open();
    if (line[0] == "%pkgopen") return PackageOpen();
    std::vector<Word> words;
    size_t first = 0;
    words.push_back(Text(CommandFor(line[0], first)));
    for (size_t i = first; i < line.size(); ++i) words.push_back(Resolve(line[i]));
    Call(words);
  }

  void Close() {
    open_.reset();  // words of the board are kept: they are stale from now on
  }

 private:
  int Call(const std::vector<Word>& words) {
    std::vector<Tcl_Obj*> objv;
    for (const Word& w : words) objv.push_back(w.get());
    const int code = Tcl_EvalObjv(interp_, static_cast<int>(objv.size()), objv.data(), 0);
    Require(code == TCL_OK || code == TCL_ERROR, "a command returned " + std::to_string(code));
    last_ = Word(Tcl_GetObjResult(interp_));
    Tcl_ResetResult(interp_);
    return code;
  }

  void PackageOpen() {
    const std::string path = PackageFile();
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(boardText_.data(), static_cast<std::streamsize>(boardText_.size()));
    }
    const int code = Call({Text("qbd::open"), Text(path)});
    std::remove(path.c_str());
    if (code == TCL_OK) packageBoards_.push_back(last_);
  }

  void Open() {
    open_ = std::make_unique<OpenBoard>(boardText_);
    live_ = HandlesOf(*open_->board);
  }

  // The command the request names; other words pick one and stay arguments.
  static std::string CommandFor(const std::string& word, size_t& first) {
    for (const char* name : kCommands)
      if (word == name) {
        first = 1;
        return name;
      }
    first = 0;
    return kCommands[qbd_fuzz::Pick(word, sizeof(kCommands) / sizeof(kCommands[0]))];
  }

  static Word From(const std::vector<Word>& pool, size_t index) {
    return pool.empty() ? Text("") : pool[index % pool.size()];
  }

  Word Resolve(const std::string& word) const {
    if (word.size() < 2 || word[0] != '@') return Text(word);
    const size_t index = qbd_fuzz::IndexAfter(word, 2);
    switch (word[1]) {
      case 'Q': return From(live_.board, 0);
      case 'B': return From(live_.blocks, index);
      case 'A': return From(live_.props, index);
      case 'S': return From(live_.subs, index);
      case 'G': return From(live_.attrs, index);
      case 'X': return From(stale_, index);
      case 'F': {
        const size_t forged = sizeof(kForged) / sizeof(kForged[0]);
        return Text(index < forged ? kForged[index] : "qbd#" + std::to_string(index));
      }
      case 'R': return last_.get() ? last_ : Text("");
      case 'L': return ListElement(index);
      case 'P': return packageBoards_.empty() ? Text("") : packageBoards_.back();
      default: return Text(word);
    }
  }

  Word ListElement(size_t index) const {
    if (!last_.get()) return Text("");
    int count = 0;
    Tcl_Obj** items = nullptr;
    if (Tcl_ListObjGetElements(nullptr, last_.get(), &count, &items) != TCL_OK || count == 0)
      return last_;
    return Word(items[index % static_cast<size_t>(count)]);
  }

  Tcl_Interp* interp_;
  std::string boardText_;
  std::unique_ptr<OpenBoard> open_;
  HandleWords live_;
  std::vector<Word> stale_;
  std::vector<Word> packageBoards_;
  Word last_;
};

// The registrar of the wizard's scheme; its scripts may be missing here, which only costs a
// reported error: the commands are registered before the scripts are sourced.
class Registrar : public LyrWiz_BoardTclCommandsRegister {};

Tcl_Interp* Interpreter() {
  static Tcl_Interp* interp = [] {
    Tcl_FindExecutable(nullptr);
    Tcl_Interp* made = Tcl_CreateInterp();
    Require(Qbd_Init(made) == TCL_OK, "the package does not load");
    Registrar registrar;
    registrar.registerInterp(made);
    Tcl_CreateObjCommand(made, "if_qget_qbd_handle", LyrWiz_BoardTclIf::LyrBoardGetHandle, nullptr, nullptr);
    Tcl_CreateObjCommand(made, "if_qget_qbd_value", LyrWiz_BoardTclIf::LyrBoardGetValue, nullptr, nullptr);
    Tcl_CreateObjCommand(made, "lyrbase_get_handle", BaseTclIf::LyrBaseGetHandle, nullptr, nullptr);
    Tcl_CreateObjCommand(made, "lyrbase_get_value", BaseTclIf::LyrBaseGetValue, nullptr, nullptr);
    return made;
  }();
  return interp;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Port_MsgManData::setSink([](Port_MsgKind, const std::string&) {});
  Interpreter();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const qbd_fuzz::FuzzInput input = qbd_fuzz::SplitInput(data, size);
  {
    Session session(Interpreter(), input.board);
    for (const std::vector<std::string>& line : input.lines) session.Run(line);
    session.Close();
    // Every word still held names a dead node now: each call must answer without touching it.
    for (const std::vector<std::string>& line : input.lines) session.Run(line);
  }
  Require(BaseTclIf::LiveHandleCount() == 0, "handles stay live after every board was closed");
  return 0;
}
