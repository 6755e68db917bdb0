#include "analysis/EstimateTable.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "analysis/TwoThreads.h"
#include "stability/EstimatesAtFactor.h"
#include "stability/MaximumTimeIntervalError.h"

namespace tessarin::analysis {

std::vector<std::vector<stability::Estimate>> estimateTable(
    std::span<const stability::Statistic> statistics, const std::vector<std::vector<int>>& factors,
    std::span<const double> phase, double tau0, bool twoThreads, AnalysisProgress* progress) {
  std::vector<std::vector<stability::Estimate>> table;
  std::vector<int> everyFactor;
  for (const std::vector<int>& own : factors) {
    table.emplace_back(own.size());
    everyFactor.insert(everyFactor.end(), own.begin(), own.end());
  }
  // MTIE at the factors that double is worked out together, one job of its own, the first so that
  // the factors' jobs fill the other thread meanwhile.
  const auto mtie = std::find(statistics.begin(), statistics.end(), stability::Statistic::Mtie);
  const auto mtieIndex = static_cast<std::size_t>(mtie - statistics.begin());
  std::vector<int> doubled;
  std::vector<std::size_t> doubledCells;
  if (mtie != statistics.end())
    for (std::size_t k = 0; k < factors[mtieIndex].size(); ++k)
      if (stability::isDoubledFactor(factors[mtieIndex][k])) {
        doubled.push_back(factors[mtieIndex][k]);
        doubledCells.push_back(k);
      }
  const std::int64_t doubledJobs = doubled.empty() ? 0 : 1;
  std::sort(everyFactor.begin(), everyFactor.end());
  everyFactor.erase(std::unique(everyFactor.begin(), everyFactor.end()), everyFactor.end());
  // Each factor fills its own cells of the table, which no other factor touches. Every statistic's
  // factors rise, and with --taus all there are as many as samples: they are searched by halves.
  stability::LongTauSeries longTau(phase);
  const auto estimateJob = [&](std::int64_t job) {
    if (job < doubledJobs) {
      const std::vector<stability::Estimate> estimates =
          stability::maximumTimeIntervalErrors(phase, tau0, doubled);
      for (std::size_t k = 0; k < estimates.size(); ++k)
        table[mtieIndex][doubledCells[k]] = estimates[k];
      return;
    }
    const int m = everyFactor[static_cast<std::size_t>(job - doubledJobs)];
    std::vector<stability::Statistic> there;
    std::vector<stability::Estimate*> cells;
    for (std::size_t i = 0; i < statistics.size(); ++i) {
      const auto found = std::lower_bound(factors[i].begin(), factors[i].end(), m);
      if (found == factors[i].end() || *found != m) continue;
      if (i == mtieIndex && stability::isDoubledFactor(m)) continue;
      there.push_back(statistics[i]);
      cells.push_back(&table[i][static_cast<std::size_t>(found - factors[i].begin())]);
    }
    const std::vector<stability::Estimate> estimates =
        stability::estimatesAtFactor(there, phase, tau0, m, &longTau);
    for (std::size_t k = 0; k < cells.size(); ++k) *cells[k] = estimates[k];
  };
  const auto atFactor = [&](std::int64_t job) {
    estimateJob(job);
    if (progress != nullptr) progress->advance();
  };
  const auto count = doubledJobs + std::ssize(everyFactor);
  if (progress != nullptr) progress->begin(AnalysisProgress::Stage::Estimates, count);
  if (twoThreads)
    onTwoThreads(count, atFactor);
  else
    for (std::int64_t j = 0; j < count; ++j) atFactor(j);
  return table;
}

}  // namespace tessarin::analysis
