#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "app/watch/ReducedSeries.h"

namespace tessarin::app::watch {
namespace {

TEST(ReducedSeriesTest, ShortRunsAreKeptWholeIncludingAReplacedLastPoint) {
  ReducedSeries series;
  EXPECT_TRUE(series.points(2000).empty());
  for (int n = 1; n <= 5; ++n) series.append(n, n * 10.0);
  series.replaceLast(-1);
  const std::vector<ReducedSeries::Point> expected = {{1, 10}, {2, 20}, {3, 30}, {4, 40}, {5, -1}};
  EXPECT_EQ(series.points(2000), expected);
  series.clear();
  series.append(7, 1);
  EXPECT_EQ(series.points(2000), (std::vector<ReducedSeries::Point>{{7, 1}}));
}

// Whatever the run's length and however few points are asked for, the answer stays within the
// count, in the order of the samples, made of the run's own points, and shows its extremes.
TEST(ReducedSeriesTest, ALongRunIsReducedToItsBucketsLowestAndHighestPoints) {
  std::mt19937 random(7);
  std::normal_distribution<double> noise;
  for (const int length : {3000, 8193, 100000, 1000000}) {
    std::vector<double> values;
    for (int n = 1; n <= length; ++n) values.push_back(n % 1000 ? noise(random) : 50.0 + n);
    values[std::size_t(length / 3)] = -1e3;
    ReducedSeries series;
    for (int n = 1; n <= length; ++n) {
      // Every thousandth sample replaces one left behind by a jump, the highest yet.
      series.append(n, n % 1000 ? values[std::size_t(n - 1)] : 0.0);
      if (n % 1000 == 0) series.replaceLast(values[std::size_t(n - 1)]);
    }
    for (const int wanted : {2, 3, 2000, 16384}) {
      const std::vector<ReducedSeries::Point> points = series.points(wanted);
      ASSERT_LE(int(points.size()), wanted) << length;
      EXPECT_TRUE(std::is_sorted(points.begin(), points.end())) << length;
      for (const auto& [x, y] : points) ASSERT_EQ(y, values[std::size_t(x) - 1]) << length;
      const auto [low, high] = std::minmax_element(values.begin(), values.end());
      EXPECT_TRUE(std::count(points.begin(), points.end(),
                             ReducedSeries::Point(double(low - values.begin() + 1), *low)))
          << length << " keeps its lowest point at " << wanted;
      EXPECT_TRUE(std::count(points.begin(), points.end(),
                             ReducedSeries::Point(double(high - values.begin() + 1), *high)))
          << length << " keeps its highest point at " << wanted;
    }
    EXPECT_GE(int(series.points(16384).size()), std::min(length, 8192)) << length;
  }
}

}  // namespace
}  // namespace tessarin::app::watch
