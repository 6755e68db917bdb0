#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "analysis/CorneredHat.h"
#include "analysis/SharedSpan.h"
#include "model/PowerLawNoise.h"

namespace tessarin::analysis {
namespace {

using stability::Statistic;

std::vector<double> oscillator(double level, std::uint64_t seed, int n = 4000) {
  sim::PowerLawNoise noise({{sim::NoiseType::WhiteFrequency, level}}, 1.0, seed);
  std::vector<double> x(static_cast<std::size_t>(n));
  for (double& value : x) value = noise.next();
  return x;
}

std::vector<double> difference(const std::vector<double>& a, const std::vector<double>& b) {
  std::vector<double> d(a.size());
  for (std::size_t i = 0; i < a.size(); ++i) d[i] = a[i] - b[i];
  return d;
}

// The overlapping Allan and modified Allan variances by their plain sums, tau0 = 1 s.
double plainVariance(Statistic statistic, const std::vector<double>& x, int m) {
  const auto n = static_cast<int>(x.size());
  const auto second = [&](int i) { return x[i + 2 * m] - 2 * x[i + m] + x[i]; };
  long double sum = 0;
  if (statistic == Statistic::Oadev) {
    for (int i = 0; i + 2 * m < n; ++i) sum += static_cast<long double>(second(i)) * second(i);
    return static_cast<double>(sum / (2.0L * m * m * (n - 2 * m)));
  }
  for (int j = 0; j + 3 * m <= n; ++j) {
    long double block = 0;
    for (int i = j; i < j + m; ++i) block += second(i);
    sum += block * block;
  }
  return static_cast<double>(sum / (2.0L * m * m * m * m * (n - 3 * m + 1)));
}

struct Pair {
  std::string first, second;
  std::vector<double> phase;
};

CorneredHat hatOf(const std::vector<Pair>& pairs, std::vector<Statistic> statistics) {
  std::vector<MeasuredPair> measured;
  for (const Pair& pair : pairs)
    measured.push_back({{pair.first, pair.second}, pair.phase, pair.first + pair.second + ".txt"});
  HatRequest request;
  request.analysis.statistics = std::move(statistics);
  auto hat = analyseHat(measured, 1.0, request);
  EXPECT_TRUE(hat) << hat.reason().toStdString();
  return hat.value();
}

const HatRow& rowOf(const CorneredHat& hat, const std::string& name, Statistic statistic,
                    std::size_t k) {
  for (const HatCurve& curve : hat.curves)
    if (hat.topology.oscillators[static_cast<std::size_t>(curve.oscillator)] == name &&
        curve.statistic == statistic)
      return curve.rows.at(k);
  throw std::out_of_range(name);
}

// Every row: a positive variance has its value and both bounds around it; one at or below zero
// has no value, says so and gives a finite upper bound only.
void expectRowsWellFormed(const CorneredHat& hat) {
  for (const HatCurve& curve : hat.curves)
    for (const HatRow& row : curve.rows) {
      ASSERT_TRUE(row.ciHigh) << row.factor;
      EXPECT_TRUE(std::isfinite(*row.ciHigh) && *row.ciHigh >= 0) << row.factor;
      if (row.variance > 0) {
        ASSERT_TRUE(row.value && row.ciLow);
        EXPECT_LE(*row.ciLow, *row.value);
        EXPECT_GE(*row.ciHigh, *row.value);
        EXPECT_EQ(row.note, "");
      } else {
        EXPECT_FALSE(row.value || row.ciLow);
        EXPECT_EQ(row.note, kNegativeNote);
      }
    }
}

TEST(CorneredHat, TriangleAndStarEqualTheHandSeparationOfPlainPairVariances) {
  const auto a = oscillator(1e-11, 1), b = oscillator(2e-11, 2), c = oscillator(5e-12, 3);
  const auto r = oscillator(3e-12, 4);
  const Statistic statistics[] = {Statistic::Oadev, Statistic::Mdev};
  // Triangle: sigma_A^2 = 1/2 (s_AB^2 + s_CA^2 - s_BC^2), and so round.
  const CorneredHat triangle = hatOf(
      {{"A", "B", difference(a, b)}, {"B", "C", difference(b, c)}, {"C", "A", difference(c, a)}},
      {statistics[0], statistics[1]});
  EXPECT_EQ(triangle.topology.layout, HatLayout::Triangle);
  // Star on R: the DUTs' differences by hand, then the four-cornered hat
  // sigma_i^2 = (sum_j s_ij^2 - sum_jk s_jk^2 / 3) / 2.
  const CorneredHat star = hatOf(
      {{"A", "R", difference(a, r)}, {"B", "R", difference(b, r)}, {"C", "R", difference(c, r)}},
      {statistics[0], statistics[1]});
  EXPECT_EQ(star.topology.layout, HatLayout::Star);
  const std::map<std::string, const std::vector<double>*> clocks = {
      {"A", &a}, {"B", &b}, {"C", &c}, {"R", &r}};
  for (const Statistic statistic : statistics) {
    for (std::size_t k = 0; k < 8; ++k) {
      const int m = 1 << k;
      const auto v = [&](const char* i, const char* j) {
        return plainVariance(statistic, difference(*clocks.at(i), *clocks.at(j)), m);
      };
      const std::map<std::string, double> byHand = {
          {"A", (v("A", "B") + v("C", "A") - v("B", "C")) / 2},
          {"B", (v("A", "B") + v("B", "C") - v("C", "A")) / 2},
          {"C", (v("B", "C") + v("C", "A") - v("A", "B")) / 2}};
      for (const auto& [name, variance] : byHand) {
        SCOPED_TRACE(name + " " + std::string(stability::nameOf(statistic)) + " m " +
                     std::to_string(m));
        const HatRow& row = rowOf(triangle, name, statistic, k);
        EXPECT_EQ(row.factor, m);
        EXPECT_NEAR(row.variance, variance, 1e-9 * std::fabs(variance));
      }
      const char* names[] = {"A", "B", "C", "R"};
      double all = 0;
      for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) all += v(names[i], names[j]);
      for (const char* i : names) {
        double own = 0;
        for (const char* j : names)
          if (i != j) own += v(i, j);
        const double variance = (own - all / 3) / 2;
        SCOPED_TRACE(std::string(i) + " star " + std::string(stability::nameOf(statistic)) + " m " +
                     std::to_string(m));
        EXPECT_NEAR(rowOf(star, i, statistic, k).variance, variance, 1e-9 * std::fabs(variance));
      }
    }
  }
  expectRowsWellFormed(triangle);
  expectRowsWellFormed(star);
}

TEST(CorneredHat, EachSeparatedDeviationMostlyHoldsItsKnownLevel) {
  // White frequency noise of level L at 1 s: sigma_y(tau) = L / sqrt(tau) for oadev.
  const std::map<std::string, double> levels = {
      {"A", 1e-11}, {"B", 2e-11}, {"C", 1.5e-11}, {"D", 1e-11}};
  int rows = 0, held = 0;
  for (std::uint64_t seed = 10; seed < 30; seed += 4) {
    std::map<std::string, std::vector<double>> x;
    for (const auto& [name, level] : levels) x[name] = oscillator(level, seed++, 4000);
    // A network of four: a ring with one chord, more pairs than a chain needs.
    const CorneredHat hat = hatOf({{"A", "B", difference(x["A"], x["B"])},
                                   {"B", "C", difference(x["B"], x["C"])},
                                   {"C", "D", difference(x["C"], x["D"])},
                                   {"D", "A", difference(x["D"], x["A"])},
                                   {"A", "C", difference(x["A"], x["C"])}},
                                  {Statistic::Oadev});
    EXPECT_EQ(hat.topology.layout, HatLayout::Network);
    expectRowsWellFormed(hat);
    for (const HatCurve& curve : hat.curves)
      for (const HatRow& row : curve.rows) {
        if (row.terms < 100) continue;
        const double truth =
            levels.at(hat.topology.oscillators[static_cast<std::size_t>(curve.oscillator)]) /
            std::sqrt(row.tau);
        ++rows;
        held += row.ciLow.value_or(0) <= truth && truth <= *row.ciHigh;
      }
  }
  EXPECT_NEAR(static_cast<double>(held) / rows, 0.683, 0.1) << held << " of " << rows;
}

TEST(CorneredHat, AnOscillatorFarQuieterThanTheOthersGetsUpperBoundsWhereItsVarianceIsNegative) {
  // C has no noise at all: its separated variance is the covariance of A and B, as often below
  // zero as above.
  const auto a = oscillator(1e-11, 41), b = oscillator(1e-11, 42);
  const std::vector<double> c(a.size(), 0.0);
  const CorneredHat hat = hatOf(
      {{"A", "B", difference(a, b)}, {"B", "C", difference(b, c)}, {"C", "A", difference(c, a)}},
      {Statistic::Oadev, Statistic::Mdev, Statistic::Totdev});
  expectRowsWellFormed(hat);
  int negative = 0;
  for (const HatCurve& curve : hat.curves)
    for (const HatRow& row : curve.rows) negative += !row.value;
  EXPECT_GT(negative, 3);
}

TEST(CorneredHat, RefusesPairsThatMakeNoHatNamingTheirFiles) {
  const std::vector<double> x(100, 0.0);
  const struct {
    std::vector<PairName> pairs;
    const char* message;
  } cases[] = {
      {{{"A", "B"}, {"B", "C"}, {"B", "A"}}, "A-B.txt and B-A.txt: the pair B-A is given twice"},
      {{{"A", "B"}, {"B", "A"}}, "the pair B-A is given twice"},
      {{{"A", "B"}, {"A", "B"}}, "A-B.txt and A-B.txt: the pair A-B is given twice"},
      {{{"A", "B"}}, "A-B.txt: the hat needs at least three oscillators, these pairs name 2"},
      {{{"A", "B"}, {"C", "D"}, {"D", "E"}},
       "C-D.txt: the pair C-D cannot be tied to A-B.txt's oscillators"},
      {{{"A", "A"}, {"B", "C"}, {"C", "A"}}, "A-A.txt: the pair A-A names one oscillator twice"},
      {{{"A_1", "B"}, {"B", "C"}, {"C", "A"}}, "letters and digits: 'A_1-B'"},
  };
  for (const auto& t : cases) {
    std::vector<MeasuredPair> measured;
    for (const PairName& name : t.pairs)
      measured.push_back({name, x, name.first + "-" + name.second + ".txt"});
    const auto hat = analyseHat(measured, 1.0, {});
    ASSERT_FALSE(hat) << t.message;
    EXPECT_NE(hat.reason().toStdString().find(t.message), std::string::npos)
        << hat.reason().toStdString();
  }
  const std::vector<MeasuredPair> mtie = {
      {{"A", "B"}, x, "ab"}, {{"B", "C"}, x, "bc"}, {{"C", "A"}, x, "ca"}};
  HatRequest request;
  request.analysis.statistics = {Statistic::Mtie};
  EXPECT_FALSE(analyseHat(mtie, 1.0, request));
}

TEST(SharedSpan, CutsEverySeriesToTheSpanAllOfThemCover) {
  const std::vector<double> a = {0, 1, 2, 3, 4, 5, 6, 7}, b = {10, 11, 12, 13, 14},
                            c = {20, 21, 22, 23, 24, 25};
  // Starts 10 s, 13 s (3 samples later at 1 s) and 12 s: the shared span is a[3..6], b[0..3],
  // c[1..4].
  const std::vector<PlacedSeries> placed = {{a, 10, "a"}, {b, 13, "b"}, {c, 12, "c"}};
  const auto shared = sharedSpan(placed, 1.0);
  ASSERT_TRUE(shared);
  EXPECT_EQ(std::vector<double>(shared.value()[0].begin(), shared.value()[0].end()),
            (std::vector<double>{3, 4, 5, 6, 7}));
  EXPECT_EQ(shared.value()[1].front(), 10);
  EXPECT_EQ(shared.value()[2].front(), 21);
  EXPECT_EQ(shared.value()[2].size(), 5u);
  const std::vector<PlacedSeries> apart = {{a, 0, "a"}, {b, 100, "b"}};
  EXPECT_NE(sharedSpan(apart, 1.0).reason().toStdString().find("a, b: the pairs share no span"),
            std::string::npos);
  const std::vector<PlacedSeries> mixed = {{a, 0, "a"}, {b, std::nullopt, "b"}};
  EXPECT_FALSE(sharedSpan(mixed, 1.0));
}

}  // namespace
}  // namespace tessarin::analysis
