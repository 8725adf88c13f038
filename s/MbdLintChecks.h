// The lint checks, one function per finding code; MbdLint.cpp lists them with their codes.
#ifndef MBD_LINT_CHECKS_H
#define MBD_LINT_CHECKS_H

#include "MbdLint.h"

namespace MbdLint {
namespace checks {

void DuplicateNames(LintContext& context);          // QBD001
void UnwiredPorts(LintContext& context);            // QBD002
void PinsWithoutConstraints(LintContext& context);  // QBD003
void PinConflicts(LintContext& context);            // QBD004
void MalformedConstraints(LintContext& context);    // QBD005
void FlashWithoutRole(LintContext& context);        // QBD006
void NoFpgaBlock(LintContext& context);             // QBD007
void SecondFpgaBlock(LintContext& context);         // QBD008
void ClockWithoutFrequency(LintContext& context);   // QBD009
void FrequencyNotANumber(LintContext& context);     // QBD010
void RangeElementSize(LintContext& context);        // QBD011
void InstanceCounts(LintContext& context);          // QBD012
void BlocksWithoutIoType(LintContext& context);     // QBD013
void LoneExclusiveGroups(LintContext& context);     // QBD014

}  // namespace checks
}  // namespace MbdLint

#endif  // MBD_LINT_CHECKS_H
