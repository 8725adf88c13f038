#include "Portability.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace {

bool TracesWanted() {
  const char* v = std::getenv("QBD_TRACE");
  return v && *v && std::strcmp(v, "0") != 0;
}

void DefaultSink(Port_MsgKind kind, const std::string& text) {
  if (kind == Port_MsgKind::Trace && !TracesWanted()) return;
  std::fputs(text.c_str(), stderr);
}

// The sink is shared by every thread. A message takes its own reference to the sink under the
// lock and calls it outside, so a sink may be replaced while another thread is inside the old
// one (which stays alive until that call returns), and a sink may itself send messages.
struct SinkSlot {
  std::mutex mutex;
  std::shared_ptr<const Port_MsgSink> sink = std::make_shared<const Port_MsgSink>(DefaultSink);
};

// Never destroyed: messages may be sent during static destruction.
SinkSlot& Slot() {
  static SinkSlot* slot = new SinkSlot;
  return *slot;
}

std::shared_ptr<const Port_MsgSink> CurrentSink() {
  SinkSlot& slot = Slot();
  std::lock_guard<std::mutex> lock(slot.mutex);
  return slot.sink;
}

// The innermost capture of each thread; only its own thread reads or writes it, so a capture
// needs no lock and cannot see a message of another thread.
thread_local Port_MsgCapture* innermostCapture = nullptr;

}  // namespace

Port_MsgCapture::Port_MsgCapture() : outer_(innermostCapture) { innermostCapture = this; }

Port_MsgCapture::~Port_MsgCapture() { innermostCapture = outer_; }

void Port_MsgManData::send(Port_MsgKind kind, const std::string& text) {
  if (Port_MsgCapture* capture = innermostCapture) {
    capture->messages_.push_back(Port_MsgCapture::Message{kind, text});
    return;
  }
  (*CurrentSink())(kind, text);
}

Port_MsgManData::Port_MsgManData(const char* domain, const char* file, int line,
                                 const char* revision)
    : domain_(domain ? domain : ""), file_(file ? file : ""), revision_(revision ? revision : ""),
      line_(line) {}

std::unique_ptr<Port_MsgManData> Port_MsgManData::createObject(const char* domain,
                                                              const char* file, int line,
                                                              const char* revision) {
  return std::unique_ptr<Port_MsgManData>(new Port_MsgManData(domain, file, line, revision));
}

void Port_MsgManData::issueError(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string text = Port_FormatV(fmt, args);
  va_end(args);
  // The formatted message leads; where it came from follows for whoever reads the log.
  if (!text.empty() && text.back() != '\n') text += ' ';
  text += "(" + domain_ + " " + file_ + ":" + std::to_string(line_) + " " + revision_ + ")\n";
  send(Port_MsgKind::Error, text);
}

void Port_MsgManData::debugStub(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  const std::string text = Port_FormatV(fmt, args);
  va_end(args);
  send(Port_MsgKind::Trace, text);
}

Port_MsgSink Port_MsgManData::setSink(Port_MsgSink sink) {
  auto next =
      std::make_shared<const Port_MsgSink>(sink ? std::move(sink) : Port_MsgSink(DefaultSink));
  SinkSlot& slot = Slot();
  std::lock_guard<std::mutex> lock(slot.mutex);
  Port_MsgSink previous = *slot.sink;
  slot.sink = std::move(next);
  return previous;
}
