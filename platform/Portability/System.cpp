#include "Portability.h"

#include <sys/stat.h>

#include <cstdlib>

bool Port::File::exist(const char* path) {
  struct stat st;
  return path && *path && ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

StringBase Port_Env::GetEnv(const char* name) {
  const char* v = name ? std::getenv(name) : nullptr;
  return StringBase(v ? v : "");
}
