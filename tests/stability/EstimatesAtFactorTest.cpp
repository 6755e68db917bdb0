#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <vector>

#include "stability/EstimatesAtFactor.h"
#include "stability/TextbookStatistics.h"

namespace tessarin::stability {
namespace {

// Summed together a stretch at a time, or in one pass over the shared differences, each statistic
// must come out as estimate() makes it alone, to the last bit; the series are longer than a
// stretch, and not a whole number of them, down to three times the factor and one term. TTOTDEV
// takes MTOTDEV's sums there.
TEST(EstimatesAtFactor, AreEachStatisticsEstimateAlone) {
  const std::vector<Statistic> statistics = {
      Statistic::Adev,    Statistic::StandardAdev, Statistic::Oadev,   Statistic::Mdev,
      Statistic::Tdev,    Statistic::Hdev,         Statistic::Ohdev,   Statistic::Totdev,
      Statistic::Mtie,    Statistic::TieRms,       Statistic::Mtotdev, Statistic::Htotdev,
      Statistic::Ttotdev, Statistic::Theo1};
  const struct {
    int points;
    double gapShare;
    int factor;
  } cases[] = {{20011, 0, 1},     {20011, 0.01, 3},    {30000, 0.001, 1000}, {30000, 0, 9999},
               {30000, 0, 10000}, {3003, 0.002, 1000}, {20011, 0.0002, 64},  {500, 0, 0}};
  for (const auto& c : cases) {
    const std::vector<double> phase = noisyPhase(c.points, 1e-7, c.gapShare, 51);
    const std::vector<Estimate> together = estimatesAtFactor(statistics, phase, 2, c.factor);
    ASSERT_EQ(together.size(), statistics.size());
    for (std::size_t k = 0; k < statistics.size(); ++k) {
      const Estimate alone = estimate(statistics[k], phase, 2, c.factor);
      EXPECT_EQ(together[k].terms, alone.terms) << nameOf(statistics[k]) << " m " << c.factor;
      EXPECT_TRUE(together[k].value == alone.value ||
                  (std::isnan(together[k].value) && std::isnan(alone.value)))
          << nameOf(statistics[k]) << " m " << c.factor;
    }
  }
}

}  // namespace
}  // namespace tessarin::stability
