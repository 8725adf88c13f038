#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "Portability.h"

namespace {

TEST(System, GetEnv_EmptyWhenUnset) {
  ::setenv("QBD_TEST_VARIABLE", "/opt/quorin vlk", 1);
  EXPECT_EQ(Port_Env::GetEnv("QBD_TEST_VARIABLE"), StringBase("/opt/quorin vlk"));
  ::unsetenv("QBD_TEST_VARIABLE");
  EXPECT_TRUE(Port_Env::GetEnv("QBD_TEST_VARIABLE").IsEmpty());
  EXPECT_TRUE(Port_Env::GetEnv(nullptr).IsEmpty());
}

TEST(System, FileExist_OnlyForRegularFiles) {
  char path[] = "/tmp/portability_file_XXXXXX";
  const int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_TRUE(Port::File::exist(path));
  std::remove(path);
  EXPECT_FALSE(Port::File::exist(path));
  EXPECT_FALSE(Port::File::exist("/tmp")) << "a directory is not a file";
  EXPECT_FALSE(Port::File::exist(""));
  EXPECT_FALSE(Port::File::exist(nullptr));
}

}  // namespace
