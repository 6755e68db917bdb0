#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cmath>
#include <cstdlib>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "stability/Confidence.h"

namespace tessarin::analyze {
namespace {

using stability::Statistic;

// The non-overlapping Allan deviation written from its definition: every m-th phase point that
// exists, one squared second difference per three successive ones, a difference that touches a
// gap left out.
std::pair<long double, std::int64_t> textbookAdev(const std::vector<double>& x, double tau0,
                                                  int m) {
  long double sum = 0;
  std::int64_t terms = 0;
  const auto n = static_cast<std::int64_t>(x.size());
  for (std::int64_t i = 0; i + 2 * m < n; i += m) {
    const auto at = [&x](std::int64_t k) { return static_cast<long double>(x[std::size_t(k)]); };
    const long double difference = at(i + 2 * m) - 2 * at(i + m) + at(i);
    if (std::isnan(difference)) continue;
    sum += difference * difference;
    ++terms;
  }
  const long double tau = static_cast<long double>(tau0) * m;
  return {std::sqrt(sum / (2 * static_cast<long double>(terms) * tau * tau)), terms};
}

TEST(StandardAdev, AgreesWithItsDefinitionDownToOneTermWithAndWithoutGaps) {
  std::mt19937_64 random(7);
  std::normal_distribution<double> noise(0, 1e-9);
  std::vector<double> clean{0};
  for (int k = 1; k < 1003; ++k) clean.push_back(clean.back() + noise(random));
  std::vector<double> gappy = clean;
  for (const std::size_t k : {0u, 17u, 500u, 501u, 1002u}) gappy[k] = NAN;
  for (const auto* series : {&clean, &gappy}) {
    const auto factors = stability::everyFactor(Statistic::StandardAdev, std::ssize(*series));
    ASSERT_EQ(factors.back(), 501);  // (N - 1) / m - 1 >= 1: one term at the longest tau
    const auto rows = stability::analyse(Statistic::StandardAdev, *series, 0.5, factors, 0.683);
    for (const stability::AnalysisRow& row : rows) {
      const auto [value, terms] = textbookAdev(*series, 0.5, row.estimate.factor);
      ASSERT_EQ(row.estimate.terms, terms) << "m = " << row.estimate.factor;
      if (terms == 0) continue;
      EXPECT_NEAR(row.estimate.value / static_cast<double>(value), 1, 1e-12)
          << "m = " << row.estimate.factor;
      EXPECT_TRUE(row.interval.low < row.estimate.value && row.estimate.value < row.interval.high)
          << "m = " << row.estimate.factor;
    }
  }
}

// The program over PHASE.DAT (the NBS-14 1000-point set as 1001 phase points): the Stable32
// table's value and second-difference count at each of its factors, which the console's own
// estimator misses by a term wherever m does not divide 1001.
TEST(StandardAdev, ReproducesTheStable32TableOfTheNbs14SetWhereTheConsolesOwnDiffers) {
  QFile table(TESTDATA_DIR "/phase_dat_adev.txt");
  ASSERT_TRUE(table.open(QIODevice::ReadOnly | QIODevice::Text));
  std::map<int, std::pair<std::int64_t, double>> expected;  // m: terms, sigma
  std::string factors;
  for (std::istringstream lines(table.readAll().toStdString()); lines;) {
    std::string line;
    std::getline(lines, line);
    std::istringstream fields(line);
    int m = 0;
    double tau = 0, terms = 0, alpha = 0, low = 0, sigma = 0;
    if (line.starts_with('#') || !(fields >> m >> tau >> terms >> alpha >> low >> sigma)) continue;
    expected[m] = {static_cast<std::int64_t>(terms), sigma};
    factors += (factors.empty() ? "" : ",") + std::to_string(m);
  }
  ASSERT_EQ(expected.size(), 125u);
  QTemporaryDir dir;
  const std::string out = dir.filePath("out.csv").toStdString();
  const std::string command = "'" ANALYZE_EXE
                              "' --phase --tau0 1 --csv --stat adev,console-adev --m " +
                              factors + " '" TESTDATA_DIR "/PHASE.DAT' >'" + out + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  QFile csv(QString::fromStdString(out));
  ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
  int standardRows = 0;
  int consoleRowsShort = 0;
  std::istringstream lines(csv.readAll().toStdString());
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> cells;
    std::istringstream row(line);
    for (std::string cell; std::getline(row, cell, ',');) cells.push_back(cell);
    if (cells.size() < 5 || cells[0] == "statistic") continue;
    const int m = std::stoi(cells[2]);
    const auto [terms, sigma] = expected.at(m);
    if (cells[0] == "adev") {
      ++standardRows;
      EXPECT_EQ(std::stoll(cells[4]), terms) << "m = " << m;
      EXPECT_NEAR(std::stod(cells[3]) / sigma, 1, 5e-5) << "m = " << m;
    } else if (1001 % m != 0) {
      consoleRowsShort += std::stoll(cells[4]) == terms - 1;
    }
  }
  EXPECT_EQ(standardRows, 125);
  EXPECT_GT(consoleRowsShort, 50);
}

}  // namespace
}  // namespace tessarin::analyze
