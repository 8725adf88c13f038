// xdc and sdc: set_property (KEY VALUE, or -dict {K V ...}) on [get_ports ...] objects, and
// create_clock with its period in ns. Device settings on [current_design] and timing commands
// are reported as skipped.
#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "ReaderSettings.h"
#include "Readers.h"
#include "TclCommon.h"

namespace MbdFormats {
namespace detail {

bool PortsOf(TclRecorder& recorder, Tcl_Obj* const* words, int count, std::vector<PortWord>& ports,
             int& others, std::string& firstOther) {
  others = 0;
  for (int i = 0; i < count; ++i) {
    int n = 0;
    Tcl_Obj** items = nullptr;
    if (Tcl_ListObjGetElements(recorder.Interp(), words[i], &n, &items) != TCL_OK) return false;
    for (int k = 0; k < n; ++k) {
      PortWord port;
      if (recorder.PortOf(items[k], port.name, port.pattern)) {
        ports.push_back(std::move(port));
      } else if (others++ == 0) {
        firstOther = TclRecorder::Text(items[k]);
      }
    }
  }
  return true;
}

int CreateClock(TclRecorder& recorder, int objc, Tcl_Obj* const objv[]) {
  std::string period, name;
  std::vector<Tcl_Obj*> objects;
  for (int i = 1; i < objc; ++i) {
    const std::string word = TclRecorder::Text(objv[i]);
    const bool takesValue = word == "-period" || word == "-name" || word == "-waveform";
    if (takesValue && i + 1 >= objc)
      return recorder.Fail("create_clock: " + word + " needs a value");
    if (word == "-period")
      period = TclRecorder::Text(objv[++i]);
    else if (word == "-name")
      name = TclRecorder::Text(objv[++i]);
    else if (word == "-waveform")
      ++i;
    else if (word == "-add")
      continue;
    else
      objects.push_back(objv[i]);
  }
  char* end = nullptr;
  std::strtod(period.c_str(), &end);
  const std::string value = period + " ns";
  if (period.empty() || end != period.c_str() + period.size() || FrequencyOf("PERIOD", value) <= 0)
    return recorder.Fail("create_clock needs -period with a positive time in ns");
  std::vector<PortWord> ports;
  int others = 0;
  std::string other;
  if (!PortsOf(recorder, objects.data(), static_cast<int>(objects.size()), ports, others, other))
    return TCL_ERROR;
  const unsigned line = recorder.CurrentLine();
  if (ports.empty())
    recorder.Table().Skip(line, 0,
                          "the clock " + (name.empty() ? std::string("without a name") : name) +
                              " is on no port, skipped");
  for (const PortWord& port : ports) {
    if (port.pattern)
      recorder.Table().SetMatching(port.name, "PERIOD", value, true, line);
    else
      recorder.Table().Clock(port.name, "PERIOD", value, line);
  }
  Tcl_ResetResult(recorder.Interp());
  return TCL_OK;
}

CommentSyntax TclComments(std::vector<const char*> commands) {
  CommentSyntax syntax;
  syntax.commands = std::move(commands);
  syntax.isCommand = TclCommandShape;
  return syntax;
}

namespace {

bool IsLocationKey(const std::string& key) {
  return strcasecmp(key.c_str(), "PACKAGE_PIN") == 0 || strcasecmp(key.c_str(), "LOC") == 0;
}

// One KEY VALUE on every port object.
void SetOnPorts(TclRecorder& recorder, const std::vector<PortWord>& ports, const std::string& key,
                const std::string& value, unsigned line) {
  TableBuilder& table = recorder.Table();
  for (const PortWord& port : ports) {
    if (port.pattern && IsLocationKey(key))
      table.Skip(line, 0, "a location for the pattern \"" + port.name + "\" skipped");
    else if (port.pattern)
      table.SetMatching(port.name, key, value, true, line);
    else if (IsLocationKey(key))
      table.Locate(port.name, value, line);
    else
      table.Set(port.name, key, value, true, line);
  }
}

int SetProperty(TclRecorder& recorder, int objc, Tcl_Obj* const objv[]) {
  std::vector<std::pair<std::string, std::string>> settings;
  int i = 1;
  for (; i < objc; ++i) {
    const std::string word = TclRecorder::Text(objv[i]);
    if (word == "-quiet" || word == "-verbose") continue;
    if (word == "-dict") {
      if (i + 1 >= objc) return recorder.Fail("set_property -dict needs a list of keys and values");
      int n = 0;
      Tcl_Obj** items = nullptr;
      if (Tcl_ListObjGetElements(recorder.Interp(), objv[++i], &n, &items) != TCL_OK)
        return TCL_ERROR;
      if (n % 2 != 0)
        return recorder.Fail("set_property -dict: the list has an odd number of words");
      for (int k = 0; k < n; k += 2)
        settings.emplace_back(TclRecorder::Text(items[k]), TclRecorder::Text(items[k + 1]));
      ++i;
      break;
    }
    if (i + 1 >= objc) return recorder.Fail("set_property needs a key, a value and objects");
    settings.emplace_back(word, TclRecorder::Text(objv[i + 1]));
    i += 2;
    break;
  }
  if (settings.empty()) return recorder.Fail("set_property needs a key, a value and objects");
  std::vector<PortWord> ports;
  int others = 0;
  std::string other;
  if (!PortsOf(recorder, objv + i, objc - i, ports, others, other)) return TCL_ERROR;
  const unsigned line = recorder.CurrentLine();
  if (others > 0 || ports.empty())
    recorder.Table().Skip(line, 0,
                          "set_property " + settings.front().first + " on " +
                              (others > 0 ? "\"" + other + "\", not a port," : "no port") +
                              " skipped");
  for (const auto& setting : settings)
    SetOnPorts(recorder, ports, setting.first, setting.second, line);
  Tcl_ResetResult(recorder.Interp());
  return TCL_OK;
}

void Read(const std::string& text, const std::string& file, const ReadOptions& options,
          ReadResult& result, bool properties) {
  const CommentSyntax syntax = TclComments(
      {"set_property", "create_clock", "create_generated_clock", "set_input_delay",
       "set_output_delay", "set_false_path", "set_clock_groups", "set_max_delay", "set_min_delay"});
  LineMap lines(text, syntax, options.includeCommented);
  TableBuilder table(result, file, lines);
  {
    TclRecorder recorder(table, options);
    recorder.AddGetPorts();
    recorder.Add("create_clock", CreateClock);
    if (properties) recorder.Add("set_property", SetProperty);
    recorder.Run(lines.Text());
  }
  table.Finish();
}

}  // namespace

void ReadXdc(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result) {
  Read(text, file, options, result, true);
}

void ReadSdc(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result) {
  Read(text, file, options, result, false);
}

}  // namespace detail
}  // namespace MbdFormats
