#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "stability/Confidence.h"

namespace tessarin::stability {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The numbers of each line of a text file that is not a '#' comment.
std::vector<std::vector<double>> numberRows(const std::string& path) {
  std::ifstream in(path);
  EXPECT_TRUE(in) << path;
  std::vector<std::vector<double>> rows;
  for (std::string line; std::getline(in, line);) {
    if (line.find_first_not_of(" \t\r") == std::string::npos || line[0] == '#') continue;
    std::istringstream fields(line);
    std::vector<double> row;
    for (double value; fields >> value;) row.push_back(value);
    rows.push_back(row);
  }
  return rows;
}

// Stable32's octave table for PHASE.DAT (1001 points) lists, per factor, the noise type and the
// 68.3 % limits of the Allan deviation. Stable32 keeps the last point of an incomplete block, so
// the data get m - 1 gaps appended: ours then forms the same terms, and the gaps are never used.
TEST(Analysis, MatchesStable32sNoiseTypesAndConfidenceLimitsForPhaseDat) {
  std::vector<double> phase;
  for (const auto& row : numberRows(TESTDATA_DIR "/PHASE.DAT")) phase.push_back(row.at(0));
  ASSERT_EQ(phase.size(), 1001u);
  const auto table = numberRows(TESTDATA_DIR "/phase_dat_adev_octave.txt");
  ASSERT_EQ(table.size(), 8u);
  for (const auto& row : table) {
    const int m = static_cast<int>(row.at(0));
    std::vector<double> padded = phase;
    padded.resize(phase.size() + static_cast<std::size_t>(m) - 1, kNaN);
    // With only 8 points at m = 128 the noise type is the one found at m = 64, as Stable32 has it.
    std::vector<int> factors;
    for (const auto& earlier : table)
      if (earlier.at(0) <= m) factors.push_back(static_cast<int>(earlier.at(0)));
    const AnalysisRow result = analyse(Statistic::Adev, padded, 1.0, factors, 0.683).back();
    SCOPED_TRACE("m = " + std::to_string(m));
    EXPECT_EQ(result.estimate.terms, static_cast<std::int64_t>(row.at(2)));
    EXPECT_EQ(result.alpha, static_cast<int>(row.at(3)));
    EXPECT_NEAR(result.interval.low / row.at(4), 1.0, 5e-4);
    EXPECT_NEAR(result.interval.high / row.at(6), 1.0, 5e-4);
  }
}

// Independent figures: NIST SP 1065's approximate EDF formulas for the overlapping Allan
// deviation (within a few per cent of the exact method), and its total-deviation formula.
TEST(EquivalentDegreesOfFreedom, AgreesWithTheHandbooksFormulas) {
  const double n = 10000;
  const struct {
    Statistic statistic;
    int alpha;
    int m;
    double expected;
    double tolerance;
  } cases[] = {
      {Statistic::Oadev, 2, 16, (n + 1) * (n - 32) / (2 * (n - 16)), 0.04},
      {Statistic::Oadev, 0, 64, (3 * (n - 1) / 128 - 2 * (n - 2) / n) * 16384 / 16389, 0.02},
      {Statistic::Oadev, -1, 64, 5 * n * n / (256 * (n + 192)), 0.07},
      {Statistic::Oadev, -2, 64,
       (n - 2) / 64 * ((n - 1) * (n - 1) - 192 * (n - 1) + 16384) / ((n - 3) * (n - 3)), 0.08},
      {Statistic::Totdev, 0, 100, 1.50 * (n - 1) / 100, 1e-12},
      {Statistic::Totdev, -2, 100, 0.93 * (n - 1) / 100 - 0.36, 1e-12},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(equivalentDegreesOfFreedom(c.statistic, c.alpha, c.m, 10000) / c.expected, 1.0,
                c.tolerance)
        << nameOf(c.statistic) << " alpha " << c.alpha << " m " << c.m;
  }
}

TEST(EquivalentDegreesOfFreedom, IsNoneWhereNoIntervalApplies) {
  EXPECT_TRUE(std::isnan(equivalentDegreesOfFreedom(Statistic::Mtie, 0, 4, 1000)));
  EXPECT_TRUE(std::isnan(equivalentDegreesOfFreedom(Statistic::TieRms, 0, 4, 1000)));
  EXPECT_TRUE(std::isnan(equivalentDegreesOfFreedom(Statistic::Oadev, 0, 400, 700)));
  EXPECT_TRUE(std::isnan(equivalentDegreesOfFreedom(Statistic::Oadev, -3, 4, 1000)));
}

// With 2 degrees of freedom chi-squared has the closed-form quantile -2 ln(1 - p).
TEST(ConfidenceInterval, UsesTheChiSquaredQuantiles) {
  for (const double p : {0.683, 0.9, 0.95}) {
    const ConfidenceInterval interval = confidenceInterval(3.0, 2.0, p);
    EXPECT_NEAR(interval.low, 3.0 / std::sqrt(-std::log((1 - p) / 2)), 1e-9) << p;
    EXPECT_NEAR(interval.high, 3.0 / std::sqrt(-std::log((1 + p) / 2)), 1e-9) << p;
  }
  const ConfidenceInterval narrow = confidenceInterval(1.0, 1e6, 0.683);
  EXPECT_NEAR(narrow.low, 1 - 1 / std::sqrt(2e6), 1e-5);
  EXPECT_NEAR(narrow.high, 1 + 1 / std::sqrt(2e6), 1e-5);
}

TEST(ConfidenceInterval, HasNoBoundsWithoutDegreesOfFreedom) {
  for (const double edf : {0.0, -1.0, kNaN}) {
    const ConfidenceInterval interval = confidenceInterval(1.0, edf, 0.683);
    EXPECT_TRUE(std::isnan(interval.low) && std::isnan(interval.high)) << edf;
  }
}

}  // namespace
}  // namespace tessarin::stability
