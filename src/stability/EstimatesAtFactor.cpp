#include "stability/EstimatesAtFactor.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "stability/Accumulators.h"

namespace tessarin::stability {

namespace {

// Samples a stretch: the four points of the widest term, x[b] to x[b + 3m], each read over 64 KiB,
// which a core's second-level cache holds together.
constexpr std::int64_t kStretch = 8192;

// The statistics whose estimate() is their accumulator extended over the series: the others (MTIE,
// which scans the whole series its own way) are estimated on their own.
bool summedByAccumulator(Statistic statistic) {
  switch (statistic) {
    case Statistic::Adev:
    case Statistic::StandardAdev:
    case Statistic::Oadev:
    case Statistic::Mdev:
    case Statistic::Tdev:
    case Statistic::Hdev:
    case Statistic::Ohdev:
    case Statistic::Totdev:
    case Statistic::TieRms:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::vector<Estimate> estimatesAtFactor(std::span<const Statistic> statistics,
                                        std::span<const double> phase, double tau0, int factor) {
  std::vector<Estimate> estimates(statistics.size());
  std::vector<Accumulator> accumulators;
  std::vector<std::size_t> summed;
  for (std::size_t k = 0; k < statistics.size(); ++k) {
    if (factor >= 1 && summedByAccumulator(statistics[k])) {
      accumulators.push_back(accumulatorFor(statistics[k], factor));
      summed.push_back(k);
    } else {
      estimates[k] = estimate(statistics[k], phase, tau0, factor);
    }
  }
  const std::int64_t n = std::ssize(phase);
  for (std::int64_t end = 0; end < n;) {
    end = std::min(n, end + kStretch);
    for (Accumulator& accumulator : accumulators) extend(accumulator, phase.first(end));
  }
  for (std::size_t k = 0; k < summed.size(); ++k)
    estimates[summed[k]] = estimate(accumulators[k], phase, tau0);
  return estimates;
}

}  // namespace tessarin::stability
