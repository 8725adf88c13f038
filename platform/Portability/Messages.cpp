#include "Portability.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

Port_MsgSink& CurrentSink() {
  static Port_MsgSink sink = DefaultSink;
  return sink;
}

}  // namespace

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
  CurrentSink()(Port_MsgKind::Error, text);
}

void Port_MsgManData::debugStub(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  const std::string text = Port_FormatV(fmt, args);
  va_end(args);
  CurrentSink()(Port_MsgKind::Trace, text);
}

Port_MsgSink Port_MsgManData::setSink(Port_MsgSink sink) {
  Port_MsgSink previous = CurrentSink();
  CurrentSink() = sink ? std::move(sink) : Port_MsgSink(DefaultSink);
  return previous;
}
