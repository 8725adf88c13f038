// The _qbd extension module; the package qbd wraps it.
#include <new>

#include "Bindings.h"
#include "BoardState.h"
#include "LyrBoard.h"

namespace qbdpy {

py::object PackageAttr(const char* name) {
  return py::module_::import("qbd._records").attr(name);
}

}  // namespace qbdpy

namespace {

// The C++ runtime and the board libraries came with this module, so their per-thread data (the
// runtime's exception state, the node pool's cache) is made on first use in a thread; first
// used when memory has run out, it cannot be made and the process aborts instead of raising
// MemoryError. A throw and a small board now make it for the importing thread while memory is
// at hand.
void MakeThreadData() {
  try {
    throw std::bad_alloc();
  } catch (const std::bad_alloc&) {
  }
  LyrBoard::Qbd board;
  board.ReadString("ATTRIBUTE NAME = warm\nBEGIN BLOCK\n  PORT P = n, IO_IS = p\nEND\n");
}

}  // namespace

PYBIND11_MODULE(_qbd, m) {
  m.doc() = "Board-description files: the board model of the qbd library.";
  MakeThreadData();
  // The version of the project, the same number as `qbd --version`.
  m.attr("__version__") = QBD_VERSION;
  qbdpy::BindInstances(m);
  qbdpy::BindBoard(m);
  qbdpy::BindPins(m);
  qbdpy::BindExport(m);
  qbdpy::BindImport(m);
  pybind11::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const qbdpy::NotExpanded& e) {
      PyErr_SetString(qbdpy::PackageAttr("TemplateError").ptr(), e.what());
    }
  });
}
