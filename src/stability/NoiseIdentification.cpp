#include "stability/NoiseIdentification.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <type_traits>
#include <utility>
#include <vector>

#include "stability/Confidence.h"

namespace tessarin::stability {

namespace {

// Below about ten frequency values the B1 ratio scatters over all the noise types.
constexpr std::size_t kLeastFrequenciesForB1 = 10;

// The most times any statistic's noise reading differences the series (mostDifferences()).
constexpr int kMostDifferences = 3;

// Sums over a million points added one value after another are chains of a million additions,
// each waiting for the last. Each sample adds instead to the next of four running sums in turn
// (the first few, which complete only the lower levels, to the first): four chains the processor
// works on at once. The totals are as exact, and the same for a series read in place as for a
// copy of it.
constexpr int kLanes = 4;
using LaneSums = std::array<double, kLanes>;

double totalOf(const LaneSums& lanes) {
  static_assert(kLanes == 4);
  return (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
}

template <int N>
using Index = std::integral_constant<int, N>;

// f(Index<0>{}), ..., f(Index<N - 1>{}) in turn, so that every index is known as the loop is built
// and the sums it names stay in registers.
template <int N, class F>
void forEachIndex(F&& f) {
  [&]<int... K>(std::integer_sequence<int, K...>) { (f(Index<K>{}), ...); }
  (std::make_integer_sequence<int, N>{});
}

// Hands use(lane, k, value) the levels 0 .. Top of differences a sample completes: level k + 1 is
// level k of this sample minus level k of the one before, kept in last[k].
template <int Top, int Lane, std::size_t Kept, class Use>
void completeLevels(std::array<double, Kept>& last, double value, Use& use) {
  forEachIndex<Top>([&](auto k) {
    use(Index<Lane>{}, k, value);
    const double previous = last[k];
    last[k] = value;
    value -= previous;
  });
  use(Index<Lane>{}, Index<Top>{}, value);
  if constexpr (Top < static_cast<int>(Kept)) last[Top] = value;
}

// The values of z differenced k = 0 .. D times, each level in order, formed as they pass: the
// same subtractions a copy of the series differenced k times over would be made of, and so the
// same values to the last bit.
template <int D, class Use>
void forEachLevel(StridedSeries z, Use use) {
  std::array<double, D> last{};
  const std::int64_t size = z.size();
  // Sample i < D completes levels 0 .. i only.
  forEachIndex<D>([&](auto i) {
    if (i < size) completeLevels<decltype(i)::value, 0>(last, z[i], use);
  });
  for (std::int64_t i = D; i < size; i += kLanes) {
    forEachIndex<kLanes>([&](auto lane) {
      if (i + lane < size) completeLevels<D, decltype(lane)::value>(last, z[i + lane], use);
    });
  }
}

// What one pass over the series finds: at level Level of differences the sums of r1 about that
// level's mean, and at the level above the sum and count of the values present, from which the
// next pass takes its mean.
struct PassSums {
  double products = 0;
  double squares = 0;
  double sumAbove = 0;
  std::int64_t presentAbove = 0;
};

// The pass for level Level (-1 for the sum of the series alone). Where the series may have gaps,
// a gap adds nothing and is not counted; its deviation is taken as zero, so that it adds nothing
// to the squares, nor to the products of the pairs it is part of. A series without gaps is
// summed with no test at every value, to the same bits.
template <int Level, bool MayHaveGaps>
PassSums passAt(StridedSeries z, double mean) {
  LaneSums products{};
  LaneSums squares{};
  LaneSums above{};
  std::int64_t presentAbove = 0;
  double earlier = 0;
  forEachLevel<Level + 1>(z, [&](auto lane, auto k, double value) {
    const bool isPresent = !MayHaveGaps || !std::isnan(value);
    if constexpr (decltype(k)::value == Level) {
      const double deviation = isPresent ? value - mean : 0.0;
      squares[lane] += deviation * deviation;
      products[lane] += earlier * deviation;
      earlier = deviation;
    }
    if constexpr (decltype(k)::value == Level + 1) {
      above[lane] += isPresent ? value : 0.0;
      if constexpr (MayHaveGaps) presentAbove += isPresent ? 1 : 0;
    }
  });
  // Without gaps every value of the level above is present: all but its first Level + 1.
  if constexpr (!MayHaveGaps) presentAbove = std::max<std::int64_t>(0, z.size() - (Level + 1));
  return {totalOf(products), totalOf(squares), totalOf(above), presentAbove};
}

template <bool MayHaveGaps>
PassSums passAt(int level, StridedSeries z, double mean) {
  switch (level) {
    case 0:
      return passAt<0, MayHaveGaps>(z, mean);
    case 1:
      return passAt<1, MayHaveGaps>(z, mean);
    case 2:
      return passAt<2, MayHaveGaps>(z, mean);
    default:
      return passAt<kMostDifferences, MayHaveGaps>(z, mean);
  }
}

// r1 = sum (z_i - mean)(z_i+1 - mean) / sum (z_i - mean)^2 over the points present of z
// differenced d times, for d = 0, 1, ... in turn, each pass also summing the next level for the
// mean the next one needs: no copy of the differenced series, and one pass a level. A gap, or a
// value beyond the range of double, makes the first sum other than finite, and the series is
// then summed with the tests.
class Lag1AfterDifferences {
 public:
  explicit Lag1AfterDifferences(StridedSeries z)
      : z_(z), next_(passAt<-1, false>(z, 0)), mayHaveGaps_(!std::isfinite(next_.sumAbove)) {
    if (mayHaveGaps_) next_ = passAt<-1, true>(z, 0);
  }

  std::optional<double> operator()(int d) {
    const std::int64_t present = next_.presentAbove;
    if (present < 2) return std::nullopt;
    const double mean = next_.sumAbove / static_cast<double>(present);
    next_ = mayHaveGaps_ ? passAt<true>(d, z_, mean) : passAt<false>(d, z_, mean);
    if (!(next_.squares > 0)) return std::nullopt;
    return next_.products / next_.squares;
  }

 private:
  StridedSeries z_;
  PassSums next_;
  bool mayHaveGaps_;
};

std::optional<int> byLag1Autocorrelation(StridedSeries series, int differenceLimit) {
  Lag1AfterDifferences lag1(series);
  return alphaByLag1Autocorrelation(std::ref(lag1), differenceLimit);
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
