#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "stability/Preprocessing.h"
#include "stability/Statistics.h"
#include "stability/TextbookStatistics.h"

namespace tessarin::stability {
namespace {

constexpr Statistic kAll[] = {Statistic::Adev,   Statistic::Oadev, Statistic::Mdev,
                              Statistic::Tdev,   Statistic::Hdev,  Statistic::Ohdev,
                              Statistic::Totdev, Statistic::Mtie,  Statistic::TieRms};
constexpr Statistic kLongTau[] = {Statistic::Mtotdev, Statistic::Ttotdev, Statistic::Htotdev,
                                  Statistic::Theo1,   Statistic::Theobr,  Statistic::Theoh};

TEST(Statistics, ReproduceTheNistSp1065NinePointValues) {
  const std::vector<double> frequency = {892, 809, 823, 798, 671, 644, 883, 903, 677};
  const std::vector<double> phase = phaseFromFrequency(frequency, 1);
  const struct {
    Statistic statistic;
    int m;
    double published;
  } cases[] = {
      {Statistic::Adev, 1, 91.22945},   {Statistic::Adev, 2, 115.8082},
      {Statistic::Oadev, 1, 91.22945},  {Statistic::Oadev, 2, 85.95287},
      {Statistic::Mdev, 1, 91.22945},   {Statistic::Mdev, 2, 74.78849},
      {Statistic::Tdev, 1, 52.67135},   {Statistic::Tdev, 2, 86.35831},
      {Statistic::Hdev, 1, 70.80607},   {Statistic::Hdev, 2, 116.7980},
      {Statistic::Ohdev, 1, 70.80607},  {Statistic::Ohdev, 2, 85.61487},
      {Statistic::Totdev, 1, 91.22945}, {Statistic::Totdev, 2, 93.90379},
  };
  for (const auto& c : cases) {
    const Estimate e = estimate(c.statistic, phase, 1, c.m);
    EXPECT_NEAR(e.value / c.published, 1, 1e-6) << nameOf(c.statistic) << " m = " << c.m;
    EXPECT_EQ(e.tau, c.m);
  }
}

// Against the plain definitions: clean series, series with gaps, and a frequency offset of 1e-6
// that carries the phase to 2e-3 s over noise of 1e-11 s. There the phase itself holds only
// ulp(2e-3 s) = 4e-19 s, 2e-8 of a second difference of the noise: the tolerance allows 1e-6.
TEST(Statistics, AgreeWithTheTextbookDefinitionsAtEveryFactorWithAndWithoutGaps) {
  const struct {
    const char* series;
    std::vector<double> phase;
    double tolerance;
  } cases[] = {
      {"noise", noisyPhase(1000, 0, 0, 1), 1e-12},
      {"noise with gaps", noisyPhase(1000, 0, 0.003, 2), 1e-12},
      {"large offset with gaps", noisyPhase(2048, 1e-6, 0.001, 3), 1e-6},
  };
  for (const auto& c : cases) {
    for (Statistic statistic : kAll)
      expectTextbookValuesAtOctavesAndDecades(statistic, c.phase, c.tolerance, c.series);
  }
}

TEST(Statistics, AGapLeavesOutExactlyTheTermsItTouches) {
  const struct {
    Statistic statistic;
    int m;
    int gapAt;
    std::int64_t terms;  // of 20 points; hand-counted
  } cases[] = {
      {Statistic::Adev, 1, 10, 15},   {Statistic::Adev, 2, 10, 5},    {Statistic::Adev, 3, 10, 4},
      {Statistic::Oadev, 1, 10, 15},  {Statistic::Oadev, 4, 10, 9},   {Statistic::Mdev, 2, 10, 9},
      {Statistic::Tdev, 2, 10, 9},    {Statistic::Hdev, 2, 10, 3},    {Statistic::Ohdev, 1, 10, 13},
      {Statistic::Totdev, 2, 10, 15}, {Statistic::Totdev, 2, 19, 16}, {Statistic::Totdev, 3, 0, 15},
      {Statistic::Mtie, 3, 10, 13},   {Statistic::TieRms, 5, 10, 13},
  };
  for (const auto& c : cases) {
    std::vector<double> phase = noisyPhase(20, 0, 0, 4);
    phase[static_cast<std::size_t>(c.gapAt)] = NAN;
    EXPECT_EQ(estimate(c.statistic, phase, 1, c.m).terms, c.terms)
        << nameOf(c.statistic) << " m = " << c.m << " gap at " << c.gapAt;
  }
}

TEST(Statistics, TimeIntervalErrorsOfAWorkedSeries) {
  std::vector<double> phase;
  for (double ns : {0, 1, 3, 2, 5, 4}) phase.push_back(ns * 1e-9);
  const struct {
    Statistic statistic;
    int m;
    double value;
    std::int64_t terms;
  } cases[] = {
      {Statistic::Mtie, 1, 3e-9, 5},
      {Statistic::Mtie, 2, 3e-9, 4},
      {Statistic::Mtie, 3, 4e-9, 3},
      {Statistic::Mtie, 5, 5e-9, 1},
      {Statistic::TieRms, 1, std::sqrt(16.0 / 5) * 1e-9, 5},
      {Statistic::TieRms, 2, std::sqrt(18.0 / 4) * 1e-9, 4},
  };
  for (const auto& c : cases) {
    const Estimate e = estimate(c.statistic, phase, 2, c.m);
    EXPECT_NEAR(e.value, c.value, 1e-22) << nameOf(c.statistic) << " m = " << c.m;
    EXPECT_EQ(e.terms, c.terms);
    EXPECT_EQ(e.tau, 2 * c.m);
  }
  EXPECT_TRUE(std::isnan(estimate(Statistic::Mtie, phase, 2, 6).value));
}

TEST(Statistics, FactorListsStopWhereTooFewTermsRemain) {
  const struct {
    Statistic statistic;
    std::int64_t samples;
    std::vector<int> octave;
    std::vector<int> decade;
  } cases[] = {
      {Statistic::Adev, 9, {1}, {1}},
      {Statistic::Adev, 10, {1, 2}, {1, 2}},
      {Statistic::Oadev, 9, {1, 2, 4}, {1, 2}},
      {Statistic::Oadev,
       1001,
       {1, 2, 4, 8, 16, 32, 64, 128, 256},
       {1, 2, 5, 10, 20, 50, 100, 200, 500}},
      {Statistic::Mdev, 10, {1, 2}, {1, 2}},
      {Statistic::Hdev, 10, {1, 2}, {1, 2}},
      {Statistic::Ohdev, 10, {1, 2}, {1, 2}},
      {Statistic::Totdev, 11, {1, 2, 4}, {1, 2, 5}},
      {Statistic::Mtie, 11, {1, 2, 4, 8}, {1, 2, 5, 10}},
      {Statistic::TieRms, 2, {1}, {1}},
      {Statistic::Mtie, 1, {}, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(octaveFactors(c.statistic, c.samples), c.octave)
        << nameOf(c.statistic) << " N = " << c.samples;
    EXPECT_EQ(decadeFactors(c.statistic, c.samples), c.decade)
        << nameOf(c.statistic) << " N = " << c.samples;
  }
  EXPECT_EQ(everyFactor(Statistic::Mdev, 10), (std::vector<int>{1, 2, 3}));
}

TEST(Statistics, AreFoundByTheirNames) {
  for (Statistic statistic : kAll) EXPECT_EQ(statisticNamed(nameOf(statistic)), statistic);
  for (Statistic statistic : kLongTau) EXPECT_EQ(statisticNamed(nameOf(statistic)), statistic);
  EXPECT_EQ(statisticNamed("allan"), std::nullopt);
}

}  // namespace
}  // namespace tessarin::stability
