#include "Portability.h"

Port_MsgCapture::Port_MsgCapture() {
  previous_ = Port_MsgManData::setSink([this](Port_MsgKind kind, const std::string& text) {
    messages_.push_back(Message{kind, text});
  });
}

Port_MsgCapture::~Port_MsgCapture() { Port_MsgManData::setSink(std::move(previous_)); }

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
