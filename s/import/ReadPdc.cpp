// pdc, both dialects in one interpreter: `set_io -port_name {led[0]} -pin_name H12 -io_std
// LVCMOS33 -RES_PULL Up` (or the older `set_io led[0] -pinname H12 -iostd LVCMOS33`), and
// `ldc_set_location -site {A1} [get_ports x]` with `ldc_set_port -iobuf {IO_TYPE=... ...}`
// and create_clock.
#include <strings.h>

#include <cctype>
#include <cstring>

#include "Readers.h"
#include "TclCommon.h"

namespace MbdFormats {
namespace detail {
namespace {

// The board's words for set_io's options: -io_std is the IO standard, -OUT_DRIVE the drive,
// -SLEW High and Low are fast and slow; -RES_PULL Up/Down/Hold/None the neutral reading knows.
std::pair<std::string, std::string> BoardWords(const std::string& option,
                                               const std::string& value) {
  if (option == "IO_STD" || option == "IOSTD") return {"IOSTANDARD", value};
  if (option == "OUT_DRIVE") return {"DRIVE", value};
  if (option == "SLEW" && strcasecmp(value.c_str(), "High") == 0) return {"SLEW", "FAST"};
  if (option == "SLEW" && strcasecmp(value.c_str(), "Low") == 0) return {"SLEW", "SLOW"};
  return {option, value};
}

int SetIo(TclRecorder& recorder, int objc, Tcl_Obj* const objv[]) {
  std::string port, pin;
  std::vector<std::pair<std::string, std::string>> settings;
  for (int i = 1; i < objc; ++i) {
    const std::string word = TclRecorder::Text(objv[i]);
    if (word.size() < 2 || word[0] != '-') {
      if (!port.empty()) return recorder.Fail("set_io: a second port name \"" + word + "\"");
      port = word;
      continue;
    }
    if (i + 1 >= objc) return recorder.Fail("set_io: " + word + " needs a value");
    const std::string value = TclRecorder::Text(objv[++i]);
    const std::string option = word.substr(1);
    if (option == "port_name")
      port = value;
    else if (option == "pin_name" || option == "pinname")
      pin = value;
    else if (option == "fixed")
      continue;
    else
      settings.push_back(BoardWords(Port_AsciiUpper(option), value));
  }
  if (port.empty()) return recorder.Fail("set_io needs -port_name");
  const unsigned line = recorder.CurrentLine();
  if (!pin.empty()) recorder.Table().Locate(port, pin, line);
  for (const auto& setting : settings)
    recorder.Table().Set(port, setting.first, setting.second, true, line);
  Tcl_ResetResult(recorder.Interp());
  return TCL_OK;
}

// The option's value and the port objects after the options.
int OptionAndPorts(TclRecorder& recorder, int objc, Tcl_Obj* const objv[], const char* option,
                   std::string& value, std::vector<PortWord>& ports) {
  std::vector<Tcl_Obj*> objects;
  bool found = false;
  for (int i = 1; i < objc; ++i) {
    const std::string word = TclRecorder::Text(objv[i]);
    if (word == option && i + 1 < objc) {
      value = TclRecorder::Text(objv[++i]);
      found = true;
    } else {
      objects.push_back(objv[i]);
    }
  }
  const std::string command = TclRecorder::Text(objv[0]);
  if (!found) return recorder.Fail(command + " needs " + option);
  int others = 0;
  std::string other;
  if (!PortsOf(recorder, objects.data(), static_cast<int>(objects.size()), ports, others, other))
    return TCL_ERROR;
  if (ports.empty() || others > 0)
    recorder.Skip(command + " on " + (others > 0 ? "\"" + other + "\", not a port," : "no port") +
                  " skipped");
  return TCL_OK;
}

int LdcSetLocation(TclRecorder& recorder, int objc, Tcl_Obj* const objv[]) {
  std::string site;
  std::vector<PortWord> ports;
  if (OptionAndPorts(recorder, objc, objv, "-site", site, ports) != TCL_OK) return TCL_ERROR;
  const unsigned line = recorder.CurrentLine();
  for (const PortWord& port : ports) {
    if (port.pattern)
      recorder.Table().Skip(line, 0, "a location for the pattern \"" + port.name + "\" skipped");
    else
      recorder.Table().Locate(port.name, site, line);
  }
  Tcl_ResetResult(recorder.Interp());
  return TCL_OK;
}

int LdcSetPort(TclRecorder& recorder, int objc, Tcl_Obj* const objv[]) {
  std::string iobuf;
  std::vector<PortWord> ports;
  if (OptionAndPorts(recorder, objc, objv, "-iobuf", iobuf, ports) != TCL_OK) return TCL_ERROR;
  int n = 0;
  Tcl_Obj** items = nullptr;
  Tcl_Obj* list = Tcl_NewStringObj(iobuf.data(), static_cast<int>(iobuf.size()));
  Tcl_IncrRefCount(list);
  if (Tcl_ListObjGetElements(recorder.Interp(), list, &n, &items) != TCL_OK) {
    Tcl_DecrRefCount(list);
    return TCL_ERROR;
  }
  const unsigned line = recorder.CurrentLine();
  for (int k = 0; k < n; ++k) {
    const std::string item = TclRecorder::Text(items[k]);
    const std::size_t equals = item.find('=');
    const std::string key = item.substr(0, equals);
    const std::string value = equals == std::string::npos ? std::string() : item.substr(equals + 1);
    for (const PortWord& port : ports) {
      if (port.pattern)
        recorder.Table().SetMatching(port.name, key, value, equals != std::string::npos, line);
      else
        recorder.Table().Set(port.name, key, value, equals != std::string::npos, line);
    }
  }
  Tcl_DecrRefCount(list);
  Tcl_ResetResult(recorder.Interp());
  return TCL_OK;
}

}  // namespace

void ReadPdc(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result) {
  const CommentSyntax syntax = TclComments({"set_io", "ldc_set_location", "ldc_set_port",
                                            "create_clock", "ldc_set_vcc", "ldc_set_sysconfig"});
  LineMap lines(text, syntax, options.includeCommented);
  TableBuilder table(result, file, lines);
  {
    TclRecorder recorder(table, options);
    recorder.AddGetPorts();
    recorder.Add("set_io", SetIo);
    recorder.Add("ldc_set_location", LdcSetLocation);
    recorder.Add("ldc_set_port", LdcSetPort);
    recorder.Add("create_clock", CreateClock);
    recorder.Run(lines.Text());
  }
  table.Finish();
}

}  // namespace detail
}  // namespace MbdFormats
