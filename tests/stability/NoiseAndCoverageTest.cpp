#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <vector>

#include "model/PowerLawNoise.h"
#include "stability/Confidence.h"

// Noise of known power law from the simulator's generator, over many seeds.

namespace tessarin::stability {
namespace {

using sim::NoiseType;

std::vector<double> noise(NoiseType type, int count, std::uint64_t seed) {
  sim::PowerLawNoise generator({{type, 1e-11}}, 1.0, seed);
  std::vector<double> x(static_cast<std::size_t>(count));
  for (double& value : x) value = generator.next();
  return x;
}

// Shares measured over 30 seeds of 4096 points are all at least 0.72 above the bounds given here.
// Flicker phase is found less often at long factors (a short record of flicker looks white) and
// flicker frequency is taken for random walk in up to half the trials beyond m = 1, so their rows
// stay at short factors. At m = 256 only 16 points remain and the B1 ratio decides; it reads
// both phase noises as white phase.
TEST(NoiseIdentification, FindsEachPowerLawInMostTrials) {
  const struct {
    NoiseType type;
    Statistic statistic;
    int factor;
    int alpha;
    bool withGaps;
  } cases[] = {
      {NoiseType::WhitePhase, Statistic::Oadev, 16, 2, false},
      {NoiseType::WhitePhase, Statistic::Mdev, 64, 2, true},
      {NoiseType::WhitePhase, Statistic::Adev, 256, 2, false},
      {NoiseType::FlickerPhase, Statistic::Oadev, 1, 1, true},
      {NoiseType::FlickerPhase, Statistic::Mdev, 4, 1, false},
      {NoiseType::FlickerPhase, Statistic::Oadev, 256, 2, false},
      {NoiseType::WhiteFrequency, Statistic::Oadev, 16, 0, true},
      {NoiseType::WhiteFrequency, Statistic::Mdev, 64, 0, false},
      {NoiseType::WhiteFrequency, Statistic::Totdev, 256, 0, false},
      {NoiseType::FlickerFrequency, Statistic::Oadev, 1, -1, false},
      {NoiseType::FlickerFrequency, Statistic::Ohdev, 1, -1, true},
      {NoiseType::RandomWalkFrequency, Statistic::Oadev, 64, -2, true},
      {NoiseType::RandomWalkFrequency, Statistic::Mdev, 16, -2, false},
      {NoiseType::RandomWalkFrequency, Statistic::Hdev, 256, -2, false},
  };
  constexpr int kTrials = 30;
  for (const auto& c : cases) {
    int found = 0;
    for (int seed = 0; seed < kTrials; ++seed) {
      std::vector<double> x = noise(c.type, 4096, static_cast<std::uint64_t>(100 + seed));
      // Every 97th point lost: the points and differences that touch one are left out.
      if (c.withGaps)
        for (std::size_t i = 50; i < x.size(); i += 97) x[i] = std::nan("");
      if (identifyNoise(c.statistic, x, c.factor) == c.alpha) ++found;
    }
    EXPECT_GE(found, kTrials * 7 / 10) << nameOf(c.statistic) << " m " << c.factor << " alpha "
                                       << c.alpha << (c.withGaps ? " with gaps" : "");
  }
}

TEST(NoiseIdentification, SaysNothingWhereTooFewPointsRemain) {
  const std::vector<double> x = noise(NoiseType::WhiteFrequency, 100, 1);
  EXPECT_EQ(identifyNoise(Statistic::Oadev, x, 40), std::nullopt);
  EXPECT_EQ(identifyNoise(Statistic::Mtie, x, 1), std::nullopt);
}

// The interval at a factor should hold the true deviation in about the stated share of trials.
// The truth is the rms of the estimates over all trials (the square root of the mean variance,
// which the estimator has no bias in). Pooled over the five noises and factors 1, 4 and 16.
// Measured with these seeds: 0.65 to 0.69 for 68.3 %, 0.93 to 0.95 for 95 %.
TEST(Analysis, IntervalsHoldTheTrueDeviationInAboutTheStatedShareOfTrials) {
  constexpr int kTrials = 200;
  constexpr int kFactors[] = {1, 4, 16};
  const NoiseType types[] = {NoiseType::WhitePhase, NoiseType::FlickerPhase,
                             NoiseType::WhiteFrequency, NoiseType::FlickerFrequency,
                             NoiseType::RandomWalkFrequency};
  std::vector<std::vector<double>> series[std::size(types)];
  for (std::size_t t = 0; t < std::size(types); ++t)
    for (int seed = 0; seed < kTrials; ++seed)
      series[t].push_back(noise(types[t], 1024, static_cast<std::uint64_t>(5000 + seed)));

  const struct {
    double confidence;
    double least;
    double most;
  } shares[] = {{0.683, 0.60, 0.76}, {0.95, 0.90, 0.98}};
  for (const Statistic statistic : {Statistic::Adev, Statistic::Oadev, Statistic::Mdev,
                                    Statistic::Hdev, Statistic::Ohdev, Statistic::Totdev}) {
    for (const auto& share : shares) {
      int inside = 0;
      int trials = 0;
      for (const auto& trialsOfOneNoise : series) {
        std::vector<std::vector<AnalysisRow>> rows;
        for (const auto& x : trialsOfOneNoise)
          rows.push_back(analyse(statistic, x, 1.0, kFactors, share.confidence));
        for (std::size_t k = 0; k < std::size(kFactors); ++k) {
          double meanVariance = 0;
          for (const auto& row : rows) meanVariance += std::pow(row[k].estimate.value, 2) / kTrials;
          const double truth = std::sqrt(meanVariance);
          for (const auto& row : rows) {
            inside += row[k].interval.low <= truth && truth <= row[k].interval.high;
            ++trials;
          }
        }
      }
      const double measured = static_cast<double>(inside) / trials;
      EXPECT_GE(measured, share.least) << nameOf(statistic) << " at " << share.confidence;
      EXPECT_LE(measured, share.most) << nameOf(statistic) << " at " << share.confidence;
    }
  }
}

}  // namespace
}  // namespace tessarin::stability
