#include "output/MaskSummary.h"

#include <cmath>
#include <cstdio>

#include "cli/Messages.h"
#include "output/DynamicReport.h"
#include "output/PrintedNumber.h"

namespace tessarin::analyze::output {

namespace {

// "512, 1024 s": the taus of the points with `verdict`.
std::string taus(const analysis::CurveAgainstMask& curve, analysis::MaskVerdict verdict) {
  std::string text;
  for (const analysis::MaskPoint& point : curve.points)
    if (point.verdict == verdict) text += (text.empty() ? "" : ", ") + printed("%g", point.tau);
  return text.empty() ? text : text + " s";
}

std::string range(const analysis::CurveAgainstMask& curve) {
  if (curve.points.empty()) return "no results";
  return "results at tau " + printed("%g", curve.points.front().tau) + " to " +
         printed("%g", curve.points.back().tau) + " s";
}

}  // namespace

std::string maskHeading(const analysis::TelecomMask& mask) {
  return std::string(stability::nameOf(mask.statistic)) + " against " + std::string(mask.title) +
         " (" + std::string(mask.recommendation) + ")";
}

std::string maskVerdictText(const analysis::CurveAgainstMask& curve) {
  using analysis::MaskVerdict;
  if (curve.verdict == MaskVerdict::NotCovered)
    return "not covered: the mask holds for " + analysis::coveredTaus(*curve.mask) + ", the " +
           range(curve);
  std::string text(analysis::verdictWord(curve.verdict));
  if (curve.verdict == MaskVerdict::Fail) text += " at tau " + taus(curve, MaskVerdict::Fail);
  if (curve.verdict == MaskVerdict::Marginal)
    text += " at tau " + taus(curve, MaskVerdict::Marginal) +
            " (the upper bound of the interval is beyond the limit)";
  const analysis::MaskPoint& worst = curve.points[*curve.worst];
  text += "; worst margin " + printed("%.3e", worst.margin) + " s (limit/value " +
          printed("%.3g", worst.ratio) + ") at tau " + printed("%g", worst.tau) + " s";
  if (const std::string uncovered = taus(curve, MaskVerdict::NotCovered); !uncovered.empty())
    text += "; not covered at tau " + uncovered;
  return text;
}

bool writeMaskSummary(std::ostream& messages, const std::vector<AnalysedRun>& runs) {
  bool failed = false;
  for (const AnalysedRun& analysed : runs) {
    for (const analysis::CurveAgainstMask& curve : analysed.masks) {
      cli::complain(messages) << (runs.size() > 1 ? runLabel(analysed) + ": " : std::string())
                              << maskHeading(*curve.mask) << ": " << maskVerdictText(curve) << '\n';
      failed = failed || curve.verdict == analysis::MaskVerdict::Fail;
    }
  }
  return failed;
}

std::string windowsVerdictText(const analysis::WindowsAgainstMask& judged,
                               const analysis::DynamicMap& map,
                               std::optional<std::int64_t> seriesStart) {
  const std::string windows = std::to_string(map.starts.size()) + " windows";
  if (judged.covered == 0)
    return "not covered: the mask holds for " + analysis::coveredTaus(*judged.mask) +
           ", the windows' taus " +
           (map.factors.empty() ? std::string("are none")
                                : "lie at " + printed("%g", map.factors.front() * map.tau0) +
                                      " to " + printed("%g", map.factors.back() * map.tau0) + " s");
  if (!judged.firstFailing)
    return "met in every window (" + std::to_string(judged.covered) + " of " + windows +
           " covered)";
  const std::size_t window = *judged.firstFailing;
  const std::int64_t start = map.starts[window];
  std::string text = "fail: first in the window at point " + std::to_string(start);
  if (seriesStart) text += " (" + startTime(map, seriesStart, start) + ")";
  return text + ", at tau " + printed("%g", map.at(window, *judged.firstFactor).tau) + " s; in " +
         std::to_string(judged.failing) + " of " + windows;
}

}  // namespace tessarin::analyze::output
