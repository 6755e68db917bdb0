#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <optional>
#include <span>
#include <string>

#include "analysis/AnalysisRequest.h"
#include "run/Measurement.h"
#include "stability/Confidence.h"
#include "stability/Statistics.h"

// What a Python caller hands the engine, checked and turned into the engine's values. A value the
// engine cannot take raises ValueError (TypeError for one of the wrong type) worded as the
// analyser words the same mistake on its command line: "bad value for tau0: 0.0 (seconds, 1e-9 to
// 1e9)".
namespace tessarin::python {

namespace py = pybind11;

// A float64 array in one block, as the engine reads a series.
using SeriesArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// `data` as one series of samples: a contiguous float64 array as it is, without a copy; any other
// dtype or layout converted once. TypeError when it holds no numbers; ValueError when it is not
// one-dimensional, or a sample is beyond 1e100 (infinity included), where the sums would overflow.
SeriesArray seriesFrom(const py::handle& data);

// The samples of a series read in place.
inline std::span<const double> samplesOf(const SeriesArray& series) {
  return {series.data(), static_cast<std::size_t>(series.size())};
}

// Refuses a sample interval outside 1e-9 to 1e9 seconds.
void checkTau0(double tau0);

stability::Statistic statisticFrom(const std::string& name);

// "phase" or "frequency".
run::Quantity kindFrom(const std::string& kind);

// "octave", "decade", "all", or a sequence of averaging factors from 1, taken sorted and once each.
void takeTaus(const py::handle& taus, analysis::AnalysisRequest& request);

// A confidence between 0 and 1, or None for the values alone.
void takeConfidence(const py::handle& ci, analysis::AnalysisRequest& request);

// "coverage" or "reference".
stability::EdfMethod methodFrom(const std::string& method);

// "per-tau" or "per-statistic".
stability::NoiseReading noiseFrom(const std::string& noise);

// The conditioning of tessarin.deviation's keywords: remove_drift True (the phase quadratic, as
// the analyser's --remove-drift alone), False or a model's name; outliers K and find_steps SIGMAS
// None or above 0.
analysis::Preprocessing preprocessingFrom(const py::handle& removeDrift, bool removeOffset,
                                          const py::handle& outliers, const py::handle& findSteps,
                                          bool removeSteps);

// None, or the number.
py::object optionalNumber(const std::optional<double>& value);

}  // namespace tessarin::python
