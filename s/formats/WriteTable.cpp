// The neutral reading itself, as csv (one row per port) and as JSON (rows and problems).
#include <cstdio>

#include "Portability.h"
#include "WriterSupport.h"

namespace MbdFormats {
namespace detail {

namespace {

const char* sideName(MbdPins::PairSide side) {
  if (side == MbdPins::PairSide::P) return "P";
  if (side == MbdPins::PairSide::N) return "N";
  return "";
}

std::string hertz(double value) {
  if (value <= 0) return "";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3f", value);
  std::string text = buf;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

std::string passThrough(const MbdPins::PinSettings& s) {
  std::string text;
  for (const MbdPins::PassThrough& p : s.passThrough)
    text += (text.empty() ? "" : ";") + (p.hasValue ? p.key + "=" + p.value : p.key);
  return text;
}

// A csv field: control characters spelled out (a field never spans a line), quoted when it
// holds a separator or a quote, inner quotes doubled.
std::string field(const std::string& text) {
  const std::string escaped = EscapeControls(text);
  if (escaped.find_first_of(",\"") == std::string::npos) return escaped;
  std::string result = "\"";
  for (char c : escaped) {
    if (c == '"') result += '"';
    result += c;
  }
  return result + "\"";
}

// A JSON string: quotes, backslashes and control characters escaped, the line separators as
// \u escapes, and a byte that starts no UTF-8 character replaced by U+FFFD.
std::string jsonString(const std::string& text) {
  std::string result = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const std::size_t n = Port_Utf8Length(text, i);
    if (n == 0) {
      result += "\\ufffd";
      ++i;
      continue;
    }
    const char* ch = text.data() + i;
    const std::size_t at = i;
    i += n;
    if (c == '"' || c == '\\') {
      result += '\\';
      result += static_cast<char>(c);
    } else if (c == '\n') {
      result += "\\n";
    } else if (c < 0x20 || c == 0x7f) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      result += buf;
    } else if (SeparatorAt(text, at) != 0) {
      result += SeparatorEscape(text, at);
    } else {
      result.append(ch, n);
    }
  }
  return result + "\"";
}

class JsonObject {
 public:
  explicit JsonObject(std::string& out) : out_(out) { out_ += '{'; }
  void Key(const char* key) {
    if (!first_) out_ += ", ";
    first_ = false;
    out_ += '"';
    out_ += key;
    out_ += "\": ";
  }
  void Text(const char* key, const std::string& value) {
    Key(key);
    out_ += jsonString(value);
  }
  void Raw(const char* key, const std::string& value) {
    Key(key);
    out_ += value;
  }
  void End() { out_ += '}'; }

 private:
  std::string& out_;
  bool first_ = true;
};

void jsonRow(std::string& out, const MbdPins::PinRow& row) {
  const MbdPins::PinSettings& s = row.settings;
  JsonObject o(out);
  o.Text("name", row.name);
  o.Text("net", row.net);
  o.Text("instance", row.instance);
  o.Text("port", row.port);
  o.Text("fpga_block", row.fpgaBlock);
  o.Text("fpga_pin", row.fpgaPin);
  o.Text("location", s.location);
  o.Text("io_standard", s.ioStandard);
  o.Text("pull", MbdPins::PullName(s.pull));
  o.Text("drive", s.drive);
  o.Text("slew", s.slew);
  o.Text("termination", s.termination);
  o.Raw("frequency_hz", s.frequencyHz > 0 ? hertz(s.frequencyHz) : "null");
  o.Text("direction", MbdPins::DirectionName(s.direction));
  o.Text("pair_side", sideName(row.pairSide));
  o.Text("partner", row.partner);
  std::string list = "[";
  for (const MbdPins::PassThrough& p : s.passThrough) {
    if (list.size() > 1) list += ", ";
    JsonObject item(list);
    item.Text("key", p.key);
    item.Raw("value", p.hasValue ? jsonString(p.value) : "null");
    item.End();
  }
  o.Raw("pass_through", list + "]");
  list = "[";
  for (const std::string& m : s.malformed) list += (list.size() > 1 ? ", " : "") + jsonString(m);
  o.Raw("malformed", list + "]");
  o.Text("file", row.file);
  o.Raw("line", row.line ? std::to_string(row.line) : "null");
  o.End();
}

}  // namespace

void WriteCsv(const MbdPins::PinTable& table, const WriteOptions&, WriteOutput& out) {
  out.text =
      "name,net,instance,port,fpga_block,fpga_pin,location,io_standard,pull,drive,slew,"
      "termination,frequency_hz,direction,pair_side,partner,pass_through,malformed,file,line\n";
  for (const MbdPins::PinRow& row : table.rows) {
    ReserveAtRate(out.text, static_cast<std::size_t>(&row - table.rows.data()), table.rows.size());
    const MbdPins::PinSettings& s = row.settings;
    std::string malformed;
    for (const std::string& m : s.malformed) malformed += (malformed.empty() ? "" : ";") + m;
    const std::string fields[] = {row.name,
                                  row.net,
                                  row.instance,
                                  row.port,
                                  row.fpgaBlock,
                                  row.fpgaPin,
                                  s.location,
                                  s.ioStandard,
                                  MbdPins::PullName(s.pull),
                                  s.drive,
                                  s.slew,
                                  s.termination,
                                  hertz(s.frequencyHz),
                                  MbdPins::DirectionName(s.direction),
                                  sideName(row.pairSide),
                                  row.partner,
                                  passThrough(s),
                                  malformed,
                                  row.file,
                                  row.line ? std::to_string(row.line) : ""};
    std::string line;
    for (const std::string& f : fields) line += (line.empty() ? "" : ",") + field(f);
    out.text += line + "\n";
  }
}

void WriteJson(const MbdPins::PinTable& table, const WriteOptions& options, WriteOutput& out) {
  std::string& text = out.text;
  JsonObject top(text);
  top.Text("source", options.source.empty() ? table.source : options.source);
  top.Key("rows");
  text += "[";
  for (std::size_t i = 0; i < table.rows.size(); ++i) {
    ReserveAtRate(text, i, table.rows.size());
    text += i ? ",\n  " : "\n  ";
    jsonRow(text, table.rows[i]);
  }
  text += table.rows.empty() ? "]" : "\n]";
  top.Key("problems");
  text += "[";
  for (std::size_t i = 0; i < table.problems.size(); ++i) {
    const MbdPins::Problem& p = table.problems[i];
    text += i ? ",\n  " : "\n  ";
    JsonObject o(text);
    o.Text("port", p.port);
    o.Text("message", p.message);
    o.Raw("error", p.error ? "true" : "false");
    o.End();
  }
  text += table.problems.empty() ? "]" : "\n]";
  top.End();
  text += "\n";
}

}  // namespace detail
}  // namespace MbdFormats
