// The _qbd extension module; the package qbd wraps it.
#include "Bindings.h"
#include "BoardState.h"

namespace qbdpy {

py::object PackageAttr(const char* name) {
  return py::module_::import("qbd._records").attr(name);
}

}  // namespace qbdpy

PYBIND11_MODULE(_qbd, m) {
  m.doc() = "Board-description files: the board model of the qbd library.";
  qbdpy::BindInstances(m);
  qbdpy::BindBoard(m);
  qbdpy::BindPins(m);
  qbdpy::BindImport(m);
  pybind11::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const qbdpy::NotExpanded& e) {
      PyErr_SetString(qbdpy::PackageAttr("TemplateError").ptr(), e.what());
    }
  });
}
