#include <pybind11/stl.h>

#include <array>
#include <cmath>
#include <limits>

#include "Arguments.h"
#include "Bindings.h"
#include "OwnedArray.h"
#include "ResultFields.h"
#include "Results.h"
#include "analysis/MaskJudgement.h"
#include "analysis/TelecomMasks.h"

namespace tessarin::python {

namespace {

using analysis::TelecomMask;

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// tessarin.Mask: one row of the mask tables, which the engine keeps for the program's lifetime.
struct Mask {
  const TelecomMask* mask = nullptr;
};

// What tessarin.judge gives for a deviation: its curve against the mask, point by point.
struct MaskJudgement {
  Mask mask;
  py::array_t<double> tau;
  py::array_t<std::int64_t> m;
  py::array_t<double> value;
  py::array_t<double> limit;
  py::array_t<double> margin;
  py::array_t<double> ratio;
  py::array verdicts;
  std::string verdict;
  py::object worst = py::none();
};

// What tessarin.judge gives for a dynamic map: which windows fail the mask.
struct WindowsJudgement {
  Mask mask;
  std::string verdict;
  std::int64_t windows = 0;
  std::int64_t failing = 0;
  std::int64_t covered = 0;
  py::object firstFailing = py::none();
  py::object firstStart = py::none();
  py::object firstTau = py::none();
};

constexpr std::array<const char*, 7> kFields = {"tau",    "m",     "value",   "limit",
                                                "margin", "ratio", "verdicts"};

// "prc, prtc-a, ...": the masks' names as the analyser lists them.
std::string maskNames() {
  std::string names;
  for (const std::string_view name : analysis::telecomMaskNames())
    names += (names.empty() ? "" : ", ") + std::string(name);
  return names;
}

// The mask of clock class `name` for `statistic` (mtie or tdev), or ValueError in the analyser's
// words.
const TelecomMask& maskFrom(const std::string& name, stability::Statistic statistic,
                            const char* statisticArgument) {
  const auto known = analysis::telecomMaskNames();
  if (std::find(known.begin(), known.end(), name) == known.end())
    throw py::value_error("bad value for mask: " + py::repr(py::str(name)).cast<std::string>() +
                          " (the masks are " + maskNames() + ")");
  const TelecomMask* mask = analysis::telecomMask(name, statistic);
  if (mask == nullptr)
    throw py::value_error("a mask holds mtie and tdev to their limits: not " +
                          std::string(stability::nameOf(statistic)) + " (give " +
                          statisticArgument + " mtie or tdev)");
  return *mask;
}

// The tau where the mask's table ends: infinity for one without an end.
double highestTau(const TelecomMask& mask) { return mask.segments.back().upTo; }

py::array_t<double> maskLimit(const std::string& name, const std::string& statisticName,
                              const py::object& tau) {
  const TelecomMask& mask = maskFrom(name, statisticFrom(statisticName), "statistic");
  const auto taus = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(tau);
  if (!taus) throw py::type_error("tau must be numbers that NumPy can take as float64");
  std::vector<double> limits(static_cast<std::size_t>(taus.size()));
  {
    py::gil_scoped_release released;
    for (std::size_t k = 0; k < limits.size(); ++k)
      limits[k] = analysis::maskLimit(mask, taus.data()[k]).value_or(kNone);
  }
  std::vector<py::ssize_t> shape(taus.shape(), taus.shape() + taus.ndim());
  return ownedArray(std::move(limits), shape.empty() ? std::vector<py::ssize_t>{1} : shape);
}

py::tuple maskLine(const std::string& name, const std::string& statisticName, double fromTau,
                   double toTau) {
  const TelecomMask& mask = maskFrom(name, statisticFrom(statisticName), "statistic");
  analysis::MaskLine line = analysis::maskLine(mask, fromTau, toTau);
  return py::make_tuple(ownedArray(std::move(line.tau)), ownedArray(std::move(line.limit)));
}

std::vector<Mask> masks() {
  std::vector<Mask> all;
  for (const TelecomMask& mask : analysis::telecomMasks()) all.push_back({&mask});
  return all;
}

MaskJudgement judgeDeviation(const Deviation& result, const std::string& name) {
  const TelecomMask& mask =
      maskFrom(name, statisticFrom(result.statistic), "tessarin.deviation statistic");
  const auto count = static_cast<std::size_t>(result.tau.size());
  std::vector<stability::AnalysisRow> rows(count);
  for (std::size_t k = 0; k < count; ++k) {
    const auto at = static_cast<py::ssize_t>(k);
    rows[k].estimate = {result.tau.at(at), static_cast<int>(result.m.at(at)), result.value.at(at),
                        0};
    rows[k].interval.high = result.ciHigh.at(at);
  }
  const analysis::CurveAgainstMask curve = analysis::judgeCurve(mask, rows);
  std::vector<double> limit, margin, ratio;
  py::list verdicts;
  for (const analysis::MaskPoint& point : curve.points) {
    limit.push_back(point.limit.value_or(kNone));
    margin.push_back(point.margin);
    ratio.push_back(point.ratio);
    verdicts.append(py::str(std::string(analysis::verdictWord(point.verdict))));
  }
  return {{&mask},
          result.tau,
          result.m,
          result.value,
          ownedArray(std::move(limit)),
          ownedArray(std::move(margin)),
          ownedArray(std::move(ratio)),
          py::module_::import("numpy").attr("array")(verdicts, "U11"),
          std::string(analysis::verdictWord(curve.verdict)),
          curve.worst ? py::object(py::int_(*curve.worst)) : py::none()};
}

WindowsJudgement judgeDynamic(const Dynamic& result, const std::string& name) {
  const TelecomMask& mask =
      maskFrom(name, statisticFrom(result.statistic), "tessarin.dynamic statistic");
  analysis::DynamicMap map;
  map.tau0 = result.tau0;
  for (py::ssize_t f = 0; f < result.m.size(); ++f)
    map.factors.push_back(static_cast<int>(result.m.at(f)));
  for (py::ssize_t w = 0; w < result.start.size(); ++w) {
    map.starts.push_back(result.start.at(w));
    for (py::ssize_t f = 0; f < result.m.size(); ++f)
      map.estimates.push_back({result.tau.at(f), static_cast<int>(result.m.at(f)),
                               result.value.at(w, f), result.terms.at(w, f)});
  }
  const analysis::WindowsAgainstMask judged = analysis::judgeWindows(mask, map);
  WindowsJudgement windows{{&mask},
                           "pass",
                           static_cast<std::int64_t>(map.starts.size()),
                           judged.failing,
                           judged.covered};
  if (judged.covered == 0) windows.verdict = "not covered";
  if (judged.firstFailing) {
    windows.verdict = "fail";
    windows.firstFailing = py::int_(*judged.firstFailing);
    windows.firstStart = py::int_(map.starts[*judged.firstFailing]);
    windows.firstTau = py::float_(map.at(*judged.firstFailing, *judged.firstFactor).tau);
  }
  return windows;
}

constexpr const char* kMasksDoc = R"doc(The ITU-T wander masks carried, as tessarin.Mask objects.

One per clock class and statistic, MTIE and TDEV of each: G.811 PRC (prc),
G.8272 PRTC-A (prtc-a) and PRTC-B (prtc-b), G.8272.1 ePRTC (eprtc), G.8262
EEC options 1 and 2 (eec1, eec2), the tables of docs/masks.md, which the
console and tessarin-analyze --mask hold curves to.)doc";

constexpr const char* kMaskLimitDoc = R"doc(The limit a mask sets at each tau, in seconds.

Arguments:
  mask       the clock class: prc, prtc-a, prtc-b, eprtc, eec1 or eec2
  statistic  "mtie" or "tdev": the mask of that statistic
  tau        observation intervals in seconds, a number or an array of them

Returns a float64 array of tau's shape (one element for a number): the limit,
NaN where the mask says nothing (below 0.1 s, beyond its table's end).

Example:
  >>> tessarin.mask_limit("prc", "tdev", [1, 300, 1e5])
  array([3.e-09, 9.e-09,    nan]))doc";

constexpr const char* kMaskLineDoc = R"doc(A mask's line to draw over from_tau to to_tau seconds.

Returns (tau, limit), two float64 arrays: each piece of the mask from its start
to its end within the range (clipped to the mask's validity), with points in
between so that it bends as it should on logarithmic axes, as the analyser's
plot draws it. Empty arrays when the ranges do not meet.)doc";

constexpr const char* kJudgeDoc =
    R"doc(Holds a result to a telecom mask, as tessarin-analyze --mask does.

Arguments:
  result     a tessarin.Deviation of mtie or tdev, or a tessarin.Dynamic of tdev
  mask       the clock class: prc, prtc-a, prtc-b, eprtc, eec1 or eec2; the
             mask of the result's statistic is taken

For a Deviation, returns a tessarin.MaskJudgement: per averaging factor the
limit, the margin (limit - value, in s; negative where it fails), the ratio
limit/value and the verdict: "pass" (the value and the upper bound of its
interval are within the limit; a value at the limit meets it), "marginal" (the
value is, the bound is not: measure longer), "fail" (the value is beyond the
limit) or "not covered" (the mask says nothing at that tau; limit, margin and
ratio are NaN). Also the curve's verdict (fail if a point fails, else marginal
if one is, else pass if one passes, else not covered) and worst, the index of
the covered point with the least margin. Every point is judged, however few its
terms; MTIE has no interval and a result with ci=None none either, so only
their values are. The figures are the analyser's CSV columns
mask,limit,margin,verdict, bit for bit.

For a Dynamic, returns a tessarin.WindowsJudgement: each window's values (which
have no intervals) against the mask: verdict ("fail" when a window fails,
"pass" when none does, "not covered" when the mask covers none of its taus),
the windows failing and covered, and where it first fails: the window's index,
its first point and the tau.

Raises ValueError for a mask not carried ("bad value for mask: 'foo' (the masks
are prc, ...)") and for a result of a statistic other than mtie or tdev.

Example:
  >>> r = tessarin.deviation(phase, 1.0, "tdev")
  >>> j = tessarin.judge(r, "prtc-a")
  >>> j.verdict, j.tau[j.worst], j.margin[j.worst])doc";

void bindMask(py::module_& module) {
  py::class_<Mask>(module, "Mask", R"doc(An ITU-T wander mask of one statistic.

name (the clock class: the word tessarin-analyze --mask takes), title
("G.811 PRC"), source (the Recommendation and its table), statistic ("mtie"
or "tdev"), lowest_tau and highest_tau (s; inf for a mask without an end) and
covered, its range in words. mask.limit(tau) is tessarin.mask_limit for it.)doc")
      .def_property_readonly(
          "name", [](const Mask& m) { return std::string(m.mask->name); }, "the clock class")
      .def_property_readonly(
          "title", [](const Mask& m) { return std::string(m.mask->title); }, "its title")
      .def_property_readonly(
          "source", [](const Mask& m) { return std::string(m.mask->recommendation); },
          "the Recommendation and its table")
      .def_property_readonly(
          "statistic",
          [](const Mask& m) { return std::string(stability::nameOf(m.mask->statistic)); },
          "mtie or tdev")
      .def_property_readonly(
          "lowest_tau", [](const Mask& m) { return m.mask->lowestTau; },
          "the shortest tau covered, s")
      .def_property_readonly(
          "highest_tau", [](const Mask& m) { return highestTau(*m.mask); },
          "the longest tau covered, s; inf when the mask has no end")
      .def_property_readonly(
          "covered", [](const Mask& m) { return analysis::coveredTaus(*m.mask); },
          "the range of tau covered, in words")
      .def(
          "limit",
          [](const Mask& m, const py::object& tau) {
            return maskLimit(std::string(m.mask->name),
                             std::string(stability::nameOf(m.mask->statistic)), tau);
          },
          py::arg("tau"), "The limit at each tau, s; NaN where the mask says nothing.")
      .def("__repr__", [](const Mask& m) {
        return "<tessarin.Mask " + std::string(m.mask->name) + " " +
               std::string(stability::nameOf(m.mask->statistic)) + ": " +
               std::string(m.mask->title) + ", " + analysis::coveredTaus(*m.mask) + ">";
      });
}

void bindJudgements(py::module_& module) {
  py::class_<MaskJudgement> judgement(module, "MaskJudgement",
                                      R"doc(A deviation held to a mask by tessarin.judge.

Arrays, one element per averaging factor: tau (s), m, value, limit, margin
(s), ratio (limit/value) and verdicts (str: pass, marginal, fail, not
covered). Also mask (the tessarin.Mask), verdict (the curve's) and worst (the
index of the covered point with the least margin, None when none is covered).
result["limit"] is result.limit.)doc");
  judgement.def_readonly("mask", &MaskJudgement::mask, "the mask, a tessarin.Mask")
      .def_readonly("tau", &MaskJudgement::tau, "the averaging times, s")
      .def_readonly("m", &MaskJudgement::m, "the averaging factors")
      .def_readonly("value", &MaskJudgement::value, "the statistic at each tau, s")
      .def_readonly("limit", &MaskJudgement::limit, "the mask's limit, s; NaN: not covered")
      .def_readonly("margin", &MaskJudgement::margin, "limit - value, s; NaN: not covered")
      .def_readonly("ratio", &MaskJudgement::ratio, "limit / value; NaN: not covered")
      .def_readonly("verdicts", &MaskJudgement::verdicts, "each point's verdict")
      .def_readonly("verdict", &MaskJudgement::verdict,
                    "the curve's: pass, marginal, fail or not covered")
      .def_readonly("worst", &MaskJudgement::worst,
                    "the index of the covered point with the least margin, or None")
      .def("__len__", [](const MaskJudgement& j) { return j.tau.size(); })
      .def("__repr__", [](const MaskJudgement& j) {
        return "<tessarin.MaskJudgement " + std::string(stability::nameOf(j.mask.mask->statistic)) +
               " against " + std::string(j.mask.mask->title) + ": " + j.verdict + ">";
      });
  addFieldAccess(judgement, kFields);

  py::class_<WindowsJudgement>(module, "WindowsJudgement",
                               R"doc(The windows of a dynamic map held to a mask by tessarin.judge.

mask, verdict (fail, pass or not covered), windows, failing and covered
(windows with a failing point, with a point the mask covers), and where it
first fails, else None: first_failing (the window's index), first_start (its
first phase point) and first_tau (s).)doc")
      .def_readonly("mask", &WindowsJudgement::mask, "the mask, a tessarin.Mask")
      .def_readonly("verdict", &WindowsJudgement::verdict, "fail, pass or not covered")
      .def_readonly("windows", &WindowsJudgement::windows, "the windows judged")
      .def_readonly("failing", &WindowsJudgement::failing, "the windows with a failing point")
      .def_readonly("covered", &WindowsJudgement::covered,
                    "the windows with a point the mask covers")
      .def_readonly("first_failing", &WindowsJudgement::firstFailing,
                    "the index of the first window that fails, or None")
      .def_readonly("first_start", &WindowsJudgement::firstStart,
                    "that window's first phase point, or None")
      .def_readonly("first_tau", &WindowsJudgement::firstTau,
                    "the tau where that window fails first, s, or None")
      .def("__repr__", [](const WindowsJudgement& j) {
        return "<tessarin.WindowsJudgement " + std::string(j.mask.mask->title) + ": " + j.verdict +
               " in " + std::to_string(j.failing) + " of " + std::to_string(j.windows) +
               " windows>";
      });
}

}  // namespace

void bindMasks(py::module_& module) {
  bindMask(module);
  bindJudgements(module);
  module.def("masks", &masks, kMasksDoc);
  module.def("mask_limit", &maskLimit, kMaskLimitDoc, py::arg("mask"), py::arg("statistic"),
             py::arg("tau"));
  module.def("mask_line", &maskLine, kMaskLineDoc, py::arg("mask"), py::arg("statistic"),
             py::arg("from_tau"), py::arg("to_tau"));
  module.def("judge", &judgeDeviation, kJudgeDoc, py::arg("result"), py::arg("mask"));
  module.def("judge", &judgeDynamic, py::arg("result"), py::arg("mask"));
}

}  // namespace tessarin::python
