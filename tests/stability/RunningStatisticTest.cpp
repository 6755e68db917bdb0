#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <span>
#include <vector>

#include "stability/RunningStatistic.h"
#include "stability/TextbookStatistics.h"

namespace tessarin::stability {
namespace {

void expectCurveIsTheOfflineOne(const RunningStatistic& running, Statistic statistic,
                                std::span<const double> phase, double tau0) {
  const std::vector<int> factors = octaveFactors(statistic, std::ssize(phase));
  const std::vector<Estimate> curve = running.octaveCurve();
  ASSERT_EQ(curve.size(), factors.size()) << nameOf(statistic) << " N = " << phase.size();
  for (std::size_t k = 0; k < curve.size(); ++k) {
    const Estimate offline = estimate(statistic, phase, tau0, factors[k]);
    EXPECT_EQ(curve[k].factor, factors[k]);
    EXPECT_EQ(curve[k].tau, offline.tau);
    EXPECT_EQ(curve[k].terms, offline.terms);
    if (std::isnan(offline.value))
      EXPECT_TRUE(std::isnan(curve[k].value));
    else
      EXPECT_NEAR(curve[k].value / offline.value, 1, 1e-12)
          << nameOf(statistic) << " N = " << phase.size() << " m = " << factors[k];
  }
}

TEST(RunningStatistic, CurveEqualsTheOfflineEstimatesAsTheSeriesGrowsInUnevenChunks) {
  const std::vector<double> phase = noisyPhase(1500, 3e-7, 0.01, 5);
  for (Statistic statistic :
       {Statistic::Adev, Statistic::Oadev, Statistic::Mdev, Statistic::Tdev, Statistic::Hdev,
        Statistic::Ohdev, Statistic::Totdev, Statistic::Mtie, Statistic::TieRms}) {
    RunningStatistic running(statistic, 10);
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> chunk(1, 40);
    for (std::size_t n = 0; n < phase.size();) {
      n = std::min(phase.size(), n + chunk(random));
      running.extend(std::span(phase).first(n));
      expectCurveIsTheOfflineOne(running, statistic, std::span(phase).first(n), 10);
    }
  }
}

TEST(RunningStatistic, TakesAShorterSeriesAsANewOne) {
  const std::vector<double> first = noisyPhase(400, 0, 0, 8);
  const std::vector<double> second = noisyPhase(300, 0, 0, 9);
  RunningStatistic running(Statistic::Mdev, 1);
  running.extend(first);
  running.extend(second);
  expectCurveIsTheOfflineOne(running, Statistic::Mdev, second, 1);
}

}  // namespace
}  // namespace tessarin::stability
