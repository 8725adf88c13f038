// The Board class: identity, FPGA part, instances and IO types, clocks, reset, memories, the
// module tree, expansion and writing; and the module functions that read a board.
#include <cerrno>
#include <climits>
#include <string>
#include <utility>
#include <vector>

#include <pybind11/stl.h>

#include "Bindings.h"
#include "LyrWiz_WizUtils.h"
#include "MbdRules.h"
#include "PyText.h"
#include "Views.h"

namespace qbdpy {

namespace {

using BoardPtr = std::shared_ptr<BoardState>;
using LyrBoard::QbdBlock;

// The FPGA part of a board, read and set through the model.
struct FpgaView {
  BoardPtr board;
};

using Setter = int (MBD::*)(StringBase);

void SetPart(const FpgaView& v, Setter setter, const char* what, py::handle value) {
  const std::string text = Bytes(value);
  MBD& model = v.board->model();
  // The library's own capture: it collects this thread's messages only, whatever other
  // threads send meanwhile.
  Port_MsgCapture capture;
  const int status = (model.*setter)(StringBase(text));
  if (status == 0) {
    v.board->touch();
    return;
  }
  std::string message = MbdRules::MessageAsError(capture.text());
  while (!message.empty() && message.back() == ' ') message.pop_back();
  if (message.empty())
    message = std::string("the FPGA ") + what + " was not set: the FPGA block has no such attribute";
  throw py::value_error(message);
}

InstanceView ViewOf(const BoardPtr& board, QbdBlock* block) { return InstanceView{board, block}; }

// The block the model finds by that name; None when none.
py::object InstanceNamed(const BoardPtr& board, const StringBase& name) {
  QbdBlock* block = board->model().getBlockByName(name);
  if (!block) return py::none();
  return py::cast(ViewOf(board, block));
}

std::vector<InstanceView> InstancesNamed(const BoardPtr& board,
                                         const std::vector<StringBase>& names) {
  std::vector<InstanceView> result;
  MBD& model = board->model();
  for (const StringBase& name : names)
    if (QbdBlock* block = model.getBlockByName(name)) result.push_back(ViewOf(board, block));
  return result;
}

py::list Tables(const std::vector<MBD::Table>& tables) {
  py::list result;
  for (const MBD::Table& table : tables) result.append(Pairs(table));
  return result;
}

py::list UnsignedList(const std::vector<unsigned>& values) {
  py::list result;
  for (unsigned v : values) result.append(v);
  return result;
}

// A frequency in hertz as the model takes it; ValueError outside 0 .. 2^32-1.
unsigned Frequency(const py::int_& value) {
  int overflow = 0;
  const long long hz = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
  if (hz == -1 && PyErr_Occurred()) throw py::error_already_set();
  if (overflow != 0 || hz < 0 || static_cast<unsigned long long>(hz) > UINT_MAX)
    throw py::value_error("a frequency is a whole number of hertz from 0 to 4294967295");
  return static_cast<unsigned>(hz);
}

py::list SignalNames(const LyrWiz_Module& module) {
  py::list names;
  for (const LyrWiz_Signal* s : module.GetSignals()) names.append(Text(s->name));
  return names;
}

py::object SignalName(const LyrWiz_Signal* signal) {
  return signal ? py::object(Text(signal->name)) : py::none();
}

py::dict ModuleDict(const LyrWiz_Module& module) {
  py::list params;
  for (const LyrWiz_Param* p : module.GetParams()) {
    py::dict param;
    param["name"] = Text(p->name);
    param["value"] = Text(p->value);
    param["properties"] = Pairs(p->properties);
    params.append(param);
  }
  py::list pins;
  for (const LyrWiz_Pin* p : module.GetPins()) {
    py::dict pin;
    pin["name"] = Text(p->name);
    pin["internal_signal"] = SignalName(p->GetInternalSignal());
    pin["external_signal"] = SignalName(p->GetExternalSignal());
    pin["properties"] = Pairs(p->properties);
    pins.append(pin);
  }
  py::list children;
  for (const LyrWiz_Module* child : module.GetChildModules()) children.append(ModuleDict(*child));
  py::dict result;
  result["name"] = Text(module.name);
  result["properties"] = Pairs(module.properties);
  result["signals"] = SignalNames(module);
  result["params"] = params;
  result["pins"] = pins;
  result["children"] = children;
  return result;
}

std::string WithoutTrailingNewlines(std::string text) {
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// Raises qbd.ReadError for a board that did not read.
[[noreturn]] void RaiseReadError(const ReadFailure& failure) {
  py::list records;
  const py::object record = PackageAttr("ErrorRecord");
  for (const LyrBoard::ReadError& e : failure.board->GetErrors())
    records.append(record(Text(e.file), e.line, e.column, Text(e.code), Text(e.message)));
  const py::object error =
      PackageAttr("ReadError")(Text(WithoutTrailingNewlines(failure.board->GetErrorText().str())),
                               records);
  PyErr_SetObject(error.get_type().ptr(), error.ptr());
  throw py::error_already_set();
}

BoardPtr Read(py::handle name) {
  const std::string path = Bytes(name);
  try {
    return BoardState::FromFile(path);
  } catch (const ReadFailure& failure) {
    RaiseReadError(failure);
  }
}

BoardPtr Loads(py::handle text, py::handle name) {
  const std::string bytes = BoardText(text);
  const std::string source = Bytes(name);
  try {
    return BoardState::FromText(bytes, source);
  } catch (const ReadFailure& failure) {
    RaiseReadError(failure);
  }
}

void BindFpga(py::module_& m) {
  py::class_<FpgaView> fpga(m, "Fpga",
                            "The FPGA part: the attributes of the board's first FPGA block.");
  auto part = [&fpga](const char* name, StringBase (MBD::*getter)(), Setter setter,
                      const char* what, const char* doc) {
    fpga.def_property(
        name, [getter](const FpgaView& v) { return OptionalText((v.board->model().*getter)()); },
        [setter, what](const FpgaView& v, py::handle value) { SetPart(v, setter, what, value); },
        doc);
  };
  part("family", &MBD::getArch, &MBD::setArch, "family",
       "FAMILY; None when absent. Settable on a generic template only (ValueError otherwise).");
  part("device", &MBD::getDevice, &MBD::setDevice, "device",
       "DEVICE; None when absent. Settable on a generic template only.");
  part("package", &MBD::getPackage, &MBD::setPackage, "package",
       "PACKAGE; None when absent. Settable on a generic template only.");
  part("speed_grade", &MBD::getSpeedGrade, &MBD::setSpeedGrade, "speed grade",
       "SPEED_GRADE; None when absent. Settable on a generic template only.");
  fpga.def_property_readonly(
      "jtag_position", [](const FpgaView& v) { return OptionalText(v.board->model().getJtagPos()); },
      "JTAG_POSITION; None when absent.");
  fpga.def_property_readonly(
      "is_k2p", [](const FpgaView& v) { return v.board->model().isK2P() != 0; },
      "True when the family is one of the KETRAL2P families.");
}

void BindQueries(py::class_<BoardState, BoardPtr>& c) {
  c.def_property_readonly(
       "vendor", [](const BoardPtr& b) { return OptionalText(b->model().getBoardId().vendor); },
       "VENDOR; None when absent.")
      .def_property_readonly(
          "name", [](const BoardPtr& b) { return OptionalText(b->model().getBoardId().name); },
          "NAME; None when absent.")
      .def_property_readonly(
          "revision",
          [](const BoardPtr& b) { return OptionalText(b->model().getBoardId().revision); },
          "REVISION; None when absent.")
      .def_property_readonly(
          "description", [](const BoardPtr& b) { return OptionalText(b->model().getBoardDesc()); },
          "LONG_DESC; None when absent.")
      .def_property_readonly(
          "spec_url", [](const BoardPtr& b) { return OptionalText(b->model().getSpecUrl()); },
          "SPEC_URL; None when absent.")
      .def_property_readonly(
          "contact_info_url",
          [](const BoardPtr& b) { return OptionalText(b->model().getContactInfoUrl()); },
          "CONTACT_INFO_URL; None when absent.")
      .def_property_readonly(
          "fpga", [](const BoardPtr& b) { b->model(); return FpgaView{b}; },
          "The FPGA part.")
      .def_property_readonly(
          "io_types", [](const BoardPtr& b) { return TextList(b->model().getTrimedIOTypes()); },
          "The IO types, each once, in order of first occurrence; empty when none.")
      .def_property_readonly(
          "block_io_types", [](const BoardPtr& b) { return TextList(b->model().getIOTypes()); },
          "The IOTYPE of every block that has one, repeats kept.")
      .def_property_readonly(
          "core_names", [](const BoardPtr& b) { return TextList(b->model().getIOAdapters()); },
          "The CORENAME of every block that has one, repeats kept.")
      .def(
          "has_io_type",
          [](const BoardPtr& b, py::handle t) { return b->model().hasIoType(Bytes(t)); },
          py::arg("io_type"), "True when some block's IOTYPE is exactly that.")
      .def(
          "instance",
          [](const BoardPtr& b, py::handle name) { return InstanceNamed(b, Bytes(name)); },
          py::arg("name"), "The first block of that name (case ignored); None when none.")
      .def(
          "instances_of",
          [](const BoardPtr& b, py::handle t, bool keyOnly) {
            return InstancesNamed(
                b, b->model().getInstanceNamesByIOType(Bytes(t), keyOnly ? 1 : 0));
          },
          py::arg("io_type"), py::arg("key_only") = false,
          "The instances of that IO type (case ignored), only key instances with key_only; "
          "empty when none.")
      .def(
          "exclusive_of",
          [](const BoardPtr& b, py::handle name) {
            return TextList(b->model().getExclusiveInsSeq(Bytes(name)));
          },
          py::arg("name"),
          "Names of the other instances in that instance's EXCLUSIVE group; empty when none.")
      .def(
          "parameter_tables_of",
          [](const BoardPtr& b, py::handle t) {
            return Tables(b->model().getParamsByIOType(Bytes(t)));
          },
          py::arg("io_type"), "The parameter tables of the first instance of that IO type.")
      .def(
          "port_tables_of",
          [](const BoardPtr& b, py::handle t) {
            const std::vector<StringBase> names =
                b->model().getInstanceNamesByIOType(StringBase(Bytes(t)), 0);
            return names.empty() ? py::list() : PortTables(b->model(), names.front());
          },
          py::arg("io_type"), "The port tables of the first instance of that IO type.");
}

void BindClocksAndMemories(py::class_<BoardState, BoardPtr>& c) {
  c.def_property_readonly(
       "clock_frequencies",
       [](const BoardPtr& b) {
         py::list result;
         for (const StringBase& f : b->model().getClkFreqSeq())
           result.append(py::int_(py::str(Text(f))));
         return result;
       },
       "The frequency of every clock instance in hertz; empty when none.")
      .def_property_readonly(
          "clock_ranges",
          [](const BoardPtr& b) {
            py::list result;
            const py::object range = PackageAttr("ClockRange");
            for (const MBD::ClkRng& r : b->model().getClkFreqRngSeq())
              result.append(range(Text(r.clkInsName), r.minFreq, r.maxFreq, r.stepFreq));
            return result;
          },
          "The board's clock ranges as ClockRange records; empty when none.")
      .def(
          "find_clock",
          [](const BoardPtr& b, const py::int_& freq) {
            return InstanceNamed(b, b->model().findClkInst(Frequency(freq)));
          },
          py::arg("frequency"),
          "The first clock instance whose ranges admit the frequency (hertz); None when none.")
      .def_property_readonly(
          "reset_polarity",
          [](const BoardPtr& b) { return OptionalText(b->model().getRstPolarity()); },
          "The polarity parameter of the first reset instance; None when none.")
      .def_property_readonly(
          "flash_memories",
          [](const BoardPtr& b) {
            py::list result;
            const py::object flash = PackageAttr("FlashMemory");
            for (const auto& entry : b->model().getReadOnlyMems())
              result.append(flash(Text(entry.first), Text(entry.second)));
            return result;
          },
          "(instance, role) of every flash parameter, in board order; empty when none.")
      .def(
          "bram_sizes",
          [](const BoardPtr& b, py::handle bus) {
            return UnsignedList(b->model().getBramSizeList(Bytes(bus)));
          },
          py::arg("bus"), "Block-RAM sizes for the bus, divided by 1023; empty when none.")
      .def(
          "default_bram_size",
          [](const BoardPtr& b, py::handle bus) { return b->model().getDefBramSize(Bytes(bus)); },
          py::arg("bus"), "Default block-RAM size for the bus, divided by 1023 (0 when unknown).")
      .def(
          "cache_sizes",
          [](const BoardPtr& b, py::handle kind) {
            return UnsignedList(b->model().getPNCacheSizeList(Bytes(kind)));
          },
          py::arg("kind"), "Processor cache sizes of that kind.")
      .def(
          "modules",
          [](const BoardPtr& b) {
            LyrWiz_Module top;
            b->model().setupModules(&top);
            return ModuleDict(top);
          },
          "The wizard module tree as nested dicts: name, properties, signals, params, pins, "
          "children.");
}

void BindTree(py::class_<BoardState, BoardPtr>& c) {
  c.def_property_readonly(
       "is_template",
       [](const BoardPtr& b) { return MBD::IsGenericBoard(&b->tree()); },
       "True when the board is a generic template.")
      .def_property_readonly("expanded", &BoardState::expanded,
                             "True once the model is built (a template: once expanded).")
      .def(
          "expand",
          [](const BoardPtr& b) {
            try {
              b->expand();
            } catch (const std::runtime_error& e) {
              throw py::value_error(e.what());
            }
            return b;
          },
          "Builds the board model, which expands a generic template in place; returns the "
          "board. Nothing changes on a real board or a second call.")
      .def_property_readonly(
          "blocks",
          [](const BoardPtr& b) {
            std::vector<InstanceView> result;
            for (LyrBase::PsfComp* comp : b->tree().GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK))
              result.push_back(ViewOf(b, static_cast<QbdBlock*>(comp)));
            return result;
          },
          "Every block, the FPGA block included, in order.")
      .def_property_readonly(
          "attributes",
          [](const BoardPtr& b) {
            py::list result;
            for (const LyrBase::PsfComp* a : b->tree().GetPsfCompSeqRef(LyrBoard::Qbd::ATTRIBUTE))
              result.append(py::make_tuple(Text(a->GetName()), Text(a->GetValueStr())));
            return result;
          },
          "Every board attribute as a (name, value) pair, in order.")
      .def(
          "dumps", [](const BoardPtr& b) { return Text(b->tree().WriteString()); },
          "The board in the board file syntax.")
      .def(
          "write",
          [](const BoardPtr& b, py::handle where, bool force) {
            const py::object name = py::module_::import("os").attr("fsencode")(where);
            const std::string path = Bytes(name);
            const int result = b->tree().WriteFile(path.c_str(), force);
            if (result == LyrBoard::Qbd::WRITE_PROTECTED) {
              PyErr_SetObject(PyExc_PermissionError,
                              py::make_tuple(EACCES,
                                             "the file is write-protected (force=True "
                                             "replaces it)",
                                             where)
                                  .ptr());
              throw py::error_already_set();
            }
            if (result != LyrBoard::Qbd::WRITE_OK) {
              PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, where.ptr());
              throw py::error_already_set();
            }
          },
          py::arg("path"), py::arg("force") = false,
          "Writes the board in the board file syntax, replacing the file only once the new text "
          "is complete; PermissionError for a file the user may not write unless force is true; "
          "OSError (the file as it was) when it cannot.")
      .def("__repr__", [](const BoardPtr& b) {
        const LyrBase::PsfComp* name =
            b->tree().GetPsfCompByName(LyrBoard::Qbd::ATTRIBUTE, MBD::NAME.c_str());
        return py::str("<qbd.Board {!r}>").format(name ? Text(name->GetValueStr()) : py::str(""));
      });
}

}  // namespace

void BindBoard(py::module_& m) {
  BindFpga(m);
  py::class_<BoardState, BoardPtr> board(m, "Board", "A board read from a board file or text.");
  BindQueries(board);
  BindClocksAndMemories(board);
  BindTree(board);
  m.def("read", &Read, py::arg("path"),
        "Reads a board file; ReadError (with every error as a record) when it does not read.");
  m.def("loads", &Loads, py::arg("text"), py::arg("source_name") = "<string>",
        "Reads board text (str or bytes); ReadError when it does not read.");
}

}  // namespace qbdpy
