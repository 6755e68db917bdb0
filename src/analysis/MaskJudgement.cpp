#include "analysis/MaskJudgement.h"

#include <cmath>
#include <limits>

namespace tessarin::analysis {

namespace {

constexpr double kNothing = std::numeric_limits<double>::quiet_NaN();

MaskPoint pointAgainst(const TelecomMask& mask, const stability::Estimate& estimate,
                       double upperBound) {
  MaskPoint point{estimate.tau,
                  estimate.factor,
                  maskLimit(mask, estimate.tau),
                  kNothing,
                  kNothing,
                  judgeAgainstMask(mask, estimate.tau, estimate.value, upperBound)};
  if (point.verdict != MaskVerdict::NotCovered) {
    point.margin = *point.limit - estimate.value;
    point.ratio = *point.limit / estimate.value;
  }
  return point;
}

}  // namespace

CurveAgainstMask judgeCurve(const TelecomMask& mask, std::span<const stability::AnalysisRow> rows) {
  CurveAgainstMask curve{&mask, {}, MaskVerdict::NotCovered, std::nullopt};
  std::vector<MaskVerdict> verdicts;
  for (const stability::AnalysisRow& row : rows) {
    curve.points.push_back(pointAgainst(mask, row.estimate, row.interval.high));
    const MaskPoint& point = curve.points.back();
    verdicts.push_back(point.verdict);
    if (point.verdict != MaskVerdict::NotCovered &&
        (!curve.worst || point.margin < curve.points[*curve.worst].margin))
      curve.worst = curve.points.size() - 1;
  }
  curve.verdict = overallVerdict(verdicts);
  return curve;
}

std::vector<CurveAgainstMask> judgeAnalysis(const SeriesAnalysis& analysis,
                                            std::span<const std::string_view> maskNames) {
  std::vector<CurveAgainstMask> judged;
  for (const StatisticRows& statistic : analysis.statistics)
    for (const std::string_view name : maskNames)
      if (const TelecomMask* mask = telecomMask(name, statistic.statistic))
        judged.push_back(judgeCurve(*mask, statistic.rows));
  return judged;
}

WindowsAgainstMask judgeWindows(const TelecomMask& mask, const DynamicMap& map) {
  WindowsAgainstMask judged{&mask, 0, 0, std::nullopt, std::nullopt};
  for (std::size_t window = 0; window < map.starts.size(); ++window) {
    bool covered = false;
    std::optional<std::size_t> failsAt;
    for (std::size_t factor = 0; factor < map.factors.size(); ++factor) {
      const stability::Estimate& estimate = map.at(window, factor);
      const MaskVerdict verdict = judgeAgainstMask(mask, estimate.tau, estimate.value, kNothing);
      covered = covered || verdict != MaskVerdict::NotCovered;
      if (verdict == MaskVerdict::Fail && !failsAt) failsAt = factor;
    }
    judged.covered += covered;
    if (!failsAt) continue;
    ++judged.failing;
    if (!judged.firstFailing) {
      judged.firstFailing = window;
      judged.firstFactor = failsAt;
    }
  }
  return judged;
}

}  // namespace tessarin::analysis
