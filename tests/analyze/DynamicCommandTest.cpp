#include <gtest/gtest.h>

#include <QDate>
#include <algorithm>
#include <string>

#include "analyze/AnalyzerFolder.h"
#include "output/DynamicReport.h"
#include "run/DataFile.h"

namespace tessarin::analyze {
namespace {

class DynamicCommand : public AnalyzerFolder {
 protected:
  // A phase run of 200 samples, one a second from 06/12/2026 09:14:02, and the same samples as
  // a column file.
  void writeRun() const {
    std::string dat = phaseRunHeader();
    std::string columns;
    for (int k = 0; k < 200; ++k) {
      // A quiet half, then a noisier one: a scatter of a few levels, the same on every run.
      const double x = (k < 100 ? 1e-11 : 1e-9) * ((k * 7919) % 101 - 50);
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
  EXPECT_EQ(output::windowTime(lastSecondOfTheYear, 1.5, true), "2027-01-01T00:00:00.500");
}

}  // namespace
}  // namespace tessarin::analyze
