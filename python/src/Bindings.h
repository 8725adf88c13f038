// The parts of the _qbd extension module, one per family of questions.
#ifndef QBD_PY_BINDINGS_H
#define QBD_PY_BINDINGS_H

#include <pybind11/pybind11.h>

namespace qbdpy {

namespace py = pybind11;

// The exception classes and record types of the pure-Python part of the package.
py::object PackageAttr(const char* name);

void BindInstances(py::module_& m);
void BindBoard(py::module_& m);
// The wiring and lint; after BindInstances and BindBoard, whose classes it extends.
void BindPins(py::module_& m);
// Constraint files and top-level ports; after BindBoard.
void BindExport(py::module_& m);
// Drafts from pin tables and netlists, and the diff of two boards.
void BindImport(py::module_& m);

}  // namespace qbdpy

#endif  // QBD_PY_BINDINGS_H
