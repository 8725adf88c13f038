// What every reader hands its findings to: the rows of one file by port name and line set,
// and its located messages.
#ifndef MBD_READER_TABLE_H
#define MBD_READER_TABLE_H

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "MbdConstraintReader.h"
#include "ReaderLines.h"

namespace MbdFormats {
namespace detail {

class TableBuilder {
 public:
  TableBuilder(ReadResult& result, std::string file, const LineMap& lines);
  TableBuilder(const TableBuilder&) = delete;
  TableBuilder& operator=(const TableBuilder&) = delete;

  // Places `name` at `location`: on the port's latest row while that has no location (or the
  // same one), otherwise on a new row in the line's set (an alternative, or a second place).
  // A location no LOC string can hold as it is (blanks and '=' that would read as more) is
  // skipped with a note.
  void Locate(const std::string& name, const std::string& location, unsigned line);
  // Sets one setting (a key the neutral reading knows, or one kept as a pass-through; DIRECTION
  // sets the direction) on the port's latest row, made when there is none. A key or value that
  // no board string can hold as it is is skipped with a note.
  void Set(const std::string& name, const std::string& key, const std::string& value, bool hasValue,
           unsigned line);
  // Sets a setting on every port whose name matches `pattern` ('*' and '?' only), when the
  // file is finished: patterns name ports the file may constrain later.
  void SetMatching(const std::string& pattern, const std::string& key, const std::string& value,
                   bool hasValue, unsigned line);
  // The port's clock, from a PERIOD or FREQUENCY value with its unit ("10 ns", "25 MHz");
  // false, setting nothing, when the value gives no frequency.
  bool Clock(const std::string& name, const std::string& key, const std::string& value,
             unsigned line);
  // The two ports are the P and N sides of one pair, set up as one: the N side takes the P
  // side's settings where it has none of its own.
  void Pair(const std::string& positive, const std::string& negative, unsigned line);
  // The same, when the file is finished and only if it has rows for both: the name alone
  // suggests the pair (qsf's "x(n)").
  void PairIfBoth(const std::string& positive, const std::string& negative);

  // A command skipped (refused, not understood, or a setting with nowhere to go).
  void Skip(unsigned line, unsigned column, std::string message);
  // The file does not read here.
  void Error(unsigned line, unsigned column, std::string message);
  // Column 0 stands for the line's first character.
  unsigned ColumnOf(unsigned line, unsigned column) const;
  bool HasErrors() const { return result_.errors.size() > errorsBefore_; }

  // Applies the patterns, fills bus stems, the board strings and the line sets.
  void Finish();

 private:
  std::size_t NewRow(const std::string& name, unsigned line);
  std::size_t LatestRow(const std::string& name, unsigned line);

  struct Pattern {
    std::string pattern, key, value;
    bool hasValue;
    unsigned line;
  };

  ReadResult& result_;
  std::string file_;
  const LineMap& lines_;
  std::size_t firstRow_;
  std::size_t errorsBefore_;
  std::unordered_map<std::string, std::size_t> latest_;
  void SetOn(std::size_t row, const std::string& key, const std::string& value, bool hasValue,
             unsigned line);

  // Per row of this file: the heading run it began under, and its direction (which is no
  // constraint string on a board).
  std::vector<unsigned> rowHeading_;
  std::vector<MbdPins::Direction> rowDirection_;
  std::vector<Pattern> patterns_;
  std::vector<std::pair<std::string, std::string>> likelyPairs_;
  std::vector<std::pair<std::size_t, std::size_t>> pairs_;  // rows: P side, N side
};

// The N side's name of a pair whose P side is `name`: x_p -> x_n (x_P -> x_N), else x_n.
std::string NegativeSideOf(const std::string& name);

// True when `name` matches `pattern`, where '*' is any run and '?' any one character; brackets
// are literal, as the tools read bus bits in port patterns.
bool GlobMatch(const std::string& pattern, const std::string& name);

}  // namespace detail
}  // namespace MbdFormats

#endif  // MBD_READER_TABLE_H
