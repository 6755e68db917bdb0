#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "stability/Preprocessing.h"
#include "stability/Statistics.h"

namespace tessarin::stability {
namespace {

TEST(Preprocessing, AMissingFrequencyIsAGapAfterWhichThePhaseKeepsToItsTrend) {
  const std::vector<double> phase = phaseFromFrequency(std::vector<double>{1e-6, NAN, 3e-6}, 2);
  ASSERT_EQ(phase.size(), 4u);
  EXPECT_EQ(phase[0], 0);
  EXPECT_EQ(phase[1], 2e-6);
  EXPECT_TRUE(std::isnan(phase[2]));
  EXPECT_NEAR(phase[3], 2e-6 + 2 * 2e-6 + 2 * 3e-6, 1e-20);  // the gap stands at the mean, 2e-6
}

// x = offset t + drift t^2 / 2 + a little alternating noise, with gaps, tau0 = 10 s.
TEST(Preprocessing, DriftRemovalFindsTheDriftAndKeepsTheMeanFrequency) {
  const double drift = 3e-15;  // per second: 2.592e-10 per day
  std::vector<double> phase;
  for (int k = 0; k < 2000; ++k) {
    const double t = 10.0 * k;
    phase.push_back(k % 97 == 5 ? NAN : 4e-7 * t + drift * t * t / 2 + (k % 2 ? 1e-12 : -1e-12));
  }
  const double before = phase.back() - phase.front();
  const double withDrift = estimate(Statistic::Oadev, phase, 10, 64).value;

  const auto perDay = removeFrequencyDrift(phase, 10);
  ASSERT_TRUE(perDay);
  EXPECT_NEAR(*perDay / (drift * 86400), 1, 1e-6);
  EXPECT_NEAR(phase.back() - phase.front(), before, 1e-15);
  EXPECT_LT(estimate(Statistic::Oadev, phase, 10, 64).value, 1e-3 * withDrift);
  EXPECT_TRUE(std::isnan(phase[5]));
}

TEST(Preprocessing, MeanFrequencyRemovalLeavesTheEndPointsLevel) {
  std::vector<double> phase = {NAN, 1e-9, 4e-9, NAN, 6e-9, 9e-9, NAN};
  const auto removed = removeMeanFrequency(phase, 0.5);
  ASSERT_TRUE(removed);
  EXPECT_NEAR(*removed, 2e-9 / 0.5, 1e-24);
  EXPECT_NEAR(phase[5], phase[1], 1e-24);
  EXPECT_NEAR(phase[2], 4e-9 - 2e-9, 1e-24);
}

TEST(Preprocessing, TooFewValidPointsLeaveTheSeriesAsItWas) {
  std::vector<double> phase = {NAN, 1e-9, NAN, 2e-9};
  EXPECT_FALSE(removeFrequencyDrift(phase, 1));
  std::vector<double> single = {NAN, 1e-9, NAN};
  EXPECT_FALSE(removeMeanFrequency(single, 1));
  EXPECT_EQ(phase[1], 1e-9);
  EXPECT_EQ(phase[3], 2e-9);
  EXPECT_EQ(single[1], 1e-9);
}

}  // namespace
}  // namespace tessarin::stability
