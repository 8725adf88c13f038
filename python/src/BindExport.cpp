// Constraint files and top-level ports from Python: the same pin table, checks and writers as
// `qbd constraints` and `qbd top`, with the failures raised as ExportError.
#include <map>
#include <string>
#include <vector>

#include "Bindings.h"
#include "BoardState.h"
#include "MbdConstraintWriter.h"
#include "MbdPinTable.h"
#include "MbdTopLevel.h"
#include "PyText.h"

namespace qbdpy {

namespace {

using BoardPtr = std::shared_ptr<BoardState>;
using Problems = std::vector<MbdPins::Problem>;

std::map<std::string, std::string> TextMap(const py::object& dict) {
  std::map<std::string, std::string> result;
  if (dict.is_none()) return result;
  for (const auto& item : py::reinterpret_borrow<py::dict>(dict))
    result[Bytes(item.first)] = Bytes(item.second);
  return result;
}

MbdPins::TableOptions Options(const py::object& instances, bool bus, const py::object& prefix,
                              const py::object& rename, const py::object& choose) {
  MbdPins::TableOptions options;
  if (!instances.is_none())
    for (const py::handle name : instances) options.instances.push_back(Bytes(name));
  options.bus = bus;
  options.prefix = Bytes(prefix);
  options.rename = TextMap(rename);
  options.choose = TextMap(choose);
  return options;
}

std::string LineOf(const MbdPins::Problem& p) {
  return (p.port.empty() ? std::string() : p.port + ": ") + p.message;
}

[[noreturn]] void Raise(const std::string& what, const Problems& problems) {
  std::string text = what;
  py::list records;
  for (const MbdPins::Problem& p : problems) {
    if (!p.error) continue;
    text += "\n" + LineOf(p);
    records.append(py::make_tuple(Text(p.port), Text(p.message)));
  }
  const py::object error = PackageAttr("ExportError")(Text(text), records);
  PyErr_SetObject(PackageAttr("ExportError").ptr(), error.ptr());
  throw py::error_already_set();
}

// One warning for everything a lenient or non-strict export noted, so that a board of
// thousands of pins makes one warning, not thousands.
void Warn(const std::string& what, const Problems& problems) {
  std::string text;
  for (const MbdPins::Problem& p : problems) text += "\n" + LineOf(p);
  if (text.empty()) return;
  py::module_::import("warnings").attr("warn")(Text(what + text));
}

// The checked table; raises ExportError when a check fails and `lenient` is false.
MbdPins::PinTable CheckedTable(const BoardPtr& b, const MbdPins::TableOptions& options,
                               bool lenient) {
  MbdPins::PinTable table = MbdPins::BuildPinTable(b->model(), options);
  table.source = b->source();
  if (MbdPins::HasErrors(table) && !lenient)
    Raise(b->source() + ": the pin table fails its checks:", table.problems);
  Warn(b->source() + ": ", table.problems);
  return table;
}

py::str Constraints(const BoardPtr& b, const std::string& format, const py::object& instances,
                    bool bus, const py::object& prefix, const py::object& rename,
                    const py::object& choose, bool strict, bool lenient) {
  if (!MbdFormats::FindFormat(format)) throw py::value_error("unknown format \"" + format + "\"");
  if (strict && lenient) throw py::value_error("strict and lenient exclude each other");
  const MbdPins::PinTable table =
      CheckedTable(b, Options(instances, bus, prefix, rename, choose), lenient);
  MbdFormats::WriteOptions options;
  options.source = b->source();
  options.lenient = lenient;
  MbdFormats::WriteOutput out;
  MbdFormats::WriteConstraints(format, table, options, out);
  Problems unexpressed = out.unexpressed;
  bool failed = false;
  for (MbdPins::Problem& p : unexpressed) {
    p.error = p.error || strict;
    failed = failed || p.error;
  }
  if (failed && !lenient) Raise("a " + format + " file cannot state all of the table:", unexpressed);
  Warn("not expressed in " + format + ":", out.unexpressed);
  return Text(out.text);
}

py::str Top(const BoardPtr& b, const std::string& hdl, const py::object& instances, bool bus,
            const py::object& prefix, const py::object& rename, const py::object& choose,
            bool lenient, const std::string& name) {
  MbdTop::TopOptions options;
  if (!MbdTop::HdlNamed(hdl, options.hdl))
    throw py::value_error("hdl must be \"verilog\" or \"vhdl\", not \"" + hdl + "\"");
  options.name = name;
  options.source = b->source();
  const MbdPins::PinTable table =
      CheckedTable(b, Options(instances, bus, prefix, rename, choose), lenient);
  MbdTop::TopOutput out;
  if (!MbdTop::WriteTop(table, options, out))
    Raise("the ports cannot be written in " + hdl + ":", out.problems);
  return Text(out.text);
}

}  // namespace

void BindExport(py::module_& m) {
  auto board = py::reinterpret_borrow<py::class_<BoardState, BoardPtr>>(m.attr("Board"));
  board
      .def("constraints", &Constraints, py::arg("format") = "ucf",
           py::arg("instances") = py::none(), py::arg("bus") = false, py::arg("prefix") = "",
           py::arg("rename") = py::none(), py::arg("choose") = py::none(),
           py::arg("strict") = false, py::arg("lenient") = false,
           "The pin constraints of the instances (all when None) as a file of the format, "
           "checked first. Raises ExportError when a check fails (unless lenient) or, when "
           "strict, when the format cannot state a setting; otherwise what it left out is one "
           "warning.")
      .def("top", &Top, py::arg("hdl") = "verilog", py::arg("instances") = py::none(),
           py::arg("bus") = false, py::arg("prefix") = "", py::arg("rename") = py::none(),
           py::arg("choose") = py::none(), py::arg("lenient") = false, py::arg("name") = "top",
           "A top-level Verilog module or VHDL entity whose ports are the exported names. "
           "Raises ExportError when a check fails (unless lenient) or a name cannot be written.");
}

}  // namespace qbdpy
