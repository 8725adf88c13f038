// Replacing a file: every kind of target a writer may be pointed at, and what it holds after.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "Portability/ReplacingFile.h"

#include "../support/TempFolder.h"

namespace {

const std::string kOld = "old contents\n";
const std::string kNew = "new contents\nover two lines\n";

using qbdtest::Contents;
using qbdtest::TempFolder;

void MakeFile(const std::string& path, const std::string& text, mode_t mode) {
  { std::ofstream(path, std::ios::binary) << text; }
  ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
}

// What a non-blocking descriptor gives, up to `size` bytes: a terminal hands its bytes on a
// moment later, so it is waited for, as long as more keeps coming.
std::string Drain(int fd, std::size_t size) {
  std::string got;
  char buffer[4096];
  pollfd ready{fd, POLLIN, 0};
  while (got.size() < size && ::poll(&ready, 1, 5000) > 0) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    got.append(buffer, static_cast<std::size_t>(n));
  }
  return got;
}

// The file type bits of `path` itself (a link is a link); 0 when it does not exist.
mode_t KindOf(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

mode_t UmaskDefault() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// What a case writes to, and where the bytes that went there can be read back.
struct Target {
  Target(std::string n = "", std::string back = "") : name(std::move(n)), readBack(std::move(back)) {}
  std::string name;        // relative to the folder; empty when the case cannot be set up here
  std::string readBack;    // the file that should hold the result, relative; empty: see fd
  int fd = -1;             // a non-blocking descriptor the bytes come out of, else -1
  std::vector<int> owned;  // descriptors to close at the end
};

struct Case {
  const char* title;
  std::function<Target(const TempFolder&)> setUp;
  bool force;
  int error;             // the expected errno; 0 when the write succeeds
  bool refusedAsProtected;
  int mode;              // the read-back file's expected permissions, or one of these:
};

constexpr int kNotChecked = -1;
constexpr int kUmaskDefault = -2;  // what a plain create gives

Target FileWithMode(const TempFolder& folder, mode_t mode) {
  MakeFile(folder / "t.qbd", kOld, mode);
  return {"t.qbd", "t.qbd"};
}

Target LinkTo(const TempFolder& folder, const std::string& to, const std::string& readBack) {
  EXPECT_EQ(::symlink(to.c_str(), (folder / "link").c_str()), 0);
  return {"link", readBack};
}

std::string LongestName(const TempFolder& folder) {
  const long longest = ::pathconf((folder / ".").c_str(), _PC_NAME_MAX);
  return std::string(static_cast<std::size_t>(longest > 0 ? longest : 255), 'n');
}

// A copy of the character device major:minor; empty when this user may not make one.
Target DeviceCopy(const TempFolder& folder, unsigned minor) {
  if (::mknod((folder / "dev").c_str(), S_IFCHR | 0666, makedev(1, minor)) != 0) return {};
  return {"dev", ""};
}

Target PipeThroughProc(const TempFolder& folder) {
  int ends[2];
  if (::pipe2(ends, O_NONBLOCK) != 0) return {};
  Target target = LinkTo(folder, "/proc/self/fd/" + std::to_string(ends[1]), "");
  target.fd = ends[0];
  target.owned = {ends[0], ends[1]};
  return target;
}

Target Terminal(const TempFolder& folder) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return {};
  const std::string slave = ::ptsname(master);
  // Held open so that the terminal keeps what is written until it is read, untranslated.
  const int held = ::open(slave.c_str(), O_RDWR | O_NOCTTY);
  termios raw;
  if (held < 0 || ::tcgetattr(held, &raw) != 0) return {};
  ::cfmakeraw(&raw);
  ::tcsetattr(held, TCSANOW, &raw);
  Target target = LinkTo(folder, slave, "");
  target.fd = master;
  target.owned = {master, held};
  return target;
}

const Case kCases[] = {
    {"a new file gets the usual permissions", [](const TempFolder&) {
       return Target{"new.qbd", "new.qbd"};
     }, false, 0, false, kUmaskDefault},
    {"an existing file keeps its permissions",
     [](const TempFolder& f) { return FileWithMode(f, 0640); }, false, 0, false, 0640},
    {"set-id bits are dropped",
     [](const TempFolder& f) { return FileWithMode(f, 06755); }, false, 0, false, 0755},
    {"a link is written where it points", [](const TempFolder& f) {
       MakeFile(f / "t.qbd", kOld, 0640);
       return LinkTo(f, "t.qbd", "t.qbd");
     }, false, 0, false, 0640},
    {"a dangling link gets its file made",
     [](const TempFolder& f) { return LinkTo(f, "made.qbd", "made.qbd"); }, false, 0, false, kUmaskDefault},
    {"a write-protected file is refused",
     [](const TempFolder& f) { return FileWithMode(f, 0444); }, false, EACCES, true, 0444},
    {"a write-protected file is replaced when forced",
     [](const TempFolder& f) { return FileWithMode(f, 0444); }, true, 0, false, 0444},
    {"a new name of the longest length", [](const TempFolder& f) {
       return Target{LongestName(f), LongestName(f)};
     }, false, 0, false, kUmaskDefault},
    {"an existing name of the longest length", [](const TempFolder& f) {
       MakeFile(f / LongestName(f), kOld, 0600);
       return Target{LongestName(f), LongestName(f)};
     }, false, 0, false, 0600},
    {"a folder is refused", [](const TempFolder& f) {
       EXPECT_EQ(::mkdir((f / "sub").c_str(), 0755), 0);
       return Target{"sub", ""};
     }, false, EISDIR, false, kNotChecked},
    {"a missing folder", [](const TempFolder&) { return Target{"no/such.qbd", ""}; }, false,
     ENOENT, false, kNotChecked},
    {"a FIFO with a reader is written into", [](const TempFolder& f) {
       EXPECT_EQ(::mkfifo((f / "fifo").c_str(), 0644), 0);
       // The reader, opened first, so that the writer's open does not wait for one.
       Target target{"fifo", ""};
       target.fd = ::open((f / "fifo").c_str(), O_RDONLY | O_NONBLOCK);
       target.owned = {target.fd};
       return target;
     }, false, 0, false, kNotChecked},
    {"a pipe named through /proc/self/fd is written into", PipeThroughProc, false, 0, false, kNotChecked},
    {"a terminal is written into", Terminal, false, 0, false, kNotChecked},
    {"a copy of /dev/null is written into",
     [](const TempFolder& f) { return DeviceCopy(f, 3); }, false, 0, false, kNotChecked},
    {"a copy of /dev/full reports the full device",
     [](const TempFolder& f) { return DeviceCopy(f, 7); }, false, ENOSPC, false, kNotChecked},
};

TEST(ReplacingFile, Targets_GetTheNewContentsOrKeepTheOld) {
  // Not the usual mask, so that a new file's mode shows the writer asked for it.
  const mode_t savedMask = ::umask(027);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.title);
    TempFolder folder;
    Target target = c.setUp(folder);
    if (target.name.empty()) {  // a device or terminal this user cannot make
      std::printf("skipped here: %s\n", c.title);
      continue;
    }
    const std::string path = folder / target.name;
    const mode_t kindBefore = KindOf(path);
    const std::vector<std::string> namesBefore = folder.Names();

    bool refused = true;
    const int error = Port::ReplaceFileContents(path, kNew.data(), kNew.size(), c.force, &refused);

    EXPECT_EQ(error, c.error) << std::strerror(error);
    EXPECT_EQ(refused, c.refusedAsProtected);
    // What was there stays what it was: a link a link, a FIFO a FIFO, a device a device.
    if (kindBefore != 0) {
      EXPECT_EQ(KindOf(path), kindBefore);
    }
    if (!target.readBack.empty()) {
      const std::string file = folder / target.readBack;
      EXPECT_EQ(Contents(file), c.error == 0 ? kNew : kOld);
      struct stat st;
      const mode_t mode = c.mode == kUmaskDefault ? UmaskDefault() : static_cast<mode_t>(c.mode);
      if (c.mode != kNotChecked && ::stat(file.c_str(), &st) == 0) {
        EXPECT_EQ(st.st_mode & 07777, mode);
      }
    }
    if (target.fd >= 0) {
      EXPECT_EQ(Drain(target.fd, kNew.size()), kNew);
    }
    // Nothing left beside the target: only the files the case made, and the one it wrote.
    std::vector<std::string> expected = namesBefore;
    if (c.error == 0 && !target.readBack.empty() &&
        std::find(expected.begin(), expected.end(), target.readBack) == expected.end())
      expected.push_back(target.readBack);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder.Names(), expected);
    for (int fd : target.owned) ::close(fd);
  }
  ::umask(savedMask);
}

TEST(ReplacingFile, Abandoned_KeepsTheTargetAndRemovesTheNewFile) {
  TempFolder folder;
  const std::string path = folder / "t.qbd";
  MakeFile(path, kOld, 0644);
  {
    Port::ReplacingFile file(path);
    ASSERT_FALSE(file.failed()) << std::strerror(file.error());
    EXPECT_FALSE(file.writesInPlace());
    // Beside the target, so that the rename stays within one file system.
    EXPECT_EQ(file.temporaryPath().rfind(folder / ".", 0), 0u) << file.temporaryPath();
    EXPECT_TRUE(file.write(kNew));
    EXPECT_EQ(Contents(path), kOld);
  }
  EXPECT_EQ(Contents(path), kOld);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"t.qbd"});
}

TEST(ReplacingFile, FailedWrite_KeepsTheTargetAndReportsTheReason) {
  TempFolder folder;
  const std::string path = folder / "t.qbd";
  MakeFile(path, kOld, 0644);
  // A file size limit smaller than the new contents: write(2) then fails with EFBIG.
  rlimit saved;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 8;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  {
    Port::ReplacingFile file(path);
    const bool written = file.write(kNew);
    const bool committed = file.commit();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(written);
    EXPECT_FALSE(committed);
    EXPECT_EQ(file.error(), EFBIG) << std::strerror(file.error());
    EXPECT_EQ(Contents(path), kOld);
  }
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"t.qbd"});
}

}  // namespace
