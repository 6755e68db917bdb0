#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>
#include <vector>

// The results the module's functions give, which tessarin.judge holds to a mask in turn.
namespace tessarin::python {

namespace py = pybind11;

// What tessarin.deviation gives: one element per averaging factor in each array.
struct Deviation {
  std::string statistic;
  double tau0 = 0;
  py::array_t<double> tau;
  py::array_t<std::int64_t> m;
  py::array_t<double> value;
  py::array_t<std::int64_t> terms;
  py::array_t<double> ciLow;
  py::array_t<double> ciHigh;
  py::array_t<double> alpha;
  py::array_t<double> edf;
  py::object driftPerDay = py::none();
  py::object meanFrequency = py::none();
  std::vector<std::string> warnings;
  py::dict conditioning;  // what each step of the conditioning did, by step
};

// What tessarin.dynamic gives: the deviation window by window, factor by factor.
struct Dynamic {
  std::string statistic;
  double tau0 = 0;
  int window = 0;
  int step = 0;
  py::array_t<double> tau;          // per factor
  py::array_t<std::int64_t> m;      // per factor
  py::array_t<std::int64_t> start;  // per window
  py::array_t<double> value;        // windows x factors
  py::array_t<std::int64_t> terms;  // windows x factors
  py::object driftPerDay = py::none();
  py::object meanFrequency = py::none();
};

}  // namespace tessarin::python
