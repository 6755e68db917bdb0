#include "EstimateTable.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "TwoThreads.h"
#include "stability/EstimatesAtFactor.h"

namespace tessarin::analyze {

std::vector<std::vector<stability::Estimate>> estimateTable(
    std::span<const stability::Statistic> statistics, const std::vector<std::vector<int>>& factors,
    std::span<const double> phase, double tau0, bool twoThreads) {
  std::vector<std::vector<stability::Estimate>> table;
  std::vector<int> everyFactor;
  for (const std::vector<int>& own : factors) {
    table.emplace_back(own.size());
    everyFactor.insert(everyFactor.end(), own.begin(), own.end());
  }
  std::sort(everyFactor.begin(), everyFactor.end());
  everyFactor.erase(std::unique(everyFactor.begin(), everyFactor.end()), everyFactor.end());
  // Each factor fills its own cells of the table, which no other factor touches. Every statistic's
  // factors rise, and with --taus all there are as many as samples: they are searched by halves.
  stability::LongTauSeries longTau(phase);
  const auto atFactor = [&](std::int64_t j) {
    const int m = everyFactor[static_cast<std::size_t>(j)];
    std::vector<stability::Statistic> there;
    std::vector<stability::Estimate*> cells;
    for (std::size_t i = 0; i < statistics.size(); ++i) {
      const auto found = std::lower_bound(factors[i].begin(), factors[i].end(), m);
      if (found == factors[i].end() || *found != m) continue;
      there.push_back(statistics[i]);
      cells.push_back(&table[i][static_cast<std::size_t>(found - factors[i].begin())]);
    }
    const std::vector<stability::Estimate> estimates =
        stability::estimatesAtFactor(there, phase, tau0, m, &longTau);
    for (std::size_t k = 0; k < cells.size(); ++k) *cells[k] = estimates[k];
  };
  const auto count = std::ssize(everyFactor);
  if (twoThreads)
    onTwoThreads(count, atFactor);
  else
    for (std::int64_t j = 0; j < count; ++j) atFactor(j);
  return table;
}

}  // namespace tessarin::analyze
