// Checks of a board file that the reader cannot make: each finding has a stable code, a
// severity and the place in the file it is about.
#ifndef QBD_LINT_H
#define QBD_LINT_H

#include <string>
#include <vector>

#include "LyrBoard.h"

namespace qbd {

enum class Severity { Warning, Error };

// One kind of finding. Codes never change meaning; new checks get new codes.
struct LintCheck {
  const char* code;
  Severity severity;
  const char* summary;
};

struct Finding {
  std::string code;
  Severity severity;
  std::string file;
  unsigned line = 0;
  unsigned column = 0;
  std::string message;
};

// Every check, in code order.
const std::vector<LintCheck>& lintChecks();
// The check of that code; null when there is none.
const LintCheck* findCheck(const std::string& code);
// "warning" or "error".
const char* severityName(Severity severity);
// "FILE:LINE:COLUMN: severity: message [CODE]".
std::string formatFinding(const Finding& finding);

// Collects findings, each placed at a node of the tree (or at the start of the file).
class LintReport {
 public:
  explicit LintReport(std::string path) : path_(std::move(path)) {}
  void add(const char* code, const LyrBase::PsfComp* node, const std::string& message);
  // The findings ordered by line, then column, then code.
  std::vector<Finding> sorted() const;

 private:
  std::string path_;
  std::vector<Finding> findings_;
};

// Runs every check over the board as it was read (a template is not expanded).
std::vector<Finding> lintBoard(const LyrBoard::Qbd& qbd, const std::string& path);

// The checks, one function each; LintChecks.cpp holds them and lintBoard calls them all.
namespace lint {
void duplicateNames(const LyrBoard::Qbd& qbd, LintReport& report);
void wiring(const LyrBoard::Qbd& qbd, LintReport& report);
void fpgaBlocks(const LyrBoard::Qbd& qbd, LintReport& report);
void flashMemories(const LyrBoard::Qbd& qbd, LintReport& report);
void clocks(const LyrBoard::Qbd& qbd, LintReport& report);
void instanceCounts(const LyrBoard::Qbd& qbd, LintReport& report);
void ioTypes(const LyrBoard::Qbd& qbd, LintReport& report);
void exclusiveGroups(const LyrBoard::Qbd& qbd, LintReport& report);
}  // namespace lint

}  // namespace qbd

#endif  // QBD_LINT_H
