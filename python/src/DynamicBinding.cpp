#include <pybind11/stl.h>

#include <array>
#include <optional>

#include "Arguments.h"
#include "Bindings.h"
#include "OwnedArray.h"
#include "ResultFields.h"
#include "Results.h"
#include "analysis/Conditioning.h"
#include "analysis/DynamicStability.h"

namespace tessarin::python {

namespace {

constexpr std::array<const char*, 5> kFields = {"tau", "m", "value", "terms", "start"};

Dynamic dynamicOf(const analysis::DynamicAnalysis& analysis) {
  const analysis::DynamicMap& map = analysis.map;
  const std::size_t factors = map.factors.size();
  std::vector<double> tau, value;
  std::vector<std::int64_t> m, terms;
  for (std::size_t f = 0; f < factors && !map.starts.empty(); ++f) {
    tau.push_back(map.at(0, f).tau);
    m.push_back(map.factors[f]);
  }
  for (const stability::Estimate& estimate : map.estimates) {
    value.push_back(estimate.value);
    terms.push_back(estimate.terms);
  }
  const std::vector<py::ssize_t> shape = {static_cast<py::ssize_t>(map.starts.size()),
                                          static_cast<py::ssize_t>(factors)};
  return {std::string(stability::nameOf(map.statistic)),
          map.tau0,
          map.windows.window,
          map.windows.step,
          ownedArray(std::move(tau)),
          ownedArray(std::move(m)),
          ownedArray(std::vector<std::int64_t>(map.starts)),
          ownedArray(std::move(value), shape),
          ownedArray(std::move(terms), shape),
          optionalNumber(analysis.driftPerDay),
          optionalNumber(analysis.meanFrequency)};
}

Dynamic dynamic(const py::object& data, double tau0, int window, std::optional<int> step,
                const std::string& statisticName, const std::string& kind,
                const py::object& removeDrift, bool removeOffset, const py::object& outliers,
                const py::object& findSteps, bool removeSteps) {
  analysis::DynamicRequest request;
  request.statistic = statisticFrom(statisticName);
  if (!analysis::isWindowedDeviation(request.statistic))
    throw py::value_error("dynamic takes one deviation: statistic " +
                          std::string(analysis::kWindowedDeviationChoices));
  const run::Quantity quantity = kindFrom(kind);
  if (window < analysis::kLeastDynamicWindow)
    throw py::value_error("bad value for window: " + std::to_string(window) + " (at least " +
                          std::to_string(analysis::kLeastDynamicWindow) + " samples)");
  request.windows = {window, std::max(1, window / 10)};
  if (step) {
    if (*step < 1 || *step > window)
      throw py::value_error("bad value for step: " + std::to_string(*step) +
                            " (from 1 to window samples)");
    request.windows.step = *step;
  }
  request.preprocessing =
      preprocessingFrom(removeDrift, removeOffset, outliers, findSteps, removeSteps);
  checkTau0(tau0);
  const SeriesArray series = seriesFrom(data);
  const std::span<const double> samples = samplesOf(series);
  const auto points =
      static_cast<std::int64_t>(samples.size()) + (quantity == run::Quantity::Frequency ? 1 : 0);
  if (window > points)
    throw py::value_error("a window of " + std::to_string(window) +
                          " points is longer than the series (" + std::to_string(points) +
                          " phase points)");
  auto analysis = [&]() -> platform::Result<analysis::DynamicAnalysis> {
    py::gil_scoped_release released;
    if (quantity == run::Quantity::Phase)
      return analysis::analyseDynamicSeries(samples, tau0, request);
    // Frequencies are conditioned before they are integrated, as the analyser does.
    auto conditioned =
        analysis::conditionSamples(samples, quantity, tau0, true, request.preprocessing);
    if (!conditioned)
      return platform::Result<analysis::DynamicAnalysis>::failure(conditioned.reason());
    analysis::DynamicRequest plain = request;
    plain.preprocessing = {};
    auto made = analysis::analyseDynamic(std::move(conditioned.value().phase), tau0, plain);
    const analysis::ConditioningRecord& record = conditioned.value().record;
    if (made && record.drift && record.drift->model == analysis::DriftModel::PhaseQuadratic &&
        record.drift->converged)
      made.value().driftPerDay = record.drift->coefficients.front().value;
    if (made) made.value().meanFrequency = record.meanFrequency;
    return made;
  }();
  if (!analysis) throw py::value_error(analysis.reason().toStdString());
  return dynamicOf(analysis.value());
}

constexpr const char* kDynamicDoc = R"doc(Dynamic stability: how a deviation changed along a series.

The deviation of every window of `window` successive phase points that starts
at a multiple of `step` and ends inside the series, at the octave factors 1,
2, 4, ... up to a quarter of the window: the figures of tessarin-analyze
--dynamic WINDOW:STEP, bit for bit. Each value is the statistic of the
window's slice on its own: a term belongs to a window when all its samples
are inside it, a term that touches a gap (NaN) is left out, and a window left
without terms at a factor has a NaN value and 0 terms there. No intervals.

Arguments:
  data       the samples, as tessarin.deviation takes them (a contiguous
             float64 array is read in place; NaN is a gap)
  tau0       the sample interval in seconds, 1e-9 to 1e9
  window     phase points per window, at least 8, at most the series
  step       a window starts every `step` points, 1 to window (default
             window // 10)
  statistic  one deviation: adev, oadev, mdev, tdev, hdev, ohdev or totdev
             (also console-adev; not mtie, tierms or the long-tau family)
  kind       "phase" or "frequency" (integrated first, as by deviation)
  remove_drift, remove_offset, outliers, find_steps, remove_steps
             as for tessarin.deviation, over the whole series first

Returns a tessarin.Dynamic: tau and m per factor, start per window (its first
phase point, from 0), value and terms as 2-D arrays, one row per window and
one column per factor.

Example:
  >>> d = tessarin.dynamic(phase, 1.0, window=10000, step=1000)
  >>> plt.pcolormesh(d.start, d.tau, np.log10(d.value.T)))doc";

}  // namespace

void bindDynamic(py::module_& module) {
  py::class_<Dynamic> result(module, "Dynamic", R"doc(What tessarin.dynamic found.

tau (s) and m, one element per factor; start, one per window (its first phase
point, from 0); value and terms, 2-D arrays of one row per window and one
column per factor (NaN value, 0 terms where gaps left a window no term). Also
statistic, tau0, window, step, drift_per_day and mean_frequency.
result["value"] is result.value.)doc");
  result.def_readonly("statistic", &Dynamic::statistic, "the deviation's name")
      .def_readonly("tau0", &Dynamic::tau0, "the sample interval, s")
      .def_readonly("window", &Dynamic::window, "phase points per window")
      .def_readonly("step", &Dynamic::step, "points from one window's start to the next")
      .def_readonly("tau", &Dynamic::tau, "the averaging times, s, one per column")
      .def_readonly("m", &Dynamic::m, "the averaging factors, one per column")
      .def_readonly("start", &Dynamic::start, "each window's first phase point, one per row")
      .def_readonly("value", &Dynamic::value, "the deviation, windows x factors")
      .def_readonly("terms", &Dynamic::terms, "the terms in each value, windows x factors")
      .def_readonly("drift_per_day", &Dynamic::driftPerDay,
                    "the linear frequency drift removed, per day; None unless asked")
      .def_readonly("mean_frequency", &Dynamic::meanFrequency,
                    "the mean fractional frequency removed; None unless asked")
      .def("__repr__", [](const Dynamic& d) {
        return "<tessarin.Dynamic " + d.statistic + ", " + std::to_string(d.start.size()) +
               " windows of " + std::to_string(d.window) + " points, " +
               std::to_string(d.m.size()) + " factors>";
      });
  addFieldAccess(result, kFields);

  module.def("dynamic", &dynamic, kDynamicDoc, py::arg("data"), py::arg("tau0"), py::arg("window"),
             py::arg("step") = py::none(), py::arg("statistic") = "oadev",
             py::arg("kind") = "phase", py::kw_only(), py::arg("remove_drift") = false,
             py::arg("remove_offset") = false, py::arg("outliers") = py::none(),
             py::arg("find_steps") = py::none(), py::arg("remove_steps") = false);
}

}  // namespace tessarin::python
