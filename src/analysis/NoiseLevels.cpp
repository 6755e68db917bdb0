#include "analysis/NoiseLevels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "analysis/PsdBands.h"
#include "stability/Confidence.h"

namespace tessarin::analysis {

namespace {

using std::numbers::pi;
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
constexpr std::size_t kNoises = 5;
constexpr int kBandsPerDecade = 10;
// The weights follow the model fitted; they settle within a few rounds.
constexpr int kReweightings = 4;
// The first raw bin fitted: below it the line removed from each segment and the leakage of the
// taper bias the steep noises, and a few segments' slow wander dominates what is left.
constexpr std::size_t kFirstFittedBin = 8;
// The modified variance's relations are those of m >> 1: at m = 1 it is the Allan variance.
// From m = 8 on they hold within a few per cent.
constexpr int kLeastModifiedFactor = 8;
// The folded copies of a flicker FM spectrum summed one by one; the rest as an integral.
constexpr int kFolds = 16;

int alphaAt(std::size_t index) { return 2 - static_cast<int>(index); }

// One value that levels are fitted to: a band of S_y or a variance at one tau, what a unit level
// of each noise gives there, its degrees of freedom, and the statistic it is of.
struct LevelPoint {
  std::array<double, kNoises> perLevel{};
  double value = 0;
  double degreesOfFreedom = 0;
  int source = 0;
};

using Levels = std::array<double, kNoises>;
using Subset = unsigned;  // bit k: noise k is in the model

double modelAt(const LevelPoint& point, const Levels& h) {
  double model = 0;
  for (std::size_t noise = 0; noise < kNoises; ++noise) model += h[noise] * point.perLevel[noise];
  return model;
}

// The weighted least-squares levels of the noises in `subset` (the others 0): each point weighs
// its degrees of freedom over the square of `scale`, the value it is expected to have, as an
// estimate of a variance scatters by sqrt(2 / nu) of it. nullopt when one level comes out
// negative or the equations are singular.
std::optional<Levels> leastSquares(const std::vector<LevelPoint>& points,
                                   const std::vector<double>& scale, Subset subset) {
  std::vector<std::size_t> in;
  for (std::size_t noise = 0; noise < kNoises; ++noise)
    if (subset & (1U << noise)) in.push_back(noise);
  const std::size_t n = in.size();
  // Each column scaled to unit length, so that f^2 and f^-2 over decades stay comparable.
  std::vector<double> norm(n, 0.0);
  for (std::size_t p = 0; p < points.size(); ++p)
    for (std::size_t i = 0; i < n; ++i) {
      const double a = points[p].perLevel[in[i]] / scale[p];
      norm[i] += points[p].degreesOfFreedom * a * a;
    }
  for (double& value : norm) value = std::sqrt(value);
  std::vector<double> matrix(n * (n + 1), 0.0);  // the normal equations, right side last
  for (std::size_t p = 0; p < points.size(); ++p) {
    const double weight = points[p].degreesOfFreedom;
    for (std::size_t i = 0; i < n; ++i) {
      const double ai = points[p].perLevel[in[i]] / scale[p] / norm[i];
      for (std::size_t j = 0; j < n; ++j)
        matrix[i * (n + 1) + j] += weight * ai * points[p].perLevel[in[j]] / scale[p] / norm[j];
      matrix[i * (n + 1) + n] += weight * ai * points[p].value / scale[p];
    }
  }
  // Gaussian elimination with partial pivoting.
  for (std::size_t c = 0; c < n; ++c) {
    std::size_t pivot = c;
    for (std::size_t r = c + 1; r < n; ++r)
      if (std::abs(matrix[r * (n + 1) + c]) > std::abs(matrix[pivot * (n + 1) + c])) pivot = r;
    if (!(std::abs(matrix[pivot * (n + 1) + c]) > 1e-12)) return std::nullopt;
    for (std::size_t k = 0; k <= n; ++k)
      std::swap(matrix[c * (n + 1) + k], matrix[pivot * (n + 1) + k]);
    for (std::size_t r = 0; r < n; ++r) {
      if (r == c) continue;
      const double factor = matrix[r * (n + 1) + c] / matrix[c * (n + 1) + c];
      for (std::size_t k = c; k <= n; ++k)
        matrix[r * (n + 1) + k] -= factor * matrix[c * (n + 1) + k];
    }
  }
  Levels h{};
  for (std::size_t i = 0; i < n; ++i) {
    h[in[i]] = matrix[i * (n + 1) + n] / matrix[i * (n + 1) + i] / norm[i];
    if (!(h[in[i]] > 0)) return std::nullopt;
  }
  return h;
}

// The levels of the model, among the subsets of `allowed`, that fits best with every level
// positive.
Levels bestFit(const std::vector<LevelPoint>& points, Subset allowed) {
  std::vector<double> scale(points.size());
  for (std::size_t p = 0; p < points.size(); ++p) scale[p] = points[p].value;
  Levels best{};
  for (int round = 0; round < kReweightings; ++round) {
    double leastMisfit = std::numeric_limits<double>::infinity();
    for (Subset subset = 1; subset < (1U << kNoises); ++subset) {
      if ((subset & ~allowed) != 0) continue;
      const auto h = leastSquares(points, scale, subset);
      if (!h) continue;
      double misfit = 0;
      for (std::size_t p = 0; p < points.size(); ++p) {
        const double residual = (points[p].value - modelAt(points[p], *h)) / scale[p];
        misfit += points[p].degreesOfFreedom * residual * residual;
      }
      if (misfit < leastMisfit) {
        leastMisfit = misfit;
        best = *h;
      }
    }
    for (std::size_t p = 0; p < points.size(); ++p) {
      const double model = modelAt(points[p], best);
      if (model > 0) scale[p] = model;
    }
  }
  return best;
}

// The levels fitted, and for each noise the points where it outweighs all the others together;
// a noise that does so at fewer than `leastDominant` points is left out and the rest fitted
// again. The interval of each level rests on its dominant points' degrees of freedom: summed
// when the points are independent (`sumDegrees`), else the best one's alone.
std::vector<NoiseLevel> fitLevels(const std::vector<LevelPoint>& points, int leastDominant,
                                  bool sumDegrees, const std::vector<std::string>& sources,
                                  std::optional<double> confidence) {
  Subset allowed = (1U << kNoises) - 1;
  Levels h{};
  std::array<double, kNoises> degrees{};
  std::array<std::vector<int>, kNoises> dominantIn;
  while (allowed != 0 && !points.empty()) {
    h = bestFit(points, allowed);
    Subset dropped = 0;
    for (std::size_t noise = 0; noise < kNoises; ++noise) {
      dominantIn[noise].assign(sources.size(), 0);
      degrees[noise] = 0;
      if (!(h[noise] > 0)) continue;
      int dominant = 0;
      for (const LevelPoint& point : points) {
        const double own = h[noise] * point.perLevel[noise];
        if (own <= modelAt(point, h) - own) continue;
        ++dominant;
        ++dominantIn[noise][static_cast<std::size_t>(point.source)];
        degrees[noise] = sumDegrees ? degrees[noise] + point.degreesOfFreedom
                                    : std::max(degrees[noise], point.degreesOfFreedom);
      }
      if (dominant < leastDominant) dropped |= 1U << noise;
    }
    if (dropped == 0) break;
    allowed &= ~dropped;
    h = Levels{};
  }
  std::vector<NoiseLevel> levels;
  for (std::size_t noise = 0; noise < kNoises; ++noise) {
    // Named by the statistic whose points it dominates most; where none, the phase noises by the
    // first source, the frequency noises by the last.
    const auto most = std::max_element(dominantIn[noise].begin(), dominantIn[noise].end());
    const std::size_t source = *most > 0
                                   ? static_cast<std::size_t>(most - dominantIn[noise].begin())
                               : noise < 2 ? 0
                                           : sources.size() - 1;
    NoiseLevel level{alphaAt(noise), sources[source], kNone, kNone, kNone};
    if ((allowed & (1U << noise)) != 0 && h[noise] > 0) {
      level.h = h[noise];
      if (confidence) {
        const stability::ConfidenceInterval interval =
            stability::confidenceInterval(std::sqrt(level.h), degrees[noise], *confidence);
        level.low = interval.low * interval.low;
        level.high = interval.high * interval.high;
      }
    }
    levels.push_back(level);
  }
  return levels;
}

}  // namespace

double allanVariancePerLevel(int alpha, double tau, double tau0) {
  const double fh = 1 / (2 * tau0);
  switch (alpha) {
    case 2:
      return 3 * fh / (4 * pi * pi * tau * tau);
    case 1:
      return (1.038 + 3 * std::log(2 * pi * fh * tau)) / (4 * pi * pi * tau * tau);
    case 0:
      return 1 / (2 * tau);
    case -1:
      return 2 * std::numbers::ln2;
    case -2:
      return 2 * pi * pi * tau / 3;
    default:
      return kNone;
  }
}

double modifiedVariancePerLevel(int alpha, double tau, double /*tau0*/) {
  switch (alpha) {
    case 2:
      return 3 / (8 * pi * pi * tau * tau * tau);
    case 1:
      return 3.37 / (4 * pi * pi * tau * tau);
    case 0:
      return 1 / (4 * tau);
    case -1:
      return 27 * std::numbers::ln2 / 20;
    case -2:
      return 11 * pi * pi * tau / 20;
    default:
      return kNone;
  }
}

double sampledFrequencyDensityPerLevel(int alpha, double frequency, double tau0) {
  const double u = pi * frequency * tau0;  // pi f / f_s
  const double cosecant = 1 / std::sin(u);
  switch (alpha) {
    case 2:
    case 1:
      return std::pow(frequency, alpha);
    case 0:  // f^2 sum_n (f + n f_s)^-2 = (u / sin u)^2
      return u * u * cosecant * cosecant;
    case -2:  // f^2 sum_n (f + n f_s)^-4 = f^2 (pi / f_s)^4 (csc^4 u - 2/3 csc^2 u)
      return frequency * frequency * std::pow(pi * tau0, 4) *
             (std::pow(cosecant, 4) - 2.0 / 3 * cosecant * cosecant);
    case -1: {  // f^2 sum_n |f + n f_s|^-3, summed to kFolds and integrated beyond
      const double rate = 1 / tau0;
      double sum = std::pow(frequency, -3);
      for (int n = 1; n <= kFolds; ++n)
        sum += std::pow(n * rate - frequency, -3) + std::pow(n * rate + frequency, -3);
      sum += 1 / ((kFolds + 0.5) * (kFolds + 0.5) * rate * rate * rate);
      return frequency * frequency * sum;
    }
    default:
      return kNone;
  }
}

std::vector<NoiseLevel> levelsFromSpectrum(const WelchSpectrum& spectrum,
                                           std::optional<double> confidence) {
  // The bands of S_y, and what a unit level of each noise gives in each, averaged over its bins.
  std::vector<LevelPoint> bands;
  const std::vector<double>& f = spectrum.frequencies;
  for (std::size_t k = kFirstFittedBin - 1; k < f.size();) {
    const std::int64_t band = bandOf(f[k], kBandsPerDecade);
    LevelPoint point;
    std::int64_t bins = 0;
    for (; k < f.size() && bandOf(f[k], kBandsPerDecade) == band; ++k) {
      point.value += 4 * pi * pi * f[k] * f[k] * spectrum.phaseDensity[k];
      for (std::size_t noise = 0; noise < kNoises; ++noise)
        point.perLevel[noise] +=
            sampledFrequencyDensityPerLevel(alphaAt(static_cast<int>(noise)), f[k], spectrum.tau0);
      ++bins;
    }
    const auto b = static_cast<double>(bins);
    point.value /= b;
    for (double& perLevel : point.perLevel) perLevel /= b;
    point.degreesOfFreedom = bandDegreesOfFreedom(spectrum, bins);
    if (point.value > 0) bands.push_back(point);
  }
  return fitLevels(bands, 3, true, {"psd"}, confidence);
}

std::vector<NoiseLevel> levelsFromDeviations(const SeriesAnalysis& analysis,
                                             std::optional<double> confidence) {
  const StatisticRows* allan = nullptr;
  const StatisticRows* modified = nullptr;
  for (const StatisticRows& rows : analysis.statistics) {
    if (rows.statistic == stability::Statistic::Oadev) allan = &rows;
    if (rows.statistic == stability::Statistic::Mdev) modified = &rows;
  }
  std::vector<LevelPoint> points;
  const auto add = [&](const StatisticRows* rows, int source) {
    if (rows == nullptr) return;
    for (const stability::AnalysisRow& row : rows->rows) {
      const double value = row.estimate.value;
      if (!(value > 0) || !(row.edf > 0)) continue;
      if (source == 0 && row.estimate.factor < kLeastModifiedFactor) continue;
      LevelPoint point;
      for (std::size_t noise = 0; noise < kNoises; ++noise)
        point.perLevel[noise] =
            source == 0 ? modifiedVariancePerLevel(alphaAt(noise), row.estimate.tau, analysis.tau0)
                        : allanVariancePerLevel(alphaAt(noise), row.estimate.tau, analysis.tau0);
      point.value = value * value;
      point.degreesOfFreedom = row.edf;
      point.source = source;
      points.push_back(point);
    }
  };
  add(modified, 0);
  add(allan, 1);
  return fitLevels(points, 3, false, {"mdev", "oadev"}, confidence);
}

std::optional<double> predictedDeviation(stability::Statistic statistic, double tau, double tau0,
                                         std::span<const NoiseLevel> levels) {
  using stability::Statistic;
  const bool allan = statistic == Statistic::Adev || statistic == Statistic::StandardAdev ||
                     statistic == Statistic::Oadev;
  const bool modified = statistic == Statistic::Mdev || statistic == Statistic::Tdev;
  if (!allan && !modified) return std::nullopt;
  double variance = 0;
  bool any = false;
  for (const NoiseLevel& level : levels) {
    if (std::isnan(level.h)) continue;
    any = true;
    variance += level.h * (allan ? allanVariancePerLevel(level.alpha, tau, tau0)
                                 : modifiedVariancePerLevel(level.alpha, tau, tau0));
  }
  if (!any) return std::nullopt;
  const double deviation = std::sqrt(variance);
  return statistic == Statistic::Tdev ? deviation * tau / std::sqrt(3.0) : deviation;
}

}  // namespace tessarin::analysis
