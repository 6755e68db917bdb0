#include <pybind11/stl.h>

#include <limits>

#include "Arguments.h"
#include "Bindings.h"
#include "OwnedArray.h"
#include "analysis/CorneredHat.h"
#include "stability/Preprocessing.h"

namespace tessarin::python {

namespace {

// One oscillator's deviation at one statistic's factors: NaN value and lower bound where the
// separated variance came out at or below zero, which `note` then says.
struct HatCurve {
  std::string oscillator;
  std::string statistic;
  py::array_t<double> tau;
  py::array_t<std::int64_t> m;
  py::array_t<double> value;
  py::array_t<std::int64_t> terms;
  py::array_t<double> ciLow;
  py::array_t<double> ciHigh;
  std::vector<std::string> note;
};

// What tessarin.hat gives.
struct Hat {
  std::string layout;
  std::string method;
  std::string intervals;
  std::vector<std::string> oscillators;
  std::vector<HatCurve> curves;
  std::vector<std::string> warnings;
};

HatCurve curveOf(const analysis::CorneredHat& hat, const analysis::HatCurve& curve) {
  constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> tau, value, low, high;
  std::vector<std::int64_t> m, terms;
  std::vector<std::string> note;
  for (const analysis::HatRow& row : curve.rows) {
    tau.push_back(row.tau);
    m.push_back(row.factor);
    value.push_back(row.value.value_or(kNone));
    terms.push_back(row.terms);
    low.push_back(row.ciLow.value_or(kNone));
    high.push_back(row.ciHigh.value_or(kNone));
    note.push_back(row.note);
  }
  return {hat.topology.oscillators[static_cast<std::size_t>(curve.oscillator)],
          std::string(stability::nameOf(curve.statistic)),
          ownedArray(std::move(tau)),
          ownedArray(std::move(m)),
          ownedArray(std::move(value)),
          ownedArray(std::move(terms)),
          ownedArray(std::move(low)),
          ownedArray(std::move(high)),
          std::move(note)};
}

// "A-B" as the pair it names; ValueError for anything else.
analysis::PairName pairFrom(const std::string& name) {
  const std::size_t dash = name.find('-');
  if (dash == std::string::npos || name.find('-', dash + 1) != std::string::npos)
    throw py::value_error("bad pair name: '" + name + "' (two oscillators, e.g. 'A-B')");
  return {name.substr(0, dash), name.substr(dash + 1)};
}

Hat hat(const py::dict& pairs, double tau0, const py::object& statistics, const std::string& kind,
        const py::handle& taus, const py::handle& ci) {
  analysis::HatRequest request;
  request.analysis.statistics.clear();
  if (py::isinstance<py::str>(statistics))
    request.analysis.statistics.push_back(statisticFrom(statistics.cast<std::string>()));
  else
    for (const py::handle name : statistics)
      request.analysis.statistics.push_back(statisticFrom(py::str(name)));
  takeTaus(taus, request.analysis);
  takeConfidence(ci, request.analysis);
  checkTau0(tau0);
  const run::Quantity quantity = kindFrom(kind);
  std::vector<SeriesArray> arrays;
  std::vector<std::vector<double>> integrated;
  std::vector<analysis::MeasuredPair> measured;
  for (const auto& [name, data] : pairs) {
    const std::string label = py::str(name);
    arrays.push_back(seriesFrom(data));
    measured.push_back({pairFrom(label), samplesOf(arrays.back()), label});
  }
  // Frequencies integrated into phase first, every pair from its own priming point, as
  // tessarin.deviation takes them; reserved so that each span keeps pointing at its own.
  integrated.reserve(measured.size());
  if (quantity == run::Quantity::Frequency)
    for (analysis::MeasuredPair& pair : measured)
      pair.phase = integrated.emplace_back(stability::phaseFromFrequency(pair.phase, tau0));
  const auto separated = [&] {
    py::gil_scoped_release released;
    return analysis::analyseHat(measured, tau0, request);
  }();
  if (!separated) throw py::value_error(separated.reason().toStdString());
  const analysis::CorneredHat& result = separated.value();
  Hat out{std::string(analysis::nameOf(result.topology.layout)),
          std::string(analysis::methodOf(result.topology.layout)),
          request.analysis.valuesOnly ? "none" : std::string(analysis::methodOf(result.intervals)),
          result.topology.oscillators,
          {},
          result.warnings};
  for (const analysis::HatCurve& curve : result.curves)
    out.curves.push_back(curveOf(result, curve));
  return out;
}

constexpr const char* kHatDoc =
    R"doc(The N-cornered hat: each oscillator's own deviation from pair measurements.

`pairs` maps "A-B" (the phase of A minus that of B; names of letters and
digits) to its series, every one sampled at the same instants (as
tessarin-analyze --hat cuts .DAT runs to the span they share). Three
oscillators in a triangle are separated by Gray and Allan's three-cornered
hat; a star (DUTs against one reference, which gets its own deviation) and
any other connected set by the least-squares N-cornered hat over every pair,
the pairs not measured made along chains of measured ones. The figures of
tessarin-analyze --hat ... --csv, bit for bit.

Arguments:
  pairs      {"A-B": data, "B-C": data, ...}, as tessarin.deviation takes data
  tau0       the sample interval in seconds, 1e-9 to 1e9
  statistic  a deviation's name or a sequence of them (not mtie or tierms)
  kind       "phase" or "frequency" (integrated first, as by deviation)
  taus       "octave", "decade", "all" or a sequence of averaging factors
  ci         the confidence of the intervals, or None for the values alone

Returns a tessarin.Hat: layout, method, intervals, oscillators, and curves, a
list of tessarin.HatCurve, one per oscillator and statistic. Where a separated
variance is at or below zero, value and ci_low are NaN, note says so and
ci_high is the upper bound.

Example:
  >>> h = tessarin.hat({"A-B": ab, "B-C": bc, "C-A": ca}, 1.0)
  >>> {c.oscillator: c.value for c in h.curves})doc";

}  // namespace

void bindHat(py::module_& module) {
  py::class_<HatCurve>(module, "HatCurve", R"doc(One oscillator's deviation in tessarin.hat.

tau (s), m, value, terms, ci_low and ci_high, one element per factor; note,
empty or "negative estimate: upper bound only" where value and ci_low are NaN.)doc")
      .def_readonly("oscillator", &HatCurve::oscillator)
      .def_readonly("statistic", &HatCurve::statistic)
      .def_readonly("tau", &HatCurve::tau)
      .def_readonly("m", &HatCurve::m)
      .def_readonly("value", &HatCurve::value)
      .def_readonly("terms", &HatCurve::terms)
      .def_readonly("ci_low", &HatCurve::ciLow)
      .def_readonly("ci_high", &HatCurve::ciHigh)
      .def_readonly("note", &HatCurve::note)
      .def("__repr__", [](const HatCurve& c) {
        return "<tessarin.HatCurve " + c.oscillator + " " + c.statistic + ", " +
               std::to_string(c.tau.size()) + " factors>";
      });
  py::class_<Hat>(module, "Hat", R"doc(What tessarin.hat found.

layout ("triangle", "star" or "network"), method and intervals in words,
oscillators in the order the pairs name them, curves (one tessarin.HatCurve
per oscillator, then per statistic) and warnings.)doc")
      .def_readonly("layout", &Hat::layout)
      .def_readonly("method", &Hat::method)
      .def_readonly("intervals", &Hat::intervals)
      .def_readonly("oscillators", &Hat::oscillators)
      .def_readonly("curves", &Hat::curves)
      .def_readonly("warnings", &Hat::warnings)
      .def("__repr__", [](const Hat& h) {
        return "<tessarin.Hat " + h.layout + " of " + std::to_string(h.oscillators.size()) +
               " oscillators>";
      });
  module.def("hat", &hat, kHatDoc, py::arg("pairs"), py::arg("tau0"),
             py::arg("statistic") = "oadev", py::arg("kind") = "phase", py::arg("taus") = "octave",
             py::arg("ci") = 0.683);
}

}  // namespace tessarin::python
