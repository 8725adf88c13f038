// The escapers, numbers and file notes every constraint writer shares.
#include "WriterSupport.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "MbdRules.h"

namespace MbdFormats {
namespace detail {

std::size_t SeparatorAt(const std::string& text, std::size_t i) {
  const auto byte = [&text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  if (byte(i) == 0xC2 && i + 1 < text.size() && byte(i + 1) == 0x85) return 2;
  if (byte(i) == 0xE2 && i + 2 < text.size() && byte(i + 1) == 0x80 &&
      (byte(i + 2) == 0xA8 || byte(i + 2) == 0xA9))
    return 3;
  return 0;
}

const char* SeparatorEscape(const std::string& text, std::size_t i) {
  if (SeparatorAt(text, i) == 2) return "\\u0085";
  return static_cast<unsigned char>(text[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
}

namespace {

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

// Characters a Tcl word may hold bare.
bool isPlainTcl(unsigned char c) {
  return std::isalnum(c) || c == '_' || c == '.' || c == ':' || c == '/' || c == '+' ||
         c == '-' || c == '=' || c == '@' || c == '%' || c == ',' || c == '<' || c == '>' ||
         c == '!' || c == '|' || c == '~' || c == '^' || c == '&' || c == '*' || c == '?' ||
         c == '\'';
}

// Braces keep `text` whole when they balance, it holds no backslash and nothing that ends a line.
bool braceable(const std::string& text) {
  if (HasControls(text)) return false;
  int depth = 0;
  for (char c : text) {
    if (c == '\\') return false;
    if (c == '{') ++depth;
    if (c == '}' && --depth < 0) return false;
  }
  return depth == 0;
}

std::string hex4(unsigned value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\u%04x", value);
  return buf;
}

bool isListSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// `text` with every character that could end a line spelled out: the separators by name, a line
// feed and a tab as \n and \t, any other control character as `control` spells it; a character
// of `special` gets a backslash before it.
std::string spelledOut(const std::string& text, std::string (*control)(unsigned char),
                       const char* special) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (const std::size_t n = SeparatorAt(text, i)) {
      result += SeparatorEscape(text, i);
      i += n - 1;
    } else if (c == '\n') {
      result += "\\n";
    } else if (c == '\t') {
      result += "\\t";
    } else if (isControl(c)) {
      result += control(c);
    } else {
      if (c != 0 && std::strchr(special, static_cast<char>(c))) result += '\\';
      result += static_cast<char>(c);
    }
  }
  return result;
}

std::string hex2(unsigned char c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\x%02x", c);
  return buf;
}

// A control character as Tcl spells it inside a word.
std::string tclControl(unsigned char c) { return c == '\r' ? "\\r" : hex4(c); }

// `text` with backslash escapes for the characters in `special`, and every character that could
// end a line spelled as the Tcl escape of the same meaning.
std::string tclEscaped(const std::string& text, const char* special) {
  return spelledOut(text, tclControl, special);
}

}  // namespace

std::string EscapeControls(const std::string& text) { return spelledOut(text, hex2, ""); }

bool HasControls(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (isControl(static_cast<unsigned char>(text[i])) || SeparatorAt(text, i)) return true;
  return false;
}

std::string TclWord(const std::string& text, bool braced) {
  bool plain = !text.empty();
  for (unsigned char c : text) plain = plain && isPlainTcl(c);
  if (plain && !braced) return text;
  if (braceable(text)) return "{" + text + "}";
  return tclEscaped(text, "[]{}$\\\";# ");
}

std::string TclQuoted(const std::string& text) {
  return "\"" + tclEscaped(text, "[]$\\\"") + "\"";
}

std::string TclListElement(const std::string& text) {
  if (text.empty()) return "{}";
  bool special = text[0] == '#';
  for (char c : text) special = special || isListSpace(c) || c == '{' || c == '}' || c == '"' ||
                                c == '\\';
  if (!special) return text;
  std::string result;
  for (char c : text) {
    if (c == '\n') {
      result += "\\n";
    } else if (c == '\t') {
      result += "\\t";
    } else if (c == '\r') {
      result += "\\r";
    } else if (c == '\v') {
      result += "\\v";
    } else if (c == '\f') {
      result += "\\f";
    } else {
      if (c == ' ' || c == '{' || c == '}' || c == '"' || c == '\\' || c == '#') result += '\\';
      result += c;
    }
  }
  return result;
}

std::string TclGetPorts(const std::string& name) {
  return "[get_ports " + TclWord(TclListElement(name), true) + "]";
}

std::string GetPortsCannotName(const std::string& name) {
  if (!name.empty() && name[0] == '-') return "a leading \"-\", which get_ports reads as an option";
  return "";
}

std::string ForbiddenIn(const std::string& text, const std::string& forbidden, bool slashes) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (isControl(c) || SeparatorAt(text, i)) return "a control character";
    if (c == ' ' && forbidden.find(' ') != std::string::npos) return "a blank";
    if (c != ' ' && forbidden.find(static_cast<char>(c)) != std::string::npos)
      return std::string("\"") + static_cast<char>(c) + "\"";
    if (slashes && c == '/' && i + 1 < text.size() && text[i + 1] == '/') return "\"//\"";
  }
  return "";
}

void ReserveAtRate(std::string& text, std::size_t done, std::size_t total) {
  constexpr std::size_t kSample = 256;
  if (done != kSample || total <= done) return;
  // An eighth more than the rate predicts: names grow longer down a generated board.
  const std::size_t perRow = text.size() / done + 1;
  const std::size_t rest = total - done;
  if (rest > (text.max_size() - text.size()) / (perRow + perRow / 8 + 1)) return;
  text.reserve(text.size() + rest * (perRow + perRow / 8));
}

std::string Megahertz(double hertz) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6f", hertz / 1e6);
  std::string text = buf;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

std::string Nanoseconds(double hertz) {
  // Three decimals as files usually give them, more where a frequency needs them to come back.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6f", 1e9 / hertz);
  std::string text = buf;
  const std::size_t dot = text.find('.');
  while (text.size() > dot + 4 && text.back() == '0') text.pop_back();
  return text;
}

bool SameWord(const std::string& a, const std::string& b) {
  return Port_AsciiUpper(a) == Port_AsciiUpper(b);
}

std::vector<Item> Items(const MbdPins::PinSettings& s) {
  std::vector<Item> items;
  if (!s.ioStandard.empty()) items.push_back({Item::IoStandard, "", s.ioStandard});
  if (s.pull != MbdPins::Pull::Unset) items.push_back({Item::Pull, "", MbdPins::PullName(s.pull)});
  if (!s.drive.empty()) items.push_back({Item::Drive, "", s.drive});
  if (!s.slew.empty()) items.push_back({Item::Slew, "", s.slew});
  if (!s.termination.empty()) items.push_back({Item::Termination, "", s.termination});
  for (const MbdPins::PassThrough& p : s.passThrough)
    items.push_back({Item::Pass, p.key, p.value, !p.hasValue});
  return items;
}

std::string Describe(const Item& item) {
  switch (item.kind) {
    case Item::IoStandard: return "io standard " + item.value;
    case Item::Pull: return "pull " + item.value;
    case Item::Drive: return "drive " + item.value;
    case Item::Slew: return "slew " + item.value;
    case Item::Termination: return "termination " + item.value;
    case Item::Pass: break;
  }
  return item.flag ? item.key : item.key + "=" + item.value;
}

FileWriter::FileWriter(const char* format, const char* lead, bool tcl, WriteOutput& out)
    : format_(format), lead_(lead), tcl_(tcl), out_(out) {}

void FileWriter::Header(const MbdPins::PinTable& table, const WriteOptions& options) {
  if (!options.source.empty()) Comment("Pin constraints from " + options.source);
  if (!options.lenient) return;
  for (const MbdPins::Problem& p : table.problems)
    Comment(std::string(p.error ? "error: " : "note: ") + (p.port.empty() ? "" : p.port + ": ") +
            p.message);
}

void FileWriter::Unconnected(const MbdPins::PinTable& table) {
  for (const MbdPins::PinRow& row : table.rows)
    if (row.fpgaPin.empty())
      Comment(row.instance + "." + row.port + ": no FPGA pin carries net " +
              (row.net.empty() ? std::string("(none)") : row.net));
}

void FileWriter::Line(const std::string& text) {
  out_.text += text;
  out_.text += '\n';
}

void FileWriter::Comment(const std::string& text) {
  std::string escaped = EscapeControls(text);
  if (tcl_) {
    // An odd run of backslashes before the end of a Tcl comment would carry it onto the next
    // line; doubled, none can.
    std::string doubled;
    for (char c : escaped) {
      if (c == '\\') doubled += '\\';
      doubled += c;
    }
    escaped.swap(doubled);
  }
  out_.text += lead_;
  out_.text += escaped;
  out_.text += '\n';
}

std::vector<std::string> FileWriter::Settings(const std::string& port,
                                              const MbdPins::PinSettings& settings,
                                              std::string (*word)(const Item&)) {
  std::vector<std::string> words;
  std::vector<std::string> missing;
  for (const Item& item : Items(settings)) {
    std::string text = word(item);
    if (text.empty())
      missing.push_back(Describe(item));
    else
      words.push_back(std::move(text));
  }
  Unexpressed(port, missing);
  return words;
}

void FileWriter::CompanionSdc(const MbdPins::PinTable& table, const WriteOptions& options) {
  WriteCompanionSdc(table, options, out_);
  if (!out_.companionText.empty()) Comment("clocks: in the .sdc written with this file");
}

void FileWriter::Unexpressed(const std::string& port, const std::vector<std::string>& what) {
  if (what.empty()) return;
  std::string list;
  for (const std::string& w : what) list += (list.empty() ? "" : ", ") + w;
  const std::string message = "not expressed in " + format_ + ": " + list;
  Comment(port + ": " + message);
  out_.unexpressed.push_back({port, message, false});
}

void FileWriter::Refused(const std::string& port, const std::string& why) {
  const std::string message = "not written: " + format_ + " cannot carry " + why;
  Comment(port + ": " + message);
  out_.unexpressed.push_back({port, message, true});
}

bool FileWriter::RowNotes(const MbdPins::PinRow& row, const std::string& forbidden,
                          bool slashes) {
  if (row.fpgaPin.empty()) return false;
  if (row.name.empty()) {
    Refused("(net " + row.net + ")", "an empty port name");
    return false;
  }
  const std::string bad = ForbiddenIn(row.name, forbidden, slashes);
  if (!bad.empty() && !forbidden.empty()) {
    Refused(row.name, "the port name: it holds " + bad);
    return false;
  }
  if (row.settings.location.empty()) Comment(row.name + ": no location");
  for (const std::string& m : row.settings.malformed) {
    Comment(row.name + ": skipped \"" + m + "\": not " + MbdRules::ConstraintFormsText());
    out_.unexpressed.push_back({row.name, "skipped \"" + m + "\": not a constraint", false});
  }
  return true;
}

RowIndex::RowIndex(const MbdPins::PinTable& table) {
  // A partner is always the other side of a pair, so unpaired rows need no entry.
  for (const MbdPins::PinRow& row : table.rows)
    if (!row.fpgaPin.empty() && row.pairSide != MbdPins::PairSide::None)
      rows_.emplace(row.name, &row);
}

const MbdPins::PinRow* RowIndex::Find(const std::string& name) const {
  const auto it = rows_.find(name);
  return it == rows_.end() ? nullptr : it->second;
}

void WriteCompanionSdc(const MbdPins::PinTable& table, const WriteOptions& options,
                       WriteOutput& out) {
  bool clocks = false;
  for (const MbdPins::PinRow& row : table.rows) clocks = clocks || row.settings.frequencyHz > 0;
  if (!clocks) return;
  WriteOutput sdc;
  WriteSdc(table, options, sdc);
  out.companionExtension = ".sdc";
  out.companionText = std::move(sdc.text);
  for (MbdPins::Problem& p : sdc.unexpressed)
    out.unexpressed.push_back({p.port, "in the .sdc: " + p.message, p.error});
}

}  // namespace detail
}  // namespace MbdFormats
