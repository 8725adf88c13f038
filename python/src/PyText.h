// Board text in and out of Python. Board files may hold bytes that are not UTF-8; they come
// out as str with surrogate escapes and go back in unchanged, so a name read from a board
// always finds its node again.
#ifndef QBD_PY_TEXT_H
#define QBD_PY_TEXT_H

#include <pybind11/pybind11.h>

#include <string>
#include <utility>
#include <vector>

#include "MBD.h"
#include "Portability.h"

namespace qbdpy {

namespace py = pybind11;

// The bytes as a str.
py::str Text(const std::string& bytes);
py::str Text(const StringBase& bytes);
// The bytes as a str; None when they are empty (the model's answer for "absent").
py::object OptionalText(const StringBase& bytes);
// The bytes of a str (UTF-8, surrogate escapes undone) or of a bytes object; TypeError for
// anything else, ValueError when they hold a NUL.
std::string Bytes(py::handle object);
// The bytes of board text, as Bytes but NULs kept: the reader reports them where they stand.
std::string BoardText(py::handle object);
// A list of str.
py::list TextList(const std::vector<StringBase>& items);
// A multimap as a list of (key, value) pairs in its own order.
template <typename Map>
py::list Pairs(const Map& map) {
  py::list result;
  for (const auto& entry : map) result.append(py::make_tuple(Text(entry.first), Text(entry.second)));
  return result;
}

// MBD::visitPortTables of the instance as a list of tables, each a list of pairs: tables that
// grow with ports plus pins.
inline py::list PortTables(MBD& model, const StringBase& instance) {
  py::list result;
  model.visitPortTables(instance, [&result](const StringBase&, const MBD::Table& table) {
    result.append(Pairs(table));
  });
  return result;
}

}  // namespace qbdpy

#endif  // QBD_PY_TEXT_H
