#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <vector>

#include "stability/Confidence.h"
#include "stability/NoiseReadings.h"
#include "stability/TextbookStatistics.h"

namespace tessarin::stability {
namespace {

bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

// The readings one statistic keeps, or that were made ahead at every factor, must give every
// later one the rows it would find alone.
TEST(NoiseReadings, GiveEachStatisticTheRowsItFindsAlone) {
  const std::vector<double> phase = noisyPhase(3000, 1e-8, 0.01, 41);
  const AnalysisMethod methods[] = {{NoiseReading::OnePerTau, EdfMethod::Coverage},
                                    {NoiseReading::PerStatistic, EdfMethod::Coverage},
                                    {NoiseReading::OnePerTau, EdfMethod::Reference}};
  for (const AnalysisMethod method : methods) {
    NoiseReadings shared;
    if (method.edf == EdfMethod::Reference)
      for (const int factor : octaveFactors(Statistic::Totdev, std::ssize(phase)))
        readNoiseAhead(phase, factor, method, shared);
    for (const Statistic statistic : {Statistic::Oadev, Statistic::Mdev, Statistic::Tdev,
                                      Statistic::Ohdev, Statistic::Totdev, Statistic::Hdev}) {
      const std::vector<int> factors = octaveFactors(statistic, std::ssize(phase));
      const auto alone = analyse(statistic, phase, 1, factors, 0.683, method);
      const auto kept = analyse(statistic, phase, 1, factors, 0.683, method, &shared);
      ASSERT_EQ(kept.size(), alone.size());
      for (std::size_t k = 0; k < alone.size(); ++k) {
        EXPECT_EQ(kept[k].alpha, alone[k].alpha) << nameOf(statistic) << " m " << factors[k];
        EXPECT_TRUE(same(kept[k].edf, alone[k].edf) &&
                    same(kept[k].interval.low, alone[k].interval.low))
            << nameOf(statistic) << " m " << factors[k];
      }
    }
  }
}

}  // namespace
}  // namespace tessarin::stability
