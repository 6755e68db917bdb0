#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "records/SampleSeries.h"

namespace tessarin::records {
namespace {

// Grown far past its first block, by samples, gaps and whole runs, the series keeps every value in
// order; a copy stands on its own and a moved-from series is empty.
TEST(SampleSeries, KeepsEveryValueInOrderAsItGrowsAndCopiesStandAlone) {
  SampleSeries series;
  std::vector<double> expected;
  for (int k = 0; k < 300000; ++k) {
    series.push_back(0.5 * k);
    expected.push_back(0.5 * k);
  }
  series.append(3, -1);
  expected.insert(expected.end(), 3, -1);
  series.append(std::vector<double>{7, 8});
  expected.insert(expected.end(), {7, 8});
  series.append(std::vector<double>{});
  EXPECT_EQ(std::vector<double>(series.begin(), series.end()), expected);

  const SampleSeries copy = series;
  series.push_back(9);
  EXPECT_EQ(copy.size(), expected.size());
  EXPECT_EQ(series[series.size() - 1], 9);

  SampleSeries moved = std::move(series);
  EXPECT_TRUE(series.empty());
  EXPECT_EQ(moved.size(), expected.size() + 1);
  moved = copy;
  EXPECT_EQ(std::vector<double>(moved.begin(), moved.end()), expected);
}

}  // namespace
}  // namespace tessarin::records
