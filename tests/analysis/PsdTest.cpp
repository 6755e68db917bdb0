#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "analysis/PsdAnalysis.h"
#include "model/PowerLawNoise.h"

namespace tessarin::analysis {
namespace {

using sim::NoiseType;
using std::numbers::pi;

// Welch's estimate as the textbook writes it, independent of the engine: each segment of L
// points starting every L - L/2, skipped when it holds a NaN, its least-squares line found by the
// normal equations in n, tapered, transformed by the plain sum, |X_k|^2 scaled by 2 tau0 / sum w^2
// and averaged.
std::vector<double> textbookWelch(const std::vector<double>& x, double tau0, int length,
                                  bool hann) {
  std::vector<double> w(static_cast<std::size_t>(length), 1.0);
  if (hann)
    for (int n = 0; n < length; ++n) w[n] = 0.5 - 0.5 * std::cos(2 * pi * n / length);
  double power = 0;
  for (double v : w) power += v * v;
  std::vector<double> sum(static_cast<std::size_t>((length - 1) / 2), 0.0);
  int kept = 0;
  for (std::size_t start = 0; start + length <= x.size(); start += length - length / 2) {
    std::vector<double> s(x.begin() + start, x.begin() + start + length);
    bool gap = false;
    for (double v : s) gap |= std::isnan(v);
    if (gap) continue;
    ++kept;
    // In long double, about the mean: the phase sits far from zero.
    long double mean = 0;
    for (double v : s) mean += v;
    mean /= length;
    long double n0 = length, n1 = 0, n2 = 0, y0 = 0, y1 = 0;
    for (int n = 0; n < length; ++n) {
      const long double y = s[n] - mean;
      n1 += n;
      n2 += static_cast<long double>(n) * n;
      y0 += y;
      y1 += n * y;
    }
    const long double slope = (n0 * y1 - n1 * y0) / (n0 * n2 - n1 * n1);
    const long double intercept = mean + (y0 - slope * n1) / n0;
    for (int n = 0; n < length; ++n)
      s[n] = static_cast<double>((s[n] - intercept - slope * n) * w[n]);
    for (std::size_t k = 1; k <= sum.size(); ++k) {
      double re = 0, im = 0;
      for (int n = 0; n < length; ++n) {
        re += s[n] * std::cos(2 * pi * double(k) * n / length);
        im -= s[n] * std::sin(2 * pi * double(k) * n / length);
      }
      sum[k - 1] += re * re + im * im;
    }
  }
  for (double& v : sum) v *= 2 * tau0 / power / kept;
  return sum;
}

TEST(WelchSpectrum, EqualsTheTextbookSumSegmentBySegmentAndLeavesOutSegmentsWithAGap) {
  std::mt19937_64 random(5);
  std::normal_distribution<double> normal(0, 1e-9);
  std::vector<double> x(300);
  double walk = 3.0;  // far from zero, as a phase comparator's reading may be
  for (double& v : x) v = (walk += normal(random)) + normal(random);
  x[150] = NAN;  // in the segments that start at 96 and at 128 (L = 64)
  const struct {
    int length;
    bool hann;
    std::int64_t averages, leftOut;
  } cases[] = {{64, true, 6, 2}, {64, false, 6, 2}, {100, true, 3, 2}, {37, true, 12, 2}};
  for (const auto& t : cases) {
    const auto spectrum = welchSpectrum(
        x, 0.1, t.length, t.hann ? SpectralWindow::Hann : SpectralWindow::Rectangular);
    ASSERT_TRUE(spectrum) << t.length;
    const std::vector<double> expected = textbookWelch(x, 0.1, t.length, t.hann);
    EXPECT_EQ(spectrum.value().averages, t.averages) << t.length;
    EXPECT_EQ(spectrum.value().leftOut, t.leftOut) << t.length;
    ASSERT_EQ(spectrum.value().phaseDensity.size(), expected.size()) << t.length;
    for (std::size_t k = 0; k < expected.size(); ++k) {
      EXPECT_NEAR(spectrum.value().phaseDensity[k], expected[k], 1e-9 * expected[k])
          << t.length << " bin " << k + 1;
      EXPECT_DOUBLE_EQ(spectrum.value().frequencies[k], double(k + 1) / (t.length * 0.1));
    }
  }
  // Without a gap, Percival and Walden's 36 K^2 / (19 K - 1) for Hann at half overlap.
  const std::vector<double> whole(x.begin(), x.begin() + 150);
  const auto spectrum = welchSpectrum(whole, 0.1, 32, SpectralWindow::Hann);
  ASSERT_TRUE(spectrum);
  EXPECT_EQ(spectrum.value().averages, 8);
  EXPECT_NEAR(spectrum.value().binDegreesOfFreedom, 36.0 * 64 / (19 * 8 - 1), 1e-12);
}

TEST(WelchSpectrum, RefusesSeriesAndSegmentsItCannotUseWithOneLine) {
  const std::vector<double> x(100, 0.0);
  std::vector<double> gappy = x;
  for (std::size_t k = 10; k < gappy.size(); k += 16) gappy[k] = NAN;
  const struct {
    const std::vector<double>* series;
    int segment;
    const char* says;
  } cases[] = {
      {&x, 15, "too short (at least 16)"},
      {&x, 101, "longer than the series (100 phase points)"},
      {&x, 80, "shorter than two segments"},
      {&gappy, 32, "fewer than two segments of 32 points are free of gaps"},
  };
  for (const auto& t : cases) {
    const auto spectrum = welchSpectrum(*t.series, 1, t.segment, SpectralWindow::Hann);
    ASSERT_FALSE(spectrum) << t.segment;
    EXPECT_TRUE(spectrum.reason().contains(t.says)) << spectrum.reason().toStdString();
  }
  EXPECT_EQ(defaultSegment(1000000), 131072);  // 2^17: 14 averages; 2^18 would give 6
  EXPECT_EQ(defaultSegment(10), kLeastSegment);
  EXPECT_EQ(defaultSegment(10000000), 262144);
}

std::vector<double> simulated(std::vector<sim::NoiseLevel> levels, double tau0, int points,
                              std::uint64_t seed) {
  sim::PowerLawNoise noise(std::move(levels), tau0, seed);
  std::vector<double> x(static_cast<std::size_t>(points));
  for (double& v : x) v = noise.next();
  return x;
}

// The levels the simulator's Allan deviation L at 1 s stands for, by SP 1065's relations at
// tau = 1 s with f_h = 1 / (2 tau0).
double levelOf(NoiseType type, double allanAt1s, double tau0) {
  switch (type) {
    case NoiseType::WhitePhase:
      return allanAt1s * allanAt1s / allanVariancePerLevel(2, 1, tau0);
    case NoiseType::WhiteFrequency:
      return allanAt1s * allanAt1s / allanVariancePerLevel(0, 1, tau0);
    default:
      return allanAt1s * allanAt1s / allanVariancePerLevel(-2, 1, tau0);
  }
}

// 2^18 points at tau0 = 0.1 s, seeds fixed. Where the estimator is unbiased (from the eighth raw
// bin, below which the line removed from each segment and the taper's leakage bias the steep
// noises, to a tenth of the sample rate, above which the frequency noises fold back from beyond
// the Nyquist frequency), the bands of S_y lie within 6 % of h f^alpha in their mean and each band
// resting on 1000 degrees of freedom or more within 15 %; the fitted levels within the tolerances
// of the table, and the noises absent are not seen. Over three other sets of seeds the levels
// stayed within 2.2 % (spectrum) and 11 % (deviations), but random-walk FM in the mix, from the
// spectrum, within 25 %.
TEST(SpectrumAnalysis, GivesTheLevelsOfSimulatedPowerLawNoise) {
  constexpr double kTau0 = 0.1;
  const struct {
    std::vector<sim::NoiseLevel> levels;
    double fromSpectrum, fromDeviations;  // the tolerances of the levels
  } cases[] = {
      {{{NoiseType::WhitePhase, 1e-10}}, 0.05, 0.10},
      {{{NoiseType::WhiteFrequency, 1e-11}}, 0.05, 0.10},
      {{{NoiseType::RandomWalkFrequency, 1e-12}}, 0.05, 0.10},
      // Crossing at 0.28 Hz and tau = 100 s.
      {{{NoiseType::WhitePhase, 1e-11}, {NoiseType::WhiteFrequency, 1e-12}}, 0.05, 0.10},
      // Crossing at 0.008 Hz, half a decade above the eighth bin, and tau = 33 s: random-walk FM
      // rests on five bands of the spectrum.
      {{{NoiseType::WhiteFrequency, 1e-11}, {NoiseType::RandomWalkFrequency, 3e-13}}, 0.35, 0.20},
  };
  std::uint64_t seed = 21;
  for (const auto& t : cases) {
    const std::vector<double> x = simulated(t.levels, kTau0, 1 << 18, seed++);
    SpectrumRequest request;
    request.noiseFit = true;
    const auto analysis = analyseSpectrum(x, kTau0, request);
    ASSERT_TRUE(analysis) << analysis.reason().toStdString();
    const std::vector<NoiseLevel>& fitted = analysis.value().levels;
    ASSERT_EQ(fitted.size(), 10U);
    double truth[5] = {NAN, NAN, NAN, NAN, NAN};
    for (const sim::NoiseLevel& level : t.levels) {
      const int alpha = level.type == NoiseType::WhitePhase       ? 2
                        : level.type == NoiseType::WhiteFrequency ? 0
                                                                  : -2;
      truth[2 - alpha] = levelOf(level.type, level.allanDeviationAt1s, kTau0);
    }
    for (std::size_t k = 0; k < fitted.size(); ++k) {
      const double expected = truth[k % 5];
      const double tolerance = k < 5 ? t.fromSpectrum : t.fromDeviations;
      if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(fitted[k].h))
            << fitted[k].from << " alpha " << fitted[k].alpha << " seen at " << fitted[k].h;
      else
        EXPECT_NEAR(fitted[k].h / expected, 1, tolerance)
            << fitted[k].from << " alpha " << fitted[k].alpha;
    }
    if (t.levels.size() > 1) continue;
    // One noise alone: its bands of S_y against the level.
    double ratios = 0;
    int bands = 0;
    const double least = 8 / (analysis.value().welch.segment * kTau0);
    for (const SpectrumPoint& point : analysis.value().points) {
      if (point.frequency < least || point.frequency > 0.1 / kTau0) continue;
      double model = 0;
      for (std::size_t k = 0; k < 5; ++k)
        if (!std::isnan(truth[k])) model = truth[k] * std::pow(point.frequency, 2 - int(k));
      const double ratio = point.value / model;
      if (point.degreesOfFreedom >= 1000) {
        EXPECT_NEAR(ratio, 1, 0.15) << point.frequency;
      }
      ratios += ratio;
      ++bands;
    }
    ASSERT_GT(bands, 10);
    EXPECT_NEAR(ratios / bands, 1, 0.06);
  }
}

// White phase noise of 1 ps rms at tau0 = 1 s on a 10 MHz carrier: S_x = 2 sigma^2 tau0,
// S_phi = (2 pi nu0)^2 S_x, L(f) = 10 log10(S_phi / 2) = -110.04 dBc/Hz at every frequency.
TEST(SpectrumAnalysis, GivesThePhaseNoiseOfWhitePhaseNoiseWithinATenthOfADecibel) {
  std::mt19937_64 random(3);
  std::normal_distribution<double> normal(0, 1e-12);
  std::vector<double> x(1 << 16);
  for (double& v : x) v = normal(random);
  SpectrumRequest request;
  request.quantity = SpectralQuantity::PhaseNoise;
  request.nominalHz = 10e6;
  const auto analysis = analyseSpectrum(x, 1, request);
  ASSERT_TRUE(analysis);
  const double expected = 10 * std::log10(std::pow(2 * pi * 10e6 * 1e-12, 2));
  double sum = 0;
  for (const SpectrumPoint& point : analysis.value().points) {
    if (point.degreesOfFreedom >= 5000) {
      EXPECT_NEAR(point.value, expected, 0.3) << point.frequency;
    }
    EXPECT_LT(point.low, point.value);
    EXPECT_GT(point.high, point.value);
    sum += point.value * double(point.bins);
  }
  EXPECT_NEAR(sum / double(analysis.value().welch.frequencies.size()), expected, 0.1);
  request.nominalHz.reset();
  EXPECT_FALSE(analyseSpectrum(x, 1, request));
}

// The published relations of SP 1065 between sigma_y^2(tau) and h_alpha against the integral of
// S_y(f) = f^alpha through each variance's transfer function up to f_h = 1 / (2 tau0): the Allan
// variance's 2 sin^4(pi tau f) / (pi tau f)^2, the modified one's (sampled phase, tau = m tau0)
// 2 sin^6(pi tau f) / ((pi tau f)^2 m^2 sin^2(pi tau0 f)). tau0 = 1 s, m = 64; within 2 %, the
// relations being those of f_h tau >> 1.
TEST(NoiseLevels, FollowTheRelationsOfSp1065) {
  constexpr double kTau = 64;
  const auto integral = [](int alpha, bool modified) {
    constexpr int kSteps = 2000000;
    const double step = 0.5 / kSteps;
    double sum = 0;
    for (int i = 0; i < kSteps; ++i) {
      const double f = (i + 0.5) * step;
      const double s = std::sin(pi * kTau * f);
      const double x = pi * kTau * f;
      const double transfer =
          modified ? 2 * std::pow(s, 6) / (x * x * kTau * kTau * std::pow(std::sin(pi * f), 2))
                   : 2 * std::pow(s, 4) / (x * x);
      sum += std::pow(f, alpha) * transfer * step;
    }
    return sum;
  };
  const struct {
    int alpha;
    bool modified;
    double published;  // SP 1065's coefficient at tau = 64 s, tau0 = 1 s
  } table[] = {
      {2, false, 3 * 0.5 / (4 * pi * pi * kTau * kTau)},
      {1, false, (1.038 + 3 * std::log(pi * kTau)) / (4 * pi * pi * kTau * kTau)},
      {0, false, 1 / (2 * kTau)},
      {-1, false, 2 * std::log(2.0)},
      {-2, false, 2 * pi * pi * kTau / 3},
      {2, true, 3 / (8 * pi * pi * kTau * kTau * kTau)},
      {1, true, 3.37 / (4 * pi * pi * kTau * kTau)},
      {0, true, 1 / (4 * kTau)},
      {-1, true, 27 * std::log(2.0) / 20},
      {-2, true, 11 * pi * pi * kTau / 20},
  };
  for (const auto& t : table) {
    const double relation = t.modified ? modifiedVariancePerLevel(t.alpha, kTau, 1)
                                       : allanVariancePerLevel(t.alpha, kTau, 1);
    EXPECT_DOUBLE_EQ(relation, t.published) << t.alpha << (t.modified ? " mod" : "");
    EXPECT_NEAR(integral(t.alpha, t.modified) / relation, 1, 0.02)
        << t.alpha << (t.modified ? " mod" : "");
  }
  // Predicted deviations add the levels' variances; tdev is tau / sqrt(3) mdev.
  const std::vector<NoiseLevel> levels = {
      {2, "psd", 1e-20, NAN, NAN}, {0, "psd", 1e-22, NAN, NAN}, {-1, "psd", NAN, NAN, NAN}};
  const double mvar = 1e-20 * modifiedVariancePerLevel(2, 8, 1) + 1e-22 / 32;
  EXPECT_DOUBLE_EQ(*predictedDeviation(stability::Statistic::Tdev, 8, 1, levels),
                   std::sqrt(mvar) * 8 / std::sqrt(3.0));
  EXPECT_FALSE(predictedDeviation(stability::Statistic::Hdev, 8, 1, levels));
}

}  // namespace
}  // namespace tessarin::analysis
