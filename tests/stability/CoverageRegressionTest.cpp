#include <gtest/gtest.h>

#include "CoverageTrials.h"

// A small, fast run of the coverage validation (tools/coverage, whose full table is in the
// README): 300 series of 1000 points of each noise. Pooled over a statistic's factors the shares
// are known to about 1 %, so their bounds are close; each factor alone, to about 3 %, so its
// bounds are loose but still catch degrees of freedom off by a factor of two.

namespace tessarin::coverage {
namespace {

using stability::Statistic;

TEST(Coverage, IntervalsHoldTheTruthAndNoiseTypesAreFoundAsTheFullRunMeasures) {
  const struct {
    sim::NoiseType noise;
    double leastFound;  // pooled share of factors whose noise type was the simulated one
  } noises[] = {{sim::NoiseType::WhitePhase, 0.95},
                {sim::NoiseType::FlickerPhase, 0.75},
                {sim::NoiseType::WhiteFrequency, 0.9},
                {sim::NoiseType::FlickerFrequency, 0.4},
                {sim::NoiseType::RandomWalkFrequency, 0.8}};
  const Statistic statistics[] = {Statistic::Oadev, Statistic::Mdev, Statistic::Hdev,
                                  Statistic::Totdev};
  CoverageSettings settings;
  settings.seriesCount = 300;
  settings.threads = 2;
  for (const auto& [noise, leastFound] : noises) {
    const CoverageRun run = measureCoverage(noise, 1000, statistics, settings);
    for (const Statistic statistic : statistics) {
      int trials = 0, oneSigma = 0, wide = 0, found = 0;
      for (const CoverageCell& cell : run.cells) {
        if (cell.statistic != statistic) continue;
        SCOPED_TRACE(::testing::Message() << stability::nameOf(statistic) << " noise "
                                          << static_cast<int>(noise) << " m " << cell.factor);
        EXPECT_NEAR(static_cast<double>(cell.insideOneSigma) / cell.trials, 0.70, 0.12);
        EXPECT_NEAR(static_cast<double>(cell.inside95) / cell.trials, 0.9475, 0.0475);
        trials += cell.trials;
        oneSigma += cell.insideOneSigma;
        wide += cell.inside95;
        found += cell.alphaFound;
      }
      SCOPED_TRACE(::testing::Message() << stability::nameOf(statistic) << " noise "
                                        << static_cast<int>(noise) << " pooled");
      EXPECT_NEAR(static_cast<double>(oneSigma) / trials, 0.695, 0.06);
      EXPECT_NEAR(static_cast<double>(wide) / trials, 0.955, 0.025);
      EXPECT_GE(static_cast<double>(found) / trials, leastFound);
    }
  }
}

}  // namespace
}  // namespace tessarin::coverage
