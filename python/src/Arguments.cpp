#include "Arguments.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "analysis/ConditioningRecord.h"
#include "records/RecordedRun.h"

namespace tessarin::python {

namespace {

// "bad value for tau0: 0.0 (seconds, 1e-9 to 1e9)", the analyser's words with the argument's
// name and the value as Python shows it.
std::string bad(const char* name, const py::handle& value, const std::string& hint) {
  return "bad value for " + std::string(name) + ": " + py::repr(value).cast<std::string>() + " (" +
         hint + ")";
}

// The first sample beyond kLargestSample, or the series' length when none is.
std::size_t firstOverflowing(std::span<const double> samples) {
  const auto found = std::find_if(samples.begin(), samples.end(), [](double sample) {
    return std::fabs(sample) > records::kLargestSample;
  });
  return static_cast<std::size_t>(found - samples.begin());
}

}  // namespace

SeriesArray seriesFrom(const py::handle& data) {
  SeriesArray series = SeriesArray::ensure(data);
  if (!series)
    throw py::type_error("data must be a series of numbers that NumPy can take as float64, not " +
                         py::str(py::type::of(data).attr("__name__")).cast<std::string>());
  if (series.ndim() == 0)
    throw py::type_error("data must be a series of numbers, not one " +
                         py::str(py::type::of(data).attr("__name__")).cast<std::string>());
  if (series.ndim() != 1)
    throw py::value_error("data must be one series of samples, a one-dimensional array, not " +
                          std::to_string(series.ndim()) + "-dimensional");
  const std::span<const double> samples = samplesOf(series);
  std::size_t overflowing = 0;
  {
    py::gil_scoped_release released;
    overflowing = firstOverflowing(samples);
  }
  if (overflowing < samples.size())
    throw py::value_error("data[" + std::to_string(overflowing) +
                          "]: sample beyond 1e100, where the statistics would overflow");
  return series;
}

void checkTau0(double tau0) {
  if (!records::usableTau0(tau0))
    throw py::value_error(bad("tau0", py::float_(tau0), "seconds, 1e-9 to 1e9"));
}

stability::Statistic statisticFrom(const std::string& name) {
  const auto statistic = stability::statisticNamed(name);
  if (!statistic)
    throw py::value_error(
        bad("statistic", py::str(name), std::string(stability::kStatisticChoices)));
  return *statistic;
}

run::Quantity kindFrom(const std::string& kind) {
  if (kind == "phase") return run::Quantity::Phase;
  if (kind == "frequency") return run::Quantity::Frequency;
  throw py::value_error(bad("kind", py::str(kind), "phase or frequency"));
}

void takeTaus(const py::handle& taus, analysis::AnalysisRequest& request) {
  if (py::isinstance<py::str>(taus)) {
    const std::string set = taus.cast<std::string>();
    if (set == "octave")
      request.factorSet = analysis::FactorSet::Octave;
    else if (set == "decade")
      request.factorSet = analysis::FactorSet::Decade;
    else if (set == "all")
      request.factorSet = analysis::FactorSet::Every;
    else
      throw py::value_error(
          bad("taus", taus, "octave, decade or all, or a list of averaging factors from 1"));
    return;
  }
  if (!py::isinstance<py::iterable>(taus))
    throw py::type_error(
        bad("taus", taus, "octave, decade or all, or a list of averaging factors from 1"));
  request.factorSet = analysis::FactorSet::Listed;
  for (const py::handle item : taus) {
    // Whole numbers only, NumPy's included: operator.index() refuses 2.0 as it refuses 2.5.
    const py::object whole = py::reinterpret_steal<py::object>(PyNumber_Index(item.ptr()));
    if (!whole) {
      PyErr_Clear();
      throw py::type_error(bad("taus", item, "averaging factors are whole numbers"));
    }
    const long long m = PyLong_AsLongLong(whole.ptr());
    if (PyErr_Occurred() != nullptr) PyErr_Clear();
    if (m < 1 || m > INT_MAX) throw py::value_error(bad("taus", item, "averaging factors from 1"));
    request.factors.push_back(static_cast<int>(m));
  }
  if (request.factors.empty())
    throw py::value_error(bad("taus", taus, "averaging factors from 1, at least one"));
  std::sort(request.factors.begin(), request.factors.end());
  request.factors.erase(std::unique(request.factors.begin(), request.factors.end()),
                        request.factors.end());
}

void takeConfidence(const py::handle& ci, analysis::AnalysisRequest& request) {
  request.valuesOnly = ci.is_none();
  if (request.valuesOnly) return;
  if (!PyNumber_Check(ci.ptr()) || py::isinstance<py::bool_>(ci))
    throw py::type_error(bad("ci", ci, "a confidence between 0 and 1, or None"));
  const double level = py::float_(py::reinterpret_borrow<py::object>(ci));
  if (!(level > 0 && level < 1))
    throw py::value_error(bad("ci", ci, "a confidence between 0 and 1, or None"));
  request.confidence = level;
}

stability::EdfMethod methodFrom(const std::string& method) {
  if (method == "coverage") return stability::EdfMethod::Coverage;
  if (method == "reference") return stability::EdfMethod::Reference;
  throw py::value_error(bad("method", py::str(method), "coverage or reference"));
}

stability::NoiseReading noiseFrom(const std::string& noise) {
  if (noise == "per-tau") return stability::NoiseReading::OnePerTau;
  if (noise == "per-statistic") return stability::NoiseReading::PerStatistic;
  throw py::value_error(bad("noise", py::str(noise), "per-tau or per-statistic"));
}

analysis::Preprocessing preprocessingFrom(const py::handle& removeDrift, bool removeOffset,
                                          const py::handle& outliers, const py::handle& findSteps,
                                          bool removeSteps) {
  analysis::Preprocessing preprocessing;
  if (py::isinstance<py::bool_>(removeDrift)) {
    if (removeDrift.cast<bool>()) preprocessing.drift = analysis::DriftModel::PhaseQuadratic;
  } else if (py::isinstance<py::str>(removeDrift)) {
    const auto model = analysis::driftModelNamed(removeDrift.cast<std::string>());
    if (!model)
      throw py::value_error(bad("remove_drift", removeDrift,
                                "True, or " + std::string(analysis::kDriftModelChoices)));
    preprocessing.drift = *model;
  } else {
    throw py::type_error(bad("remove_drift", removeDrift, "True, False or a model's name"));
  }
  const auto limit = [](const char* name, const py::handle& value, const char* hint) {
    if (value.is_none()) return std::optional<double>();
    if (!PyNumber_Check(value.ptr()) || py::isinstance<py::bool_>(value))
      throw py::type_error(bad(name, value, hint));
    const double number = py::float_(py::reinterpret_borrow<py::object>(value));
    if (!(number > 0) || !std::isfinite(number)) throw py::value_error(bad(name, value, hint));
    return std::optional<double>(number);
  };
  preprocessing.outlierLimit =
      limit("outliers", outliers, "K above 0: normalised MADs from the median, or None");
  preprocessing.stepLimit =
      limit("find_steps", findSteps, "SIGMAS above 0: standard errors of the step, or None");
  if (removeSteps && !preprocessing.stepLimit)
    throw py::value_error("remove_steps removes the steps find_steps finds: give find_steps");
  preprocessing.removeSteps = removeSteps;
  preprocessing.removeOffset = removeOffset;
  return preprocessing;
}

py::object optionalNumber(const std::optional<double>& value) {
  if (!value) return py::none();
  return py::float_(*value);
}

}  // namespace tessarin::python
