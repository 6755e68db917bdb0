#pragma once

#include <span>
#include <vector>

#include "analysis/AnalysisProgress.h"
#include "stability/Statistics.h"

namespace tessarin::analysis {

// The estimates of every statistic asked for at each of its factors, which rise: table[i][k] is
// statistic i at factors[i][k]. The statistics that share a factor are summed together
// (estimatesAtFactor()), MTIE at the factors that double together (maximumTimeIntervalErrors()),
// and with `twoThreads` the factors are shared out between two threads; the values are those of
// estimate() one by one. `progress`, where given, counts the factors done.
std::vector<std::vector<stability::Estimate>> estimateTable(
    std::span<const stability::Statistic> statistics, const std::vector<std::vector<int>>& factors,
    std::span<const double> phase, double tau0, bool twoThreads,
    AnalysisProgress* progress = nullptr);

}  // namespace tessarin::analysis
