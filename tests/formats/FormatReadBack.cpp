// Test readers of the constraint formats. Each is as strict as the toolchain reader it stands
// for: a line it cannot read is an error, never skipped.
#include "FormatReadBack.h"

#include <tcl.h>

#include <cctype>
#include <cstdlib>
#include <memory>
#include <regex>
#include <sstream>
#include <utility>

namespace readback {

namespace {

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool number(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end && *end == '\0';
}

// --- The Tcl-syntax formats -------------------------------------------------------------------

// The reading of one Tcl file: get_ports hands out handles that no text can spell (they start
// with a control character), so a port reaches a command only through get_ports.
struct TclReading {
  std::string format;
  ReadBack* out = nullptr;
  std::vector<std::string> handles;
};

std::string text(Tcl_Obj* obj) { return Tcl_GetString(obj); }

int fail(Tcl_Interp* interp, const std::string& message) {
  Tcl_SetObjResult(interp, Tcl_NewStringObj(message.c_str(), -1));
  return TCL_ERROR;
}

// The port a get_ports handle names; false when `obj` is not one.
bool portOf(TclReading& r, Tcl_Obj* obj, std::string& name) {
  const std::string handle = text(obj);
  if (handle.size() < 2 || handle[0] != '\x01') return false;
  const std::size_t index = std::strtoul(handle.c_str() + 1, nullptr, 10);
  if (index >= r.handles.size()) return false;
  name = r.handles[index];
  return true;
}

int getPorts(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  auto& r = *static_cast<TclReading*>(data);
  if (objc != 2) return fail(interp, "get_ports: one pattern expected");
  // The tools parse options before splitting patterns: a word with a leading '-' is an option,
  // however it was quoted.
  if (text(objv[1]).rfind('-', 0) == 0)
    return fail(interp, "get_ports: unknown option " + text(objv[1]));
  int count = 0;
  Tcl_Obj** items = nullptr;
  if (Tcl_ListObjGetElements(interp, objv[1], &count, &items) != TCL_OK) return TCL_ERROR;
  if (count != 1) return fail(interp, "get_ports: not exactly one port in " + text(objv[1]));
  r.handles.push_back(text(items[0]));
  const std::string handle = "\x01" + std::to_string(r.handles.size() - 1);
  Tcl_SetObjResult(interp, Tcl_NewStringObj(handle.c_str(), -1));
  return TCL_OK;
}

// An xdc property in neutral words.
void xdcProperty(Found& port, const std::string& key, const std::string& value) {
  const std::string k = upper(key);
  if (k == "PACKAGE_PIN") port.location = value;
  else if (k == "IOSTANDARD") port.settings["io"] = value;
  else if (k == "PULLUP" && upper(value) == "TRUE") port.settings["pull"] = "up";
  else if (k == "PULLDOWN" && upper(value) == "TRUE") port.settings["pull"] = "down";
  else if (k == "KEEPER" && upper(value) == "TRUE") port.settings["pull"] = "keeper";
  else if (k == "PULLTYPE" && upper(value) == "NONE") port.settings["pull"] = "none";
  else if (k == "DRIVE") port.settings["drive"] = value;
  else if (k == "SLEW") port.settings["slew"] = value;
  else if (k == "IN_TERM") port.settings["term"] = value;
  else port.settings[k] = value;
}

int setProperty(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  auto& r = *static_cast<TclReading*>(data);
  std::string name;
  if (objc < 4 || !portOf(r, objv[objc - 1], name))
    return fail(interp, "set_property: KEY VALUE [get_ports ...] expected");
  Found& port = r.out->ports[name];
  ++port.statements;
  if (objc == 4 && text(objv[1]) == "-dict") {
    int count = 0;
    Tcl_Obj** items = nullptr;
    if (Tcl_ListObjGetElements(interp, objv[2], &count, &items) != TCL_OK) return TCL_ERROR;
    if (count % 2) return fail(interp, "set_property -dict: odd list");
    for (int i = 0; i < count; i += 2) xdcProperty(port, text(items[i]), text(items[i + 1]));
    return TCL_OK;
  }
  if (objc != 4) return fail(interp, "set_property: KEY VALUE [get_ports ...] expected");
  xdcProperty(port, text(objv[1]), text(objv[2]));
  return TCL_OK;
}

int createClock(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  auto& r = *static_cast<TclReading*>(data);
  std::string name;
  if (objc < 2 || !portOf(r, objv[objc - 1], name)) return fail(interp, "create_clock: no port");
  double period = 0;
  std::string clockName;
  for (int i = 1; i + 1 < objc; i += 2) {
    const std::string option = text(objv[i]);
    if (option == "-period") {
      if (!number(text(objv[i + 1]), period) || period <= 0)
        return fail(interp, "create_clock: bad period");
    } else if (option == "-name") {
      clockName = text(objv[i + 1]);
    } else if (option == "-waveform") {
      int count = 0;
      Tcl_Obj** items = nullptr;
      if (Tcl_ListObjGetElements(interp, objv[i + 1], &count, &items) != TCL_OK || count != 2)
        return fail(interp, "create_clock: bad waveform");
    } else {
      return fail(interp, "create_clock: unknown option " + option);
    }
  }
  if (period <= 0 || clockName != name) return fail(interp, "create_clock: period or name");
  Found& port = r.out->ports[name];
  ++port.statements;
  port.megahertz = 1000.0 / period;
  return TCL_OK;
}

// A qsf IO standard's name in the board's words, for the few the tests use.
std::string boardStandard(const std::string& value) {
  if (value == "3.3-V LVCMOS") return "LVCMOS33";
  if (value == "2.5 V") return "LVCMOS25";
  if (value == "3.3-V LVTTL") return "LVTTL";
  return value;
}

int setLocationAssignment(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  auto& r = *static_cast<TclReading*>(data);
  if (objc != 4 || text(objv[2]) != "-to" || text(objv[1]).rfind("PIN_", 0) != 0)
    return fail(interp, "set_location_assignment: PIN_x -to NAME expected");
  Found& port = r.out->ports[text(objv[3])];
  ++port.statements;
  port.location = text(objv[1]).substr(4);
  return TCL_OK;
}

int setInstanceAssignment(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  auto& r = *static_cast<TclReading*>(data);
  if (objc != 6 || text(objv[1]) != "-name" || text(objv[4]) != "-to")
    return fail(interp, "set_instance_assignment: -name KEY VALUE -to NAME expected");
  Found& port = r.out->ports[text(objv[5])];
  ++port.statements;
  const std::string key = text(objv[2]);
  const std::string value = text(objv[3]);
  if (key == "IO_STANDARD") port.settings["io"] = boardStandard(value);
  else if (key == "WEAK_PULL_UP_RESISTOR") port.settings["pull"] = value == "ON" ? "up" : "none";
  else if (key == "ENABLE_BUS_HOLD_CIRCUITRY" && value == "ON") port.settings["pull"] = "keeper";
  else if (key == "CURRENT_STRENGTH_NEW" && value.size() > 2 &&
           value.compare(value.size() - 2, 2, "MA") == 0)
    port.settings["drive"] = value.substr(0, value.size() - 2);
  else if (key == "SLEW_RATE") port.settings["slew"] = value;
  else port.settings[key] = value;
  return TCL_OK;
}

int setIo(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[]) {
  auto& r = *static_cast<TclReading*>(data);
  if (objc % 2 == 0) return fail(interp, "set_io: options come in pairs");
  std::map<std::string, std::string> options;
  for (int i = 1; i < objc; i += 2) options[text(objv[i])] = text(objv[i + 1]);
  if (!options.count("-port_name")) return fail(interp, "set_io: no -port_name");
  Found& port = r.out->ports[options["-port_name"]];
  ++port.statements;
  for (const auto& [option, value] : options) {
    if (option == "-port_name") continue;
    if (option == "-pin_name") port.location = value;
    else if (option == "-fixed") continue;
    else if (option == "-io_std") port.settings["io"] = value;
    else if (option == "-RES_PULL")
      port.settings["pull"] = value == "Hold" ? "keeper" : lower(value);
    else if (option == "-OUT_DRIVE") port.settings["drive"] = value;
    else if (option == "-SLEW") port.settings["slew"] = value == "High" ? "FAST" : "SLOW";
    else if (option == "-DIRECTION") port.settings["direction"] = value;
    else if (option[0] == '-') port.settings[upper(option.substr(1))] = value;
    else return fail(interp, "set_io: not an option: " + option);
  }
  return TCL_OK;
}

ReadBack readTcl(const std::string& format, const std::string& script) {
  ReadBack result;
  TclReading reading{format, &result, {}};
  Tcl_Interp* interp = Tcl_CreateInterp();
  // Whatever the file does beyond the recording commands must fail, never run.
  Tcl_MakeSafe(interp);
  for (const char* name : {"proc", "set", "puts", "source", "eval", "uplevel", "rename"})
    Tcl_HideCommand(interp, name, name);
  const std::pair<const char*, Tcl_ObjCmdProc*> commands[] = {
      {"get_ports", getPorts},
      {"set_property", setProperty},
      {"create_clock", createClock},
      {"set_location_assignment", setLocationAssignment},
      {"set_instance_assignment", setInstanceAssignment},
      {"set_io", setIo}};
  for (const auto& [name, proc] : commands)
    Tcl_CreateObjCommand(interp, name, proc, &reading, nullptr);
  // The whole file at once, as the tools source it: a comment that swallowed the next line
  // would lose that line's port here too.
  if (Tcl_EvalEx(interp, script.c_str(), -1, TCL_EVAL_GLOBAL) != TCL_OK)
    result.errors.push_back(format + ":" + std::to_string(Tcl_GetErrorLine(interp)) + ": " +
                            Tcl_GetStringResult(interp));
  Tcl_DeleteInterp(interp);
  return result;
}

// --- The line formats -------------------------------------------------------------------------

ReadBack readPcf(const std::string& fileText) {
  ReadBack result;
  std::istringstream lines(fileText);
  std::string line;
  while (std::getline(lines, line)) {
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.empty()) continue;
    if (w[0] == "set_io") {
      std::vector<std::string> args;
      std::string pull;
      for (std::size_t i = 1; i < w.size(); ++i) {
        const bool option = w[i][0] == '-';
        if (option && !args.empty()) result.errors.push_back("trailing option ignored: " + w[i]);
        if (w[i] == "-pullup" && i + 1 < w.size()) pull = w[++i];
        else if (w[i] == "-nowarn") continue;
        else if (w[i][0] == '-') result.errors.push_back("unknown option " + w[i]);
        else args.push_back(w[i]);
      }
      if (args.size() != 2) {
        result.errors.push_back("set_io: NAME PIN expected: " + line);
        continue;
      }
      Found& port = result.ports[args[0]];
      ++port.statements;
      port.location = args[1];
      if (pull == "yes") port.settings["pull"] = "up";
      if (pull == "no") port.settings["pull"] = "none";
    } else if (w[0] == "set_frequency" && w.size() == 3) {
      Found& port = result.ports[w[1]];
      ++port.statements;
      if (!number(w[2], port.megahertz)) result.errors.push_back("bad frequency: " + line);
    } else {
      result.errors.push_back("not a pcf command: " + line);
    }
  }
  return result;
}

// The statements of a file whose comments start at any of `comments` (even inside quotes) and
// whose statements end at ';'; text after the last ';' is an error.
std::vector<std::string> statements(const std::string& fileText,
                                    const std::vector<std::string>& comments, ReadBack& result) {
  std::istringstream lines(fileText);
  std::string line, joined;
  while (std::getline(lines, line)) {
    std::size_t cut = line.size();
    for (const std::string& c : comments) cut = std::min(cut, line.find(c));
    joined += line.substr(0, cut) + "\n";
  }
  std::vector<std::string> result_;
  std::size_t start = 0;
  for (std::size_t semi; (semi = joined.find(';', start)) != std::string::npos; start = semi + 1)
    result_.push_back(joined.substr(start, semi - start));
  if (joined.find_first_not_of(" \t\n", start) != std::string::npos)
    result.errors.push_back("text after the last statement: " + joined.substr(start));
  return result_;
}

// Words of a statement: blanks separate, "..." is one word (no escapes), quotes kept off.
bool words(const std::string& statement, std::vector<std::string>& out) {
  std::size_t i = 0;
  while (i < statement.size()) {
    if (std::isspace(static_cast<unsigned char>(statement[i]))) {
      ++i;
    } else if (statement[i] == '"') {
      const std::size_t end = statement.find('"', i + 1);
      if (end == std::string::npos) return false;
      out.push_back(statement.substr(i + 1, end - i - 1));
      i = end + 1;
    } else {
      std::size_t end = i;
      while (end < statement.size() && !std::isspace(static_cast<unsigned char>(statement[end])))
        ++end;
      out.push_back(statement.substr(i, end - i));
      i = end;
    }
  }
  return true;
}

// KEY=VALUE words into neutral settings with the format's own key names.
void assignments(Found& port, const std::vector<std::string>& w, std::size_t from,
                 const std::map<std::string, std::string>& keys, ReadBack& result) {
  for (std::size_t i = from; i < w.size(); ++i) {
    const std::size_t eq = w[i].find('=');
    if (eq == std::string::npos || eq == 0) {
      result.errors.push_back("not KEY=VALUE: " + w[i]);
      continue;
    }
    const std::string key = upper(w[i].substr(0, eq));
    std::string value = w[i].substr(eq + 1);
    const auto it = keys.find(key);
    if (it == keys.end()) {
      port.settings[key] = value;
      continue;
    }
    if (it->second == "pull") value = lower(value);
    port.settings[it->second] = value;
  }
}

ReadBack readLpf(const std::string& fileText) {
  ReadBack result;
  const std::map<std::string, std::string> keys = {{"IO_TYPE", "io"},   {"PULLMODE", "pull"},
                                                    {"DRIVE", "drive"},  {"SLEWRATE", "slew"},
                                                    {"TERMINATION", "term"}};
  for (const std::string& s : statements(fileText, {"#", "//"}, result)) {
    std::vector<std::string> w;
    if (!words(s, w)) {
      result.errors.push_back("unclosed quote: " + s);
      continue;
    }
    if (w.empty()) continue;
    if (w.size() == 5 && w[0] == "LOCATE" && w[1] == "COMP" && w[3] == "SITE") {
      Found& port = result.ports[w[2]];
      ++port.statements;
      port.location = w[4];
    } else if (w.size() >= 3 && w[0] == "IOBUF" && w[1] == "PORT") {
      Found& port = result.ports[w[2]];
      ++port.statements;
      assignments(port, w, 3, keys, result);
    } else if (w.size() == 5 && w[0] == "FREQUENCY" && w[1] == "PORT" && w[4] == "MHZ") {
      Found& port = result.ports[w[2]];
      ++port.statements;
      if (!number(w[3], port.megahertz)) result.errors.push_back("bad frequency: " + s);
    } else {
      result.errors.push_back("not an lpf statement: " + s);
    }
  }
  return result;
}

ReadBack readCst(const std::string& fileText) {
  ReadBack result;
  static const std::regex loc(R"re(^\s*IO_LOC\s+"([^"]+)"\s+([^\s;,]+)(?:,([^\s;,]+))?\s*;\s*$)re");
  static const std::regex port(
      R"re(^\s*IO_PORT\s+"([^"]+)"((?:\s+[A-Za-z_]+=[^\s;]+)*)\s*;\s*$)re");
  const std::map<std::string, std::string> keys = {{"IO_TYPE", "io"},  {"PULL_MODE", "pull"},
                                                    {"DRIVE", "drive"}, {"SLEW_RATE", "slew"}};
  std::istringstream lines(fileText);
  std::string line;
  while (std::getline(lines, line)) {
    line = line.substr(0, line.find("//"));
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    std::smatch m;
    if (std::regex_match(line, m, loc)) {
      Found& found = result.ports[m[1]];
      ++found.statements;
      found.location = m[2];
      found.pairN = m[3];
    } else if (std::regex_match(line, m, port)) {
      Found& found = result.ports[m[1]];
      ++found.statements;
      std::vector<std::string> w;
      words(m[2], w);
      assignments(found, w, 0, keys, result);
    } else {
      result.errors.push_back("Invalid constraint: " + line);
    }
  }
  return result;
}

ReadBack readCcf(const std::string& fileText) {
  ReadBack result;
  for (const std::string& s : statements(fileText, {"#"}, result)) {
    std::vector<std::string> w;
    if (!words(s, w)) {
      result.errors.push_back("unclosed quote: " + s);
      continue;
    }
    if (w.empty()) continue;
    if (w.size() < 2 || upper(w[0]) != "NET") {
      result.errors.push_back("not a ccf statement: " + s);
      continue;
    }
    Found& port = result.ports[w[1]];
    ++port.statements;
    std::size_t i = 2;
    if (w.size() >= 5 && w[2] == "Loc" && w[3] == "=") {
      port.location = w[4];
      i = 5;
    }
    for (; i < w.size(); ++i) {
      if (w[i] == "|") continue;
      const std::size_t eq = w[i].find('=');
      if (eq == std::string::npos) {
        result.errors.push_back("not KEY=VALUE: " + w[i]);
        continue;
      }
      const std::string key = upper(w[i].substr(0, eq));
      const std::string value = w[i].substr(eq + 1);
      if (key == "PULLUP") port.settings["pull"] = value == "true" ? "up" : "none";
      else if (key == "PULLDOWN" && value == "true") port.settings["pull"] = "down";
      else if (key == "KEEPER" && value == "true") port.settings["pull"] = "keeper";
      else if (key == "DRIVE") port.settings["drive"] = value;
      else if (key == "SLEW") port.settings["slew"] = upper(value);
      else port.settings[key] = value;
    }
  }
  return result;
}

// A ucf quoted string with backslash escapes, from `i` (at the quote); false when unclosed.
bool ucfQuoted(const std::string& line, std::size_t& i, std::string& out) {
  for (++i; i < line.size(); ++i) {
    if (line[i] == '\\' && i + 1 < line.size()) {
      // The writer spells control characters and line separators out after escaping quotes
      // and backslashes, so each escape has one meaning.
      const char c = line[++i];
      if (c == 'n') {
        out += '\n';
      } else if (c == 't') {
        out += '\t';
      } else if (c == 'x' && i + 2 < line.size()) {
        out += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else if (c == 'u' && i + 4 < line.size()) {
        const std::string code = line.substr(i + 1, 4);
        out += code == "0085" ? "\xC2\x85" : code == "2028" ? "\xE2\x80\xA8" : "\xE2\x80\xA9";
        i += 4;
      } else {
        out += c;
      }
    } else if (line[i] == '"') {
      ++i;
      return true;
    } else {
      out += line[i];
    }
  }
  return false;
}

ReadBack readUcf(const std::string& fileText) {
  ReadBack result;
  static const std::regex rest(R"(^\s+([A-Za-z0-9_]+)(?:\s*=\s*(.*))?;$)");
  std::istringstream lines(fileText);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::size_t i = 4;
    std::string name, value;
    std::smatch m;
    if (line.compare(0, 5, "NET \"") != 0 || !ucfQuoted(line, i, name)) {
      result.errors.push_back("not a NET line: " + line);
      continue;
    }
    const std::string tail = line.substr(i);
    if (!std::regex_match(tail, m, rest)) {
      result.errors.push_back("not KEY = \"VALUE\";: " + line);
      continue;
    }
    if (m[2].matched) {
      const std::string quoted = m[2];
      std::size_t k = 0;
      if (quoted.empty() || quoted[0] != '"' || !ucfQuoted(quoted, k, value) ||
          k != quoted.size()) {
        result.errors.push_back("bad value: " + line);
        continue;
      }
    }
    Found& port = result.ports[name];
    ++port.statements;
    const std::string key = upper(m[1]);
    if (key == "LOC") port.location = value;
    else port.settings[key] = m[2].matched ? value : "";
  }
  return result;
}

}  // namespace

ReadBack Read(const std::string& format, const std::string& text) {
  if (format == "xdc" || format == "sdc" || format == "qsf" || format == "pdc")
    return readTcl(format, text);
  if (format == "pcf") return readPcf(text);
  if (format == "lpf") return readLpf(text);
  if (format == "cst") return readCst(text);
  if (format == "ccf") return readCcf(text);
  if (format == "ucf") return readUcf(text);
  ReadBack unknown;
  unknown.errors.push_back("no reader for " + format);
  return unknown;
}

}  // namespace readback
