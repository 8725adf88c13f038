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

// The file a write to `path` should replace: the end of its chain of links when it is a link,
// also when that end does not exist yet (a dangling link is written through, not replaced).
std::string resolvedTarget(const std::string& path) {
  std::string current = path;
  // As many links as the system itself follows before it gives up with ELOOP.
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::vector<char> buffer(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
    const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size());
    if (n < 0 || static_cast<std::size_t>(n) >= buffer.size()) return current;
    const std::string next(buffer.data(), static_cast<std::size_t>(n));
    const auto slash = current.rfind('/');
    current = next.front() == '/' || slash == std::string::npos
                  ? next
                  : current.substr(0, slash + 1) + next;
  }
  return path;
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

// The permissions the new file should get: the target's when it exists, without the bits
// that would run the program as its owner or group (a new file is no program of theirs), else
// what a plain create would give under the current umask.
mode_t modeFor(const std::string& target) {
  struct stat st;
  if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777 & ~(S_ISUID | S_ISGID);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// True when `path` exists and is something other than a regular file or a folder: a FIFO, a
// device or a socket, reached through any links (/dev/stdout, /proc/self/fd/N included).
bool isSpecialFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

// True when the existing regular file is protected from this user's writes: access(2) says so,
// or, for the superuser whom access lets write anything, no one has a write bit on it.
bool isWriteProtected(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (::access(path.c_str(), W_OK) != 0) return errno == EACCES || errno == EROFS;
  return ::geteuid() == 0 && (st.st_mode & 0222) == 0;
}

// The pattern of the temporary file beside `target`: ".NAME.XXXXXX", or a short ".qbd.XXXXXX"
// when that would be longer than a name in the folder may be.
std::string temporaryPattern(const std::string& target) {
  const std::string folder = folderOf(target);
  const std::string base = baseOf(target);
  const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  const std::size_t longest = limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
  const std::string name = base.size() + 8 <= longest ? "." + base + ".XXXXXX" : ".qbd.XXXXXX";
  return folder + "/" + name;
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

ReplacingFile::ReplacingFile(const std::string& target, bool force)
    : target_(resolvedTarget(target)) {
  if (isSpecialFile(target)) {
    // Opened by the name given: /proc/self/fd/1 reopens the pipe it stands for.
    direct_ = true;
    target_ = target;
    temporary_ = target;
    fd_ = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) fail(errno);
    return;
  }
  if (!force && isWriteProtected(target_))
    throw ToolError("qbd: error: cannot write " + target +
                    ": the file is write-protected (--force replaces it)");
  const std::string pattern = temporaryPattern(target_);
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
  if (!committed_ && !direct_) ::unlink(temporary_.c_str());
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
  if (direct_) {
    const int fd = fd_;
    fd_ = -1;
    committed_ = true;
    if (::close(fd) != 0) fail(errno);
    return;
  }
  if (::fchmod(fd_, modeFor(target_)) != 0) fail(errno);
  // Data that only reaches the disk after the rename could leave an empty file behind a crash.
  if (::fsync(fd_) != 0 && errno != EINVAL) fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) fail(errno);
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) fail(errno);
  committed_ = true;
}

void replaceFile(const std::string& path, const std::string& content, bool force) {
  ReplacingFile file(path, force);
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
