#include <gtest/gtest.h>

#include <QDate>
#include <cmath>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "ColumnReader.h"
#include "DatReader.h"
#include "HeaderTime.h"
#include "JoinedRuns.h"
#include "RunAnalysis.h"
#include "run/DataFile.h"
#include "stability/AllanDeviation.h"

namespace tessarin::analyze {
namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

std::string header(run::Quantity stored, double tauMs = 1000) {
  run::RunHeader h;
  h.path = "/data/osc1.DAT";
  h.date = "06/12/2026";
  h.time = "09:14:02";
  h.dutHz = 10000000.12346;
  h.tauMs = tauMs;
  h.filtered = true;
  h.stored = stored;
  return run::formatRunHeader(h).toStdString();
}

// Equal, NaN included.
void expectSamples(std::span<const double> actual, const std::vector<double>& expected,
                   const std::string& label) {
  ASSERT_EQ(actual.size(), expected.size()) << label;
  for (std::size_t i = 0; i < actual.size(); ++i) {
    if (std::isnan(expected[i]))
      EXPECT_TRUE(std::isnan(actual[i])) << label << ", sample " << i;
    else
      EXPECT_EQ(actual[i], expected[i]) << label << ", sample " << i;
  }
}

// The header of one run takes lines 1 to 13; its first sample line is line 14.
TEST(DatReader, TakesADamagedSampleLineAsAGapInItsPlaceAndReportsItsLine) {
  const struct {
    const char* label;
    std::string samples;
    std::vector<double> expected;
    std::vector<std::int64_t> damagedLines;
  } cases[] = {
      {"whole lines", " 1.5E-11 \r\n-2E-05 \r\n 0.25 \r\n", {1.5e-11, -2e-5, 0.25}, {}},
      {"garbage", " 1 \r\nxq#7\r\n 3 \r\n", {1, kGap, 3}, {15}},
      {"digits cut before the trailing space", " 1 \r\n 2.71\r\n 3 \r\n", {1, kGap, 3}, {15}},
      {"last line cut short, no line end", " 1 \r\n 2 \r\n 3.1", {1, 2, kGap}, {16}},
      {"empty lines among the samples", " 1 \r\n\r\n\r\n 4 \r\n", {1, kGap, kGap, 4}, {15, 16}},
      {"empty lines after the last sample", " 1 \r\n 2 \r\n\r\n\r\n", {1, 2}, {}},
      {"the console's own gap", " 1 \r\n NaN \r\n 3 \r\n", {1, kGap, 3}, {}},
      {"an infinity", " 1 \r\n-Inf \r\n", {1, kGap}, {15}},
      {"NUL bytes of a power cut", " 1 \r\n" + std::string(5, '\0'), {1, kGap}, {15}},
      {"decimal comma, no leading zero", " 1,5E-11 \r\n-.5 \r\n", {1.5e-11, -0.5}, {}},
      {"line ends without CR", " 1 \n 2 \n", {1, 2}, {}},
  };
  for (const auto& t : cases) {
    const InputFile file = parseDatText("f.DAT", header(run::Quantity::Phase) + t.samples);
    ASSERT_EQ(file.runs.size(), 1u) << t.label;
    expectSamples(file.runs[0].samples, t.expected, t.label);
    std::vector<std::int64_t> lines;
    for (const DamagedLine& d : file.damaged) lines.push_back(d.line);
    EXPECT_EQ(lines, t.damagedLines) << t.label;
  }
}

TEST(DatReader, ReadsEveryRunHeaderOfAFileTheConsoleAppendedTo) {
  const InputFile file = parseDatText(
      "f.DAT", header(run::Quantity::Frequency, 10000) + " 1E-11 \r\n" +
                   header(run::Quantity::Phase, 500) + "garbage before any sample\r\n 2 \r\n");
  ASSERT_EQ(file.runs.size(), 2u);
  const RecordedRun& first = file.runs[0];
  EXPECT_EQ(first.headerLine, 7);
  EXPECT_EQ(first.date, "06/12/2026");
  EXPECT_EQ(first.time, "09:14:02");
  EXPECT_EQ(first.dutHz, 10000000.12346);
  EXPECT_EQ(first.tauSeconds, 10.0);
  EXPECT_EQ(first.mode, "Filtered");
  EXPECT_EQ(first.quantity, run::Quantity::Frequency);
  EXPECT_EQ(file.runs[1].tauSeconds, 0.5);
  EXPECT_EQ(file.runs[1].quantity, run::Quantity::Phase);
  expectSamples(file.runs[1].samples, {kGap, 2}, "second run");
  ASSERT_EQ(file.damaged.size(), 1u);
  EXPECT_EQ(file.damaged[0].run, 2);
}

TEST(DatReader, FindsNoRunInAFileWithoutARunHeader) {
  const InputFile file = parseDatText("f.DAT", "# PHASE.DAT\r\n 0.5 \r\n");
  EXPECT_TRUE(file.runs.empty());
  ASSERT_EQ(file.damaged.size(), 2u);
  EXPECT_EQ(file.damaged[1].line, 2);
}

// A run as the console records it, written with the console's own formatting: its Allan
// deviation from the file is the console's own, from the console's phase series x_1 .. x_N, to
// the 15 significant digits that the file keeps of each sample.
TEST(DatReader, GivesTheConsolesOwnAllanDeviationForPhaseAndFrequencyRuns) {
  constexpr double kTau0 = 1;
  std::mt19937_64 random(7);
  std::normal_distribution<double> noise(0, 1e-11);
  std::vector<double> phase;  // x_1 .. x_N; the console's x_0 is 0
  std::vector<double> frequency;
  double previous = 0;
  for (int k = 1; k <= 2000; ++k) {
    const double x = 3e-8 * k + noise(random);  // a frequency offset far above the noise
    phase.push_back(x);
    frequency.push_back((x - previous) / kTau0);
    previous = x;
  }
  Options options;
  options.statistics = {stability::Statistic::Adev};
  for (const run::Quantity stored : {run::Quantity::Phase, run::Quantity::Frequency}) {
    std::string text = header(stored, kTau0 * 1000);
    for (const double v : stored == run::Quantity::Phase ? phase : frequency)
      text += run::formatSampleLine(v).toStdString();
    const InputFile file = parseDatText("f.DAT", text);
    ASSERT_EQ(file.runs.size(), 1u);
    const auto analysis = analyseRun(file.runs[0], false, options);
    ASSERT_TRUE(analysis);
    const auto& rows = analysis.value().statistics.at(0).rows;
    ASSERT_FALSE(rows.empty());
    for (const auto& row : rows) {
      const double console = stability::allanDeviation(phase, row.estimate.factor, kTau0);
      EXPECT_NEAR(row.estimate.value / console, 1, 1e-8)
          << (stored == run::Quantity::Phase ? "phase" : "frequency") << " data, m "
          << row.estimate.factor;
    }
  }
}

TEST(ColumnReader, ReadsOneOrTwoColumnsWithCommentsAndTakesOtherLinesAsGaps) {
  const InputFile file = parseColumnText("c.txt",
                                         "# from a counter\n"
                                         "1.5e-11\n"
                                         "\n"
                                         "60000.5 -2E-12  # MJD and value\r\n"
                                         "NaN\n"
                                         "60000.6 abc\n"
                                         "1 2 3\n"
                                         "+4",
                                         run::Quantity::Frequency, 10);
  ASSERT_EQ(file.runs.size(), 1u);
  EXPECT_EQ(file.runs[0].tauSeconds, 10.0);
  expectSamples(file.runs[0].samples, {1.5e-11, -2e-12, kGap, kGap, kGap, 4}, "columns");
  std::vector<std::int64_t> lines;
  for (const DamagedLine& d : file.damaged) lines.push_back(d.line);
  EXPECT_EQ(lines, (std::vector<std::int64_t>{6, 7}));
}

TEST(DamagedLines, KeepsTheFirstThousandInFullThenTheFirstOfEachRunAndCountsTheRest) {
  std::string junk;
  for (int k = 0; k < 1200; ++k) junk += "junk\r\n";
  const InputFile columns = parseColumnText("c.txt", junk + junk, run::Quantity::Phase, 1);
  EXPECT_EQ(columns.runs.at(0).samples.size(), 2400u);
  EXPECT_EQ(columns.damaged.size(), kKeptDamage);
  EXPECT_EQ(columns.damaged.back().line, 1000);
  EXPECT_EQ(unkeptDamage(columns, 1).lines, 1400);
  EXPECT_EQ(unkeptDamage(columns, 1).gaps, 1400);

  const std::string run = header(run::Quantity::Phase);
  const InputFile dat = parseDatText("f.DAT", run + junk + run + "junk\r\n 1 \r\njunk\r\n");
  ASSERT_EQ(dat.damaged.size(), kKeptDamage + 1);
  EXPECT_EQ(dat.damaged.back().run, 2);
  EXPECT_EQ(dat.damaged.back().line, 1213 + 1 + 13);
  EXPECT_EQ(dat.damaged.back().text, "junk");
  EXPECT_EQ(unkeptDamage(dat, 1).lines, 200);
  EXPECT_EQ(unkeptDamage(dat, 2).lines, 1);
  EXPECT_EQ(unkeptDamage(dat, 3).lines, 0);
  EXPECT_EQ(dat.runs.at(1).samples.size(), 3u);
}

// A run of `values` as the console writes it, started at `date` `time`, tau 1 s unless changed.
struct RunText {
  const char* date = "07/12/2026";
  const char* time = "09:00:00";
  std::vector<double> values = {};
  double tauMs = 1000;
  run::Quantity stored = run::Quantity::Phase;
  bool filtered = true;
  double dutHz = 10e6;

  std::string text() const {
    const run::RunHeader h{"osc.DAT", date, time, dutHz, tauMs, filtered, stored};
    std::string lines = run::formatRunHeader(h).toStdString();
    for (const double v : values) lines += run::formatSampleLine(v).toStdString();
    return lines;
  }
};

// Phase values of `first`, `first` + 1, ... ns, as the file gives them back from their decimal
// form.
std::vector<double> ramp(int count, int first) {
  std::vector<double> values;
  for (int k = first; k < first + count; ++k)
    values.push_back(std::stod(std::to_string(k) + "e-9"));
  return values;
}

TEST(JoinedRuns, ReadsTheHeaderDateInEveryShortFormTheConsoleWrites) {
  const QDate december7(2026, 12, 7);
  const struct {
    const char* text;
    QDate expected;  // invalid: cannot be read
  } cases[] = {
      {"7 Dec 2026", december7},   {"07/12/2026", december7},
      {"7/12/26", december7},      {"07.12.2026", december7},
      {"7-12-2026", december7},    {"2026-12-07", december7},
      {"29.02.24", {2024, 2, 29}}, {"31/02/2026", {}},
      {"12/31/2026", {}},          {"7/12/026", {}},
      {"Dec 7 2026", {}},          {"", {}},
  };
  for (const auto& t : cases) EXPECT_EQ(headerDate(t.text).value_or(QDate()), t.expected) << t.text;
}

TEST(JoinedRuns, PlacesEachRunByItsHeaderRoundedToTheNearestSampleAndKeepsItsValues) {
  const struct {
    const char* label;
    std::vector<RunText> runs;
    std::vector<std::int64_t> gaps;  // before each run after the first
  } cases[] = {
      {"back to back",
       {{.values = ramp(10, 100)}, {.time = "09:00:10", .values = ramp(4, 500)}},
       {0}},
      {"five samples lost",
       {{.values = ramp(10, 100)}, {.time = "09:00:15", .values = ramp(4, 500)}},
       {5}},
      {"tau 10 s, 4.4 samples on",
       {{.values = ramp(3, 100), .tauMs = 1e4},
        {.time = "09:00:44", .values = ramp(2, 500), .tauMs = 1e4}},
       {1}},
      {"tau 10 s, 4.6 samples on",
       {{.values = ramp(3, 100), .tauMs = 1e4},
        {.time = "09:00:46", .values = ramp(2, 500), .tauMs = 1e4}},
       {2}},
      {"tau 10 s, started 4 s before the end",
       {{.values = ramp(3, 100), .tauMs = 1e4},
        {.time = "09:00:26", .values = ramp(2, 500), .tauMs = 1e4}},
       {0}},
      {"across midnight",
       {{.date = "7 Dec 2026", .time = "23:59:50", .values = ramp(5, 100)},
        {.time = "23:59:58", .values = ramp(5, 200)},
        {.date = "8.12.26", .time = "00:00:10", .values = ramp(3, 300)}},
       {3, 7}},
  };
  for (const auto& t : cases) {
    std::string text;
    std::vector<double> expected;
    for (std::size_t k = 0; k < t.runs.size(); ++k) {
      text += t.runs[k].text();
      if (k > 0) expected.insert(expected.end(), static_cast<std::size_t>(t.gaps[k - 1]), kGap);
      expected.insert(expected.end(), t.runs[k].values.begin(), t.runs[k].values.end());
    }
    const auto joined = joinRuns(parseDatText("osc.DAT", text));
    ASSERT_TRUE(joined) << t.label << ": " << joined.reason().toStdString();
    std::vector<std::int64_t> gaps;
    for (std::size_t k = 1; k < joined.value().gapBefore.size(); ++k)
      gaps.push_back(joined.value().gapBefore[k].samples);
    EXPECT_EQ(gaps, t.gaps) << t.label;
    expectSamples(phaseOf(joined.value()), expected, t.label);
    expectSamples(joined.value().series.samples, expected, t.label);
  }
}

TEST(JoinedRuns, IntegratesEachFrequencyRunFromItsOwnPrimingPoint) {
  const auto joined = joinRuns(parseDatText(
      "osc.DAT",
      RunText{.values = {1e-9, 2e-9, 3e-9}, .stored = run::Quantity::Frequency}.text() +
          RunText{.time = "09:00:05", .values = {4e-9, 5e-9}, .stored = run::Quantity::Frequency}
              .text()));
  ASSERT_TRUE(joined) << joined.reason().toStdString();
  const std::vector<double> expected = {1e-9, 3e-9, 6e-9, kGap, kGap, 4e-9, 9e-9};
  const std::span<const double> phase = phaseOf(joined.value());
  ASSERT_EQ(phase.size(), expected.size());
  for (std::size_t i = 0; i < phase.size(); ++i) {
    if (std::isnan(expected[i]))
      EXPECT_TRUE(std::isnan(phase[i])) << i;
    else
      EXPECT_NEAR(phase[i], expected[i], 1e-21) << i;
  }
}

TEST(JoinedRuns, RefusesRunsItCannotJoinNamingBothAndWhy) {
  const RunText first{.values = ramp(10, 100)};
  const struct {
    RunText second;
    const char* reason;  // empty: they join
  } cases[] = {
      {{.time = "09:00:20", .tauMs = 1e4},
       "runs 1 and 2 cannot be joined: they differ in tau (1 s and 10 s)"},
      {{.time = "09:00:20", .stored = run::Quantity::Frequency},
       "they differ in stored quantity (phase and frequency)"},
      {{.time = "09:00:20", .filtered = false}, "they differ in mode (Filtered and Non-Filtered)"},
      {{.time = "09:00:20", .dutHz = 10e6 + 11},
       "they differ in DUT frequency (10000000 Hz and 10000011 Hz)"},
      {{.time = "09:00:20", .dutHz = 10e6 + 9}, ""},
      {{.time = "09:00:05"}, "their times overlap (run 2 starts 5 s before run 1 ends)"},
      {{.date = "6 Dec 2026", .time = "09:00:20"}, "their times go backwards"},
      {{.date = "12/31/2026"}, "run 2 cannot be placed on the time line: its date '12/31/2026'"},
      {{.time = "9:00"}, "run 2 cannot be placed on the time line: its time '9:00'"},
  };
  for (const auto& t : cases) {
    RunText second = t.second;
    second.values = ramp(3, 200);
    const auto joined = joinRuns(parseDatText("osc.DAT", first.text() + second.text()));
    const std::string reason = joined ? std::string() : joined.reason().toStdString();
    if (*t.reason == '\0') {
      EXPECT_TRUE(joined) << reason;
      continue;
    }
    // The second run's header: after the first's 13 lines of header, 10 samples, 6 empty lines.
    EXPECT_TRUE(reason.starts_with("osc.DAT:30: ")) << reason;
    EXPECT_NE(reason.find(t.reason), std::string::npos) << reason;
  }
}

}  // namespace
}  // namespace tessarin::analyze
