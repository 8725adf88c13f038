// Reading board files and texts into a board: the file input, and the swap that makes a read
// all or nothing.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LyrBoard.h"
#include "Parser.h"
#include "ReadErrors.h"

namespace LyrBoard {

namespace {

// No board comes near this; it keeps a device or a runaway pipe from filling the memory.
constexpr std::size_t kMaxFileBytes = std::size_t(1) << 30;

// Reads a whole file into `out`; an empty string when it worked, else the reason. Reading
// stops early at a NUL byte, since the text cannot be a board then (the reader reports it).
std::string Slurp(const char* path, std::string& out) {
  // Opening a FIFO that no one writes to would wait for a writer for ever; opened without
  // waiting, it reads as empty instead. Reads wait as usual once it is open.
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::strerror(errno);
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    const std::string reason = std::strerror(errno);
    ::close(fd);
    return reason;
  }
  struct stat st;
  std::string reason;
  if (::fstat(fd, &st) != 0) {
    reason = std::strerror(errno);
  } else if (S_ISDIR(st.st_mode)) {
    reason = std::strerror(EISDIR);
  } else if (S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) > kMaxFileBytes) {
    reason = std::strerror(EFBIG);
  } else {
    if (S_ISREG(st.st_mode)) out.reserve(static_cast<std::size_t>(st.st_size));
    std::vector<char> chunk(std::size_t(1) << 16);
    for (;;) {
      const ssize_t n = ::read(fd, chunk.data(), chunk.size());
      if (n == 0) break;
      if (n < 0) {
        if (errno == EINTR) continue;
        reason = std::strerror(errno);
        break;
      }
      out.append(chunk.data(), static_cast<std::size_t>(n));
      if (std::memchr(chunk.data(), '\0', static_cast<std::size_t>(n))) break;
      if (out.size() > kMaxFileBytes) {
        reason = std::strerror(EFBIG);
        break;
      }
    }
  }
  ::close(fd);
  return reason;
}

// Hands the whole pages of `text` that lie before `offset` back to the system, so that a
// large file does not stay in memory beside the tree made from it. The bytes read as zeros
// afterwards; only text that nothing reads again may be given.
class TextReleaser {
 public:
  explicit TextReleaser(const std::string& text)
      : start_(reinterpret_cast<std::uintptr_t>(text.data())), released_(PageUp(start_)) {}
  void operator()(std::size_t offset) {
    const std::uintptr_t end = (start_ + offset) & ~(Page() - 1);
    if (end <= released_) return;
    // Advice only: when the system declines, the pages just stay.
    (void)::madvise(reinterpret_cast<void*>(released_), end - released_, MADV_DONTNEED);
    released_ = end;
  }

 private:
  static std::uintptr_t Page() {
    static const std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    return page;
  }
  static std::uintptr_t PageUp(std::uintptr_t at) { return (at + Page() - 1) & ~(Page() - 1); }
  std::uintptr_t start_;
  std::uintptr_t released_;
};

}  // namespace

int Qbd::ReadFile(const char* path) {
  const std::string name = path ? path : "";
  std::string text;
  const std::string reason = name.empty() ? std::strerror(ENOENT) : Slurp(name.c_str(), text);
  // The text is ours and read once: what the parser has passed can go.
  if (reason.empty()) return ReadText(text.data(), text.size(), name.c_str(), TextReleaser(text));
  Fail(READ_OPEN_ERROR, {detail::MakeReadError(name, 1, 1, "cannot open board file: " + reason)});
  return READ_OPEN_ERROR;
}

int Qbd::ReadString(const char* text, const char* sourceName) {
  return ReadBuffer(text ? text : "", text ? std::strlen(text) : 0, sourceName);
}

int Qbd::ReadBuffer(const char* data, std::size_t size, const char* sourceName) {
  return ReadText(data, size, sourceName, {});
}

int Qbd::ReadText(const char* data, std::size_t size, const char* sourceName,
                  const std::function<void(std::size_t)>& consumed) {
  const std::string file = sourceName ? sourceName : "<string>";
  if (!data) size = 0;
  Qbd fresh;
  std::vector<ReadError> errors;
  if (const void* nul = size ? std::memchr(data, '\0', size) : nullptr) {
    // Binary data: one clear message rather than a cascade of syntax errors.
    const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(nul) - data);
    unsigned line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < at; ++i)
      if (data[i] == '\n') {
        ++line;
        lineStart = i + 1;
      }
    errors.push_back(detail::MakeReadError(
        file, line, static_cast<unsigned>(at - lineStart + 1),
        "expected text, found a NUL byte (is this a binary file?)"));
  } else {
    detail::ParseBoard(data, size, file, fresh, errors, consumed);
  }
  if (!errors.empty()) {
    Fail(READ_SYNTAX_ERROR, std::move(errors));
    return READ_SYNTAX_ERROR;
  }
  AdoptFrom(fresh);
  errorText_ = StringBase();
  errors_.clear();
  SetErrorCode(READ_OK);
  return READ_OK;
}

void Qbd::Fail(int code, std::vector<ReadError> errors) {
  Clear();
  std::string text;
  for (const ReadError& error : errors) text += detail::ReadErrorLine(error);
  errorText_ = StringBase(std::move(text));
  errors_ = std::move(errors);
  SetErrorCode(code);
}

}  // namespace LyrBoard
