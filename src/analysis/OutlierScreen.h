#pragma once

#include <span>

#include "analysis/ConditioningRecord.h"

namespace tessarin::analysis {

// More than this share of the valid frequencies beyond the limit is not an outlier problem: the
// screen refuses the run.
constexpr double kMostOutlierShare = 0.05;

// The fractional frequencies farther than `limit` normalised median absolute deviations
// (MAD / 0.6745, the standard deviation of Gaussian noise) from the median of the valid ones,
// NaN gaps left out. Their samples are counted from 0 plus `sampleOffset` (1 for the first
// differences of a phase series, named by their later phase sample). When the MAD is 0 (most
// samples alike) nothing can be told an outlier: the screen finds none, its sigma 0.
OutlierScreen screenOutliers(std::span<const double> frequency, double limit,
                             std::int64_t sampleOffset = 0);

// The share of the screened frequencies that are outliers.
double outlierShare(const OutlierScreen& screen);

}  // namespace tessarin::analysis
