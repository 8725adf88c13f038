#include "FileOutput.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <streambuf>

#include "ToolError.h"

namespace qbd {

namespace {

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
    : file_(target, force) {
  if (file_.refusedAsProtected())
    throw ToolError("qbd: error: cannot write " + target +
                    ": the file is write-protected (--force replaces it)");
  if (file_.failed())
    throw ToolError("qbd: error: cannot write " + target + ": " + std::strerror(file_.error()));
}

const std::string& ReplacingFile::temporaryPath() const { return file_.temporaryPath(); }

void ReplacingFile::check(bool done) const {
  if (done) return;
  throw ToolError("qbd: error: cannot write " + file_.target() + ": " +
                  std::strerror(file_.error()));
}

void ReplacingFile::write(const std::string& content) { check(file_.write(content)); }

void ReplacingFile::commit() { check(file_.commit()); }

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
