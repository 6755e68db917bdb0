#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "analysis/AnalysisRequest.h"
#include "analysis/ConditioningRecord.h"
#include "analysis/DynamicWindows.h"
#include "platform/Result.h"
#include "stability/Statistics.h"

namespace tessarin::analysis {

// A deviation over windows of a phase series: how the stability changed along a run.
struct DynamicMap {
  stability::Statistic statistic{};
  double tau0 = 0;
  DynamicWindows windows;
  std::vector<int> factors;                    // the octave factors, increasing
  std::vector<std::int64_t> starts;            // each window's first phase point, counted from 0
  std::vector<stability::Estimate> estimates;  // window by window, factor by factor

  const stability::Estimate& at(std::size_t window, std::size_t factor) const {
    return estimates[window * factors.size() + factor];
  }
};

// The octave factors 1, 2, 4, ... up to a quarter of the window, or less where the statistic
// would have fewer than its least number of terms over a window without gaps.
std::vector<int> dynamicFactors(stability::Statistic statistic, int window);

// The deviation (any but MTIE and TIE rms) of every window of `windows.window` successive points
// that starts at a multiple of `windows.step` and ends inside the series, at the octave factors.
// Each value is the statistic of the window's slice on its own: a term belongs to a window when
// all its samples are inside it, a term that touches a gap (NaN) is left out, and a window left
// without terms at a factor has a NaN value and 0 terms there. The sums slide from window to
// window, so the cost grows with the series, not with the number of windows times their length.
// The window must not be longer than the series.
DynamicMap dynamicStability(stability::Statistic statistic, std::span<const double> phase,
                            double tau0, DynamicWindows windows);

// What a dynamic stability analysis is asked to give.
struct DynamicRequest {
  stability::Statistic statistic = stability::Statistic::Oadev;
  DynamicWindows windows;
  Preprocessing preprocessing;
};

// What it found: the map, and what the preprocessing removed.
struct DynamicAnalysis {
  DynamicMap map;
  std::optional<double> driftPerDay;    // the linear frequency drift removed, per day
  std::optional<double> meanFrequency;  // the mean fractional frequency removed
  ConditioningRecord conditioning;      // what each step of the preprocessing did
};

// The phase series conditioned as the request asks (conditionPhase(), in place) and mapped window
// by window; fails when the conditioning does. The window must not be longer than the series.
platform::Result<DynamicAnalysis> analyseDynamic(std::vector<double> phase, double tau0,
                                                 const DynamicRequest& request);

// The same over a series the analysis may not change: mapped where it lies when the request asks
// for no preprocessing, else copied once.
platform::Result<DynamicAnalysis> analyseDynamicSeries(std::span<const double> phase, double tau0,
                                                       const DynamicRequest& request);

}  // namespace tessarin::analysis
