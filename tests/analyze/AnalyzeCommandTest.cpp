#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "analyze/AnalyzerFolder.h"
#include "run/DataFile.h"

namespace tessarin::analyze {
namespace {

class AnalyzeCommand : public AnalyzerFolder {
 protected:
  // A .DAT file of two phase-data runs as the console writes them: 64 samples, then 2.
  std::string consoleFile() const {
    std::string text;
    for (const int count : {64, 2}) {
      run::RunHeader header;
      header.path = "osc.DAT";
      header.date = count == 64 ? "06/12/2026" : "07/12/2026";
      header.time = "09:14:02";
      header.dutHz = 10e6;
      header.tauMs = 1000;
      header.stored = run::Quantity::Phase;
      text += run::formatRunHeader(header).toStdString();
      for (int k = 1; k <= count; ++k)
        text += run::formatSampleLine(1e-9 * k + 1e-11 * ((k * 7919) % 13)).toStdString();
    }
    return write("osc.DAT", text);
  }
};

TEST_F(AnalyzeCommand, ExitsOneForUsageErrorsAndTwoForInputItCannotUse) {
  consoleFile();
  write("short.txt", "1\n2\n");
  write("cut.DAT", read("osc.DAT") + " 4.5");
  const Refusal cases[] = {
      {"--frobnicate osc.DAT", 1, "unknown option: --frobnicate"},
      {"--- osc.DAT", 1, "unknown option: ---"},
      {"--stat adev,sigma osc.DAT", 1, "bad value for --stat"},
      {"--ci 1.5 osc.DAT", 1, "bad value for --ci"},
      {"--ci none --noise osc.DAT", 1, "--ci none leaves out"},
      {"--taus decade --m 1,2 osc.DAT", 1, "exclude each other"},
      {"--plot out.jpg osc.DAT", 1, "bad value for --plot"},
      {"--phase short.txt", 1, "--tau0"},
      {"", 1, "no input file"},
      {"missing.DAT", 2, "missing.DAT"},
      {"--run 3 osc.DAT", 2, "there is no run 3"},
      {"short.txt", 2, "no run header"},
      {"--phase --tau0 1 short.txt", 2, "too few samples"},
      {"--run 2 osc.DAT", 2, "run 2: too few samples"},
      {"--strict cut.DAT", 2, "cut.DAT:93: line cut short"},
  };
  expectRefusals(cases);
}

// Input that would make the statistics silently wrong, or flood memory or the terminal: each is
// refused or reported, and no control character of a file reaches the output raw.
TEST_F(AnalyzeCommand, RefusesOrReportsInputBeyondItsBoundsAndShowsControlCharactersEscaped) {
  consoleFile();
  const std::string dat = read("osc.DAT");
  const auto replaced = [&dat](const std::string& what, const std::string& with) {
    std::string text = dat;
    text.replace(text.find(what), what.size(), with);
    return text;
  };
  write("col.txt", "1e-9\n2e-9\n3e-9\n4e-9\n5e-9\n");
  write("tauhuge.DAT", replaced("1000.0 ms", "1E+15 ms"));
  write("tautiny.DAT", replaced("1000.0 ms", "1E-7 ms"));
  write("big.DAT", replaced(" 1.", " 1.5E+101 \r\n 1."));
  write("bigf.txt", "1e-9\n2e-9\n-2e100\n4e-9\n5e-9\n6e-9\n");
  write("esc.DAT", replaced("06/12/2026", "06/12/2026\x1b[31m"));
  write("escline.DAT", dat + "\x1b]0;owned\x07\r\n");
  write("long.DAT", replaced(" 1.", std::string(10000, '7') + "\r\n 1."));
  write("long.txt", "1\n2\n" + std::string(5000, '3') + "\n4\n5\n6\n");
  const struct {
    const char* arguments;
    int exitCode;
    const char* inOutput;  // in standard output or error
  } cases[] = {
      {"--phase --tau0 1e-10 col.txt", 1, "bad value for --tau0: '1e-10' (seconds, 1e-9 to 1e9)"},
      {"--phase --tau0 2e9 col.txt", 1, "bad value for --tau0"},
      {"tauhuge.DAT", 2, "tauhuge.DAT:9: header tau 1e+15 ms is outside 1e-9 s ... 1e9 s"},
      {"--list tautiny.DAT", 2, "tautiny.DAT:9: header tau 1e-07 ms is outside"},
      {"--run 1 big.DAT", 0,
       "big.DAT:14: sample beyond 1e100, where the statistics would "
       "overflow, taken as a gap"},
      {"--freq --tau0 1 bigf.txt", 0, "bigf.txt:3: sample beyond 1e100"},
      {"--list esc.DAT", 0, "06/12/2026\\x1b[31m"},
      {"--run 1 esc.DAT", 0, "06/12/2026\\x1b[31m"},
      {"--list escline.DAT", 0, "not a sample line, taken as a gap: '\\x1b]0;owned\\x07'"},
      {"--run 1 long.DAT", 0, "long.DAT:14: line longer than 4096 characters, taken as a gap"},
      {"--phase --tau0 1 long.txt", 0, "long.txt:3: line longer than 4096 characters"},
      {"/dev/zero", 2, "/dev/zero: more than 4096 MiB"},
      {"--phase --tau0 1 /dev/zero", 2, "/dev/zero: more than 4096 MiB"},
  };
  for (const auto& t : cases) {
    const Outcome outcome = run(t.arguments);
    EXPECT_EQ(outcome.exitCode, t.exitCode) << t.arguments << ": " << outcome.err;
    const std::string both = outcome.out + outcome.err;
    EXPECT_NE(both.find(t.inOutput), std::string::npos) << t.arguments << ": " << both;
    EXPECT_EQ(both.find(t.inOutput, both.find(t.inOutput) + 1), std::string::npos)
        << t.arguments << ": told more than once";
    EXPECT_EQ(both.find('\x1b'), std::string::npos) << t.arguments;
  }
}

TEST_F(AnalyzeCommand, ReportsADamagedLineOnStandardErrorAndCountsItAsAGap) {
  consoleFile();
  write("cut.DAT", read("osc.DAT") + "junk\r\n");
  const Outcome listed = run("--list cut.DAT");
  EXPECT_EQ(listed.exitCode, 0);
  EXPECT_NE(listed.err.find("cut.DAT:93: not a sample line, taken as a gap: 'junk'"),
            std::string::npos)
      << listed.err;
  std::istringstream lines(listed.out);
  std::string heading, first, second;
  std::getline(lines, heading);
  std::getline(lines, first);
  std::getline(lines, second);
  EXPECT_NE(first.find("06/12/2026"), std::string::npos) << first;
  EXPECT_NE(second.find("phase"), std::string::npos) << second;
  EXPECT_TRUE(second.ends_with(" 3        1")) << second;  // 2 samples and the gap
}

// Past the first thousand damaged lines only the first of each run is kept in full; the rest are
// counted, and told of as before.
TEST_F(AnalyzeCommand, CountsEveryDamagedLineOfTheRunsAnalysedThoughFewAreKept) {
  consoleFile();
  std::string junk;
  for (int k = 0; k < 3000; ++k) junk += "junk\r\n";
  write("junky.DAT", read("osc.DAT") + junk);
  write("junky.txt", "1\n2\n3\n" + junk + "4\n");
  const struct {
    const char* arguments;
    int exitCode;
    const char* inErr;  // empty: nothing on standard error
  } cases[] = {
      {"--list junky.DAT", 0, "junky.DAT: 2950 more damaged lines not shown"},
      {"--run 1 junky.DAT", 0, ""},
      {"--strict junky.DAT", 2, "junky.DAT:93: not a sample line: 'junk' (--strict)"},
      {"--phase --tau0 1 junky.txt", 0, "junky.txt: 2950 more damaged lines not shown"},
  };
  for (const auto& t : cases) {
    const Outcome outcome = run(t.arguments);
    EXPECT_EQ(outcome.exitCode, t.exitCode) << t.arguments << ": " << outcome.err;
    if (*t.inErr == '\0')
      EXPECT_EQ(outcome.err, "") << t.arguments;
    else
      EXPECT_NE(outcome.err.find(t.inErr), std::string::npos) << t.arguments << ": " << outcome.err;
  }
}

TEST_F(AnalyzeCommand, WritesCsvWithItsFixedHeaderAndThePublishedNistFigures) {
  // NIST SP 1065's nine frequency points, tau0 = 1 s, and the published values at m = 1 and 2.
  write("nist.txt", "892\n809\n823\n798\n671\n644\n883\n903\n677\n");
  const Outcome outcome =
      run("--freq --tau0 1 --m 1,2 --csv --stat adev,oadev,mdev,tdev,hdev,ohdev,totdev nist.txt");
  ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
  const std::map<std::string, std::pair<double, double>> published = {
      {"adev", {91.22945, 115.8082}},  {"oadev", {91.22945, 85.95287}},
      {"mdev", {91.22945, 74.78849}},  {"tdev", {52.67135, 86.35831}},
      {"hdev", {70.80607, 116.7980}},  {"ohdev", {70.80607, 85.61487}},
      {"totdev", {91.22945, 93.90379}}};
  std::istringstream lines(outcome.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "statistic,tau,m,value,terms,ci_low,ci_high");
  int rows = 0;
  while (std::getline(lines, line)) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
    ASSERT_GE(fields.size(), 4u) << line;
    const auto& [m1, m2] = published.at(fields[0]);
    EXPECT_NEAR(std::stod(fields[3]) / (fields[2] == "1" ? m1 : m2), 1, 2e-6) << line;
    ++rows;
  }
  EXPECT_EQ(rows, 14);
}

// NIST SP 1065's 1000-point frequency test set: the published MTOTDEV has the white FM bias
// (MTOT/MVAR = 0.73) divided out; --no-bias-correction gives the estimate itself. Theo1 takes even
// m only, at tau = 0.75 m.
TEST_F(AnalyzeCommand, WritesTheLongTauStatisticsWithAndWithoutTheirBiasCorrection) {
  std::string text;
  for (std::int64_t n = 1234567890, k = 0; k < 1000; ++k, n = 16807 * n % 2147483647)
    text += std::to_string(static_cast<double>(n) / 2147483647) + "\n";
  write("nbs.txt", text);
  const double published[] = {2.418528e-01, 6.499161e-02};
  for (const bool corrected : {true, false}) {
    const Outcome outcome =
        run(std::string("--freq --tau0 1 --m 1,10 --csv --noise --stat mtotdev,theo1 nbs.txt") +
            (corrected ? "" : " --no-bias-correction"));
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_NE(outcome.err.find("m = 1 is not an averaging factor of theo1"), std::string::npos);
    std::istringstream lines(outcome.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "statistic,tau,m,value,terms,ci_low,ci_high,alpha");
    for (const double value : published) {
      std::getline(lines, line);
      const std::size_t valueAt = line.find(',', line.find(',', line.find(',') + 1) + 1) + 1;
      EXPECT_NEAR(std::stod(line.substr(valueAt)) / value, corrected ? 1 : std::sqrt(0.73), 1e-6)
          << line;
      EXPECT_TRUE(line.starts_with("mtotdev,") && line.ends_with(",0")) << line;
    }
    std::getline(lines, line);
    EXPECT_TRUE(line.starts_with("theo1,7.5,10,")) << line;
    EXPECT_FALSE(std::getline(lines, line));
  }
  // Values alone still have the bias removed, by the noise type read for it.
  const Outcome valuesOnly = run("--freq --tau0 1 --m 10 --csv --ci none --stat mtotdev nbs.txt");
  ASSERT_EQ(valuesOnly.exitCode, 0) << valuesOnly.err;
  EXPECT_NE(valuesOnly.out.find("mtotdev,10,10,0.0649916"), std::string::npos) << valuesOnly.out;
}

// Long enough for the statistics to be shared out between two threads.
TEST_F(AnalyzeCommand, GivesTheSameValuesWithoutIntervalsForCiNone) {
  std::string text;
  for (int k = 0; k < 30000; ++k) text += std::to_string((k * 7919) % 1013) + "e-9\n";
  write("long.txt", text);
  const std::string common = "--phase --tau0 1 --csv --stat adev,mdev,totdev,mtie long.txt";
  const Outcome withIntervals = run(common);
  const Outcome valuesOnly = run("--ci none " + common);
  ASSERT_EQ(valuesOnly.exitCode, 0) << valuesOnly.err;
  std::istringstream full(withIntervals.out);
  std::istringstream bare(valuesOnly.out);
  int rows = 0;
  for (std::string expected, line; std::getline(full, expected) && std::getline(bare, line);) {
    if (rows++ == 0) {
      EXPECT_EQ(line, expected);
      continue;
    }
    // statistic,tau,m,value,terms as with intervals, then the two interval fields empty.
    std::size_t fieldsEnd = 0;
    for (int field = 0; field < 5; ++field) fieldsEnd = expected.find(',', fieldsEnd) + 1;
    EXPECT_EQ(line, expected.substr(0, fieldsEnd) + ",") << expected;
  }
  EXPECT_GT(rows, 40);
  EXPECT_EQ(std::count(valuesOnly.out.begin(), valuesOnly.out.end(), '\n'),
            std::count(withIntervals.out.begin(), withIntervals.out.end(), '\n'));
}

TEST_F(AnalyzeCommand, DrawsAPngOrPdfPlotWithoutADisplay) {
  consoleFile();
  const struct {
    const char* name;
    const char* magic;
  } pictures[] = {{"all.png", "\x89PNG"}, {"all.pdf", "%PDF"}};
  for (const auto& p : pictures) {
    const Outcome outcome =
        run(std::string("--run all --stat oadev,mdev --plot ") + p.name + " osc.DAT");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_TRUE(read(p.name).starts_with(p.magic)) << p.name;
  }
}

// A phase-data run as the console writes it, started at 07/12/2026 `time`.
std::string phaseRun(const char* time, const std::vector<double>& values, double tauMs = 1000,
                     const char* date = "07/12/2026") {
  const run::RunHeader header{"j.DAT", date, time, 10e6, tauMs, true, run::Quantity::Phase};
  std::string text = run::formatRunHeader(header).toStdString();
  for (const double v : values) text += run::formatSampleLine(v).toStdString();
  return text;
}

// The overlapping Allan deviation as textbooks give it, every term that touches a gap left out.
std::pair<double, int> oadevSkippingGaps(const std::vector<double>& x, int m, double tau0) {
  double sum = 0;
  int terms = 0;
  for (std::size_t i = 0; i + 2 * static_cast<std::size_t>(m) < x.size(); ++i) {
    const double d =
        x[i + 2 * static_cast<std::size_t>(m)] - 2 * x[i + static_cast<std::size_t>(m)] + x[i];
    if (std::isnan(d)) continue;
    sum += d * d;
    ++terms;
  }
  return {std::sqrt(sum / (2.0 * terms)) / (m * tau0), terms};
}

TEST_F(AnalyzeCommand, JoinsRunsIntoOneSeriesWithTheMissingSamplesAsGaps) {
  // 30 samples from 09:00:00, then 20 from 09:00:37: 7 samples lost between. The second run's
  // phase lies 0.5 us above the first's; it is analysed as recorded.
  std::vector<double> first, second, series;
  for (int k = 1; k <= 50; ++k) {
    const double x = (k > 30 ? 5e-7 : 0) + 1e-9 * k + 1e-11 * ((k * 7919) % 13);
    // The value as the file gives it back.
    const double read = std::stod(run::formatSampleLine(x).toStdString());
    (k > 30 ? second : first).push_back(read);
    if (k == 31) series.insert(series.end(), 7, std::nan(""));
    series.push_back(read);
  }
  write("j.DAT", phaseRun("09:00:00", first) + phaseRun("09:00:37", second));

  const Outcome csv = run("--join --csv --m 1,2,5 j.DAT");
  ASSERT_EQ(csv.exitCode, 0) << csv.err;
  std::istringstream lines(csv.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "statistic,tau,m,value,terms,ci_low,ci_high");  // one series: no run column
  int rows = 0;
  while (std::getline(lines, line)) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
    ASSERT_EQ(fields.size(), 7u) << line;
    const auto [value, terms] = oadevSkippingGaps(series, std::stoi(fields[2]), 1);
    EXPECT_NEAR(std::stod(fields[3]) / value, 1, 1e-9) << line;
    EXPECT_EQ(std::stoi(fields[4]), terms) << line;
    ++rows;
  }
  EXPECT_EQ(rows, 3);

  const Outcome listed = run("--join --list j.DAT");
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  std::istringstream table(listed.out);
  std::string heading, run1, run2;
  std::getline(table, heading);
  std::getline(table, run1);
  std::getline(table, run2);
  EXPECT_TRUE(heading.ends_with("gap before/s  gap samples")) << heading;
  EXPECT_TRUE(run1.ends_with("  -            -")) << run1;
  EXPECT_TRUE(run2.ends_with(" 7            7")) << run2;
}

TEST_F(AnalyzeCommand, RefusesAJoinItCannotMake) {
  write("j.DAT", phaseRun("09:00:00", {1e-9, 2e-9}) + phaseRun("09:00:20", {3e-9}, 10000));
  write("short.txt", "1\n2\n");
  // A year between two runs at tau 1 s: a misread date rather than one measurement.
  write("far.DAT",
        phaseRun("09:00:00", {1e-9}, 1000, "07/12/2025") + phaseRun("09:00:00", {2e-9}, 1000));
  const Refusal cases[] = {
      {"--join --run 2 j.DAT", 1, "--join and --run exclude each other"},
      {"--join --phase --tau0 1 short.txt", 1, "--join is for .DAT files"},
      {"--join j.DAT", 2,
       "tessarin-analyze: j.DAT:22: runs 1 and 2 cannot be joined: they differ in tau"},
      {"--join --list j.DAT", 2, "runs 1 and 2 cannot be joined"},
      {"--join far.DAT", 2, "(31535999 samples) would make the series longer than 20000000"},
  };
  expectRefusals(cases);
}

}  // namespace
}  // namespace tessarin::analyze
