#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <vector>

#include "stability/Confidence.h"
#include "stability/NoiseIdentification.h"
#include "stability/TextbookStatistics.h"

// The noise is read from every m-th point and from block means without copies of the series; the
// readings must be those of the copies.

namespace tessarin::stability {
namespace {

std::vector<double> everyMth(const std::vector<double>& series, int m) {
  std::vector<double> points;
  for (std::size_t i = 0; i < series.size(); i += static_cast<std::size_t>(m))
    points.push_back(series[i]);
  return points;
}

TEST(NoiseIdentification, ReadsEveryMthPointAsACopyOfThemAtFactorOne) {
  const struct {
    Statistic statistic;
    double gapShare;
  } cases[] = {{Statistic::Oadev, 0},
               {Statistic::Oadev, 0.02},
               {Statistic::Ohdev, 0.01},
               {Statistic::Hdev, 0}};
  for (const auto& c : cases) {
    const std::vector<double> phase = noisyPhase(5000, 1e-8, c.gapShare, 31);
    for (const int m : {2, 3, 16, 200}) {
      EXPECT_EQ(identifyNoise(c.statistic, phase, m),
                identifyNoise(c.statistic, everyMth(phase, m), 1))
          << nameOf(c.statistic) << " m " << m << " gaps " << c.gapShare;
    }
  }
}

TEST(NoiseIdentification, BlockMeansInPlaceAreThoseOfACopy) {
  for (const int length : {1, 2, 3, 7}) {
    const std::vector<double> means = blockMeans(noisyPhase(1001, 1e-8, 0.01, 32), 2);
    std::vector<double> inPlace = means;
    toBlockMeans(inPlace, length);
    const std::vector<double> copied = blockMeans(means, length);
    ASSERT_EQ(inPlace.size(), copied.size()) << length;
    for (std::size_t i = 0; i < copied.size(); ++i)
      EXPECT_TRUE(inPlace[i] == copied[i] || (std::isnan(inPlace[i]) && std::isnan(copied[i])))
          << length << " at " << i;
  }
}

}  // namespace
}  // namespace tessarin::stability
