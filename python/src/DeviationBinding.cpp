#include <pybind11/stl.h>

#include <array>
#include <limits>

#include "Arguments.h"
#include "Bindings.h"
#include "OwnedArray.h"
#include "ResultFields.h"
#include "Results.h"
#include "analysis/ConditioningRecord.h"
#include "analysis/SeriesAnalysis.h"

namespace tessarin::python {

namespace {

// The array fields, as the analyser's CSV has its columns (alpha after ci_high, as --noise adds
// it), and the degrees of freedom the interval rests on.
constexpr std::array<const char*, 8> kFields = {"tau",    "m",       "value", "terms",
                                                "ci_low", "ci_high", "alpha", "edf"};

// The conditioning record as Python takes it: a dict of the steps taken, each a dict.
py::dict conditioningOf(const analysis::ConditioningRecord& record) {
  py::dict steps;
  if (record.outliers) {
    py::list found;
    for (const analysis::Outlier& outlier : record.outliers->outliers)
      found.append(py::dict(py::arg("sample") = outlier.sample, py::arg("value") = outlier.value,
                            py::arg("mads") = outlier.mads));
    steps["outliers"] = py::dict(
        py::arg("limit") = record.outliers->limit, py::arg("median") = record.outliers->median,
        py::arg("sigma") = record.outliers->sigma, py::arg("removed") = record.outliers->removed,
        py::arg("found") = found, py::arg("gaps") = record.outliers->gaps);
  }
  if (record.steps) {
    py::list found;
    for (const analysis::FrequencyStep& step : record.steps->steps)
      found.append(py::dict(py::arg("sample") = step.sample, py::arg("size") = step.size,
                            py::arg("sigmas") = step.sigmas));
    steps["steps"] =
        py::dict(py::arg("limit") = record.steps->limit, py::arg("noise") = record.steps->noise,
                 py::arg("removed") = record.steps->removed, py::arg("found") = found);
  }
  if (record.drift) {
    py::dict coefficients;
    for (const analysis::Coefficient& c : record.drift->coefficients)
      coefficients[py::str(c.name)] = py::make_tuple(c.value, c.uncertainty);
    steps["drift"] = py::dict(
        py::arg("model") = std::string(analysis::nameOf(record.drift->model)),
        py::arg("formula") = std::string(analysis::formulaOf(*record.drift)),
        py::arg("converged") = record.drift->converged, py::arg("why") = record.drift->why,
        py::arg("coefficients") = coefficients, py::arg("residual") = record.drift->residual);
  }
  if (record.meanFrequency) steps["mean_frequency"] = *record.meanFrequency;
  return steps;
}

Deviation deviationOf(stability::Statistic statistic, analysis::SeriesAnalysis analysis) {
  constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  const std::vector<stability::AnalysisRow>& rows = analysis.statistics.front().rows;
  std::vector<double> tau, value, low, high, alpha, edf;
  std::vector<std::int64_t> m, terms;
  for (const stability::AnalysisRow& row : rows) {
    tau.push_back(row.estimate.tau);
    m.push_back(row.estimate.factor);
    value.push_back(row.estimate.value);
    terms.push_back(row.estimate.terms);
    low.push_back(row.interval.low);
    high.push_back(row.interval.high);
    alpha.push_back(row.alpha ? *row.alpha : kNone);
    edf.push_back(row.edf);
  }
  return {std::string(stability::nameOf(statistic)),
          analysis.tau0,
          ownedArray(std::move(tau)),
          ownedArray(std::move(m)),
          ownedArray(std::move(value)),
          ownedArray(std::move(terms)),
          ownedArray(std::move(low)),
          ownedArray(std::move(high)),
          ownedArray(std::move(alpha)),
          ownedArray(std::move(edf)),
          optionalNumber(analysis.driftPerDay),
          optionalNumber(analysis.meanFrequency),
          std::move(analysis.warnings),
          conditioningOf(analysis.conditioning)};
}

Deviation deviation(const py::object& data, double tau0, const std::string& statisticName,
                    const std::string& kind, const py::object& taus, const py::object& ci,
                    const std::string& method, const std::string& noise, bool biasCorrection,
                    const py::object& removeDrift, bool removeOffset, const py::object& outliers,
                    const py::object& findSteps, bool removeSteps) {
  const stability::Statistic statistic = statisticFrom(statisticName);
  const run::Quantity quantity = kindFrom(kind);
  analysis::AnalysisRequest request;
  request.statistics = {statistic};
  takeTaus(taus, request);
  takeConfidence(ci, request);
  request.intervals = {noiseFrom(noise), methodFrom(method)};
  request.noBiasCorrection = !biasCorrection;
  request.preprocessing =
      preprocessingFrom(removeDrift, removeOffset, outliers, findSteps, removeSteps);
  checkTau0(tau0);
  const SeriesArray series = seriesFrom(data);
  const std::span<const double> samples = samplesOf(series);

  auto analysis = [&] {
    py::gil_scoped_release released;
    return analysis::analyseSamples(samples, quantity, tau0, true, request);
  }();
  if (!analysis) throw py::value_error(analysis.reason().toStdString());
  Deviation result = deviationOf(statistic, std::move(analysis.value()));
  for (const std::string& warning : result.warnings)
    if (PyErr_WarnEx(PyExc_UserWarning, warning.c_str(), 1) != 0) throw py::error_already_set();
  return result;
}

constexpr const char* kDeviationDoc =
    R"doc(Frequency stability of one series of samples taken every tau0 seconds.

The statistic at each averaging factor m, tau = m tau0 (0.75 m tau0 for
theo1, theobr and theoh's theobr range), with its confidence interval: the
figures tessarin-analyze writes, bit for bit, for the same series and options.

Arguments:
  data       the samples, a one-dimensional array or anything NumPy makes one
             of: phase (time error) in seconds, or fractional frequency. A
             contiguous float64 array is read where it lies, without a copy;
             another dtype (float32, int, a list) or a strided view is
             converted to one once, a copy of the series. NaN is a gap: every
             term that touches it is left out, as the analyser does with a
             damaged line. A sample beyond 1e100 (or infinite) is refused.
  tau0       the sample interval in seconds, 1e-9 to 1e9
  statistic  one of adev, console-adev, oadev, mdev, tdev, hdev, ohdev,
             totdev, mtie, tierms, mtotdev, ttotdev, htotdev, theo1, theobr,
             theoh (tessarin.STATISTICS). adev is the non-overlapping Allan
             deviation of NIST SP 1065 (floor((N-1)/m)+1 phase points, down to
             one term); console-adev the console's own, as its live plot
             shows it. The long-tau family of SP 1065: mtotdev (modified
             total), ttotdev (time total, in s), htotdev (Hadamard total;
             ohdev at m = 1), m up to N/3; theo1 and theobr (Theo1 bias-removed
             after Howe and Tasset) at even m up to N-1; theoh, oadev below a
             tenth of the record and theobr from there on. mtie, tierms and
             tdev are in seconds.
  kind       "phase" or "frequency": frequencies are integrated to phase
             first, x[0] = 0, x[k] = x[k-1] + y[k-1] tau0, one point more than
             there are frequencies (the analyser's --freq)
  taus       averaging factors m: "octave" (1, 2, 4, ...), "decade" (1, 2, 5,
             10, 20, 50, ...), "all" (every m; slow above 100000 samples), or
             a list of them, e.g. [1, 10, 100]: each is taken once, in
             rising order, and one the statistic cannot take (odd m for theo1,
             m too long for the series) is left out with a UserWarning
  ci         confidence of the intervals, between 0 and 1 (0.683: one sigma);
             None: the values alone, no intervals and no noise identification,
             which is far quicker over a long series
  method     "coverage": intervals whose measured coverage over simulated
             power-law noise is the stated one (docs/analysis.md);
             "reference": the reference program's, Greenhall and Riley's EDF
             with the phase averaged over tau0, noise types by lag-1
             autocorrelation and B1 alone
  noise      "per-tau": one noise type per tau for every statistic;
             "per-statistic": each statistic its own reading (mdev and tdev
             from block means, the Hadamard family through one more
             difference); with method="reference", the console's own error
             bars
  bias_correction
             False gives mtotdev, ttotdev and htotdev as estimated; by default
             their bias for the noise type found at each tau is removed, as
             SP 1065 publishes its test values
  outliers   K: take out as gaps the fractional frequencies (of phase data,
             the first differences) farther than K normalised MADs (MAD /
             0.6745) from the median, as the analyser's --outliers K; a series
             with more than 5 % of them is refused (ValueError)
  find_steps SIGMAS: find steps of the mean frequency, as --find-steps
  remove_steps
             align each segment's mean frequency to the first's
  remove_drift
             True: remove a linear frequency drift (least squares on the
             phase), as --remove-drift alone; drift_per_day tells it. Or a
             model's name, as --remove-drift MODEL: "linear", "quadratic",
             "log", "diffusion" for frequency data, "quadratic", "average"
             for phase data
  remove_offset
             remove the mean frequency last; mean_frequency tells it
  The steps run in the analyser's order: outliers, steps, drift, offset.

Returns a tessarin.Deviation: NumPy arrays tau (s), m, value, terms (how many
terms went into the value), ci_low, ci_high, alpha (the noise type: 2 white
PM, 1 flicker PM, 0 white FM, -1 flicker FM, -2 random-walk FM, -3 and -4 for
the Hadamard family) and edf, one element per factor; NaN where there is no
value, bound or noise type. r.value and r["value"] are the same array.

Raises ValueError for a value the analyser would refuse, with its words
("bad value for tau0: 0.0 (seconds, 1e-9 to 1e9)"), for data that is not one
series, and for a series too short for any factor; TypeError for data or
arguments of the wrong type.

The engine runs without the GIL: other Python threads go on meanwhile, and
two threads analysing two series use two cores. From 20000 points on the
engine itself shares one series' work between two threads.

Example:
  >>> r = tessarin.deviation(phase, 1.0, "oadev", ci=0.95)
  >>> for tau, value, low, high in zip(r.tau, r.value, r.ci_low, r.ci_high): ...
)doc";

}  // namespace

void bindDeviation(py::module_& module) {
  py::class_<Deviation> result(module, "Deviation", R"doc(What tessarin.deviation found.

Arrays, one element per averaging factor: tau (s), m, value, terms, ci_low,
ci_high, alpha, edf (NaN where there is none). Also statistic (its name),
tau0 (s), drift_per_day and mean_frequency (what remove_drift and
remove_offset took out, else None), warnings (the factors left out, also
given as UserWarning) and conditioning (a dict of what each step did:
"outliers", "steps", "drift", "mean_frequency"). result["value"] is result.value; len(result) is the
number of factors.)doc");
  result.def_readonly("statistic", &Deviation::statistic, "the statistic's name")
      .def_readonly("tau0", &Deviation::tau0, "the sample interval, s")
      .def_readonly("tau", &Deviation::tau, "the averaging times, s")
      .def_readonly("m", &Deviation::m, "the averaging factors")
      .def_readonly("value", &Deviation::value, "the statistic at each tau; NaN: no term")
      .def_readonly("terms", &Deviation::terms, "how many terms went into each value")
      .def_readonly("ci_low", &Deviation::ciLow, "the interval's lower bound; NaN: none")
      .def_readonly("ci_high", &Deviation::ciHigh, "the interval's upper bound; NaN: none")
      .def_readonly("alpha", &Deviation::alpha, "the noise type found at each tau; NaN: none")
      .def_readonly("edf", &Deviation::edf, "the equivalent degrees of freedom; NaN: none")
      .def_readonly("drift_per_day", &Deviation::driftPerDay,
                    "the linear frequency drift removed, per day; None unless asked")
      .def_readonly("mean_frequency", &Deviation::meanFrequency,
                    "the mean fractional frequency removed; None unless asked")
      .def_readonly("warnings", &Deviation::warnings, "the factors left out, in words")
      .def_readonly("conditioning", &Deviation::conditioning,
                    "what each step of the conditioning did, by step")
      .def("__len__", [](const Deviation& d) { return d.tau.size(); })
      .def("__repr__", [](const Deviation& d) {
        std::string text =
            "<tessarin.Deviation " + d.statistic + ", " + std::to_string(d.tau.size()) + " factors";
        if (d.tau.size() > 0)
          text += ", tau " + py::repr(py::float_(d.tau.at(0))).cast<std::string>() + " to " +
                  py::repr(py::float_(d.tau.at(d.tau.size() - 1))).cast<std::string>() + " s";
        return text + ">";
      });
  addFieldAccess(result, kFields);

  module.def("deviation", &deviation, kDeviationDoc, py::arg("data"), py::arg("tau0"),
             py::arg("statistic") = "oadev", py::arg("kind") = "phase", py::arg("taus") = "octave",
             py::arg("ci") = 0.683, py::arg("method") = "coverage", py::kw_only(),
             py::arg("noise") = "per-tau", py::arg("bias_correction") = true,
             py::arg("remove_drift") = false, py::arg("remove_offset") = false,
             py::arg("outliers") = py::none(), py::arg("find_steps") = py::none(),
             py::arg("remove_steps") = false);
}

}  // namespace tessarin::python
