// What the table, clock, memory and module tests share: a board read from inline text and a
// capture of the trace messages.
#ifndef TESTS_TABLES_TESTBOARDS_H
#define TESTS_TABLES_TESTBOARDS_H

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "LyrBoard.h"
#include "MBD.h"
#include "Portability.h"

namespace tables_test {

// A board read from text in the board file syntax, and a model over it.
struct Board {
  explicit Board(const char* text) : qbd(new LyrBoard::Qbd()) {
    const int rc = qbd->ReadString(text, "<test>");
    EXPECT_EQ(0, rc) << qbd->GetErrorText().c_str();
    mbd.reset(new MBD(qbd.get()));
  }
  // The first block of that name, to reach nodes a test wants to change.
  LyrBoard::QbdBlock* Block(const char* name) const { return mbd->getBlockByName(name); }

  std::unique_ptr<LyrBoard::Qbd> qbd;
  std::unique_ptr<MBD> mbd;
};


// The values of a table under one key, in insertion order.
inline std::vector<std::string> ValuesOf(const MBD::Table& table, const char* key) {
  std::vector<std::string> values;
  const auto range = table.equal_range(StringBase(key));
  for (auto it = range.first; it != range.second; ++it) values.push_back(it->second.str());
  return values;
}

inline std::vector<std::string> Strings(const std::vector<StringBase>& in) {
  std::vector<std::string> out;
  for (const StringBase& s : in) out.push_back(s.str());
  return out;
}

}  // namespace tables_test

#endif  // TESTS_TABLES_TESTBOARDS_H
