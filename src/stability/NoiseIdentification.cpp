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

// Hands use(k, value) the values of z differenced k = 0 .. D times, each level in order, formed
// as they pass from the last value of every level: level k + 1 at i is level k at i + 1 minus
// level k at i, the same subtractions a copy of the series differenced k times over would be made
// of, and so the same values to the last bit.
template <int D, class Use>
void forEachLevel(StridedSeries z, Use use) {
  std::array<double, D + 1> last{};
  const std::int64_t primed = std::min<std::int64_t>(D, z.size());
  // Sample i completes levels 0 .. i.
  for (std::int64_t i = 0; i < primed; ++i) {
    double value = z[i];
    for (std::int64_t k = 0;; ++k) {
      use(static_cast<int>(k), value);
      const double previous = last[static_cast<std::size_t>(k)];
      last[static_cast<std::size_t>(k)] = value;
      if (k == i) break;
      value -= previous;
    }
  }
  for (std::int64_t i = primed; i < z.size(); ++i) {
    double value = z[i];
    for (std::size_t k = 0; k < D; ++k) {
      use(static_cast<int>(k), value);
      const double previous = last[k];
      last[k] = value;
      value -= previous;
    }
    use(D, value);
  }
}

// The same for every D from 0 to kMostDifferences, chosen as the program runs.
template <class Use>
void forEachLevel(StridedSeries z, int d, Use use) {
  switch (d) {
    case 0:
      return forEachLevel<0>(z, use);
    case 1:
      return forEachLevel<1>(z, use);
    case 2:
      return forEachLevel<2>(z, use);
    default:
      return forEachLevel<kMostDifferences>(z, use);
  }
}

// The sums and counts of the values present at each level of differences, from one pass for
// them all: the first pass of every lag-1 autocorrelation the method asks for.
struct LevelSums {
  std::array<double, kMostDifferences + 1> sum{};
  std::array<std::int64_t, kMostDifferences + 1> present{};
};

LevelSums sumsOfLevels(StridedSeries z, int differenceLimit) {
  LevelSums sums;
  forEachLevel(z, differenceLimit, [&sums](int k, double value) {
    if (std::isnan(value)) return;
    sums.sum[static_cast<std::size_t>(k)] += value;
    ++sums.present[static_cast<std::size_t>(k)];
  });
  return sums;
}

// r1 = sum (z_i - mean)(z_i+1 - mean) / sum (z_i - mean)^2 over the points present of z
// differenced d times, the mean from `sums`: the sums are those of a copy of the differenced
// series, added in the same order, without the copy.
std::optional<double> lag1Autocorrelation(StridedSeries z, int d, const LevelSums& sums) {
  const std::int64_t present = sums.present[static_cast<std::size_t>(d)];
  if (present < 2) return std::nullopt;
  const double mean = sums.sum[static_cast<std::size_t>(d)] / static_cast<double>(present);
  double products = 0;
  double squares = 0;
  bool earlierPresent = false;
  double earlierDeviation = 0;
  forEachLevel(z, d, [&, d](int k, double value) {
    if (k != d) return;
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
  const LevelSums sums = sumsOfLevels(series, differenceLimit);
  return alphaByLag1Autocorrelation(
      [series, &sums](int d) { return lag1Autocorrelation(series, d, sums); }, differenceLimit);
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
  return statistic == Statistic::Hdev || statistic == Statistic::Ohdev ||
                 statistic == Statistic::Htotdev
             ? 3
             : 2;
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
  return statistic == Statistic::Mdev || statistic == Statistic::Tdev ||
         statistic == Statistic::Mtotdev || statistic == Statistic::Ttotdev;
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

const char* noiseName(int alpha) {
  switch (alpha) {
    case 2:
      return "white PM";
    case 1:
      return "flicker PM";
    case 0:
      return "white FM";
    case -1:
      return "flicker FM";
    case -2:
      return "random-walk FM";
    case -3:
      return "flicker-walk FM";
    case -4:
      return "random-run FM";
    default:
      return "?";
  }
}

}  // namespace tessarin::stability
