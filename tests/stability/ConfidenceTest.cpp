#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "stability/Confidence.h"
#include "stability/DegreesOfFreedom.h"

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
    const AnalysisRow result = analyse(Statistic::Adev, padded, 1.0, factors, 0.683,
                                       {NoiseReading::OnePerTau, EdfMethod::Reference})
                                   .back();
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
    EXPECT_NEAR(equivalentDegreesOfFreedom(c.statistic, c.alpha, c.m, 10000, EdfMethod::Reference) /
                    c.expected,
                1.0, c.tolerance)
        << nameOf(c.statistic) << " alpha " << c.alpha << " m " << c.m;
  }
}

// Greenhall and Riley sum over the correlated lags exactly while there are at most 100 of them,
// (d + 1) m for an overlapping estimator, and switch to their published asymptotes beyond: the
// EDF per term and factor must not jump where the method changes branch, for every filter and
// noise the tables cover, or a table entry or the flicker phase normalization b0 + b1 ln m is
// wrong. The frequency noises are taken as sampled (the published method also drops its phase
// filter at that point, a step of 3 % for white frequency noise); flicker phase as published, the
// tables' own filter. White phase through the unmodified variances has a closed form.
TEST(EquivalentDegreesOfFreedom, GreenhallRileyAsymptotesContinueTheExactSums) {
  constexpr std::int64_t kPoints = 10'000'000;
  for (const bool modified : {true, false}) {
    for (const int d : {2, 3}) {
      const int lastExact = 100 / (d + 1);
      for (int alpha = modified ? 2 : 1; alpha >= 2 - 2 * d; --alpha) {
        const auto perTerm = [&](int m) {
          const double terms = static_cast<double>(kPoints - (modified ? m : 1) - m * d) + 1;
          const EdfMethod method = alpha == 1 ? EdfMethod::Reference : EdfMethod::Coverage;
          return greenhallRileyEdf(alpha, d, m, kPoints, modified, true, method) / terms * m;
        };
        const double exact = perTerm(lastExact);
        const double asymptotic = perTerm(lastExact + 1);
        // Flicker phase keeps its slow ln m drift; the others settle within a per cent.
        const double tolerance = alpha == 1 && !modified ? 0.05 : 0.015;
        EXPECT_NEAR(asymptotic / exact, 1.0, tolerance)
            << (modified ? "modified" : "unmodified") << " d " << d << " alpha " << alpha;
      }
    }
  }
}

// The default EDF differs from the published method only through the unmodified variances: for
// the frequency noises at short factors, where it takes no phase filter, and for flicker phase,
// whose bandwidth it takes to the Nyquist frequency. At m = 1 it gives white frequency noise's
// exact EDF: M second differences of a random walk, neighbours correlated -1/2, so
// 1/EDF = (1.5 - 1/2M) / M.
TEST(EquivalentDegreesOfFreedom, CoverageDiffersOnlyWhereThePhaseFilterMatters) {
  const double terms = 998;
  const double exact = terms / (1 + 2 * (1 - 1 / terms) * 0.25);
  EXPECT_NEAR(equivalentDegreesOfFreedom(Statistic::Oadev, 0, 1, 1000, EdfMethod::Coverage), exact,
              1e-9 * exact);
  for (const auto& [statistic, alpha, m, differs] : {std::tuple{Statistic::Oadev, 0, 1, true},
                                                     {Statistic::Oadev, 1, 4, true},
                                                     {Statistic::Mdev, 0, 4, false},
                                                     {Statistic::Oadev, 2, 4, false},
                                                     {Statistic::Oadev, -1, 64, false}}) {
    const double reference =
        equivalentDegreesOfFreedom(statistic, alpha, m, 1000, EdfMethod::Reference);
    const double coverage =
        equivalentDegreesOfFreedom(statistic, alpha, m, 1000, EdfMethod::Coverage);
    // Where they differ, by more than a tenth.
    EXPECT_TRUE(differs ? std::abs(std::log(coverage / reference)) > 0.1 : coverage == reference)
        << nameOf(statistic) << " alpha " << alpha << " m " << m;
  }
}

TEST(EquivalentDegreesOfFreedom, IsNoneWhereNoIntervalApplies) {
  EXPECT_TRUE(
      std::isnan(equivalentDegreesOfFreedom(Statistic::Mtie, 0, 4, 1000, EdfMethod::Reference)));
  EXPECT_TRUE(
      std::isnan(equivalentDegreesOfFreedom(Statistic::TieRms, 0, 4, 1000, EdfMethod::Reference)));
  EXPECT_TRUE(
      std::isnan(equivalentDegreesOfFreedom(Statistic::Oadev, 0, 400, 700, EdfMethod::Reference)));
  EXPECT_TRUE(
      std::isnan(equivalentDegreesOfFreedom(Statistic::Oadev, -3, 4, 1000, EdfMethod::Reference)));
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
