// The rules of a board, each stated once: which block is the FPGA block, how a role or an IO
// type matches, what a port's connector is, how constraint strings, LOC, RANGE elements, flash
// memories, instance counts and the speed default read, and how far expansion may grow a tree.
// The model, the qbd program, its lint checks and the Tcl package all ask these functions, so
// they cannot disagree about a board.
#ifndef MBD_RULES_H
#define MBD_RULES_H

#include <string>
#include <vector>

#include "LyrBoard.h"
#include "MBD.h"
#include "MbdExport.h"
#include "Portability.h"

namespace MbdRules {

// --- blocks ---
// True when the block's BLOCKTYPE equals "FPGA" ignoring case; false for null.
LYRWIZ_MBD_EXPORT bool IsFpgaBlock(const LyrBoard::QbdBlock* block);
// True when the block's IOTYPE equals ioType ignoring case; false when it has none.
LYRWIZ_MBD_EXPORT bool HasIoType(const LyrBoard::QbdBlock& block, const StringBase& ioType);
// The value text of the block attribute; empty when absent.
LYRWIZ_MBD_EXPORT StringBase AttributeOf(const LyrBoard::QbdBlock& block, const char* name);
// The block's SPEED attribute; "LOW" when it is absent or empty, or the block is null.
LYRWIZ_MBD_EXPORT StringBase SpeedOf(const LyrBoard::QbdBlock* block);
// Names of blocks and of the properties of one block match ignoring case, as lookups by name
// do: hash and equality for name-keyed maps.
using NameHash = CaseBlindHash;
using NameEqual = CaseBlindEqual;
// The block's EXCLUSIVE tag as written; empty when it has none.
LYRWIZ_MBD_EXPORT StringBase ExclusiveGroupOf(const LyrBoard::QbdBlock& block);
// True when the two blocks are alternatives: both carry the same non-empty EXCLUSIVE tag,
// compared whole and ignoring case; false when either has none.
LYRWIZ_MBD_EXPORT bool AreAlternatives(const LyrBoard::QbdBlock& a, const LyrBoard::QbdBlock& b);
// Hash and equality of EXCLUSIVE tags that agree with AreAlternatives, for group-keyed maps:
// two blocks with non-empty tags equal under GroupEqual are alternatives.
using GroupHash = CaseBlindHash;
using GroupEqual = CaseBlindEqual;
// The FPGA family the size database is asked about for a FAMILY text: the text without
// surrounding spaces.
LYRWIZ_MBD_EXPORT StringBase SizeFamily(const StringBase& familyText);
// True when the architecture size database has sizes for the family on some bus; false for
// the empty family.
LYRWIZ_MBD_EXPORT bool SizesKnownFor(const StringBase& family);
// The families the size database knows, in lower case and sorted; empty when it knows none.
LYRWIZ_MBD_EXPORT std::vector<StringBase> KnownFamilies();

// A message of the model reported as the reason a call failed: its lines without the
// "Warning: " label the model gives them and without trailing line feeds; empty for empty.
LYRWIZ_MBD_EXPORT std::string MessageAsError(const std::string& message);

// --- vocabulary of IO types and roles ---
// A role (IO_IS value) that the model reads on instances of an IO type.
struct RoleInfo {
  const char* role;     // the IO_IS value, matched ignoring case
  const char* carrier;  // "parameter" or "port"
  const char* meaning;  // what the model does with it
};
// An IO type the library names, with what it stands for and the roles the model reads on it.
struct IoTypeInfo {
  const char* name;     // e.g. "QOR_CLOCK_V1"
  const char* meaning;
  std::vector<RoleInfo> roles;  // empty when the model reads no role of this type
};
// Every IO type the library names, in a fixed order.
LYRWIZ_MBD_EXPORT const std::vector<IoTypeInfo>& IoTypes();
// The IO type of that name, ignoring case; null when the library does not name it.
LYRWIZ_MBD_EXPORT const IoTypeInfo* FindIoType(const StringBase& name);

// --- roles and connectors ---
// The role (IO_IS sub-property) of a parameter or port; null when it has none.
LYRWIZ_MBD_EXPORT const LyrBase::PsfComp* RoleOf(const LyrBase::Property& prop);
// True when the property has a role equal to iois ignoring case; a property without IO_IS has
// no role, not even the empty one.
LYRWIZ_MBD_EXPORT bool HasRole(const LyrBase::Property& prop, const StringBase& iois);
// The first property of the list whose role equals iois; null when none.
LYRWIZ_MBD_EXPORT LyrBase::Property* FirstWithRole(const std::vector<LyrBase::Property*>& props,
                                                   const StringBase& iois);
// The connector (net) a port is wired to: its value text; empty when it has none.
LYRWIZ_MBD_EXPORT StringBase ConnectorOf(const LyrBase::Property& port);
// The connector of the block's first port whose role equals iois; empty when none (or for a
// null block). Every port of a role resolves to this connector.
LYRWIZ_MBD_EXPORT StringBase ConnectorOfRole(const LyrBoard::QbdBlock* block,
                                             const StringBase& iois);
// Hash and equality of roles that agree with HasRole, for role-keyed maps.
using RoleHash = CaseBlindHash;
using RoleEqual = CaseBlindEqual;
// True when an FPGA port on net `fpgaNet` carries `connector`: the two are equal ignoring case.
LYRWIZ_MBD_EXPORT bool CarriesConnector(const StringBase& fpgaNet, const StringBase& connector);
// Hash and equality of nets and connectors that agree with CarriesConnector, for net-keyed maps.
using NetHash = CaseBlindHash;
using NetEqual = CaseBlindEqual;
// The text a net is keyed by where only equal strings match (a script's dictionary): two nets
// have the same key exactly when CarriesConnector holds for them. Empty for an empty net.
LYRWIZ_MBD_EXPORT StringBase NetKey(const StringBase& net);

// --- constraint strings ---
// The strings of a sub-property's typed value: a list's strings, a single string as a
// one-string list; empty for null, no typed value or a list of lists.
LYRWIZ_MBD_EXPORT std::vector<StringBase> StringsOf(const LyrBase::PsfComp* sub);
// The UCF_NET_STRING sub-property of an FPGA port; null when it has none.
LYRWIZ_MBD_EXPORT const LyrBase::PsfComp* ConstraintsOf(const LyrBase::Property& fpgaPort);
// The constraint strings of an FPGA port (StringsOf its UCF_NET_STRING); empty when none.
LYRWIZ_MBD_EXPORT std::vector<StringBase> ConstraintStrings(const LyrBase::Property& fpgaPort);

// One assignment of a constraint string; a plain flag has no value.
struct Constraint {
  StringBase key;
  StringBase value;
  bool hasValue = false;
};
// What a constraint string is: several KEY=VALUE assignments separated by blanks when every
// word is one (no blanks inside a value); otherwise KEY=VALUE split at the first "=" (blanks
// around it allowed, the value is the whole rest); a plain flag (one word, no "="); or none of
// these (blanks without "=", an empty key, an empty string).
enum class ConstraintForm { Assignment, Flag, Assignments, Malformed };
struct ConstraintReading {
  ConstraintForm form = ConstraintForm::Malformed;
  std::vector<Constraint> items;  // empty when Malformed
};
// The reading of one constraint string, keys and values trimmed of blanks and tabs.
LYRWIZ_MBD_EXPORT ConstraintReading ReadConstraint(const StringBase& text);
// The forms a constraint string may take, as a user reads them in a message.
LYRWIZ_MBD_EXPORT const char* ConstraintFormsText();
// The location a "LOC=..." string gives, exactly as stored after the first "=" (the key before
// it is trimmed and compared ignoring case); false when the string is not a LOC string.
LYRWIZ_MBD_EXPORT bool LocationIn(const StringBase& constraintString, StringBase& location);
// The location of the first LOC string of the list; false when none.
LYRWIZ_MBD_EXPORT bool FirstLocation(const std::vector<StringBase>& constraintStrings,
                                     StringBase& location);
// Every location the LOC strings of the list give, in order, as LocationIn reads them;
// empty when there is no LOC string.
LYRWIZ_MBD_EXPORT std::vector<StringBase> Locations(
    const std::vector<StringBase>& constraintStrings);
// A stored location as a user reads it, shows it and compares it: trimmed of blanks and tabs
// (empty when it is blanks only).
LYRWIZ_MBD_EXPORT StringBase ReadableLocation(const StringBase& stored);
// True when a location names no place: it is empty or blanks only.
LYRWIZ_MBD_EXPORT bool IsBlankLocation(const StringBase& location);
// The location of an FPGA pin as a user reads it: the ReadableLocation of its first LOC
// string (so it may be empty); false when the pin has no LOC string.
LYRWIZ_MBD_EXPORT bool PinLocation(const LyrBase::Property& fpgaPort, StringBase& location);

// --- clocks ---
// True when the parameter's role is clk_freq ignoring case.
LYRWIZ_MBD_EXPORT bool IsFrequencyParam(const LyrBase::Property& param);
// The RANGE sub-property of a frequency parameter; null when it has none, and the model then
// takes the clock to deliver every frequency (UnrestrictedRange).
LYRWIZ_MBD_EXPORT const LyrBase::PsfComp* RangeOf(const LyrBase::Property& param);
// A frequency or range number as the model reads it: the leading decimal digits after blanks,
// 0 when there are none (so "20x" reads as 20).
LYRWIZ_MBD_EXPORT unsigned FrequencyOf(const StringBase& text);
// True when the text, blanks around it aside, is nothing but a decimal number of 32 bits, so
// that FrequencyOf reads exactly what is written.
LYRWIZ_MBD_EXPORT bool IsPlainNumber(const StringBase& text);
// The elements of a RANGE sub-property's typed value, each a list of number texts: each
// element of a list of lists; a plain list as one element; a single string whose text is a
// list (as expansion copies write) as that list; any other single string as a one-number
// element; empty without a typed value.
LYRWIZ_MBD_EXPORT std::vector<std::vector<StringBase>> RangeElements(
    const LyrBase::PsfComp& range);
// The record of one element of clock insName: (f) the single frequency f (step 1), (lo, hi)
// every frequency between (step 0), (lo, hi, step); false for any other count of numbers.
LYRWIZ_MBD_EXPORT bool RangeRecord(const std::vector<StringBase>& element,
                                   const StringBase& insName, MBD::ClkRng& record);
// The record of a frequency parameter without RANGE: every frequency.
LYRWIZ_MBD_EXPORT MBD::ClkRng UnrestrictedRange(const StringBase& insName);
// True when the range admits freq (a step of 0 counts as 1).
LYRWIZ_MBD_EXPORT bool RangeAdmits(const MBD::ClkRng& range, unsigned freq);
// True when the range admits no frequency at all: its minimum is above its maximum.
LYRWIZ_MBD_EXPORT bool RangeIsReversed(const MBD::ClkRng& range);

// --- memories ---
// True when the parameter's MEMORY_TYPE, trimmed, is FLASH ignoring case.
LYRWIZ_MBD_EXPORT bool IsFlashParam(const LyrBase::Property& param);
// The parameter's MEMORY_TYPE (e.g. FLASH, SDRAM, DDR), trimmed; empty when it has none.
LYRWIZ_MBD_EXPORT StringBase MemoryTypeOf(const LyrBase::Property& param);
// True when instances of the IO type are external memories: QOR_DDR_V1, QOR_DDR2_V1 and
// QOR_MEMORY_V1, ignoring case.
LYRWIZ_MBD_EXPORT bool IsMemoryIoType(const StringBase& ioType);
// The parameter that gives a memory's size: the first with a MEMORY_TYPE, else the first whose
// role is MEMORY_SIZE_ROLE; null when the block has neither.
LYRWIZ_MBD_EXPORT const LyrBase::Property* MemorySizeParam(const LyrBoard::QbdBlock& block);
// The role of the parameter holding a memory's size in bytes.
LYRWIZ_MBD_EXPORT extern const char* const MEMORY_SIZE_ROLE;

// --- expansion of a generic template ---
// The MAX_NUM_INSTANCES value that marks a key instance already expanded.
LYRWIZ_MBD_EXPORT extern const char* const EXPANDED_MARKER;
// More copies of one block than this ask for more than any board can mean: none are made.
constexpr unsigned MAX_INSTANCES = 1024;
// The most nodes (blocks, properties, sub-properties, FPGA pins) expansion adds to one tree;
// far above any real board. A block whose copies would pass it gets none.
constexpr unsigned long MAX_EXPANSION_NODES = 1000000;
// The most text (names and value texts of the nodes it adds, in bytes) expansion adds to one
// tree: 256 MiB, far above any real board, so that a few large values copied a thousand times
// cannot ask for gigabytes. A block whose copies would pass it gets none.
constexpr unsigned long long MAX_EXPANSION_BYTES = 256ull << 20;

// How a MAX_NUM_INSTANCES text reads: its radix follows its prefix ("0x" hexadecimal, a leading
// 0 octal, else decimal); text that is not a number reads as 0.
struct InstanceCount {
  unsigned value = 0;  // what the model uses
  bool expanded = false;  // the text is the marker: the block was expanded before
  bool plain = false;  // the text, blanks aside, is nothing but a number of 32 bits
  bool tooMany = false;  // value above MAX_INSTANCES
};
LYRWIZ_MBD_EXPORT InstanceCount ReadInstanceCount(const StringBase& text);
// True when expansion reads MAX_NUM_INSTANCES on this board: it is a generic template. On
// any other board the attribute does nothing.
LYRWIZ_MBD_EXPORT bool ReadsInstanceCounts(const LyrBoard::Qbd& qbd);

// What expansion will do with one block that carries MAX_NUM_INSTANCES.
struct ExpansionStep {
  LyrBoard::QbdBlock* block = nullptr;
  enum Outcome {
    Copy,
    AlreadyExpanded,
    NoInstanceAttr,
    TooMany,
    OverNodeLimit,
    NoCopies,
    OverByteLimit  // within the node limit, past MAX_EXPANSION_BYTES
  };
  Outcome outcome = NoCopies;
  unsigned copies = 0;  // copies to make (count - 1) for Copy and the two limits
  unsigned long nodes = 0;  // nodes the copies add, for Copy and the two limits
  unsigned long long bytes = 0;  // text the copies add, for Copy and the two limits
};
// The plan of the expansion of a generic template, worked out without touching the tree.
struct ExpansionPlan {
  std::vector<ExpansionStep> steps;  // blocks with MAX_NUM_INSTANCES, in board order
  bool needsFpgaBlock = false;  // some copied block has ports, and the board has no FPGA block
  unsigned long nodes = 0;  // nodes the planned copies add in all
  unsigned long long bytes = 0;  // text the planned copies add in all
};
// The plan for qbd (empty for null or a board that is not a generic template).
LYRWIZ_MBD_EXPORT ExpansionPlan PlanExpansion(const LyrBoard::Qbd* qbd);
// "FILE:LINE:COLUMN: error: ..." for each block the plan leaves without copies for the node
// or the byte limit, one per line; empty when none. `path` names the file where a node knows none.
LYRWIZ_MBD_EXPORT std::string OverLimitErrors(const ExpansionPlan& plan, const std::string& path);

}  // namespace MbdRules

#endif  // MBD_RULES_H
