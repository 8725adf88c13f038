// Drafting a board from a CSV pin table or a netlist, and the diff of two boards.
#include <fstream>
#include <sstream>

#include <pybind11/stl.h>

#include "BoardState.h"
#include "Bindings.h"
#include "MbdDiff.h"
#include "MbdImport.h"
#include "MbdImportFiles.h"
#include "PyText.h"

namespace qbdpy {

namespace {

using BoardPtr = std::shared_ptr<BoardState>;

[[noreturn]] void RaiseImportError(const std::vector<MbdImport::ImportError>& errors) {
  py::list records;
  const py::object record = PackageAttr("ErrorRecord");
  std::string text;
  for (const MbdImport::ImportError& e : errors) {
    records.append(record(Text(e.file), e.line, e.column, py::str("import"), Text(e.message)));
    text += (text.empty() ? "" : "\n") + MbdImport::FormatError(e);
  }
  const py::object error = PackageAttr("ReadError")(Text(text), records);
  PyErr_SetObject(error.get_type().ptr(), error.ptr());
  throw py::error_already_set();
}

MbdImport::TableRead ReadOne(const std::string& path, const std::string& format,
                             const std::vector<std::string>& columns, const std::string& fpga,
                             bool includeCommented) {
  std::ifstream in(path, std::ios::binary);
  if (!in) RaiseImportError({MbdImport::ImportError{path, 0, 0, "cannot open the file"}});
  std::ostringstream text;
  text << in.rdbuf();
  const std::string kind = MbdImport::ImportFormatOf(path, text.str(), format);
  bool known = false;
  for (const std::string& f : MbdImport::ImportFormats()) known = known || f == kind;
  if (!known)
    throw py::value_error(path + (kind.empty() ? ": cannot tell the format from the file name"
                                               : ": cannot import format \"" + kind + "\""));
  if (kind == "net" && fpga.empty())
    throw py::value_error(path + ": a netlist needs fpga=REF, the FPGA part's reference");
  MbdImport::FileOptions options;
  options.columns = columns;
  options.fpga = fpga;
  options.includeCommented = includeCommented;
  return MbdImport::ReadImportText(kind, text.str(), path, options);
}

py::tuple ImportFile(const std::vector<std::string>& paths, const std::string& format,
                     const std::vector<std::string>& columns, const std::string& fpga,
                     bool includeCommented, const MbdImport::DraftOptions& options) {
  MbdPins::PinTable table;
  std::vector<MbdImport::Guess> guesses;
  std::vector<MbdImport::ImportError> errors;
  for (const std::string& path : paths) {
    MbdImport::TableRead read = ReadOne(path, format, columns, fpga, includeCommented);
    errors.insert(errors.end(), read.errors.begin(), read.errors.end());
    MbdImport::MergeTable(table, read.table);
    guesses.insert(guesses.end(), read.notes.begin(), read.notes.end());
  }
  if (!errors.empty()) RaiseImportError(errors);
  MbdImport::Draft draft = MbdImport::BuildDraft(table, options);
  guesses.insert(guesses.end(), draft.guesses.begin(), draft.guesses.end());
  const std::string source = paths.empty() ? std::string() : paths.front();
  auto board = std::make_shared<BoardState>(std::move(draft.board), source);
  const py::object guessType = PackageAttr("Guess");
  py::list list;
  for (const MbdImport::Guess& g : guesses)
    list.append(guessType(py::str(MbdImport::GuessKindName(g.kind)), Text(g.instance), Text(g.port),
                          Text(g.file), g.line, Text(g.message)));
  return py::make_tuple(board, list);
}

py::list Diff(const BoardPtr& a, const BoardPtr& b, bool pinsOnly,
              const std::vector<std::string>& importedFormats) {
  MbdDiff::DiffOptions options;
  options.instances = !pinsOnly;
  for (const std::string& format : importedFormats)
    options = MbdDiff::OptionsForFormat(format, options);
  const py::object changeType = PackageAttr("Change");
  py::list out;
  for (const MbdDiff::Record& r : MbdDiff::DiffBoards(a->tree(), b->tree(), options))
    out.append(changeType(py::str(MbdDiff::SubjectName(r.subject)), py::str(MbdDiff::ChangeName(r.change)),
                          Text(r.name), Text(r.field), Text(r.before), Text(r.after)));
  return out;
}

}  // namespace

void BindImport(py::module_& m) {
  m.def(
      "import_file",
      [](const std::vector<std::string>& paths, const std::string& format,
         const std::vector<std::string>& columns, const std::string& fpga, bool includeCommented,
         const std::string& family, const std::string& device, const std::string& package,
         const std::string& speed, const std::string& vendor, const std::string& name,
         const std::string& revision) {
        MbdImport::DraftOptions options{family, device, package, speed, vendor, name, revision};
        return ImportFile(paths, format, columns, fpga, includeCommented, options);
      },
      py::arg("paths"), py::arg("format"), py::arg("columns"), py::arg("fpga"),
      py::arg("include_commented"), py::arg("family"), py::arg("device"), py::arg("package"), py::arg("speed_grade"),
      py::arg("vendor"), py::arg("name"), py::arg("revision"),
      "A draft board and its guesses from constraint files, CSV pin tables or a netlist.");
  m.def("diff", &Diff, py::arg("a"), py::arg("b"), py::arg("pins_only"),
        py::arg("imported_formats"),
        "The changes from board a to board b, leaving out what an imported side's format "
        "cannot state.");
}

}  // namespace qbdpy
