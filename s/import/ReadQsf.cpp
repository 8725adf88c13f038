// qsf: set_location_assignment PIN_R8 -to clk, and set_instance_assignment -name KEY VALUE
// -to port. Names are bare words; led[3] without braces reads as the bus bit, as the tool
// reads it; "x(n)" is the negative side of the pair x. Project-wide assignments are skipped.
#include <strings.h>

#include <cstdlib>

#include "QsfStandards.h"
#include "Readers.h"
#include "TclCommon.h"

namespace MbdFormats {
namespace detail {
namespace {

struct Assignment {
  std::vector<std::string> positional;
  std::string name, to;
  bool hasTo = false;
  bool elsewhere = false;  // -from, -entity or -section_id: not a top-level port's setting
};

int ReadOptionsOf(TclRecorder& recorder, int objc, Tcl_Obj* const objv[], Assignment& a) {
  for (int i = 1; i < objc; ++i) {
    const std::string word = TclRecorder::Text(objv[i]);
    if (word == "-disable") continue;
    const bool takesValue = word == "-to" || word == "-name" || word == "-from" ||
                            word == "-entity" || word == "-section_id" || word == "-comment" ||
                            word == "-tag";
    if (!takesValue) {
      a.positional.push_back(word);
      continue;
    }
    if (i + 1 >= objc)
      return recorder.Fail(TclRecorder::Text(objv[0]) + ": " + word + " needs a value");
    const std::string value = TclRecorder::Text(objv[++i]);
    if (word == "-to") {
      a.to = value;
      a.hasTo = true;
    } else if (word == "-name") {
      a.name = value;
    } else if (word == "-from" || word == "-entity" || word == "-section_id") {
      a.elsewhere = true;
    }
  }
  return TCL_OK;
}

// A top-level port name: no hierarchy separator, not empty.
bool IsPortName(const std::string& name) {
  return !name.empty() && name.find('|') == std::string::npos;
}

// The tool names the N pin of a differential port x "x(n)"; the design's own name for it is
// x_n when x is x_p, as the other formats write it. A pair only when the file names x too.
std::string PortName(TableBuilder& table, const std::string& name) {
  if (name.size() <= 3 || name.compare(name.size() - 3, 3, "(n)") != 0) return name;
  const std::string positive = name.substr(0, name.size() - 3);
  const std::size_t n = positive.size();
  const bool suffixed =
      n > 2 && positive[n - 2] == '_' && (positive[n - 1] == 'p' || positive[n - 1] == 'P');
  const std::string negative = suffixed ? NegativeSideOf(positive) : name;
  table.PairIfBoth(positive, negative);
  return negative;
}

int SetLocation(TclRecorder& recorder, int objc, Tcl_Obj* const objv[]) {
  Assignment a;
  if (ReadOptionsOf(recorder, objc, objv, a) != TCL_OK) return TCL_ERROR;
  if (a.positional.size() != 1 || !a.hasTo)
    return recorder.Fail("set_location_assignment takes a location and -to port");
  const unsigned line = recorder.CurrentLine();
  if (!IsPortName(a.to) || a.elsewhere) {
    recorder.Table().Skip(line, 0,
                          "the location of \"" + a.to + "\", not a top-level port, skipped");
    return TCL_OK;
  }
  std::string location = a.positional[0];
  if (location.size() > 4 && strncasecmp(location.c_str(), "PIN_", 4) == 0) location.erase(0, 4);
  recorder.Table().Locate(PortName(recorder.Table(), a.to), location, line);
  Tcl_ResetResult(recorder.Interp());
  return TCL_OK;
}

bool IsDigits(const std::string& text) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

int SetInstance(TclRecorder& recorder, int objc, Tcl_Obj* const objv[]) {
  Assignment a;
  if (ReadOptionsOf(recorder, objc, objv, a) != TCL_OK) return TCL_ERROR;
  if (a.name.empty() || a.positional.size() > 1)
    return recorder.Fail("set_instance_assignment takes -name KEY VALUE -to port");
  const unsigned line = recorder.CurrentLine();
  if (!a.hasTo || !IsPortName(a.to) || a.elsewhere) {
    recorder.Table().Skip(
        line, 0,
        "the assignment " + a.name + " to \"" + a.to + "\", not a top-level port, skipped");
    return TCL_OK;
  }
  const bool hasValue = !a.positional.empty();
  std::string key = a.name, value = hasValue ? a.positional[0] : std::string();
  if (strcasecmp(key.c_str(), "SLEW_RATE") == 0 && IsDigits(value)) {
    // The tool numbers its slew rates, 0 the slowest.
    key = "SLEW";
    value = std::strtol(value.c_str(), nullptr, 10) == 0 ? "SLOW" : "FAST";
  }
  if (strcasecmp(key.c_str(), "IO_STANDARD") == 0) value = CommonStandardName(value);
  if (strcasecmp(key.c_str(), "ENABLE_BUS_HOLD_CIRCUITRY") == 0) key = "KEEPER";
  recorder.Table().Set(PortName(recorder.Table(), a.to), key, value, hasValue, line);
  Tcl_ResetResult(recorder.Interp());
  return TCL_OK;
}

int SetGlobal(TclRecorder& recorder, int objc, Tcl_Obj* const objv[]) {
  Assignment a;
  if (ReadOptionsOf(recorder, objc, objv, a) != TCL_OK) return TCL_ERROR;
  recorder.Skip("the project assignment " + (a.name.empty() ? std::string("?") : a.name) +
                " skipped: not a pin setting");
  Tcl_ResetResult(recorder.Interp());
  return TCL_OK;
}

}  // namespace

void ReadQsf(const std::string& text, const std::string& file, const ReadOptions& options,
             ReadResult& result) {
  const CommentSyntax syntax =
      TclComments({"set_location_assignment", "set_instance_assignment", "set_global_assignment"});
  LineMap lines(text, syntax, options.includeCommented);
  TableBuilder table(result, file, lines);
  {
    TclRecorder recorder(table, options);
    recorder.Add("set_location_assignment", SetLocation);
    recorder.Add("set_instance_assignment", SetInstance);
    recorder.Add("set_global_assignment", SetGlobal);
    recorder.Run(lines.Text());
  }
  table.Finish();
}

}  // namespace detail
}  // namespace MbdFormats
