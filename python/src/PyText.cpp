#include "PyText.h"

namespace qbdpy {

py::str Text(const std::string& bytes) {
  PyObject* text = PyUnicode_DecodeUTF8(bytes.data(), static_cast<Py_ssize_t>(bytes.size()),
                                        "surrogateescape");
  if (!text) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(text);
}

py::str Text(const StringBase& bytes) { return Text(bytes.str()); }

py::object OptionalText(const StringBase& bytes) {
  if (bytes.IsEmpty()) return py::none();
  return Text(bytes);
}

std::string BoardText(py::handle object) {
  std::string bytes;
  if (PyBytes_Check(object.ptr())) {
    bytes = std::string(py::reinterpret_borrow<py::bytes>(object));
  } else if (PyUnicode_Check(object.ptr())) {
    PyObject* encoded = PyUnicode_AsEncodedString(object.ptr(), "utf-8", "surrogateescape");
    if (!encoded) throw py::error_already_set();
    bytes = std::string(py::reinterpret_steal<py::bytes>(encoded));
  } else {
    throw py::type_error("expected str or bytes");
  }
  return bytes;
}

std::string Bytes(py::handle object) {
  std::string bytes = BoardText(object);
  // The library takes names as C strings: a NUL would cut one short without a word.
  if (bytes.find('\0') != std::string::npos) throw py::value_error("embedded null character");
  return bytes;
}

py::list TextList(const std::vector<StringBase>& items) {
  py::list result;
  for (const StringBase& item : items) result.append(Text(item));
  return result;
}

}  // namespace qbdpy
