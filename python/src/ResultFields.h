#pragma once

#include <pybind11/pybind11.h>

#include <algorithm>
#include <span>
#include <string>

namespace tessarin::python {

namespace py = pybind11;

// What makes a result read like a record of NumPy columns: result["value"] as result.value, for
// the names of `keys` (KeyError for any other), and keys() listing them, so that
// {k: r[k] for k in r.keys()} is a table's columns.
template <typename Result>
void addFieldAccess(py::class_<Result>& result, std::span<const char* const> keys) {
  result.def(
      "__getitem__",
      [keys](const py::object& self, const std::string& name) -> py::object {
        if (std::find(keys.begin(), keys.end(), name) == keys.end()) throw py::key_error(name);
        return self.attr(name.c_str());
      },
      py::arg("name"),
      "The field of that name, as the attribute: result['value'] is result.value.");
  result.def(
      "keys",
      [keys](const py::object&) {
        py::list names;
        for (const char* key : keys) names.append(key);
        return names;
      },
      "The names of the result's fields that are arrays, in the order of the analyser's CSV.");
}

}  // namespace tessarin::python
