#include "FileOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <vector>

#include "ToolError.h"

namespace qbd {

namespace {

// The file a write to `path` should replace: the end of its chain of links when it is a link.
std::string resolvedTarget(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char buffer[PATH_MAX];
  return ::realpath(path.c_str(), buffer) ? std::string(buffer) : path;
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The permissions the new file should get: the target's when it exists, else what a plain
// create would give under the current umask.
mode_t modeFor(const std::string& target) {
  struct stat st;
  if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// A stream buffer over a file descriptor that remembers the first error of write(2): the C
// library's stdout keeps only a flag, and errno is long gone by the time anyone asks.
class DescriptorBuffer : public std::streambuf {
 public:
  explicit DescriptorBuffer(int fd) : fd_(fd) { setp(buffer_, buffer_ + sizeof buffer_); }
  // The errno of the first failed write; 0 while every byte arrived.
  int error() const { return error_; }

 protected:
  int_type overflow(int_type c) override {
    if (!drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return drain() ? 0 : -1; }

 private:
  // Writes out the buffer; after a failure the rest is dropped, since it can no longer arrive
  // in order.
  bool drain() {
    const char* data = pbase();
    std::size_t left = static_cast<std::size_t>(pptr() - pbase());
    while (left > 0 && error_ == 0) {
      const ssize_t n = ::write(fd_, data, left);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        error_ = n < 0 ? errno : EIO;
        break;
      }
      data += n;
      left -= static_cast<std::size_t>(n);
    }
    setp(buffer_, buffer_ + sizeof buffer_);
    return error_ == 0;
  }

  int fd_;
  int error_ = 0;
  char buffer_[1 << 16];
};

// Never destroyed: std::cout is flushed at exit, after any static buffer would be gone.
DescriptorBuffer& StandardOutput() {
  static DescriptorBuffer* buffer = new DescriptorBuffer(STDOUT_FILENO);
  return *buffer;
}

}  // namespace

ReplacingFile::ReplacingFile(const std::string& target) : target_(resolvedTarget(target)) {
  std::string pattern = folderOf(target_) + "/." + baseOf(target_) + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd_ = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd_ < 0) {
    const int error = errno;
    throw ToolError("qbd: error: cannot write " + target + ": " + std::strerror(error));
  }
  temporary_ = name.data();
}

ReplacingFile::~ReplacingFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_) ::unlink(temporary_.c_str());
}

void ReplacingFile::fail(int error) const {
  throw ToolError("qbd: error: cannot write " + target_ + ": " + std::strerror(error));
}

void ReplacingFile::write(const std::string& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd_, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail(n < 0 ? errno : ENOSPC);
    done += static_cast<std::size_t>(n);
  }
}

void ReplacingFile::commit() {
  if (::fchmod(fd_, modeFor(target_)) != 0) fail(errno);
  // Data that only reaches the disk after the rename could leave an empty file behind a crash.
  if (::fsync(fd_) != 0 && errno != EINVAL) fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) fail(errno);
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) fail(errno);
  committed_ = true;
}

void replaceFile(const std::string& path, const std::string& content) {
  ReplacingFile file(path);
  file.write(content);
  file.commit();
}

void takeStandardOutput() {
  std::fflush(stdout);
  std::cout.rdbuf(&StandardOutput());
}

void finishStandardOutput() {
  std::cout.flush();
  int error = StandardOutput().error();
  // Anything that went through the C library's stdout instead is checked there.
  if (error == 0 && (std::fflush(stdout) != 0 || std::ferror(stdout))) error = errno ? errno : EIO;
  if (error == 0 && !std::cout) error = EIO;
  if (error == 0) return;
  throw ToolError(std::string("qbd: error: cannot write standard output: ") +
                  std::strerror(error));
}

}  // namespace qbd
