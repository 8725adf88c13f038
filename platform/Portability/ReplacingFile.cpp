#include "Portability/ReplacingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <vector>

namespace Port {

namespace {

// The file a write to `path` should replace: the end of its chain of links, also when that end
// does not exist yet (a dangling link is written through, not replaced).
std::string LinkTarget(const std::string& path) {
  std::string current = path;
  // As many links as the system itself follows before it gives up with ELOOP.
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    // Links under /proc report a size of 0.
    std::vector<char> buffer(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
    const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return current;
    const std::string next(buffer.data(), static_cast<std::size_t>(n));
    const auto slash = current.rfind('/');
    current = next.front() == '/' || slash == std::string::npos
                  ? next
                  : current.substr(0, slash + 1) + next;
  }
  return path;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The process's umask. Setting it to read it back would change it for every other thread a
// moment, so it is read from /proc where the system shows it.
mode_t CurrentUmask() {
  if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
    char line[256];
    unsigned mask = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, status))
      found = std::sscanf(line, "Umask: %o", &mask) == 1;
    std::fclose(status);
    if (found) return static_cast<mode_t>(mask & 0777);
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// The permissions the new file should get: the target's when it exists, without the bits
// that would run it as its owner or group (new contents are no program of theirs), else what
// a plain create would give under the current umask.
mode_t ModeFor(const std::string& target) {
  struct stat st;
  if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777 & ~(S_ISUID | S_ISGID);
  return 0666 & ~CurrentUmask();
}

// True when `path` exists and is something other than a regular file or a folder: a FIFO, a
// device or a socket, reached through any links (/dev/stdout, /proc/self/fd/N included).
bool IsSpecialFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// True when the existing regular file is protected from this user's writes: access(2) says
// so, or, for the superuser whom access lets write anything, no one has a write bit on it. A
// read-only file system is no protection that forcing could overcome: the rename reports it.
bool IsWriteProtected(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (::access(path.c_str(), W_OK) != 0) return errno == EACCES;
  return ::geteuid() == 0 && (st.st_mode & 0222) == 0;
}

// The temporary file beside `target`: ".NAME.XXXXXX", or a short ".qbd.XXXXXX" when that
// would be longer than a name in the folder may be.
std::string TemporaryPattern(const std::string& target) {
  const std::string folder = FolderOf(target);
  const std::string base = BaseOf(target);
  const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  const std::size_t longest = limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
  const std::string name = base.size() + 8 <= longest ? "." + base + ".XXXXXX" : ".qbd.XXXXXX";
  return folder + "/" + name;
}

}  // namespace

ReplacingFile::ReplacingFile(const std::string& target, bool force)
    : target_(LinkTarget(target)) {
  if (target.empty()) {
    fail(ENOENT);
    return;
  }
  if (IsSpecialFile(target)) {
    // Opened by the name given: /proc/self/fd/1 reopens the pipe it stands for.
    direct_ = true;
    target_ = target;
    fd_ = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) {
      fail(errno);
      return;
    }
    temporary_ = target;
    return;
  }
  if (IsFolder(target_)) {
    fail(EISDIR);
    return;
  }
  if (!force && IsWriteProtected(target_)) {
    protected_ = true;
    fail(EACCES);
    return;
  }
  const std::string pattern = TemporaryPattern(target_);
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd_ = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd_ < 0) {
    fail(errno);
    return;
  }
  temporary_ = name.data();
}

ReplacingFile::~ReplacingFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !direct_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

bool ReplacingFile::fail(int error) {
  if (error_ == 0) error_ = error != 0 ? error : EIO;
  return false;
}

bool ReplacingFile::write(const char* data, std::size_t size) {
  if (failed() || fd_ < 0) return fail(EBADF);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd_, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    // A write that takes nothing and reports nothing is a full medium.
    if (n <= 0) return fail(n < 0 ? errno : ENOSPC);
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool ReplacingFile::commit() {
  if (failed() || fd_ < 0) return fail(EBADF);
  const int fd = fd_;
  fd_ = -1;
  if (direct_) {
    committed_ = true;
    return ::close(fd) == 0 || fail(errno);
  }
  bool ok = ::fchmod(fd, ModeFor(target_)) == 0 || fail(errno);
  // Data that reaches the disk only after the rename could leave an empty file behind a
  // crash. Some file systems cannot sync (EINVAL): their data is as safe as it gets.
  ok = ok && (::fsync(fd) == 0 || errno == EINVAL || fail(errno));
  if (::close(fd) != 0) ok = ok && fail(errno);
  ok = ok && (::rename(temporary_.c_str(), target_.c_str()) == 0 || fail(errno));
  committed_ = ok;
  return ok;
}

int ReplaceFileContents(const std::string& path, const char* data, std::size_t size,
                        bool force, bool* refusedAsProtected) {
  ReplacingFile file(path, force);
  if (file.write(data, size)) file.commit();
  if (refusedAsProtected) *refusedAsProtected = file.refusedAsProtected();
  return file.error();
}

}  // namespace Port
