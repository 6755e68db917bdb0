#pragma once

#include <span>
#include <vector>

#include "stability/LongTau.h"
#include "stability/Statistics.h"

namespace tessarin::stability {

// The estimates of several statistics at one factor, each as estimate() gives it, their sums
// worked out together a stretch of the series at a time: the samples one statistic's terms have
// just read are still in the cache for the next, so a long series is read from memory once for all
// of them instead of once each; the modified and the time deviation are read from one set of
// sums. An accumulator extended over a series grown in steps has the same sums as one extended
// over the whole at once. Where two or more of those made of the differences at every start are
// asked for, those are summed in one pass (overlappingAccumulators()). The long-tau statistics
// take their shared sums from one pass at the factor, and across factors what `longTau` keeps of
// the series (one of their own without it).
std::vector<Estimate> estimatesAtFactor(std::span<const Statistic> statistics,
                                        std::span<const double> phase, double tau0, int factor,
                                        LongTauSeries* longTau = nullptr);

}  // namespace tessarin::stability
