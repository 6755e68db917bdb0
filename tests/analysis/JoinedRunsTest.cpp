#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "analysis/JoinedRuns.h"
#include "analysis/SeriesAnalysis.h"
#include "records/DatReader.h"
#include "run/DataFile.h"
#include "stability/AllanDeviation.h"
#include "support/ExpectSamples.h"

namespace tessarin::analysis {
namespace {

using records::InputFile;
using records::parseDatText;

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

using test::expectSamples;

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

TEST(RecordedRunAnalysis, GivesTheConsolesOwnAllanDeviationForPhaseAndFrequencyRuns) {
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
  AnalysisRequest options;
  options.statistics = {stability::Statistic::Adev};
  for (const run::Quantity stored : {run::Quantity::Phase, run::Quantity::Frequency}) {
    std::string text = RunText{.tauMs = kTau0 * 1000, .stored = stored}.text();
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
}  // namespace tessarin::analysis
