// The wiring: FPGA pins with their location and constraint strings, the pins on each port's
// net, the instance ports on each pin's net, the instances apart from the FPGA blocks; and the
// board's lint findings.
#include <pybind11/stl.h>

#include <string>
#include <vector>

#include "Bindings.h"
#include "MbdLint.h"
#include "PyText.h"
#include "Views.h"

namespace qbdpy {

namespace {

using BoardPtr = std::shared_ptr<BoardState>;

struct PinView : PropertyView {};

template <typename View, typename Refs>
std::vector<View> ViewsOf(const BoardPtr& board, const Refs& refs) {
  std::vector<View> result;
  result.reserve(refs.size());
  for (const PortRef& ref : refs) result.push_back(View{{board, ref.block, ref.port}});
  return result;
}

py::object Location(const PinView& v) {
  StringBase location;
  if (!MbdRules::FirstLocation(MbdRules::ConstraintStrings(*v.prop), location)) return py::none();
  return Text(location);
}

void BindPin(py::module_& m) {
  py::class_<PinView> pin(m, "Pin", "An FPGA pin: a port of an FPGA block.");
  pin.def_property_readonly("name", [](const PinView& v) { return Text(v.prop->GetName()); },
                            "The pin's port name.")
      .def_property_readonly(
          "net", [](const PinView& v) { return OptionalText(MbdRules::ConnectorOf(*v.prop)); },
          "The net the pin carries; None when none.")
      .def_property_readonly("location", &Location,
                             "The location of its first LOC constraint; None when it has none.")
      .def_property_readonly(
          "constraints",
          [](const PinView& v) { return TextList(MbdRules::ConstraintStrings(*v.prop)); },
          "Its constraint strings (UCF_NET_STRING), in order; empty when none.")
      .def_property_readonly(
          "properties",
          [](const PinView& v) {
            py::list result;
            for (const LyrBase::PsfComp* sub : v.prop->GetPsfCompSeqRef())
              result.append(py::make_tuple(Text(sub->GetName()), Text(sub->GetValueStr())));
            return result;
          },
          "Every sub-property as a (name, value) pair, in order.")
      .def_property_readonly(
          "block", [](const PinView& v) { return InstanceView{v.board, v.block}; },
          "The FPGA block it belongs to.")
      .def_property_readonly(
          "wired_to",
          [](const PinView& v) {
            return ViewsOf<PortView>(v.board,
                                     v.board->pins().PortsOn(MbdRules::ConnectorOf(*v.prop)));
          },
          "The instance ports on its net, in board order; empty when none.")
      .def("__eq__", [](const PinView& a, const PinView& b) { return a.prop == b.prop; })
      .def("__hash__", [](const PinView& v) { return std::hash<const void*>()(v.prop); })
      .def("__repr__", [](const PinView& v) {
        return py::str("<qbd.Pin {}.{}>").format(Text(v.block->GetName()), Text(v.prop->GetName()));
      });
}

py::list Lint(const BoardPtr& board, py::object path) {
  const std::string file = path.is_none() ? board->source() : Bytes(path);
  const py::object record = PackageAttr("Finding");
  py::list result;
  for (const MbdLint::Finding& f : MbdLint::LintBoard(board->tree(), file))
    result.append(record(Text(f.file), f.line, f.column, MbdLint::SeverityName(f.severity),
                         Text(f.code), Text(f.message)));
  return result;
}

}  // namespace

void BindPins(py::module_& m) {
  BindPin(m);
  auto port = py::reinterpret_borrow<py::class_<PortView>>(m.attr("Port"));
  port.def_property_readonly(
      "pins",
      [](const PortView& v) {
        return ViewsOf<PinView>(v.board, v.board->pins().PinsOn(MbdRules::ConnectorOf(*v.prop)));
      },
      "The FPGA pins that carry its net (compared as the model compares connectors); empty "
      "when none.");
  auto inst = py::reinterpret_borrow<py::class_<InstanceView>>(m.attr("Instance"));
  inst.def_property_readonly(
      "is_fpga", [](const InstanceView& v) { return MbdRules::IsFpgaBlock(v.block); },
      "True for an FPGA block.");
  auto board = py::reinterpret_borrow<py::class_<BoardState, BoardPtr>>(m.attr("Board"));
  board
      .def_property_readonly(
          "instances",
          [](const BoardPtr& b) {
            std::vector<InstanceView> result;
            for (LyrBoard::QbdBlock* block : b->pins().Instances())
              result.push_back(InstanceView{b, block});
            return result;
          },
          "The blocks other than FPGA blocks, in order.")
      .def_property_readonly(
          "fpga_pins", [](const BoardPtr& b) { return ViewsOf<PinView>(b, b->pins().FpgaPins()); },
          "Every FPGA pin: FPGA blocks in order, their pins in order.")
      .def("lint", &Lint, py::arg("path") = py::none(),
           "The lint findings of the board as it is now (a template as it was read unless "
           "expanded), ordered by position; `path` names the file in the findings (by default "
           "the name it was read under).");
}

}  // namespace qbdpy
