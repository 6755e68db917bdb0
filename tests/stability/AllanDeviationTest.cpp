#include <gtest/gtest.h>

#include <QFile>
#include <QTextStream>
#include <cmath>
#include <cstdint>
#include <vector>

#include "stability/AllanDeviation.h"

namespace tessarin::stability {
namespace {

// The numbers of a text file, one row a line, without the '#' comment lines.
std::vector<std::vector<double>> readRows(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << path.toStdString();
  std::vector<std::vector<double>> rows;
  QTextStream in(&file);
  while (!in.atEnd()) {
    const QString line = in.readLine().trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    std::vector<double> row;
    for (const QString& field : line.split(' ', Qt::SkipEmptyParts))
      row.push_back(field.toDouble());
    rows.push_back(row);
  }
  return rows;
}

// PHASE.DAT, 1001 phase points.
std::vector<double> referencePhase() {
  std::vector<double> x;
  for (const auto& row : readRows(TESTDATA_DIR "/PHASE.DAT")) x.push_back(row.at(0));
  return x;
}

// The reference keeps the last sample of an incomplete block as a decimated point; m - 1 values
// that are never used give ours the same points.
std::vector<double> padded(std::vector<double> phase, int m) {
  phase.resize(phase.size() + static_cast<std::size_t>(m) - 1, 1e3);
  return phase;
}

TEST(AllanDeviation, AgreesWithTheStable32TableAtEveryAveragingFactor) {
  const std::vector<double> phase = referencePhase();
  ASSERT_EQ(phase.size(), 1001u);
  const auto table = readRows(TESTDATA_DIR "/phase_dat_adev.txt");
  ASSERT_EQ(table.size(), 125u);
  for (const auto& row : table) {
    const int m = static_cast<int>(row.at(0));
    EXPECT_NEAR(allanDeviation(padded(phase, m), m, 1) / row.at(5), 1.0, 5e-5) << "m = " << m;
  }
}

TEST(AllanDeviation, ReproducesThePublishedNbs14Figures) {
  // The NBS-14 1000-point frequency set, mean removed and integrated to 1001 phase points.
  std::vector<double> y;
  std::int64_t seed = 1234567890;
  for (int i = 0; i < 1000; ++i) {
    y.push_back(static_cast<double>(seed) / 2147483647.0);
    seed = 16807 * seed % 2147483647;
  }
  double mean = 0;
  for (double v : y) mean += v / static_cast<double>(y.size());
  std::vector<double> phase{0};
  for (double v : y) phase.push_back(phase.back() + v - mean);

  const struct {
    int m;
    double adev;
  } published[] = {{1, 2.922319e-01}, {10, 9.965736e-02}, {100, 3.897804e-02}};
  for (const auto& p : published)
    EXPECT_NEAR(allanDeviation(padded(phase, p.m), p.m, 1) / p.adev, 1.0, 2e-6) << "m = " << p.m;
}

TEST(AllanDeviation, OctaveLevelsAgreeWithTheStable32OctaveTable) {
  const std::vector<double> phase = referencePhase();
  for (const auto& row : readRows(TESTDATA_DIR "/phase_dat_adev_octave.txt")) {
    const int m = static_cast<int>(row.at(0));
    std::vector<StabilityPoint> levels;
    allanDeviationByOctaves(padded(phase, m), 1, 1, levels);
    const auto k = static_cast<std::size_t>(std::log2(m));
    ASSERT_GT(levels.size(), k);
    EXPECT_EQ(levels[k].tau, m);
    EXPECT_NEAR(levels[k].deviation / row.at(5), 1.0, 5e-5) << "m = " << m;
  }
}

TEST(AllanDeviation, WorkedSeriesGiveTheirKnownDeviations) {
  const double a = 3e-9;
  const double tau0 = 2;
  std::vector<double> linear, alternating;
  for (int k = 1; k <= 10; ++k) {
    linear.push_back(1e-9 * k);
    alternating.push_back(k % 2 ? a : -a);
  }
  std::vector<StabilityPoint> levels;
  allanDeviationByOctaves(linear, 1, tau0, levels);
  ASSERT_EQ(levels.size(), 2u);
  EXPECT_EQ(levels[0].tau, tau0);
  EXPECT_EQ(levels[1].tau, 2 * tau0);
  EXPECT_NEAR(levels[0].deviation, 0, 1e-24);
  EXPECT_NEAR(levels[1].deviation, 0, 1e-24);

  EXPECT_NEAR(allanDeviation(alternating, 1, tau0) / (2 * std::sqrt(2.0) * a / tau0), 1.0, 1e-12);
  EXPECT_EQ(allanDeviation(alternating, 2, tau0), 0);
}

TEST(AllanDeviation, OctaveLevelsNeedFiveDecimatedPointsAndFollowEarlierOnes) {
  const struct {
    int samples;
    int firstFactor;
    std::vector<double> tau;
  } cases[] = {
      {9, 1, {1}},
      {10, 1, {1, 2}},
      {20, 1, {1, 2, 4}},
      {3, 1, {}},
      {30000, 2, {2, 4, 8, 16, 32, 64, 128, 256, 512, 1024, 2048, 4096}},
  };
  for (const auto& t : cases) {
    std::vector<double> phase(static_cast<std::size_t>(t.samples));
    for (std::size_t k = 0; k < phase.size(); ++k)
      phase[k] = 1e-9 * std::sin(0.37 * static_cast<double>(k * k));
    // A level computed earlier stays in front of the new ones.
    std::vector<StabilityPoint> levels{{0.5, 0.125}};
    allanDeviationByOctaves(phase, t.firstFactor, 1, levels);
    ASSERT_EQ(levels.size(), t.tau.size() + 1) << "N = " << t.samples;
    EXPECT_EQ(levels[0].deviation, 0.125);
    for (std::size_t i = 0; i < t.tau.size(); ++i) {
      EXPECT_EQ(levels[i + 1].tau, t.tau[i]);
      EXPECT_EQ(levels[i + 1].deviation, allanDeviation(phase, static_cast<int>(t.tau[i]), 1));
    }
  }
}

}  // namespace
}  // namespace tessarin::stability
