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
void PinsWithoutLocation(LintContext& context);     // QBD015
void PinLocationCount(LintContext& context);        // QBD016
void SharedRoles(LintContext& context);             // QBD017
void SharedPortNames(LintContext& context);         // QBD018
void SharedPinNames(LintContext& context);          // QBD019
void SharedNets(LintContext& context);              // QBD020
void ReversedRanges(LintContext& context);          // QBD021
void ClocksWithoutRange(LintContext& context);      // QBD022
void InstanceCountsIgnored(LintContext& context);   // QBD023
void FamilyWithoutSizes(LintContext& context);      // QBD024
void NetOnSeveralBalls(LintContext& context);       // QBD025

}  // namespace checks
}  // namespace MbdLint

#endif  // MBD_LINT_CHECKS_H
