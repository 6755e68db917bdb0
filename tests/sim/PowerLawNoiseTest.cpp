#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/PowerLawNoise.h"
#include "stability/AllanDeviation.h"

namespace tessarin::sim {
namespace {

std::vector<double> series(const std::vector<NoiseLevel>& levels, double tau0, int count,
                           std::uint64_t seed) {
  PowerLawNoise noise(levels, tau0, seed);
  std::vector<double> x(static_cast<std::size_t>(count));
  for (double& value : x) value = noise.next();
  return x;
}

// Tolerance of a non-overlapping Allan deviation from n decimated points: its relative standard
// deviation is 1 / sqrt(2 edf), and edf >= (n - 2) / 2.3 for every power-law noise (random-walk
// frequency is the lowest, Lesage and Audoin 1973). Four standard deviations.
double relativeTolerance(int points) { return 4.0 * std::sqrt(2.3 / (2.0 * (points - 2))); }

// Each noise alone, at several sample intervals: the deviation at 1 s (at tau0 when tau0 > 1 s,
// carried there by the noise's power law) and, at tau0 = 1 s, 16 s, where the law predicts
// `riseOver16` times the first value. Flicker phase rises 1.53 / 16, not 1 / 16: the logarithmic
// growth of flicker phase noise (the closed form of the generator's relaxation processes; an
// ideal flicker phase noise with a Nyquist-limited bandwidth gives 1.69 / 16).
TEST(PowerLawNoiseTest, EachNoiseHasItsAllanDeviationAtOneSecondAndItsSlope) {
  const struct {
    NoiseType type;
    double exponent;
    double riseOver16;
  } noises[] = {{NoiseType::WhitePhase, -1.0, 1.0 / 16},
                {NoiseType::FlickerPhase, -1.0, 1.53 / 16},
                {NoiseType::WhiteFrequency, -0.5, 1.0 / 4},
                {NoiseType::FlickerFrequency, 0.0, 1.0},
                {NoiseType::RandomWalkFrequency, 0.5, 4.0}};
  constexpr int kCount = 1 << 16;
  constexpr double kLevel = 3e-11;
  for (const auto& noise : noises) {
    for (const double tau0 : {1.0, 0.1, 10.0}) {
      const std::vector<double> x = series({{noise.type, kLevel}}, tau0, kCount, 5);
      const int factor = tau0 < 1.0 ? static_cast<int>(std::lround(1.0 / tau0)) : 1;
      const double expected = kLevel * std::pow(factor * tau0, noise.exponent);
      EXPECT_NEAR(stability::allanDeviation(x, factor, tau0) / expected, 1.0,
                  relativeTolerance(kCount / factor))
          << static_cast<int>(noise.type) << " tau0 " << tau0;
      if (tau0 != 1.0) continue;
      EXPECT_NEAR(stability::allanDeviation(x, 16, tau0) / (expected * noise.riseOver16), 1.0,
                  relativeTolerance(kCount / 16))
          << static_cast<int>(noise.type);
    }
  }
}

TEST(PowerLawNoiseTest, NoisesOfOneOscillatorAddInVariance) {
  constexpr int kCount = 1 << 16;
  const std::vector<double> x = series(
      {{NoiseType::WhiteFrequency, 3e-11}, {NoiseType::FlickerFrequency, 4e-11}}, 1.0, kCount, 9);
  EXPECT_NEAR(stability::allanDeviation(x, 1, 1.0) / 5e-11, 1.0, relativeTolerance(kCount));
}

TEST(PowerLawNoiseTest, TheSameSeedGivesTheSameSeriesAndAnotherSeedAnother) {
  const std::vector<NoiseLevel> levels{{NoiseType::WhitePhase, 1e-11},
                                       {NoiseType::FlickerPhase, 1e-11},
                                       {NoiseType::WhiteFrequency, 1e-11},
                                       {NoiseType::FlickerFrequency, 1e-11},
                                       {NoiseType::RandomWalkFrequency, 1e-11}};
  EXPECT_EQ(series(levels, 1.0, 100, 3), series(levels, 1.0, 100, 3));
  EXPECT_NE(series(levels, 1.0, 100, 3), series(levels, 1.0, 100, 4));
}

}  // namespace
}  // namespace tessarin::sim
