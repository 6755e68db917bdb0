#include "stability/Statistics.h"

#include <array>
#include <cmath>

#include "stability/Accumulators.h"
#include "stability/LongTau.h"
#include "stability/MaximumTimeIntervalError.h"

namespace tessarin::stability {

namespace {

constexpr std::array kStatistics = {
    Statistic::Adev,    Statistic::Oadev,        Statistic::Mdev,    Statistic::Tdev,
    Statistic::Hdev,    Statistic::Ohdev,        Statistic::Totdev,  Statistic::Mtie,
    Statistic::TieRms,  Statistic::StandardAdev, Statistic::Mtotdev, Statistic::Ttotdev,
    Statistic::Htotdev, Statistic::Theo1,        Statistic::Theobr,  Statistic::Theoh};
constexpr std::array<std::string_view, kStatistics.size()> kNames = {
    "console-adev", "oadev", "mdev",    "tdev",    "hdev",    "ohdev", "totdev", "mtie",
    "tierms",       "adev",  "mtotdev", "ttotdev", "htotdev", "theo1", "theobr", "theoh"};

// SP 1065 needs N >= 90 for one AVAR / Theo1 ratio of TheoBR's bias removal.
constexpr std::int64_t kLeastTheoBiasPoints = 90;

// Whether factor m still gives the statistic enough terms over n gap-free phase points.
//  - adev: at least three second differences, i.e. five decimated points: the console's own rule.
//  - totdev: m up to half the record, (n - 1) / 2, as NIST SP 1065 takes it; its term count,
//    n - 2, does not shrink with m.
//  - every other statistic: at least one term, the longest factor the usual tools give; the
//    confidence interval shows how little a point with so few terms says.
bool hasEnoughTerms(Statistic statistic, std::int64_t m, std::int64_t n) {
  switch (statistic) {
    case Statistic::Adev:
      return n / m - 2 >= 3;
    case Statistic::Oadev:
      return n - 2 * m >= 1;
    case Statistic::StandardAdev:
      return n >= 1 && (n - 1) / m - 1 >= 1;
    case Statistic::Mdev:
    case Statistic::Tdev:
      return n - 3 * m + 1 >= 1;
    case Statistic::Hdev:
      return n >= 1 && (n - 1) / m - 2 >= 1;
    case Statistic::Ohdev:
      return n - 3 * m >= 1;
    case Statistic::Totdev:
      return n >= 3 && 2 * m <= n - 1;
    case Statistic::Mtie:
    case Statistic::TieRms:
      return n - m >= 1;
    case Statistic::Mtotdev:
    case Statistic::Ttotdev:
      return 3 * m <= n;
    case Statistic::Htotdev:
      return n >= 4 && 3 * m <= n - 1;
    case Statistic::Theo1:
      return n >= 3 && m <= n - 1;
    case Statistic::Theobr:
      return n >= kLeastTheoBiasPoints && m <= n - 1;
    case Statistic::Theoh:
      return n >= 3 && m <= n - 1;
  }
  return false;
}

// Whether the ladder's factor m is one the statistic is defined at: Theo1 and TheoBR at even m
// only, TheoH at every m of its Allan range and from tau = 0.75 m tau0 >= N tau0 / 10 at even m.
bool isDefinedAt(Statistic statistic, std::int64_t m, std::int64_t n) {
  switch (statistic) {
    case Statistic::Theo1:
    case Statistic::Theobr:
      return m % 2 == 0;
    case Statistic::Theoh:
      return theohTakesAllan(m, n) || (m % 2 == 0 && 15 * m >= 2 * n && n >= kLeastTheoBiasPoints);
    default:
      return true;
  }
}

// The factors of `ladder` (increasing) up to the first that has too few terms.
template <class Ladder>
std::vector<int> factorsWhile(Statistic statistic, std::int64_t sampleCount, Ladder ladder) {
  std::vector<int> factors;
  for (std::int64_t k = 0;; ++k) {
    const std::int64_t m = ladder(k);
    if (!hasEnoughTerms(statistic, m, sampleCount)) return factors;
    if (isDefinedAt(statistic, m, sampleCount)) factors.push_back(static_cast<int>(m));
  }
}

}  // namespace

std::string_view nameOf(Statistic statistic) { return kNames[static_cast<std::size_t>(statistic)]; }

std::optional<Statistic> statisticNamed(std::string_view name) {
  for (std::size_t k = 0; k < kNames.size(); ++k)
    if (kNames[k] == name) return kStatistics[k];
  return std::nullopt;
}

bool hasConfidenceInterval(Statistic statistic) {
  return statistic != Statistic::Mtie && statistic != Statistic::TieRms;
}

Estimate estimate(Statistic statistic, std::span<const double> phase, double tau0, int factor) {
  if (factor < 1) return estimateFrom(factor, tau0, 0, NAN);
  if (statistic == Statistic::Mtie) return maximumTimeIntervalError(phase, tau0, factor);
  if (isLongTau(statistic)) return longTauEstimate(statistic, phase, tau0, factor);
  Accumulator accumulator = accumulatorFor(statistic, factor);
  extend(accumulator, phase);
  return estimate(accumulator, phase, tau0);
}

std::vector<int> octaveFactors(Statistic statistic, std::int64_t sampleCount) {
  return factorsWhile(statistic, sampleCount, [](std::int64_t k) { return std::int64_t{1} << k; });
}

std::vector<int> decadeFactors(Statistic statistic, std::int64_t sampleCount) {
  return factorsWhile(statistic, sampleCount, [](std::int64_t k) {
    constexpr std::array<std::int64_t, 3> kSteps = {1, 2, 5};
    std::int64_t m = kSteps[static_cast<std::size_t>(k % 3)];
    for (std::int64_t decade = 0; decade < k / 3; ++decade) m *= 10;
    return m;
  });
}

std::vector<int> everyFactor(Statistic statistic, std::int64_t sampleCount) {
  return factorsWhile(statistic, sampleCount, [](std::int64_t k) { return k + 1; });
}

}  // namespace tessarin::stability
