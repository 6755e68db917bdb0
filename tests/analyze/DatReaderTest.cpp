#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "ColumnReader.h"
#include "DatReader.h"
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
void expectSamples(const std::vector<double>& actual, const std::vector<double>& expected,
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

}  // namespace
}  // namespace tessarin::analyze
