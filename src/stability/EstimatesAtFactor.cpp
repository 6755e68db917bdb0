#include "stability/EstimatesAtFactor.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>
#include <variant>

#include "stability/Accumulators.h"
#include "stability/OverlappingAccumulators.h"

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

bool isModified(Statistic statistic) {
  return statistic == Statistic::Mdev || statistic == Statistic::Tdev;
}

// The statistics overlappingAccumulators() sums together; the modified and the time deviation
// share one accumulator.
bool isOverlapping(Statistic statistic) {
  switch (statistic) {
    case Statistic::Oadev:
    case Statistic::Ohdev:
    case Statistic::TieRms:
    case Statistic::Totdev:
      return true;
    default:
      return isModified(statistic);
  }
}

// Whether two of them are asked for: one alone is quicker by its own accumulator.
bool sharesDifferences(std::span<const Statistic> statistics) {
  int accumulators = 0;
  bool modified = false;
  for (const Statistic statistic : statistics) {
    if (!isOverlapping(statistic) || (isModified(statistic) && std::exchange(modified, true)))
      continue;
    ++accumulators;
  }
  return accumulators >= 2;
}

Estimate overlappingEstimate(const OverlappingAccumulators& together, Statistic statistic,
                             std::span<const double> phase, double tau0) {
  switch (statistic) {
    case Statistic::Oadev:
      return together.oadev.estimate(phase, tau0);
    case Statistic::Ohdev:
      return together.ohdev.estimate(phase, tau0);
    case Statistic::TieRms:
      return together.tieRms.estimate(phase, tau0);
    case Statistic::Totdev:
      return together.totdev.estimate(phase, tau0);
    default:
      return together.modified.readAs(statistic).estimate(phase, tau0);
  }
}

}  // namespace

// The modified and the time deviation share one accumulator.
std::vector<Estimate> estimatesAtFactor(std::span<const Statistic> statistics,
                                        std::span<const double> phase, double tau0, int factor,
                                        LongTauSeries* longTau) {
  constexpr std::size_t kNoAccumulator = std::numeric_limits<std::size_t>::max();
  std::vector<Estimate> estimates(statistics.size());
  std::vector<Accumulator> accumulators;
  std::vector<std::size_t> accumulatorOf(statistics.size(), kNoAccumulator);
  std::size_t modified = kNoAccumulator;
  std::vector<Statistic> longTauAsked;
  std::vector<std::size_t> longTauAt;
  std::optional<OverlappingAccumulators> together;
  if (factor >= 1 && sharesDifferences(statistics))
    together = overlappingAccumulators(phase, factor);
  for (std::size_t k = 0; k < statistics.size(); ++k) {
    const Statistic statistic = statistics[k];
    if (isLongTau(statistic)) {
      longTauAsked.push_back(statistic);
      longTauAt.push_back(k);
      continue;
    }
    if (factor < 1 || !summedByAccumulator(statistic)) {
      estimates[k] = estimate(statistic, phase, tau0, factor);
      continue;
    }
    if (together && isOverlapping(statistic)) {
      estimates[k] = overlappingEstimate(*together, statistic, phase, tau0);
      continue;
    }
    if (isModified(statistic) && modified != kNoAccumulator) {
      accumulatorOf[k] = modified;
      continue;
    }
    accumulatorOf[k] = accumulators.size();
    if (isModified(statistic)) modified = accumulators.size();
    accumulators.push_back(accumulatorFor(statistic, factor));
  }
  if (!longTauAsked.empty()) {
    LongTauSeries own(phase);
    const std::vector<Estimate> values =
        longTauEstimates(longTauAsked, longTau ? *longTau : own, tau0, factor);
    for (std::size_t i = 0; i < values.size(); ++i) estimates[longTauAt[i]] = values[i];
  }
  const std::int64_t n = std::ssize(phase);
  for (std::int64_t end = 0; end < n;) {
    end = std::min(n, end + kStretch);
    for (Accumulator& accumulator : accumulators) extend(accumulator, phase.first(end));
  }
  for (std::size_t k = 0; k < statistics.size(); ++k) {
    if (accumulatorOf[k] == kNoAccumulator) continue;
    const Accumulator& accumulator = accumulators[accumulatorOf[k]];
    estimates[k] =
        isModified(statistics[k])
            ? std::get<ModifiedAccumulator>(accumulator).readAs(statistics[k]).estimate(phase, tau0)
            : estimate(accumulator, phase, tau0);
  }
  return estimates;
}

}  // namespace tessarin::stability
