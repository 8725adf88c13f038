// Instances, parameters and ports: what the tree holds, read from the node itself, and what
// the model answers about an instance, asked by the instance's name.
#include <string>
#include <vector>

#include <pybind11/stl.h>

#include "Bindings.h"
#include "PyText.h"
#include "Views.h"

namespace qbdpy {

namespace {

using LyrBoard::QbdBlock;

StringBase NameOf(const InstanceView& v) { return v.block->GetName(); }
MBD& ModelOf(const InstanceView& v) { return v.board->model(); }

// The properties of one kind as views of type View.
template <typename View>
std::vector<View> PropertiesOf(const InstanceView& v, QbdBlock::NodeType kind) {
  std::vector<View> result;
  for (LyrBase::Property* prop : v.block->GetPropSeqRef(kind))
    result.push_back(View{{v.board, v.block, prop}});
  return result;
}

// The first property of that kind and name (ignoring case, as the tree looks names up); None
// when there is none.
template <typename View>
py::object PropertyNamed(const InstanceView& v, QbdBlock::NodeType kind, py::handle name) {
  LyrBase::Property* prop = v.block->GetPropertyByName(kind, Bytes(name).c_str());
  if (!prop) return py::none();
  return py::cast(View{{v.board, v.block, prop}});
}

// The sub-properties of a parameter or port as (name, value) pairs, in order.
py::list SubProperties(const PropertyView& v) {
  py::list result;
  for (const LyrBase::PsfComp* sub : v.prop->GetPsfCompSeqRef())
    result.append(py::make_tuple(Text(sub->GetName()), Text(sub->GetValueStr())));
  return result;
}

// The value of the first sub-property of that name (ignoring case); None when absent.
py::object SubProperty(const PropertyView& v, const std::string& name) {
  const LyrBase::PsfComp* sub = v.prop->GetPsfCompByName(name.c_str());
  if (!sub) return py::none();
  return Text(sub->GetValueStr());
}

py::list Tables(const std::vector<MBD::Table>& tables) {
  py::list result;
  for (const MBD::Table& table : tables) result.append(Pairs(table));
  return result;
}

template <typename View>
void BindPropertyCommon(py::class_<View>& c) {
  c.def_property_readonly("name", [](const View& v) { return Text(v.prop->GetName()); },
                          "The name as written.")
      .def_property_readonly(
          "instance", [](const View& v) { return InstanceView{v.board, v.block}; },
          "The instance it belongs to.")
      .def_property_readonly(
          "role", [](const View& v) { return SubProperty(v, MBD::IOIS.str()); },
          "The IO_IS sub-property; None when it has none.")
      .def_property_readonly("properties", [](const View& v) { return SubProperties(v); },
                             "Every sub-property as a (name, value) pair, in order.")
      .def(
          "subproperty",
          [](const View& v, py::handle name) { return SubProperty(v, Bytes(name)); },
          py::arg("name"),
          "Value of the first sub-property of that name (letter case ignored); None when absent.")
      .def("__eq__",
           [](const View& a, const View& b) { return a.prop == b.prop; })
      .def("__hash__", [](const View& v) { return std::hash<const void*>()(v.prop); });
}

}  // namespace

void BindInstances(py::module_& m) {
  py::class_<InstanceView> inst(m, "Instance", "A block of the board: an instance or the FPGA block.");
  py::class_<ParameterView> param(m, "Parameter", "A parameter of an instance.");
  py::class_<PortView> port(m, "Port", "A port of an instance; its value is the net it is wired to.");

  BindPropertyCommon(param);
  param.def_property_readonly(
      "value", [](const ParameterView& v) { return OptionalText(v.prop->GetValueStr()); },
      "The value as text; None when empty.");
  param.def("__repr__", [](const ParameterView& v) {
    return py::str("<qbd.Parameter {}.{}>").format(Text(v.block->GetName()), Text(v.prop->GetName()));
  });

  BindPropertyCommon(port);
  port.def_property_readonly(
      "net", [](const PortView& v) { return OptionalText(v.prop->GetValueStr()); },
      "The net (connector) the port is wired to; None when it has none.");
  port.def("__repr__", [](const PortView& v) {
    return py::str("<qbd.Port {}.{}>").format(Text(v.block->GetName()), Text(v.prop->GetName()));
  });

  inst.def_property_readonly("name", [](const InstanceView& v) { return Text(NameOf(v)); },
                             "The INSTANCE name.")
      .def_property_readonly(
          "io_type",
          [](const InstanceView& v) {
            return OptionalText(v.block->GetPropertyValueStr(QbdBlock::ATTRIBUTE, MBD::IO_TYPE));
          },
          "The IOTYPE attribute; None when absent.")
      .def_property_readonly(
          "core_name",
          [](const InstanceView& v) {
            return OptionalText(
                v.block->GetPropertyValueStr(QbdBlock::ATTRIBUTE, MBD::ADAPTER_NAME));
          },
          "The CORENAME attribute; None when absent.")
      .def_property_readonly(
          "alert", [](const InstanceView& v) { return OptionalText(ModelOf(v).getAlertOfIns(NameOf(v))); },
          "The ALERT attribute; None when absent.")
      .def_property_readonly(
          "speed", [](const InstanceView& v) { return Text(ModelOf(v).getSpeedOfIns(NameOf(v))); },
          "The speed class: the SPEED attribute, or the model's default when it is absent.")
      .def_property_readonly(
          "exclusive_with",
          [](const InstanceView& v) { return TextList(ModelOf(v).getExclusiveInsSeq(NameOf(v))); },
          "Names of the other instances of its EXCLUSIVE group; empty when none.")
      .def_property_readonly(
          "copies",
          [](const InstanceView& v) {
            return TextList(ModelOf(v).getDupInsNamesOfKeyIns(NameOf(v)));
          },
          "Names of the copies the expansion made of it; empty when none.")
      .def_property_readonly(
          "attributes",
          [](const InstanceView& v) {
            py::list result;
            for (const LyrBase::Property* a : v.block->GetPropSeqRef(QbdBlock::ATTRIBUTE))
              result.append(py::make_tuple(Text(a->GetName()), Text(a->GetValueStr())));
            return result;
          },
          "Every attribute as a (name, value) pair, in order.")
      .def(
          "attribute",
          [](const InstanceView& v, py::handle name) {
            const LyrBase::Property* a =
                v.block->GetPropertyByName(QbdBlock::ATTRIBUTE, Bytes(name).c_str());
            return a ? py::object(Text(a->GetValueStr())) : py::none();
          },
          py::arg("name"), "Value of the first attribute of that name (case ignored); None when absent.")
      .def_property_readonly(
          "parameters",
          [](const InstanceView& v) { return PropertiesOf<ParameterView>(v, QbdBlock::PARAMETER); },
          "The parameters, in order.")
      .def_property_readonly(
          "ports", [](const InstanceView& v) { return PropertiesOf<PortView>(v, QbdBlock::PORT); },
          "The ports, in order.")
      .def(
          "parameter",
          [](const InstanceView& v, py::handle name) {
            return PropertyNamed<ParameterView>(v, QbdBlock::PARAMETER, name);
          },
          py::arg("name"), "The first parameter of that name (case ignored); None when absent.")
      .def(
          "port",
          [](const InstanceView& v, py::handle name) {
            return PropertyNamed<PortView>(v, QbdBlock::PORT, name);
          },
          py::arg("name"), "The first port of that name (case ignored); None when absent.")
      // The model's tables and its questions by role or by name.
      .def_property_readonly(
          "parameter_tables",
          [](const InstanceView& v) { return Tables(ModelOf(v).getParamsByIns(NameOf(v))); },
          "One table per parameter with a role, each a list of (key, value) pairs in table "
          "order.")
      .def_property_readonly(
          "port_tables",
          [](const InstanceView& v) { return PortTables(ModelOf(v), NameOf(v)); },
          "One table per FPGA pin wired to each port with a role, each a list of (key, value) "
          "pairs in table order; a later port on a net of several pins that an earlier port "
          "listed gets one table naming that port under SAME_NET_AS.")
      .def(
          "parameter_name_of_role",
          [](const InstanceView& v, py::handle role) {
            return OptionalText(ModelOf(v).getParamNameByIois(NameOf(v), Bytes(role)));
          },
          py::arg("role"), "Name of the first parameter with that role; None when none.")
      .def(
          "parameter_value_of_role",
          [](const InstanceView& v, py::handle role) {
            return OptionalText(ModelOf(v).getCoreParamValue(NameOf(v), Bytes(role)));
          },
          py::arg("role"), "Value of the first parameter with that role; None when none.")
      .def(
          "parameter_subproperty_of_role",
          [](const InstanceView& v, py::handle role, py::handle name) {
            return OptionalText(ModelOf(v).getCoreParamDesc(NameOf(v), Bytes(role), Bytes(name)));
          },
          py::arg("role"), py::arg("name"),
          "The sub-property of the first parameter with that role that has it; None when none.")
      .def(
          "role_tag",
          [](const InstanceView& v, py::handle role, py::handle tag) {
            return OptionalText(ModelOf(v).getValByInsIoisName(NameOf(v), Bytes(role), Bytes(tag)));
          },
          py::arg("role"), py::arg("tag"),
          "Sub-property `tag` of the first parameter with that role; None when it lacks it.")
      .def(
          "short_description",
          [](const InstanceView& v, py::handle role) {
            return OptionalText(ModelOf(v).getCoreParamShortDesc(NameOf(v), Bytes(role)));
          },
          py::arg("role"), "The short description of the parameter with that role; None when none.")
      .def(
          "long_description",
          [](const InstanceView& v, py::handle role) {
            return OptionalText(ModelOf(v).getCoreParamLongDesc(NameOf(v), Bytes(role)));
          },
          py::arg("role"), "The long description of the parameter with that role; None when none.")
      .def(
          "has_port_role",
          [](const InstanceView& v, py::handle role) {
            return ModelOf(v).hasPortIoisVal(NameOf(v), Bytes(role));
          },
          py::arg("role"), "True when a port of the instance has that role.")
      .def(
          "port_location",
          [](const InstanceView& v, py::handle role) {
            return OptionalText(ModelOf(v).getCorePortLoc(NameOf(v), Bytes(role)));
          },
          py::arg("role"),
          "The pin location (LOC) of the port with that role; None when none.")
      .def(
          "parameter_value",
          [](const InstanceView& v, py::handle name) {
            return OptionalText(ModelOf(v).getParamValue(NameOf(v), Bytes(name)));
          },
          py::arg("name"), "Value of the first parameter of that name; None when none.")
      .def(
          "parameter_subproperty",
          [](const InstanceView& v, py::handle name, py::handle sub) {
            return OptionalText(
                ModelOf(v).getParamSubpropValue(NameOf(v), Bytes(name), Bytes(sub)));
          },
          py::arg("name"), py::arg("subproperty"),
          "Sub-property of the first parameter of that name that has it; None when none.")
      .def(
          "port_net",
          [](const InstanceView& v, py::handle name) {
            return OptionalText(ModelOf(v).getPortValue(NameOf(v), Bytes(name)));
          },
          py::arg("name"), "Net of the first port of that name; None when none.")
      .def(
          "port_subproperty",
          [](const InstanceView& v, py::handle name, py::handle sub) {
            return OptionalText(
                ModelOf(v).getPortSubpropValue(NameOf(v), Bytes(name), Bytes(sub)));
          },
          py::arg("name"), py::arg("subproperty"),
          "Sub-property of the first port of that name that has it; None when none.")
      .def("__eq__", [](const InstanceView& a, const InstanceView& b) { return a.block == b.block; })
      .def("__hash__", [](const InstanceView& v) { return std::hash<const void*>()(v.block); })
      .def("__repr__", [](const InstanceView& v) {
        return py::str("<qbd.Instance {}>").format(Text(NameOf(v)));
      });
}

}  // namespace qbdpy
