#include "MbdLint.h"

#include <algorithm>
#include <unordered_set>

#include "MbdLintChecks.h"
#include "MbdRules.h"

namespace MbdLint {

const std::vector<Check>& Checks() {
  static const std::vector<Check> checks{
      {"QBD001", Severity::Error, "two blocks whose names are equal ignoring case",
       checks::DuplicateNames},
      {"QBD002", Severity::Warning, "an instance port on a net that no FPGA pin carries",
       checks::UnwiredPorts},
      {"QBD003", Severity::Warning, "an FPGA pin without constraint strings",
       checks::PinsWithoutConstraints},
      {"QBD004", Severity::Error, "two FPGA pins with the same location (pin conflict)",
       checks::PinConflicts},
      {"QBD005", Severity::Warning,
       "a constraint string that is not KEY=VALUE, a flag, or KEY=VALUE assignments",
       checks::MalformedConstraints},
      {"QBD006", Severity::Error, "a flash memory parameter without IO_IS",
       checks::FlashWithoutRole},
      {"QBD007", Severity::Error, "no FPGA block", checks::NoFpgaBlock},
      {"QBD008", Severity::Error, "more than one FPGA block", checks::SecondFpgaBlock},
      {"QBD009", Severity::Error, "a clock instance without a frequency",
       checks::ClockWithoutFrequency},
      {"QBD010", Severity::Error, "a clock frequency or range value that is not a number",
       checks::FrequencyNotANumber},
      {"QBD011", Severity::Error, "a RANGE element with no number or more than three",
       checks::RangeElementSize},
      {"QBD012", Severity::Error,
       "MAX_NUM_INSTANCES not a number, above 1024, or on a block without INSTANCE",
       checks::InstanceCounts},
      {"QBD013", Severity::Warning, "a block other than the FPGA block without IOTYPE",
       checks::BlocksWithoutIoType},
      {"QBD014", Severity::Warning, "an EXCLUSIVE group with a single member",
       checks::LoneExclusiveGroups},
      {"QBD015", Severity::Warning, "an FPGA pin with constraint strings but no LOC",
       checks::PinsWithoutLocation},
      {"QBD016", Severity::Error, "an FPGA pin with an empty LOC or more than one LOC",
       checks::PinLocationCount},
      {"QBD017", Severity::Error, "two ports of one instance with the same role (IO_IS)",
       checks::SharedRoles},
      {"QBD018", Severity::Error, "two ports of one instance with the same name",
       checks::SharedPortNames},
      {"QBD019", Severity::Error, "two FPGA pins of one FPGA block with the same name",
       checks::SharedPinNames},
      {"QBD020", Severity::Warning,
       "a net wired to two instances that are not alternatives (no common EXCLUSIVE group)",
       checks::SharedNets},
      {"QBD021", Severity::Error, "a RANGE element whose minimum is above its maximum",
       checks::ReversedRanges},
      {"QBD022", Severity::Warning,
       "a clock frequency without RANGE (the model takes it to deliver every frequency)",
       checks::ClocksWithoutRange},
      {"QBD023", Severity::Warning, "MAX_NUM_INSTANCES on a board that is not a generic template",
       checks::InstanceCountsIgnored},
      {"QBD024", Severity::Warning, "an FPGA family the size database does not know",
       checks::FamilyWithoutSizes},
      {"QBD025", Severity::Error, "one net on FPGA pins at several balls",
       checks::NetOnSeveralBalls},
  };
  return checks;
}

const Check* FindCheck(const std::string& code) {
  for (const Check& check : Checks())
    if (EqualsIgnoringCase(StringBase(code), StringBase(check.code))) return &check;
  return nullptr;
}

const char* SeverityName(Severity severity) {
  return severity == Severity::Error ? "error" : "warning";
}

std::string FormatFinding(const Finding& f) {
  return f.file + ":" + std::to_string(f.line) + ":" + std::to_string(f.column) + ": " +
         SeverityName(f.severity) + ": " + f.message + " [" + f.code + "]";
}

std::vector<Finding> LintBoard(const LyrBoard::Qbd& qbd, const std::string& path) {
  LintContext context(qbd, path);
  for (const Check& check : Checks()) check.run(context);
  return context.sorted();
}

struct LintContext::NetSet {
  std::unordered_set<StringBase, MbdRules::NetHash, MbdRules::NetEqual> nets;
};

LintContext::LintContext(const LyrBoard::Qbd& qbd, std::string path)
    : qbd_(qbd), path_(std::move(path)), pinNets_(std::make_unique<NetSet>()) {
  for (const LyrBase::PsfComp* comp : qbd.GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK)) {
    const auto* block = static_cast<const LyrBoard::QbdBlock*>(comp);
    blocks_.push_back(block);
    if (!MbdRules::IsFpgaBlock(block)) {
      instances_.push_back(block);
      continue;
    }
    for (const LyrBase::Property* port : block->GetPropSeqRef(LyrBoard::QbdBlock::PORT)) {
      pins_.push_back(Pin{block, port});
      const StringBase net = MbdRules::ConnectorOf(*port);
      if (!net.IsEmpty()) pinNets_->nets.insert(net);
    }
  }
}

LintContext::~LintContext() = default;

bool LintContext::netHasPin(const StringBase& net) const {
  return !net.IsEmpty() && pinNets_->nets.count(net) != 0;
}

void LintContext::report(const char* code, const LyrBase::PsfComp* node,
                         const std::string& message) {
  Finding f;
  f.code = code;
  f.severity = FindCheck(code)->severity;
  f.file = path_;
  f.line = 1;
  f.column = 1;
  if (node && node->GetLineNo() != 0) {
    if (!node->GetFileName().IsEmpty()) f.file = node->GetFileName().str();
    f.line = node->GetLineNo();
    f.column = node->GetColumnNo() ? node->GetColumnNo() : 1;
  }
  f.message = message;
  findings_.push_back(std::move(f));
}

std::vector<Finding> LintContext::sorted() const {
  std::vector<Finding> result(findings_);
  std::stable_sort(result.begin(), result.end(), [](const Finding& a, const Finding& b) {
    if (a.line != b.line) return a.line < b.line;
    if (a.column != b.column) return a.column < b.column;
    return a.code < b.code;
  });
  return result;
}

}  // namespace MbdLint
