// qbd::constraints and qbd::top: options read from the words, then the library's pin table,
// its checks and its writers, as `qbd constraints` and `qbd top` use them.
#include "QbdExport.h"

#include <map>
#include <string>
#include <vector>

#include "MbdConstraintWriter.h"
#include "MbdPinTable.h"
#include "MbdTopLevel.h"

namespace qbdtcl {

namespace {

struct Args {
  MbdPins::TableOptions table;
  std::string format = "ucf";
  std::string hdl = "verilog";
  std::string name = "top";
  bool strict = false;
  bool lenient = false;
};

int Fail(Tcl_Interp* interp, const std::string& message, const char* code) {
  Tcl_SetObjResult(interp, Tcl_NewStringObj(message.c_str(), static_cast<int>(message.size())));
  Tcl_SetErrorCode(interp, "QBD", code, static_cast<const char*>(nullptr));
  return TCL_ERROR;
}

std::string Str(Tcl_Obj* obj) {
  int length = 0;
  const char* bytes = Tcl_GetStringFromObj(obj, &length);
  return std::string(bytes, static_cast<std::size_t>(length));
}

int ReadDict(Tcl_Interp* interp, Tcl_Obj* obj, std::map<std::string, std::string>& out) {
  int count = 0;
  Tcl_Obj** items = nullptr;
  if (Tcl_ListObjGetElements(interp, obj, &count, &items) != TCL_OK) return TCL_ERROR;
  if (count % 2 != 0) return Fail(interp, "expected a dictionary: key value ...", "USAGE");
  for (int i = 0; i < count; i += 2) out[Str(items[i])] = Str(items[i + 1]);
  return TCL_OK;
}

// The options of objv[2..]; `top` selects the option set of qbd::top.
int ReadArgs(Tcl_Interp* interp, int objc, Tcl_Obj* const objv[], bool top, Args& args) {
  static const char* const kConstraints[] = {"-format", "-instances", "-bus", "-prefix",
                                             "-rename", "-choose", "-strict", "-lenient",
                                             nullptr};
  static const char* const kTop[] = {"-hdl", "-instances", "-bus", "-prefix", "-rename",
                                     "-choose", "-name", "-lenient", nullptr};
  for (int i = 2; i < objc; ++i) {
    int index = 0;
    if (Tcl_GetIndexFromObj(interp, objv[i], top ? kTop : kConstraints, "option", 0, &index) !=
        TCL_OK)
      return TCL_ERROR;
    const std::string option = (top ? kTop : kConstraints)[index];
    const bool flag = option == "-bus" || option == "-strict" || option == "-lenient";
    if (flag) {
      if (option == "-bus") args.table.bus = true;
      if (option == "-strict") args.strict = true;
      if (option == "-lenient") args.lenient = true;
      continue;
    }
    if (i + 1 >= objc) return Fail(interp, "option " + option + " needs a value", "USAGE");
    Tcl_Obj* value = objv[++i];
    if (option == "-format") {
      args.format = Str(value);
    } else if (option == "-hdl") {
      args.hdl = Str(value);
    } else if (option == "-name") {
      args.name = Str(value);
    } else if (option == "-prefix") {
      args.table.prefix = Str(value);
    } else if (option == "-instances") {
      int count = 0;
      Tcl_Obj** items = nullptr;
      if (Tcl_ListObjGetElements(interp, value, &count, &items) != TCL_OK) return TCL_ERROR;
      for (int k = 0; k < count; ++k) args.table.instances.push_back(Str(items[k]));
    } else if (ReadDict(interp, value, option == "-rename" ? args.table.rename
                                                          : args.table.choose) != TCL_OK) {
      return TCL_ERROR;
    }
  }
  if (args.strict && args.lenient) return Fail(interp, "-strict and -lenient exclude each other", "USAGE");
  return TCL_OK;
}

// An error listing the problems that are errors, one a line after the heading.
int Problems(Tcl_Interp* interp, const std::string& heading,
             const std::vector<MbdPins::Problem>& problems) {
  std::string text = heading;
  for (const MbdPins::Problem& p : problems)
    if (p.error) text += "\n" + (p.port.empty() ? std::string() : p.port + ": ") + p.message;
  return Fail(interp, text, "EXPORT");
}

// The checked table in `table`; an error when a check fails and -lenient was not given.
int CheckedTable(Tcl_Interp* interp, MBD& model, const std::string& source, const Args& args,
                 MbdPins::PinTable& table) {
  table = MbdPins::BuildPinTable(model, args.table);
  table.source = source;
  if (MbdPins::HasErrors(table) && !args.lenient)
    return Problems(interp, source + ": the pin table fails its checks:", table.problems);
  return TCL_OK;
}

int Text(Tcl_Interp* interp, const std::string& text) {
  Tcl_SetObjResult(interp, Tcl_NewStringObj(text.c_str(), static_cast<int>(text.size())));
  return TCL_OK;
}

}  // namespace

int Constraints(Tcl_Interp* interp, MBD& model, const std::string& source, int objc,
                Tcl_Obj* const objv[]) {
  Args args;
  if (ReadArgs(interp, objc, objv, false, args) != TCL_OK) return TCL_ERROR;
  if (!MbdFormats::FindFormat(args.format))
    return Fail(interp, "unknown format \"" + args.format + "\"", "USAGE");
  MbdPins::PinTable table;
  if (CheckedTable(interp, model, source, args, table) != TCL_OK) return TCL_ERROR;
  MbdFormats::WriteOptions options;
  options.source = source;
  options.lenient = args.lenient;
  MbdFormats::WriteOutput out;
  MbdFormats::WriteConstraints(args.format, table, options, out);
  bool failed = false;
  for (MbdPins::Problem& p : out.unexpressed) {
    p.error = p.error || args.strict;
    failed = failed || p.error;
  }
  if (failed && !args.lenient)
    return Problems(interp, "a " + args.format + " file cannot state all of the table:",
                    out.unexpressed);
  return Text(interp, out.text);
}

int Top(Tcl_Interp* interp, MBD& model, const std::string& source, int objc,
        Tcl_Obj* const objv[]) {
  Args args;
  if (ReadArgs(interp, objc, objv, true, args) != TCL_OK) return TCL_ERROR;
  MbdTop::TopOptions options;
  if (!MbdTop::HdlNamed(args.hdl, options.hdl))
    return Fail(interp, "-hdl must be verilog or vhdl, not \"" + args.hdl + "\"", "USAGE");
  options.name = args.name;
  options.source = source;
  MbdPins::PinTable table;
  if (CheckedTable(interp, model, source, args, table) != TCL_OK) return TCL_ERROR;
  MbdTop::TopOutput out;
  if (!MbdTop::WriteTop(table, options, out))
    return Problems(interp, "the ports cannot be written in " + args.hdl + ":", out.problems);
  return Text(interp, out.text);
}

}  // namespace qbdtcl
