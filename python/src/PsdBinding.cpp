#include <pybind11/stl.h>

#include <array>
#include <cmath>
#include <limits>
#include <optional>

#include "Arguments.h"
#include "Bindings.h"
#include "OwnedArray.h"
#include "ResultFields.h"
#include "analysis/Conditioning.h"
#include "analysis/PsdAnalysis.h"
#include "stability/NoiseIdentification.h"

namespace tessarin::python {

namespace {

using analysis::NoiseLevel;

// What tessarin.spectrum's noise_fit gives: the power-law levels, as the analyser's CSV has them.
struct NoiseLevels {
  py::array_t<std::int64_t> alpha;
  py::array noise;
  py::array_t<double> h;
  py::array_t<double> ciLow;
  py::array_t<double> ciHigh;
  py::array source;
};

// What tessarin.spectrum gives: one element per band (or raw bin) in each array.
struct Spectrum {
  std::string quantity;
  double tau0 = 0;
  py::object nominal = py::none();
  int segment = 0;
  std::string window;
  py::object bands;
  std::int64_t averages = 0;
  std::int64_t leftOut = 0;
  py::array_t<double> f;
  py::array_t<double> value;
  py::array_t<std::int64_t> bins;
  py::array_t<double> edf;
  py::array_t<double> ciLow;
  py::array_t<double> ciHigh;
  py::object levels = py::none();
  std::vector<NoiseLevel> fitted;  // the engine's order: the spectrum's five, the deviations' five
};

constexpr std::array<const char*, 6> kFields = {"f", "value", "bins", "ci_low", "ci_high", "edf"};
constexpr std::array<const char*, 6> kLevelFields = {"alpha",  "noise",   "h",
                                                     "ci_low", "ci_high", "source"};

// "bad value for segment: 8 (points per segment, at least 16)", as Arguments.cpp words them.
std::string bad(const char* name, const py::handle& value, const std::string& hint) {
  return "bad value for " + std::string(name) + ": " + py::repr(value).cast<std::string>() + " (" +
         hint + ")";
}

py::array strings(const py::list& words) {
  return py::module_::import("numpy").attr("array")(words, "U");
}

// The levels of each alpha from the spectrum, then from the deviations, as the CSV pairs them.
NoiseLevels levelsOf(const std::vector<NoiseLevel>& levels) {
  std::vector<std::int64_t> alpha;
  std::vector<double> h, low, high;
  py::list noise, source;
  const std::size_t half = levels.size() / 2;
  for (std::size_t k = 0; k < half; ++k)
    for (const NoiseLevel* level : {&levels[k], &levels[half + k]}) {
      alpha.push_back(level->alpha);
      noise.append(stability::noiseName(level->alpha));
      h.push_back(level->h);
      low.push_back(level->low);
      high.push_back(level->high);
      source.append(level->from);
    }
  return {ownedArray(std::move(alpha)), strings(noise),
          ownedArray(std::move(h)),     ownedArray(std::move(low)),
          ownedArray(std::move(high)),  strings(source)};
}

Spectrum spectrumOf(analysis::SpectrumAnalysis analysis, const analysis::SpectrumRequest& request,
                    double tau0) {
  std::vector<double> f, value, edf, low, high;
  std::vector<std::int64_t> bins;
  for (const analysis::SpectrumPoint& point : analysis.points) {
    f.push_back(point.frequency);
    value.push_back(point.value);
    bins.push_back(point.bins);
    edf.push_back(point.degreesOfFreedom);
    low.push_back(point.low);
    high.push_back(point.high);
  }
  Spectrum spectrum{std::string(analysis::nameOf(analysis.quantity)),
                    tau0,
                    optionalNumber(request.nominalHz),
                    analysis.welch.segment,
                    analysis.welch.window == analysis::SpectralWindow::Hann ? "hann" : "rect",
                    request.bandsPerDecade > 0 ? py::object(py::int_(request.bandsPerDecade))
                                               : py::object(py::str("raw")),
                    analysis.welch.averages,
                    analysis.welch.leftOut,
                    ownedArray(std::move(f)),
                    ownedArray(std::move(value)),
                    ownedArray(std::move(bins)),
                    ownedArray(std::move(edf)),
                    ownedArray(std::move(low)),
                    ownedArray(std::move(high)),
                    py::none(),
                    std::move(analysis.levels)};
  if (request.noiseFit) spectrum.levels = py::cast(levelsOf(spectrum.fitted));
  return spectrum;
}

void takeBands(const py::handle& bands, analysis::SpectrumRequest& request) {
  const std::string hint =
      "bands per decade, 1 to " + std::to_string(analysis::kMostBandsPerDecade) + ", or 'raw'";
  if (py::isinstance<py::str>(bands)) {
    if (bands.cast<std::string>() != "raw") throw py::value_error(bad("bands", bands, hint));
    request.bandsPerDecade = 0;
    return;
  }
  const py::object whole = py::reinterpret_steal<py::object>(PyNumber_Index(bands.ptr()));
  if (!whole || py::isinstance<py::bool_>(bands)) {
    PyErr_Clear();
    throw py::type_error(bad("bands", bands, hint));
  }
  const long long count = PyLong_AsLongLong(whole.ptr());
  if (PyErr_Occurred() != nullptr) PyErr_Clear();
  if (count < 1 || count > analysis::kMostBandsPerDecade)
    throw py::value_error(bad("bands", bands, hint));
  request.bandsPerDecade = static_cast<int>(count);
}

analysis::SpectrumRequest requestFrom(const std::string& quantity, const py::object& nominal,
                                      std::optional<int> segment, const std::string& window,
                                      const py::object& bands, const py::object& ci,
                                      bool noiseFit) {
  analysis::SpectrumRequest request;
  const auto named = analysis::spectralQuantityNamed(quantity);
  if (!named) throw py::value_error(bad("quantity", py::str(quantity), "sx, sy, sphi or lf"));
  request.quantity = *named;
  if (!nominal.is_none()) {
    if (!PyNumber_Check(nominal.ptr()) || py::isinstance<py::bool_>(nominal))
      throw py::type_error(bad("nominal", nominal, "the DUT frequency in Hz, above 0"));
    const double hz = py::float_(nominal);
    if (!(hz > 0 && std::isfinite(hz)))
      throw py::value_error(bad("nominal", py::float_(hz), "the DUT frequency in Hz, above 0"));
    request.nominalHz = hz;
  }
  if (analysis::needsNominal(request.quantity) && !request.nominalHz)
    throw py::value_error("quantity " + quantity +
                          " is at the DUT frequency, which the series does not give: add "
                          "nominal=HZ");
  if (segment) {
    if (*segment < analysis::kLeastSegment)
      throw py::value_error(
          bad("segment", py::int_(*segment),
              "points per segment, at least " + std::to_string(analysis::kLeastSegment)));
    request.segment = *segment;
  }
  if (window == "hann")
    request.window = analysis::SpectralWindow::Hann;
  else if (window == "rect")
    request.window = analysis::SpectralWindow::Rectangular;
  else
    throw py::value_error(bad("window", py::str(window), "hann or rect"));
  takeBands(bands, request);
  analysis::AnalysisRequest intervals;
  takeConfidence(ci, intervals);
  request.confidence =
      intervals.valuesOnly ? std::nullopt : std::optional<double>(intervals.confidence);
  request.noiseFit = noiseFit;
  if (noiseFit && !request.confidence)
    throw py::value_error("ci=None leaves out the intervals that noise_fit rests on");
  return request;
}

Spectrum spectrum(const py::object& data, double tau0, const std::string& quantity,
                  const std::string& kind, const py::object& nominal, std::optional<int> segment,
                  const std::string& window, const py::object& bands, const py::object& ci,
                  bool noiseFit, const py::object& removeDrift, bool removeOffset,
                  const py::object& outliers, const py::object& findSteps, bool removeSteps) {
  analysis::SpectrumRequest request =
      requestFrom(quantity, nominal, segment, window, bands, ci, noiseFit);
  request.preprocessing =
      preprocessingFrom(removeDrift, removeOffset, outliers, findSteps, removeSteps);
  const run::Quantity samplesAre = kindFrom(kind);
  checkTau0(tau0);
  const SeriesArray series = seriesFrom(data);
  const std::span<const double> samples = samplesOf(series);
  auto analysis = [&]() -> platform::Result<analysis::SpectrumAnalysis> {
    py::gil_scoped_release released;
    if (samplesAre == run::Quantity::Phase)
      return analysis::analyseSpectrum(samples, tau0, request);
    // Frequencies are conditioned before they are integrated, as the analyser does.
    auto conditioned =
        analysis::conditionSamples(samples, samplesAre, tau0, true, request.preprocessing);
    if (!conditioned)
      return platform::Result<analysis::SpectrumAnalysis>::failure(conditioned.reason());
    analysis::SpectrumRequest plain = request;
    plain.preprocessing = {};
    return analysis::analyseSpectrum(conditioned.value().phase, tau0, plain);
  }();
  if (!analysis) throw py::value_error(analysis.reason().toStdString());
  return spectrumOf(std::move(analysis.value()), request, tau0);
}

// The deviation the levels predict at each tau; NaN where they predict none.
py::array_t<double> predicted(const Spectrum& spectrum, const std::string& statisticName,
                              const py::object& tau, const std::string& from) {
  const stability::Statistic statistic = statisticFrom(statisticName);
  if (spectrum.fitted.empty())
    throw py::value_error("no levels to predict from: give tessarin.spectrum noise_fit=True");
  if (from != "psd" && from != "deviations")
    throw py::value_error(bad("source", py::str(from), "psd or deviations"));
  const std::size_t half = spectrum.fitted.size() / 2;
  const std::span<const NoiseLevel> levels(spectrum.fitted.data() + (from == "psd" ? 0 : half),
                                           half);
  const auto taus = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(tau);
  if (!taus) throw py::type_error("tau must be numbers that NumPy can take as float64");
  std::vector<double> values(static_cast<std::size_t>(taus.size()));
  for (std::size_t k = 0; k < values.size(); ++k)
    values[k] = analysis::predictedDeviation(statistic, taus.data()[k], spectrum.tau0, levels)
                    .value_or(std::numeric_limits<double>::quiet_NaN());
  std::vector<py::ssize_t> shape(taus.shape(), taus.shape() + taus.ndim());
  return ownedArray(std::move(values), shape.empty() ? std::vector<py::ssize_t>{1} : shape);
}

constexpr const char* kSpectrumDoc =
    R"doc(The one-sided spectrum of one series of samples taken every tau0 seconds.

Welch's estimate of the phase's spectrum: segments overlapping by half, a
least-squares line removed from each, tapered, transformed, the squared
magnitudes averaged and scaled to a density; a segment with a gap (NaN) is
left out. Then the raw bins in the quantity asked for, averaged into
logarithmic bands, each with its chi-squared interval: the figures
tessarin-analyze --psd writes, bit for bit, for the same series and options.

Arguments:
  data       the samples, as tessarin.deviation takes them (a contiguous
             float64 array is read in place; NaN is a gap)
  tau0       the sample interval in seconds, 1e-9 to 1e9
  quantity   "sx": S_x(f), s^2/Hz; "sy": S_y(f) = (2 pi f)^2 S_x(f), 1/Hz;
             "sphi": S_phi(f) = (2 pi nu0)^2 S_x(f), rad^2/Hz; "lf": L(f) =
             10 log10(S_phi(f) / 2), dBc/Hz (value and bounds in dB)
  kind       "phase" or "frequency" (integrated first, as by deviation)
  nominal    the DUT frequency nu0 in Hz, which sphi and lf need
  segment    points per segment, at least 16; None: the longest power of two
             up to 262144 that gives at least 8 averages
  window     "hann" (the periodic Hann window) or "rect" (no taper)
  bands      bands per decade the raw bins are averaged into, 1 to 1000, or
             "raw": every raw bin between 0 and the Nyquist frequency
  ci         confidence of the intervals, between 0 and 1; None: none
  noise_fit  also the power-law levels h_alpha of S_y(f) = sum h_alpha
             f^alpha, alpha 2 ... -2, fitted from the spectrum and from oadev
             and mdev (f_h = 1/(2 tau0)), as --noise-fit (needs ci)
  remove_drift, remove_offset, outliers, find_steps, remove_steps
             as for tessarin.deviation, first, in the analyser's order

Returns a tessarin.Spectrum: NumPy arrays f (Hz: the bin's, or the mean of the
band's bins), value, bins (raw bins in each value), edf (their degrees of
freedom), ci_low and ci_high; averages (the segments averaged), left_out (the
segments left out for a gap), segment, window, bands, quantity, tau0, nominal;
levels, a tessarin.NoiseLevels with noise_fit, else None.

Raises ValueError for a value the analyser would refuse, in its words ("bad
value for window: 'blackman' (hann or rect)"), and for a series shorter than
two segments, a segment longer than the series or fewer than two segments
free of gaps. The engine runs without the GIL.

Example:
  >>> s = tessarin.spectrum(phase, 0.1, "lf", nominal=10e6)
  >>> plt.semilogx(s.f, s.value))doc";

}  // namespace

void bindSpectrum(py::module_& module) {
  py::class_<NoiseLevels> levels(module, "NoiseLevels",
                                 R"doc(The power-law levels of tessarin.spectrum's noise_fit.

Ten rows, as tessarin-analyze --psd --noise-fit --csv writes them: for each
alpha from 2 (white PM) down to -2 (random-walk FM), the level fitted from the
spectrum (source "psd"), then the one fitted from the deviations (source
"oadev" or "mdev", where it dominates most). Arrays alpha, noise (its name), h
(NaN where not seen), ci_low, ci_high and source (the CSV's column "from").)doc");
  levels.def_readonly("alpha", &NoiseLevels::alpha, "the power of f")
      .def_readonly("noise", &NoiseLevels::noise, "the noise's name")
      .def_readonly("h", &NoiseLevels::h, "the level h_alpha; NaN: not seen")
      .def_readonly("ci_low", &NoiseLevels::ciLow, "its interval's lower bound; NaN: none")
      .def_readonly("ci_high", &NoiseLevels::ciHigh, "its interval's upper bound; NaN: none")
      .def_readonly("source", &NoiseLevels::source, "psd, oadev or mdev")
      .def("__len__", [](const NoiseLevels& l) { return l.alpha.size(); });
  addFieldAccess(levels, kLevelFields);

  py::class_<Spectrum> result(module, "Spectrum", R"doc(What tessarin.spectrum found.

Arrays, one element per band (or raw bin): f (Hz), value, bins, edf, ci_low,
ci_high. Also quantity, tau0, nominal, segment, window, bands, averages,
left_out, and levels (tessarin.NoiseLevels, or None without noise_fit).
result["value"] is result.value; len(result) is the number of values.)doc");
  result.def_readonly("quantity", &Spectrum::quantity, "sx, sy, sphi or lf")
      .def_readonly("tau0", &Spectrum::tau0, "the sample interval, s")
      .def_readonly("nominal", &Spectrum::nominal, "the DUT frequency, Hz, or None")
      .def_readonly("segment", &Spectrum::segment, "points per segment")
      .def_readonly("window", &Spectrum::window, "hann or rect")
      .def_readonly("bands", &Spectrum::bands, "bands per decade, or 'raw'")
      .def_readonly("averages", &Spectrum::averages, "the segments averaged")
      .def_readonly("left_out", &Spectrum::leftOut, "the segments left out for a gap")
      .def_readonly("f", &Spectrum::f, "the frequencies, Hz")
      .def_readonly("value", &Spectrum::value, "the spectrum in the quantity's unit")
      .def_readonly("bins", &Spectrum::bins, "the raw bins in each value")
      .def_readonly("edf", &Spectrum::edf, "the degrees of freedom of each value")
      .def_readonly("ci_low", &Spectrum::ciLow, "the interval's lower bound; NaN: none")
      .def_readonly("ci_high", &Spectrum::ciHigh, "the interval's upper bound; NaN: none")
      .def_readonly("levels", &Spectrum::levels, "the power-law levels, or None")
      .def("predicted_deviation", &predicted, py::arg("statistic"), py::arg("tau"),
           py::arg("source") = "psd",
           R"doc(The deviation the levels predict at each tau (s), as --noise-fit --plot draws it.

statistic: adev, console-adev or oadev (the Allan relations), mdev (the
modified ones) or tdev (tau / sqrt(3) times mdev); source: the levels "psd"
(from the spectrum) or "deviations". NaN for another statistic or when no
level was seen. Needs noise_fit.)doc")
      .def("__len__", [](const Spectrum& s) { return s.f.size(); })
      .def("__repr__", [](const Spectrum& s) {
        return "<tessarin.Spectrum " + s.quantity + ", " + std::to_string(s.f.size()) +
               " values, " + std::to_string(s.averages) + " averages of " +
               std::to_string(s.segment) + " points>";
      });
  addFieldAccess(result, kFields);

  module.def("spectrum", &spectrum, kSpectrumDoc, py::arg("data"), py::arg("tau0"),
             py::arg("quantity") = "sy", py::arg("kind") = "phase", py::kw_only(),
             py::arg("nominal") = py::none(), py::arg("segment") = py::none(),
             py::arg("window") = "hann", py::arg("bands") = 10, py::arg("ci") = 0.683,
             py::arg("noise_fit") = false, py::arg("remove_drift") = false,
             py::arg("remove_offset") = false, py::arg("outliers") = py::none(),
             py::arg("find_steps") = py::none(), py::arg("remove_steps") = false);
}

}  // namespace tessarin::python
