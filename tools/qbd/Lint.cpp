#include "Lint.h"

#include <algorithm>

#include "Board.h"

namespace qbd {

const std::vector<LintCheck>& lintChecks() {
  static const std::vector<LintCheck> checks{
      {"QBD001", Severity::Error, "two blocks whose names are equal ignoring case"},
      {"QBD002", Severity::Warning, "an instance port on a net that no FPGA pin carries"},
      {"QBD003", Severity::Warning, "an FPGA pin without constraint strings"},
      {"QBD004", Severity::Error, "two FPGA pins with the same location (pin conflict)"},
      {"QBD005", Severity::Error, "a constraint string without \"=\""},
      {"QBD006", Severity::Error, "a flash memory parameter without IO_IS"},
      {"QBD007", Severity::Error, "no FPGA block"},
      {"QBD008", Severity::Error, "more than one FPGA block"},
      {"QBD009", Severity::Error, "a clock instance without a frequency"},
      {"QBD010", Severity::Error, "a clock frequency or range value that is not a number"},
      {"QBD011", Severity::Error, "a RANGE element with no number or more than three"},
      {"QBD012", Severity::Error,
       "MAX_NUM_INSTANCES not a number, above 1024, or on a block without INSTANCE"},
      {"QBD013", Severity::Warning, "a block other than the FPGA block without IOTYPE"},
      {"QBD014", Severity::Warning, "an EXCLUSIVE group with a single member"},
  };
  return checks;
}

const LintCheck* findCheck(const std::string& code) {
  for (const LintCheck& check : lintChecks())
    if (foldCase(code) == foldCase(check.code)) return &check;
  return nullptr;
}

const char* severityName(Severity severity) {
  return severity == Severity::Error ? "error" : "warning";
}

std::string formatFinding(const Finding& f) {
  return f.file + ":" + std::to_string(f.line) + ":" + std::to_string(f.column) + ": " +
         severityName(f.severity) + ": " + f.message + " [" + f.code + "]";
}

void LintReport::add(const char* code, const LyrBase::PsfComp* node, const std::string& message) {
  Finding f;
  f.code = code;
  f.severity = findCheck(code)->severity;
  f.file = path_;
  f.line = 1;
  f.column = 1;
  if (node && node->GetLineNo() != 0) {
    if (!node->GetFileName().IsEmpty()) f.file = str(node->GetFileName());
    f.line = node->GetLineNo();
    f.column = node->GetColumnNo() ? node->GetColumnNo() : 1;
  }
  f.message = message;
  findings_.push_back(std::move(f));
}

std::vector<Finding> LintReport::sorted() const {
  std::vector<Finding> result(findings_);
  std::stable_sort(result.begin(), result.end(), [](const Finding& a, const Finding& b) {
    if (a.line != b.line) return a.line < b.line;
    if (a.column != b.column) return a.column < b.column;
    return a.code < b.code;
  });
  return result;
}

std::vector<Finding> lintBoard(const LyrBoard::Qbd& qbd, const std::string& path) {
  LintReport report(path);
  lint::duplicateNames(qbd, report);
  lint::wiring(qbd, report);
  lint::fpgaBlocks(qbd, report);
  lint::flashMemories(qbd, report);
  lint::clocks(qbd, report);
  lint::instanceCounts(qbd, report);
  lint::ioTypes(qbd, report);
  lint::exclusiveGroups(qbd, report);
  return report.sorted();
}

}  // namespace qbd
