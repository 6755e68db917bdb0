#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/SeriesAnalysis.h"

namespace tessarin::analysis {
namespace {

// A factor of --m is left out, with a warning, exactly where the statistic has too few terms.
TEST(ListedFactors, LeavesOutJustTheFactorsBeyondTheLongestTheStatisticAllows) {
  const struct {
    stability::Statistic statistic;
    std::int64_t points;
    int longest;
  } cases[] = {
      {stability::Statistic::Oadev, 10, 4},         {stability::Statistic::StandardAdev, 10, 4},
      {stability::Statistic::Adev, 10, 2},          {stability::Statistic::Mdev, 10, 3},
      {stability::Statistic::Hdev, 10, 3},          {stability::Statistic::Totdev, 10, 4},
      {stability::Statistic::Mtie, 10, 9},          {stability::Statistic::Mtie, 100000, 99999},
      {stability::Statistic::Oadev, 100001, 50000},
  };
  for (const auto& t : cases) {
    AnalysisRequest options;
    options.statistics = {t.statistic};
    options.factorSet = FactorSet::Listed;
    options.factors = {1, t.longest, t.longest + 1};
    std::vector<double> phase;
    for (std::int64_t k = 0; k < t.points; ++k) phase.push_back(1e-9 * static_cast<double>(k % 7));
    const auto analysis = analysePhase(phase, 1, options);
    const std::string name(stability::nameOf(t.statistic));
    ASSERT_TRUE(analysis) << name;
    const std::vector<std::string> left = {"m = " + std::to_string(t.longest + 1) +
                                           " is too long for " + name + " over " +
                                           std::to_string(t.points) + " phase points; left out"};
    EXPECT_EQ(analysis.value().warnings, left) << name;
    EXPECT_EQ(analysis.value().statistics.at(0).rows.size(), 2u) << name;
  }
}

}  // namespace
}  // namespace tessarin::analysis
