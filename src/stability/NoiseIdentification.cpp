#include "stability/NoiseIdentification.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <limits>
#include <vector>

#include "stability/Confidence.h"

namespace tessarin::stability {

namespace {

// Below about ten frequency values the B1 ratio scatters over all the noise types.
constexpr std::size_t kLeastFrequenciesForB1 = 10;

std::vector<double> everyMthPoint(std::span<const double> phase, int factor) {
  std::vector<double> points;
  points.reserve(phase.size() / static_cast<std::size_t>(factor) + 1);
  for (std::size_t i = 0; i < phase.size(); i += static_cast<std::size_t>(factor)) {
    points.push_back(phase[i]);
  }
  return points;
}

// r1 = sum (z_i - mean)(z_i+1 - mean) / sum (z_i - mean)^2 over the points present.
std::optional<double> lag1Autocorrelation(std::span<const double> z) {
  double sum = 0;
  std::size_t present = 0;
  for (const double value : z) {
    if (!std::isnan(value)) {
      sum += value;
      ++present;
    }
  }
  if (present < 2) return std::nullopt;
  const double mean = sum / static_cast<double>(present);
  double products = 0;
  double squares = 0;
  for (std::size_t i = 0; i < z.size(); ++i) {
    if (std::isnan(z[i])) continue;
    const double deviation = z[i] - mean;
    squares += deviation * deviation;
    if (i + 1 < z.size() && !std::isnan(z[i + 1])) products += deviation * (z[i + 1] - mean);
  }
  if (squares <= 0) return std::nullopt;
  return products / squares;
}

std::optional<int> byLag1Autocorrelation(std::span<const double> series, int differenceLimit) {
  std::vector<double> differenced;
  return alphaByLag1Autocorrelation(
      [&](int d) {
        if (d == 0) return lag1Autocorrelation(series);
        if (d == 1) {
          differenced.resize(series.size() - 1);
          for (std::size_t i = 0; i + 1 < series.size(); ++i)
            differenced[i] = series[i + 1] - series[i];
        } else {
          for (std::size_t i = 0; i + 1 < differenced.size(); ++i)
            differenced[i] = differenced[i + 1] - differenced[i];
          differenced.pop_back();
        }
        return lag1Autocorrelation(differenced);
      },
      differenceLimit);
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
  for (std::size_t block = 0; block < means.size(); ++block) {
    double sum = 0;
    for (std::size_t i = block * length; i < (block + 1) * length; ++i) sum += series[i];
    // A gap anywhere in the block makes the sum NaN, and so the mean a gap.
    means[block] = sum / static_cast<double>(length);
  }
  return means;
}

std::optional<int> identifyNoiseAt(Statistic statistic, std::span<const double> phase, int factor,
                                   std::span<const double> atFactor) {
  if (factor < 1 || !hasConfidenceInterval(statistic)) return std::nullopt;
  const bool onBlockMeans = identifiesOnBlockMeans(statistic);
  std::vector<double> decimated;
  if (onBlockMeans) decimated = everyMthPoint(phase, factor);
  const std::span<const double> points = onBlockMeans ? decimated : atFactor;
  if (points.size() < kLeastPointsForAutocorrelation) return byB1Ratio(points);
  const int differenceLimit = mostDifferences(statistic);
  const std::optional<int> alpha = byLag1Autocorrelation(points, differenceLimit);
  // The modified deviations average white phase noise away faster than flicker phase noise, so
  // where the phase noises lead, the type they see is read from the block means. The frequency
  // noises are read from the points themselves: block means smooth the frequency, and the lag-1
  // autocorrelation would take flicker frequency for random walk.
  if (onBlockMeans && alpha && *alpha >= 1 && atFactor.size() >= kLeastPointsForAutocorrelation) {
    return byLag1Autocorrelation(atFactor, differenceLimit);
  }
  return alpha;
}

std::optional<int> identifyNoise(Statistic statistic, std::span<const double> phase, int factor) {
  if (factor < 1) return std::nullopt;
  const std::vector<double> atFactor =
      identifiesOnBlockMeans(statistic) ? blockMeans(phase, factor) : everyMthPoint(phase, factor);
  return identifyNoiseAt(statistic, phase, factor, atFactor);
}

}  // namespace tessarin::stability
