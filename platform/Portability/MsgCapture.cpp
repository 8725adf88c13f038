#include "Portability.h"

// Made, destroyed and filled in Messages.cpp, beside the sink it stands in for.

std::vector<std::string> Port_MsgCapture::texts(Port_MsgKind kind) const {
  std::vector<std::string> result;
  for (const Message& m : messages_)
    if (m.kind == kind) result.push_back(m.text);
  return result;
}

std::string Port_MsgCapture::text() const {
  std::string result;
  for (const Message& m : messages_) result += m.text;
  return result;
}
