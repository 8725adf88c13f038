// The golden files of the writer tests: a file's whole text, and the comparison with the
// expected output that QBD_UPDATE_EXPECTED=1 turns into rewriting it.
#ifndef FORMATS_GOLDEN_H
#define FORMATS_GOLDEN_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace golden {

// The bytes of the file at `path`; empty when it cannot be read.
inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Compares `text` with expected/`file`; QBD_UPDATE_EXPECTED=1 rewrites that file instead.
inline void ExpectGolden(const std::string& file, const std::string& text) {
  const std::string path = std::string(FORMATS_TEST_DIR) + "/expected/" + file;
  if (std::getenv("QBD_UPDATE_EXPECTED")) {
    std::ofstream(path, std::ios::binary) << text;
    return;
  }
  EXPECT_EQ(text, Slurp(path)) << "golden file " << path;
}

}  // namespace golden

#endif  // FORMATS_GOLDEN_H
