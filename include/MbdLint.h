// Checks of a board file that the reader cannot make. Each finding is a record with a stable
// code, a severity and the place in the file it is about, so that the qbd program, a binding or
// a test can format or filter it as it likes.
//
// Adding a check: write one function `void(LintContext&)` in MbdLintChecks.cpp that reports
// through context.report(...) under its code, and add one row (code, severity, summary,
// function) to the table in MbdLint.cpp. Codes never change meaning; new checks get new codes.
#ifndef MBD_LINT_H
#define MBD_LINT_H

#include <memory>
#include <string>
#include <vector>

#include "LyrBoard.h"
#include "MbdExport.h"

namespace MbdLint {

enum class Severity { Warning, Error };

struct Finding {
  std::string code;
  Severity severity = Severity::Warning;
  std::string file;
  unsigned line = 0;
  unsigned column = 0;
  std::string message;
};

class LintContext;

// One kind of finding and the function that looks for it.
struct Check {
  const char* code;
  Severity severity;
  const char* summary;
  void (*run)(LintContext& context);
};

// Every check, in code order.
LYRWIZ_MBD_EXPORT const std::vector<Check>& Checks();
// The check of that code (ignoring case); null when there is none.
LYRWIZ_MBD_EXPORT const Check* FindCheck(const std::string& code);
// "warning" or "error".
LYRWIZ_MBD_EXPORT const char* SeverityName(Severity severity);
// "FILE:LINE:COLUMN: severity: message [CODE]".
LYRWIZ_MBD_EXPORT std::string FormatFinding(const Finding& finding);
// Runs every check over the board as it was read (a template is not expanded); the findings
// ordered by line, then column, then code. `path` names the file where a node knows none.
LYRWIZ_MBD_EXPORT std::vector<Finding> LintBoard(const LyrBoard::Qbd& qbd,
                                                 const std::string& path);

// What a check sees: the board, its blocks split into FPGA blocks and instances, the FPGA
// pins by net, and where findings go.
class LYRWIZ_MBD_EXPORT LintContext {
 public:
  LintContext(const LyrBoard::Qbd& qbd, std::string path);
  ~LintContext();
  LintContext(const LintContext&) = delete;
  LintContext& operator=(const LintContext&) = delete;

  const LyrBoard::Qbd& board() const { return qbd_; }
  // Every block, in board order.
  const std::vector<const LyrBoard::QbdBlock*>& blocks() const { return blocks_; }
  // The blocks that are not FPGA blocks, in board order.
  const std::vector<const LyrBoard::QbdBlock*>& instances() const { return instances_; }
  // Every FPGA pin with its block, FPGA blocks in order, pins in order.
  struct Pin {
    const LyrBoard::QbdBlock* block;
    const LyrBase::Property* port;
  };
  const std::vector<Pin>& fpgaPins() const { return pins_; }
  // True when an FPGA pin carries the net; false for the empty net.
  bool netHasPin(const StringBase& net) const;
  // Adds a finding of that code at the node (at the start of the file for null).
  void report(const char* code, const LyrBase::PsfComp* node, const std::string& message);
  // The findings so far, ordered by line, then column, then code.
  std::vector<Finding> sorted() const;

 private:
  struct NetSet;
  const LyrBoard::Qbd& qbd_;
  std::string path_;
  std::vector<const LyrBoard::QbdBlock*> blocks_;
  std::vector<const LyrBoard::QbdBlock*> instances_;
  std::vector<Pin> pins_;
  std::unique_ptr<NetSet> pinNets_;
  std::vector<Finding> findings_;
};

}  // namespace MbdLint

#endif  // MBD_LINT_H
