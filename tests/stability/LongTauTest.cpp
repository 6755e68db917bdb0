#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "model/PowerLawNoise.h"
#include "stability/Confidence.h"
#include "stability/LongTau.h"
#include "stability/Statistics.h"
#include "stability/TextbookStatistics.h"

namespace tessarin::stability {
namespace {

// PHASE.DAT: NIST SP 1065's 1000-point frequency test set as 1001 phase points.
std::vector<double> testSetPhase() {
  std::ifstream in(TESTDATA_DIR "/PHASE.DAT");
  std::vector<double> phase;
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '#' && line[0] != '\r') phase.push_back(std::stod(line));
  return phase;
}

// SP 1065 publishes the test set's MTOTDEV and TTOTDEV with their bias for white FM (0.73) taken
// out: the raw estimate is smaller by sqrt(0.73). Where the noise is identified as white FM (at
// m = 100 the 11 decimated points are too few to tell it), the analysis with the bias removed
// gives them.
TEST(LongTau, ReproduceTheNistSp1065ThousandPointValuesWithTheBiasRemoved) {
  const std::vector<double> phase = testSetPhase();
  ASSERT_EQ(phase.size(), 1001u);
  const struct {
    Statistic statistic;
    std::vector<double> published;  // at m = 1, 10, 100
  } cases[] = {
      {Statistic::Mtotdev, {2.418528e-01, 6.499161e-02, 2.287774e-02}},
      {Statistic::Ttotdev, {1.396338e-01, 3.752293e-01, 1.320847}},
  };
  const std::vector<int> factors = {1, 10, 100};
  for (const auto& c : cases) {
    std::vector<AnalysisRow> rows = analyse(c.statistic, phase, 1, factors, 0.683);
    for (std::size_t k = 0; k < factors.size(); ++k) {
      const double bias = noiseBias(c.statistic, 0, factors[k]);
      EXPECT_NEAR(rows[k].estimate.value / std::sqrt(bias) / c.published[k], 1, 1e-6)
          << nameOf(c.statistic) << " m = " << factors[k];
    }
    rows.pop_back();
    removeNoiseBias(c.statistic, rows);
    for (std::size_t k = 0; k < rows.size(); ++k) {
      EXPECT_EQ(rows[k].alpha, 0);
      EXPECT_NEAR(rows[k].estimate.value / c.published[k], 1, 1e-6)
          << nameOf(c.statistic) << " m = " << factors[k];
      EXPECT_LT(rows[k].interval.low, rows[k].estimate.value);
      EXPECT_GT(rows[k].interval.high, rows[k].estimate.value);
    }
  }
}

// Stable32's tables for PHASE.DAT (as kept with the allantools test data, five digits), which give
// the estimates without noise-bias correction: MTOTDEV, HTOTDEV and Theo1 for white FM.
TEST(LongTau, AgreeWithStable32OnTheTestSetWithoutBiasCorrection) {
  const std::vector<double> phase = testSetPhase();
  const struct {
    Statistic statistic;
    int m;
    double stable32;
  } cases[] = {
      {Statistic::Mtotdev, 1, 2.0664e-01},   {Statistic::Mtotdev, 8, 6.5721e-02},
      {Statistic::Mtotdev, 256, 5.9607e-03}, {Statistic::Htotdev, 2, 2.0247e-01},
      {Statistic::Htotdev, 16, 6.5102e-02},  {Statistic::Htotdev, 256, 1.4773e-02},
      {Statistic::Theo1, 10, 1.0757e-01},    {Statistic::Theo1, 202, 2.4120e-02},
      {Statistic::Theo1, 998, 5.0234e-03},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(estimate(c.statistic, phase, 1, c.m).value / c.stable32, 1, 5e-5)
        << nameOf(c.statistic) << " m = " << c.m;
}

// Each long-tau statistic against its plain definition on white and random-walk noise, with and
// without gaps, at the octave and decade factors of a 400-point series; a series of 120 points
// still has TheoBR's ratio from a single factor. A frequency offset of 1e-6 carries the phase to
// 4e-4 s over noise of 1e-11 s: there the samples themselves hold it to about 1e-8.
TEST(LongTau, AgreesWithTheTextbookDefinitionsWithAndWithoutGaps) {
  const Statistic longTau[] = {Statistic::Mtotdev, Statistic::Ttotdev, Statistic::Htotdev,
                               Statistic::Theo1,   Statistic::Theobr,  Statistic::Theoh};
  const struct {
    const char* series;
    std::vector<double> phase;
    double tolerance;
  } cases[] = {
      {"noise", noisyPhase(400, 0, 0, 5), 1e-12},
      {"noise with gaps", noisyPhase(400, 0, 0.01, 6), 1e-12},
      {"short", noisyPhase(120, 2e-9, 0, 7), 1e-12},
      {"large offset with gaps", noisyPhase(400, 1e-6, 0.005, 9), 1e-6},
  };
  for (const auto& c : cases) {
    for (Statistic statistic : longTau)
      expectTextbookValuesAtOctavesAndDecades(statistic, c.phase, c.tolerance, c.series);
  }
}

TEST(LongTau, TauTermsAndFactorLadders) {
  std::vector<double> phase = noisyPhase(40, 0, 0, 8);
  phase[20] = NAN;
  const struct {
    Statistic statistic;
    int m;
    double tau;          // tau0 = 2
    std::int64_t terms;  // of 40 points with a gap at 20; hand-counted
  } cases[] = {
      {Statistic::Mtotdev, 2, 4, 29},  // 35 subsequences of 6, 6 of them hold the gap
      {Statistic::Ttotdev, 2, 4, 29},  //
      {Statistic::Htotdev, 2, 4, 27},  // 34 of 39 frequencies, 7 hold one of the two gaps
      {Statistic::Theo1, 4, 6, 65},    // 2 offsets of 36 starts, 3 and 4 of them at the gap
      {Statistic::Theoh, 2, 4, 33},    // the Allan range: 36 second differences, 3 at the gap
  };
  for (const auto& c : cases) {
    const Estimate e = estimate(c.statistic, phase, 2, c.m);
    EXPECT_EQ(e.terms, c.terms) << nameOf(c.statistic);
    EXPECT_EQ(e.tau, c.tau) << nameOf(c.statistic);
  }
  EXPECT_TRUE(std::isnan(estimate(Statistic::Theo1, phase, 2, 3).value));

  const struct {
    Statistic statistic;
    std::int64_t samples;
    std::vector<int> octave;
    std::vector<int> decade;
  } ladders[] = {
      {Statistic::Mtotdev, 10, {1, 2}, {1, 2}},
      {Statistic::Htotdev, 10, {1, 2}, {1, 2}},
      {Statistic::Theo1, 10, {2, 4, 8}, {2}},
      {Statistic::Theobr, 89, {}, {}},
      {Statistic::Theobr, 100, {2, 4, 8, 16, 32, 64}, {2, 10, 20, 50}},
      {Statistic::Theoh, 100, {1, 2, 4, 8, 16, 32, 64}, {1, 2, 5, 20, 50}},
  };
  for (const auto& l : ladders) {
    EXPECT_EQ(octaveFactors(l.statistic, l.samples), l.octave) << nameOf(l.statistic);
    EXPECT_EQ(decadeFactors(l.statistic, l.samples), l.decade) << nameOf(l.statistic);
  }
}

// HTOTDEV's bias a (1 + a = E[HTOT^2] / E[HVAR]) as simulated: 150 series of 3000 points for each
// frequency noise, the mean squares at m = 32 against the overlapping Hadamard deviation's. The
// spread of the ratio there is about 1%.
TEST(LongTau, HtotBiasHoldsForSimulatedFrequencyNoise) {
  const struct {
    sim::NoiseType type;
    int alpha;
  } cases[] = {{sim::NoiseType::WhiteFrequency, 0},
               {sim::NoiseType::FlickerFrequency, -1},
               {sim::NoiseType::RandomWalkFrequency, -2}};
  for (const auto& c : cases) {
    double total = 0;
    double hadamard = 0;
    for (std::uint64_t seed = 0; seed < 150; ++seed) {
      sim::PowerLawNoise generator({{c.type, 1e-11}}, 1.0, 1000 + seed);
      std::vector<double> phase(3000);
      for (double& x : phase) x = generator.next();
      total += std::pow(estimate(Statistic::Htotdev, phase, 1, 32).value, 2);
      hadamard += std::pow(estimate(Statistic::Ohdev, phase, 1, 32).value, 2);
    }
    EXPECT_NEAR(total / hadamard, noiseBias(Statistic::Htotdev, c.alpha, 32), 0.02)
        << "alpha " << c.alpha;
  }
}

// TheoBR is Theo1 brought to the Allan variance at the same tau; on a record long enough that the
// ratio is taken on block means. Theo1 reads flicker FM low and white FM as the Allan variance
// does; TheoBR follows the Allan deviation in both (seeded records of 20000 points; the spread of
// one Allan deviation at tau = 600 there is about 7%).
TEST(LongTau, TheoBrFollowsTheAllanDeviationOnALongRecord) {
  const struct {
    sim::NoiseType type;
    double theo1Low;
    double theo1High;
  } cases[] = {{sim::NoiseType::WhiteFrequency, 0.9, 1.1},
               {sim::NoiseType::FlickerFrequency, 0.6, 0.85}};
  for (const auto& c : cases) {
    sim::PowerLawNoise generator({{c.type, 1e-11}}, 1.0, 11);
    std::vector<double> phase(20000);
    for (double& x : phase) x = generator.next();
    const double allan = estimate(Statistic::Oadev, phase, 1, 600).value;
    const double theo1 = estimate(Statistic::Theo1, phase, 1, 800).value / allan;
    const double theobr = estimate(Statistic::Theobr, phase, 1, 800).value / allan;
    EXPECT_GT(theo1, c.theo1Low);
    EXPECT_LT(theo1, c.theo1High);
    EXPECT_NEAR(theobr, 1, 0.1);
  }
}

// Which approximation each statistic takes: SP 1065's b T/tau - c for MTOTDEV and TTOTDEV and
// (T/tau) / (b0 + b1 tau/T) for HTOTDEV from m = 16 on, the overlapping Hadamard deviation's below;
// TheoBR has Theo1's, TheoH the overlapping Allan deviation's where it takes that.
TEST(LongTau, DegreesOfFreedomFollowThePublishedApproximations) {
  EXPECT_NEAR(equivalentDegreesOfFreedom(Statistic::Mtotdev, 0, 10, 1001, EdfMethod::Reference),
              108.8, 1e-9);
  EXPECT_NEAR(equivalentDegreesOfFreedom(Statistic::Ttotdev, 2, 100, 1001, EdfMethod::Reference),
              16.9, 1e-9);
  EXPECT_NEAR(equivalentDegreesOfFreedom(Statistic::Htotdev, -1, 40, 1001, EdfMethod::Reference),
              25 / (0.868 + 1.140 / 25), 1e-9);
  const struct {
    Statistic statistic;
    Statistic as;
    int alpha;
    int m;
  } same[] = {{Statistic::Htotdev, Statistic::Ohdev, -1, 8},
              {Statistic::Htotdev, Statistic::Ohdev, 2, 64},
              {Statistic::Theobr, Statistic::Theo1, 1, 100},
              {Statistic::Theoh, Statistic::Oadev, -2, 2},
              {Statistic::Theoh, Statistic::Theo1, 0, 200}};
  for (const auto& c : same)
    EXPECT_EQ(equivalentDegreesOfFreedom(c.statistic, c.alpha, c.m, 1001, EdfMethod::Reference),
              equivalentDegreesOfFreedom(c.as, c.alpha, c.m, 1001, EdfMethod::Reference))
        << nameOf(c.statistic) << " m = " << c.m;
}

}  // namespace
}  // namespace tessarin::stability
