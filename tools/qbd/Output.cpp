#include "Output.h"

#include "Portability.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace qbd {

namespace {

std::string joined(const Json& array) {
  std::string result;
  for (const Json& item : array) {
    const std::string text = cellText(item);
    if (text == "-") continue;
    if (!result.empty()) result += ", ";
    result += text;
  }
  return result;
}

std::string objectText(const Json& object) {
  std::string result;
  for (auto it = object.begin(); it != object.end(); ++it) {
    if (!result.empty()) result += " ";
    result += it.key() + "=" + (it->is_array() ? joined(*it) : cellText(*it));
  }
  return result;
}

void pad(std::ostream& out, const std::string& text, std::size_t width) {
  out << text;
  for (std::size_t w = displayWidth(text); w < width; ++w) out << ' ';
}

// The member at `key`; a dotted key ("fpga.family") descends into nested objects.
const Json& field(const Json& object, const std::string& key) {
  static const Json kNull;
  const Json* node = &object;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = key.find('.', start);
    if (!node->is_object()) return kNull;
    const auto it = node->find(key.substr(start, dot == std::string::npos ? dot : dot - start));
    if (it == node->end()) return kNull;
    node = &*it;
    if (dot == std::string::npos) return *node;
    start = dot + 1;
  }
}

// The length of the UTF-8 sequence at `i` when it is a control or a break that some readers
// take for the end of a line: a C1 control (U+0080 to U+009F, NEL among them), the line
// separator U+2028 or the paragraph separator U+2029; 0 for anything else.
std::size_t unicodeBreakAt(const std::string& text, std::size_t i) {
  const auto byte = [&text](std::size_t at) {
    return at < text.size() ? static_cast<unsigned char>(text[at]) : 0u;
  };
  if (byte(i) == 0xC2 && byte(i + 1) >= 0x80 && byte(i + 1) <= 0x9F) return 2;
  if (byte(i) == 0xE2 && byte(i + 1) == 0x80 && (byte(i + 2) == 0xA8 || byte(i + 2) == 0xA9))
    return 3;
  return 0;
}

// The code point of that sequence spelled \uXXXX.
std::string unicodeEscape(const std::string& text, std::size_t i, std::size_t length) {
  const unsigned b1 = static_cast<unsigned char>(text[i + 1]);
  const unsigned code = length == 2 ? b1 : 0x2000u | ((b1 & 0x3Fu) << 6) |
                                               (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\u%04x", code);
  return buf;
}

}  // namespace

std::string spellInvalidUtf8(const std::string& text) {
  std::string result;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Port_Utf8Length(text, i);
    if (length == 0) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned char>(text[i]));
      result += buf;
      ++i;
    } else {
      result.append(text, i, length);
      i += length;
    }
  }
  return result;
}

std::string escapeControls(const std::string& text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const std::size_t breakLength = unicodeBreakAt(text, i);
    if (c == '\n') {
      result += "\\n";
    } else if (c == '\t') {
      result += "\\t";
    } else if (c < 0x20 || c == 0x7f) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", c);
      result += buf;
    } else if (breakLength != 0) {
      result += unicodeEscape(text, i, breakLength);
      i += breakLength - 1;
    } else {
      result += static_cast<char>(c);
    }
  }
  return result;
}

std::size_t displayWidth(const std::string& text) {
  std::size_t width = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++width;
  return width;
}

std::string cellText(const Json& value) {
  std::string text;
  if (value.is_string()) {
    text = escapeControls(value.get<std::string>());
  } else if (value.is_boolean()) {
    text = value.get<bool>() ? "yes" : "no";
  } else if (value.is_number()) {
    text = value.dump();
  } else if (value.is_array()) {
    text = joined(value);
  } else if (value.is_object()) {
    text = objectText(value);
  }
  return text.empty() ? "-" : text;
}

void printTable(std::ostream& out, const Json& rows, const std::vector<Column>& columns) {
  streamTable(
      out, [&rows](const RowSink& sink) { for (const Json& row : rows) sink(row); }, columns);
}

void streamTable(std::ostream& out, const RowSource& rows, const std::vector<Column>& columns) {
  std::vector<std::size_t> widths;
  for (const Column& c : columns) widths.push_back(displayWidth(c.header));
  rows([&](const Json& row) {
    for (std::size_t i = 0; i < columns.size(); ++i)
      widths[i] = std::max(widths[i], displayWidth(cellText(field(row, columns[i].key))));
  });
  auto printLine = [&](const std::vector<std::string>& line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (i + 1 == line.size()) {
        out << line[i];
      } else {
        pad(out, line[i], widths[i]);
        out << "  ";
      }
    }
    out << '\n';
  };
  std::vector<std::string> line;
  for (const Column& c : columns) line.push_back(c.header);
  printLine(line);
  rows([&](const Json& row) {
    for (std::size_t i = 0; i < columns.size(); ++i) line[i] = cellText(field(row, columns[i].key));
    printLine(line);
  });
}

void printFields(std::ostream& out, const Json& object, const std::vector<Column>& columns) {
  std::size_t width = 0;
  for (const Column& c : columns) width = std::max(width, displayWidth(c.header) + 1);
  for (const Column& c : columns) {
    pad(out, c.header + ":", width);
    out << "  " << cellText(field(object, c.key)) << '\n';
  }
}

void printJson(std::ostream& out, const Json& value) {
  out << value.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
}

void JsonStream::indent(std::size_t depth) {
  for (std::size_t i = 0; i < depth; ++i) out_ << "  ";
}

void JsonStream::startItem() {
  if (keyed_) {
    keyed_ = false;
    return;
  }
  if (levels_.empty()) return;
  out_ << (levels_.back().empty ? "\n" : ",\n");
  levels_.back().empty = false;
  indent(levels_.size());
}

void JsonStream::open(char bracket) {
  startItem();
  out_ << bracket;
  levels_.push_back({bracket == '{' ? '}' : ']', true});
}

void JsonStream::end() {
  const Level level = levels_.back();
  levels_.pop_back();
  if (!level.empty) {
    out_ << '\n';
    indent(levels_.size());
  }
  out_ << level.close;
}

void JsonStream::key(const std::string& name) {
  startItem();
  out_ << Json(name).dump(-1, ' ', false, Json::error_handler_t::replace) << ": ";
  keyed_ = true;
}

void JsonStream::value(const Json& item) {
  startItem();
  // A dumped value holds line feeds only between its own lines (strings escape theirs), so
  // each of them takes the depth the value is written at.
  const std::string text = item.dump(2, ' ', false, Json::error_handler_t::replace);
  std::size_t start = 0;
  for (std::size_t nl = text.find('\n'); nl != std::string::npos; nl = text.find('\n', start)) {
    out_.write(text.data() + start, static_cast<std::streamsize>(nl + 1 - start));
    indent(levels_.size());
    start = nl + 1;
  }
  out_.write(text.data() + start, static_cast<std::streamsize>(text.size() - start));
}

void JsonStream::finish() {
  while (!levels_.empty()) end();
  out_ << '\n';
}

}  // namespace qbd
