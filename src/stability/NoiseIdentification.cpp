#include "stability/NoiseIdentification.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "stability/Confidence.h"

namespace tessarin::stability {

namespace {

// Below about ten frequency values the B1 ratio scatters over all the noise types.
constexpr std::size_t kLeastFrequenciesForB1 = 10;

// The most times any statistic's noise reading differences the series (mostDifferences()).
constexpr int kMostDifferences = 3;

// Hands `use` the values of z differenced d times, in order, each formed as it passes from the
// last value of every level: level k + 1 at i is level k at i + 1 minus level k at i, the same
// subtractions a copy of the series differenced d times over would be made of, and so the same
// values to the last bit.
template <class Use>
void forEachDifferenced(StridedSeries z, int d, Use use) {
  std::array<double, kMostDifferences> earlier{};
  for (std::int64_t i = 0; i < z.size(); ++i) {
    double value = z[i];
    bool formed = true;
    for (int k = 0; k < d && formed; ++k) {
      const double previous = earlier[static_cast<std::size_t>(k)];
      earlier[static_cast<std::size_t>(k)] = value;
      formed = i > k;
      value -= previous;
    }
    if (formed) use(value);
  }
}

// r1 = sum (z_i - mean)(z_i+1 - mean) / sum (z_i - mean)^2 over the points present of z
// differenced d times. Two passes over z, the mean first, so the sums are those of a copy of the
// differenced series, added in the same order; no copy of it is held.
std::optional<double> lag1Autocorrelation(StridedSeries z, int d) {
  double sum = 0;
  std::int64_t present = 0;
  forEachDifferenced(z, d, [&](double value) {
    if (std::isnan(value)) return;
    sum += value;
    ++present;
  });
  if (present < 2) return std::nullopt;
  const double mean = sum / static_cast<double>(present);
  double products = 0;
  double squares = 0;
  bool earlierPresent = false;
  double earlierDeviation = 0;
  forEachDifferenced(z, d, [&](double value) {
    const bool isPresent = !std::isnan(value);
    const double deviation = value - mean;
    if (isPresent) {
      squares += deviation * deviation;
      if (earlierPresent) products += earlierDeviation * deviation;
    }
    earlierPresent = isPresent;
    earlierDeviation = deviation;
  });
  if (squares <= 0) return std::nullopt;
  return products / squares;
}

std::optional<int> byLag1Autocorrelation(StridedSeries series, int differenceLimit) {
  return alphaByLag1Autocorrelation([series](int d) { return lag1Autocorrelation(series, d); },
                                    differenceLimit);
}

// B1 of so few points (fewer than kLeastPointsForAutocorrelation) that a copy costs nothing.
std::optional<int> byB1RatioOf(StridedSeries points) {
  std::vector<double> copy;
  copy.reserve(static_cast<std::size_t>(points.size()));
  for (std::int64_t i = 0; i < points.size(); ++i) copy.push_back(points[i]);
  return byB1Ratio(copy);
}

// A gap anywhere in the block makes the sum NaN, and so the mean a gap.
double blockMean(std::span<const double> block) {
  double sum = 0;
  for (const double value : block) sum += value;
  return sum / static_cast<double>(block.size());
}

// Barnes' B1 for n frequency values under noise whose Allan variance goes as tau^mu.
double expectedB1(double n, int mu) {
  if (mu == 0) return n * std::log(n) / (2 * (n - 1) * std::log(2.0));
  return n * (1 - std::pow(n, mu)) / (2 * (n - 1) * (1 - std::pow(2.0, mu)));
}

}  // namespace

// B1 = the standard variance of the frequency at the factor over its Allan variance; the noise is
// the one whose expected B1 is nearest on a logarithmic scale. mu = -2 covers both phase noises.
std::optional<int> byB1Ratio(std::span<const double> points) {
  std::vector<double> frequency;
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    frequency.push_back(points[i + 1] - points[i]);
  }
  double sum = 0;
  std::size_t present = 0;
  double allanSum = 0;
  std::size_t allanTerms = 0;
  for (std::size_t i = 0; i < frequency.size(); ++i) {
    if (std::isnan(frequency[i])) continue;
    sum += frequency[i];
    ++present;
    if (i + 1 < frequency.size() && !std::isnan(frequency[i + 1])) {
      const double step = frequency[i + 1] - frequency[i];
      allanSum += step * step;
      ++allanTerms;
    }
  }
  if (present < kLeastFrequenciesForB1 || allanTerms == 0 || allanSum <= 0) return std::nullopt;
  const double mean = sum / static_cast<double>(present);
  double squares = 0;
  for (const double value : frequency) {
    if (!std::isnan(value)) squares += (value - mean) * (value - mean);
  }
  const double n = static_cast<double>(present);
  const double b1 = (squares / (n - 1)) / (allanSum / (2 * static_cast<double>(allanTerms)));
  int nearestMu = -2;
  double nearestDistance = std::numeric_limits<double>::infinity();
  for (int mu = -2; mu <= 1; ++mu) {
    const double distance = std::abs(std::log(b1 / expectedB1(n, mu)));
    if (distance < nearestDistance) {
      nearestDistance = distance;
      nearestMu = mu;
    }
  }
  return nearestMu == -2 ? 2 : -nearestMu - 1;
}

int mostDifferences(Statistic statistic) {
  return statistic == Statistic::Hdev || statistic == Statistic::Ohdev ? 3 : 2;
}

std::optional<int> alphaByLag1Autocorrelation(
    const std::function<std::optional<double>(int)>& lag1AfterDifferences, int differenceLimit) {
  for (int d = 0;; ++d) {
    const std::optional<double> r1 = lag1AfterDifferences(d);
    if (!r1 || *r1 <= -1) return std::nullopt;
    const double delta = *r1 / (1 + *r1);
    if (delta < 0.25 || d >= differenceLimit) {
      const int alpha = 2 - 2 * d - static_cast<int>(std::lround(2 * delta));
      return std::clamp(alpha, 2 - 2 * differenceLimit, 2);
    }
  }
}

bool identifiesOnBlockMeans(Statistic statistic) {
  return statistic == Statistic::Mdev || statistic == Statistic::Tdev;
}

std::vector<double> blockMeans(std::span<const double> series, int blockLength) {
  const auto length = static_cast<std::size_t>(blockLength);
  std::vector<double> means(series.size() / length);
  for (std::size_t block = 0; block < means.size(); ++block)
    means[block] = blockMean(series.subspan(block * length, length));
  return means;
}

// Block b is read from b * length on before mean b is written at b, which no later block reads.
void toBlockMeans(std::vector<double>& series, int blockLength) {
  const auto length = static_cast<std::size_t>(blockLength);
  const std::size_t blocks = series.size() / length;
  for (std::size_t block = 0; block < blocks; ++block)
    series[block] = blockMean(std::span<const double>(series).subspan(block * length, length));
  series.resize(blocks);
}

std::optional<int> identifyNoiseAt(Statistic statistic, std::span<const double> phase, int factor,
                                   StridedSeries atFactor) {
  if (factor < 1 || !hasConfidenceInterval(statistic)) return std::nullopt;
  const bool onBlockMeans = identifiesOnBlockMeans(statistic);
  const StridedSeries points = onBlockMeans ? StridedSeries(phase, factor) : atFactor;
  constexpr auto kLeast = static_cast<std::int64_t>(kLeastPointsForAutocorrelation);
  if (points.size() < kLeast) return byB1RatioOf(points);
  const int differenceLimit = mostDifferences(statistic);
  const std::optional<int> alpha = byLag1Autocorrelation(points, differenceLimit);
  // The modified deviations average white phase noise away faster than flicker phase noise, so
  // where the phase noises lead, the type they see is read from the block means. The frequency
  // noises are read from the points themselves: block means smooth the frequency, and the lag-1
  // autocorrelation would take flicker frequency for random walk.
  if (onBlockMeans && alpha && *alpha >= 1 && atFactor.size() >= kLeast) {
    return byLag1Autocorrelation(atFactor, differenceLimit);
  }
  return alpha;
}

std::optional<int> identifyNoise(Statistic statistic, std::span<const double> phase, int factor) {
  if (factor < 1) return std::nullopt;
  if (!identifiesOnBlockMeans(statistic))
    return identifyNoiseAt(statistic, phase, factor, StridedSeries(phase, factor));
  const std::vector<double> means = blockMeans(phase, factor);
  return identifyNoiseAt(statistic, phase, factor, StridedSeries(means));
}

}  // namespace tessarin::stability
