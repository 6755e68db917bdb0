#pragma once

#include <pybind11/numpy.h>

#include <cstddef>
#include <utility>
#include <vector>

namespace tessarin::python {

namespace py = pybind11;

// A NumPy array over the block of `values`, which it takes over and frees with itself: the
// engine's results reach Python without a copy.
template <typename T>
py::array_t<T> ownedArray(std::vector<T> values, std::vector<py::ssize_t> shape = {}) {
  auto* owned = new std::vector<T>(std::move(values));
  const py::capsule free(owned, [](void* block) { delete static_cast<std::vector<T>*>(block); });
  if (shape.empty()) shape.push_back(static_cast<py::ssize_t>(owned->size()));
  return py::array_t<T>(std::move(shape), owned->data(), free);
}

// A read-only NumPy view of `count` values that `owner`, a Python object, keeps alive.
inline py::array_t<double> viewOf(const double* values, std::size_t count, py::handle owner) {
  py::array_t<double> view({static_cast<py::ssize_t>(count)}, values, owner);
  py::detail::array_proxy(view.ptr())->flags &= ~py::detail::npy_api::NPY_ARRAY_WRITEABLE_;
  return view;
}

}  // namespace tessarin::python
