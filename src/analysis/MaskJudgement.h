#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "analysis/DynamicStability.h"
#include "analysis/SeriesAnalysis.h"
#include "analysis/TelecomMasks.h"

namespace tessarin::analysis {

// One point of a curve held to a mask.
struct MaskPoint {
  double tau = 0;
  int factor = 0;
  std::optional<double> limit;  // nothing where the mask does not cover tau
  double margin = 0;            // limit - value, in seconds; NaN where not covered
  double ratio = 0;             // limit / value; NaN where not covered
  MaskVerdict verdict = MaskVerdict::NotCovered;
};

// A statistic's curve against one mask: every point, the curve's verdict and its worst point.
struct CurveAgainstMask {
  const TelecomMask* mask = nullptr;
  std::vector<MaskPoint> points;  // one per row of the curve, in its order
  MaskVerdict verdict = MaskVerdict::NotCovered;
  std::optional<std::size_t> worst;  // the covered point with the least margin
};

// Holds every row of `rows` to `mask`: the value, and the upper bound of its interval where it has
// one (a pass that the bound does not support is marginal).
CurveAgainstMask judgeCurve(const TelecomMask& mask, std::span<const stability::AnalysisRow> rows);

// Every statistic of `analysis` against each mask named (a clock class: "prc", ...) that has a
// mask for it; statistic by statistic, mask by mask in the order named.
std::vector<CurveAgainstMask> judgeAnalysis(const SeriesAnalysis& analysis,
                                            std::span<const std::string_view> maskNames);

// Windows of a dynamic map held to a mask: which fail it anywhere, and where it first fails.
struct WindowsAgainstMask {
  const TelecomMask* mask = nullptr;
  std::int64_t failing = 0;                 // windows with a failing point
  std::int64_t covered = 0;                 // windows with a point the mask covers
  std::optional<std::size_t> firstFailing;  // the window's index
  std::optional<std::size_t> firstFactor;   // the factor's index in it that fails first
};

// Each window's values (which have no intervals) against `mask`.
WindowsAgainstMask judgeWindows(const TelecomMask& mask, const DynamicMap& map);

}  // namespace tessarin::analysis
