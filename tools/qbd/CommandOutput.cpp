#include "CommandOutput.h"

#include <iostream>
#include <memory>
#include <streambuf>

#include "FileOutput.h"

namespace qbd {

namespace {

// A stream buffer that hands its bytes to a ReplacingFile a buffer at a time, so that a long
// result is never held whole.
class ReplacingBuffer : public std::streambuf {
 public:
  ReplacingBuffer(const std::string& target, bool force) : file_(target, force) {
    setp(buffer_, buffer_ + sizeof buffer_);
  }
  // Writes what is buffered and replaces the target; throws ToolError when it cannot.
  void commit() {
    drain();
    file_.commit();
  }

 protected:
  int_type overflow(int_type c) override {
    drain();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override {
    drain();
    return 0;
  }

 private:
  // ReplacingFile::write throws on a lost byte; the exception leaves the stream and reaches
  // main, which reports it.
  void drain() {
    const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
    if (size != 0) file_.write(std::string(pbase(), size));
    setp(buffer_, buffer_ + sizeof buffer_);
  }

  ReplacingFile file_;
  char buffer_[1 << 16];
};

struct Redirect {
  std::unique_ptr<ReplacingBuffer> buffer;
  std::streambuf* previous = nullptr;
};

Redirect& current() {
  static Redirect redirect;
  return redirect;
}

void restore() {
  Redirect& r = current();
  if (r.previous) std::cout.rdbuf(r.previous);
  r.previous = nullptr;
  std::cout.exceptions(std::ios::goodbit);
  std::cout.clear();
}

}  // namespace

void openCommandOutput(const std::string& path, bool force) {
  if (path.empty() || path == "-") return;
  Redirect& r = current();
  r.buffer = std::make_unique<ReplacingBuffer>(path, force);
  r.previous = std::cout.rdbuf(r.buffer.get());
  // The stream reports failures by exception, so that a lost byte is never silent.
  std::cout.exceptions(std::ios::badbit);
}

void commitCommandOutput() {
  Redirect& r = current();
  if (!r.buffer) return;
  restore();
  std::unique_ptr<ReplacingBuffer> buffer = std::move(r.buffer);
  buffer->commit();
}

void abandonCommandOutput() {
  Redirect& r = current();
  restore();
  r.buffer.reset();
}

}  // namespace qbd
