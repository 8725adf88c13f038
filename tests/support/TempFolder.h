// A fresh folder under /tmp for tests that write files, and what a file holds.
#ifndef QBD_TESTS_TEMP_FOLDER_H
#define QBD_TESTS_TEMP_FOLDER_H

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qbdtest {

// A fresh folder under /tmp, removed with what it holds at the end of the test.
class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/qbd_test_XXXXXX";
    path_ = ::mkdtemp(pattern) ? pattern : "";
  }
  ~TempFolder() {
    const std::string command = "rm -rf '" + path_ + "'";
    if (!path_.empty()) {
      EXPECT_EQ(std::system(command.c_str()), 0);
    }
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // The names in the folder, sorted; empty when it holds none.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(path_.c_str())) {
      while (const dirent* entry = ::readdir(dir))
        if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
          names.push_back(entry->d_name);
      ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

// The bytes of the file; empty when it cannot be read.
inline std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace qbdtest

#endif  // QBD_TESTS_TEMP_FOLDER_H
