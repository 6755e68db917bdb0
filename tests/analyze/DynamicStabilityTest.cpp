#include <gtest/gtest.h>

#include <QDate>
#include <QFile>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "DynamicReport.h"
#include "DynamicStability.h"
#include "analyze/AnalyzerFolder.h"
#include "run/DataFile.h"

namespace tessarin::analyze {
namespace {

using stability::Statistic;

constexpr Statistic kDeviations[] = {Statistic::Adev,  Statistic::Oadev, Statistic::Mdev,
                                     Statistic::Tdev,  Statistic::Hdev,  Statistic::Ohdev,
                                     Statistic::Totdev};

// White phase noise of `before` seconds rms up to sample `step` and `after` from there, on a
// phase that runs away at 1e-6 (a frequency offset), so that the sums have to survive both a
// large phase and a large change of level.
std::vector<double> steppedPhase(int count, int step, double before, double after) {
  std::mt19937_64 generator(20261207);
  std::normal_distribution<double> noise;
  std::vector<double> phase(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    phase[static_cast<std::size_t>(i)] = 1e-6 * i + (i < step ? before : after) * noise(generator);
  return phase;
}

TEST(DynamicStability, GivesEachWindowTheValueOfTheStatisticOverItsSliceAlone) {
  std::vector<double> gapped = steppedPhase(1500, 1500, 1e-9, 1e-9);
  for (const int gap : {3, 17, 401, 402, 777}) gapped[static_cast<std::size_t>(gap)] = NAN;
  for (int gap = 900; gap < 1040; ++gap)
    gapped[static_cast<std::size_t>(gap)] = NAN;  // joined runs
  const struct {
    const char* name;
    std::vector<double> phase;
  } series[] = {
      {"quiet then noisy", steppedPhase(1500, 700, 1e-12, 1e-9)},
      {"noisy then quiet", steppedPhase(1500, 700, 1e-9, 1e-12)},
      {"with gaps", gapped},
  };
  const DynamicWindows windows[] = {{64, 7}, {100, 100}, {50, 1}, {33, 5}, {400, 130}};
  for (const auto& s : series) {
    for (const Statistic statistic : kDeviations) {
      for (const DynamicWindows w : windows) {
        const DynamicMap map = dynamicStability(statistic, s.phase, 0.5, w);
        const std::string where = std::string(s.name) + ", " +
                                  std::string(stability::nameOf(statistic)) + ", " +
                                  std::to_string(w.window) + ":" + std::to_string(w.step);
        ASSERT_EQ(map.starts.size(), static_cast<std::size_t>((1500 - w.window) / w.step + 1))
            << where;
        ASSERT_FALSE(map.factors.empty()) << where;
        for (std::size_t k = 0; k < map.starts.size(); ++k) {
          const std::span<const double> slice(s.phase.data() + map.starts[k],
                                              static_cast<std::size_t>(w.window));
          for (std::size_t f = 0; f < map.factors.size(); ++f) {
            const stability::Estimate plain =
                stability::estimate(statistic, slice, 0.5, map.factors[f]);
            const stability::Estimate& got = map.at(k, f);
            ASSERT_EQ(got.terms, plain.terms) << where << ", window " << k << ", m " << got.factor;
            ASSERT_EQ(got.factor, plain.factor) << where;
            if (plain.terms == 0)
              ASSERT_TRUE(std::isnan(got.value)) << where << ", window " << k;
            else
              ASSERT_NEAR(got.value, plain.value, 1e-12 * plain.value)
                  << where << ", window " << k << ", m " << got.factor;
          }
        }
      }
    }
  }
}

TEST(DynamicStability, ShowsAStepInTheNoiseLevelAtTheFirstWindowThatReachesIt) {
  constexpr int kCount = 40000;
  constexpr int kStep = 20150;
  const std::vector<double> phase = steppedPhase(kCount, kStep, 1e-12, 1e-9);
  const DynamicWindows windows{4000, 400};
  // The first window whose last sample is the first noisy one or later.
  const auto expected = static_cast<std::ptrdiff_t>(
      std::ceil(static_cast<double>(kStep - windows.window + 1) / windows.step));
  for (const Statistic statistic : kDeviations) {
    const DynamicMap map = dynamicStability(statistic, phase, 1.0, windows);
    for (std::size_t f = 0; f < map.factors.size(); ++f) {
      // The non-overlapping deviations use every m-th point only (adev whole blocks of m), so at
      // m above half a step they may see the step a step or two later than the window reaches it.
      const bool decimated = statistic == Statistic::Adev || statistic == Statistic::Hdev;
      if (decimated && 2 * map.factors[f] > windows.step) continue;
      const double quiet = map.at(0, f).value;
      const double noisy = map.at(map.starts.size() - 1, f).value;
      ASSERT_GT(noisy, 100 * quiet) << stability::nameOf(statistic) << ", m " << map.factors[f];
      std::ptrdiff_t found = 0;
      // An order of magnitude above the quiet level, which a window of a few terms may not reach.
      while (map.at(static_cast<std::size_t>(found), f).value < 10 * quiet) ++found;
      EXPECT_LE(std::abs(found - expected), 1)
          << stability::nameOf(statistic) << ", m " << map.factors[f] << ": window " << found;
    }
  }
}

class DynamicCommand : public AnalyzerFolder {
 protected:
  // A phase run of 200 samples, one a second from 06/12/2026 09:14:02, and the same samples as
  // a column file.
  void writeRun() const {
    run::RunHeader header;
    header.path = "osc.DAT";
    header.date = "06/12/2026";
    header.time = "09:14:02";
    header.dutHz = 10e6;
    header.tauMs = 1000;
    header.stored = run::Quantity::Phase;
    std::string dat = run::formatRunHeader(header).toStdString();
    std::string columns;
    for (const double x : steppedPhase(200, 100, 1e-11, 1e-9)) {
      dat += run::formatSampleLine(x).toStdString();
      columns += std::to_string(x) + '\n';
    }
    write("osc.DAT", dat);
    write("osc.txt", columns);
  }
};

TEST_F(DynamicCommand, RefusesBadWindowsWithOneLineAndItsExitStatus) {
  writeRun();
  const Refusal cases[] = {
      {"--dynamic 7 osc.DAT", 1, "WINDOW is at least 8"},
      {"--dynamic ten osc.DAT", 1, "bad value for --dynamic: 'ten'"},
      {"--dynamic 100:0 osc.DAT", 1, "STEP is from 1 to WINDOW"},
      {"--dynamic 100:101 osc.DAT", 1, "STEP is from 1 to WINDOW"},
      {"--dynamic 100: osc.DAT", 1, "STEP after the colon"},
      {"--dynamic 100 --stat mtie osc.DAT", 1, "--dynamic takes one deviation"},
      {"--dynamic 100 --stat oadev,mdev osc.DAT", 1, "--dynamic takes one deviation"},
      {"--dynamic 100 --run all osc.DAT", 1, "--dynamic takes one series"},
      {"--dynamic 100 --taus decade osc.DAT", 1, "octave factors"},
      {"--dynamic 201 osc.DAT", 2, "longer than the series (200 phase points)"},
  };
  for (const auto& t : cases) {
    const Outcome outcome = run(t.arguments);
    EXPECT_EQ(outcome.exitCode, t.exitCode) << t.arguments;
    EXPECT_NE(outcome.err.find(t.inErr), std::string::npos) << t.arguments << ": " << outcome.err;
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << t.arguments << ": " << outcome.err;
  }
}

TEST_F(DynamicCommand, WritesWindowStartsAndTimesAndDrawsTheMap) {
  writeRun();
  const Outcome dat = run("--dynamic 100:50 --csv --plot map.png osc.DAT");
  ASSERT_EQ(dat.exitCode, 0) << dat.err;
  EXPECT_EQ(dat.out.substr(0, dat.out.find('\n')),
            "statistic,tau,m,value,terms,ci_low,ci_high,start,start_time");
  // Windows at 0, 50 and 100, each at m = 1, 2, 4, ..., 16, 25 phase points: 5 rows apiece.
  EXPECT_NE(dat.out.find("\noadev,16,16,"), std::string::npos) << dat.out;
  EXPECT_NE(dat.out.find(",,,100,2026-12-06T09:15:42\n"), std::string::npos) << dat.out;
  EXPECT_EQ(std::count(dat.out.begin(), dat.out.end(), '\n'), 1 + 3 * 5);
  EXPECT_GT(read("map.png").size(), 1000U);

  const Outcome columns = run("--phase --tau0 1 --dynamic 100:50 osc.txt");
  ASSERT_EQ(columns.exitCode, 0) << columns.err;
  EXPECT_EQ(columns.out.find("start_time"), std::string::npos) << columns.out;
  EXPECT_NE(columns.out.find("start\n"), std::string::npos) << columns.out;

  const std::int64_t lastSecondOfTheYear = QDate(2026, 12, 31).toJulianDay() * 86400 + 86399;
  EXPECT_EQ(windowTime(lastSecondOfTheYear, 1.5, true), "2027-01-01T00:00:00.500");
}

}  // namespace
}  // namespace tessarin::analyze
