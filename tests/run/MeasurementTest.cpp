#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "run/Measurement.h"
#include "support/Fakes.h"
#include "support/ScriptedInstrument.h"

namespace tessarin::run {
namespace {

using test::FakePlot;
using Kind = Measurement::LineKind;

// At 10 MHz one count of the 120 MHz reference is 1 / 1.2e12 s; a jump is more than 600000
// counts (0x927C0).
constexpr double kSecondsPerCount = 1.0 / 1.2e12;
constexpr std::int32_t kJumpCounts = 600000;
// Far below a count, above the rounding of readings near 2^31 counts.
constexpr double kCountTolerance = 1e-4 * kSecondsPerCount;

// The phase series that readings (in counts) give, worked out sample by sample: an accepted
// reading moves the phase by minus its change and by tau times the offset; a reading that jumps
// is no sample, but the next reading is taken relative to it.
std::vector<double> phaseOf(const std::vector<std::int32_t>& counts, double tau, double offset) {
  std::vector<double> phase;
  double last = 0;
  for (std::size_t i = 1; i < counts.size(); ++i) {
    const std::int64_t change = std::int64_t{counts[i]} - counts[i - 1];
    if (std::abs(change) > kJumpCounts) continue;
    last += -static_cast<double>(change) * kSecondsPerCount - tau * offset;
    phase.push_back(last);
  }
  return phase;
}

class MeasurementTest : public ::testing::Test {
 protected:
  static RunSettings settings(double tau = 1, int analysisPeriod = 10) {
    RunSettings s;
    s.tauSeconds = tau;
    s.dutHz = 10000000;
    s.analysisPeriod = analysisPeriod;
    return s;
  }
  void feed(std::initializer_list<const char*> lines) {
    for (const char* line : lines) EXPECT_EQ(measurement.take(line).kind, Kind::Taken) << line;
  }
  void feedCounts(const std::vector<std::int32_t>& counts) {
    for (std::int32_t value : counts) measurement.take(test::Hex8(value));
  }
  const FakePlot::Curve& dataCurve() const { return dataPlot.curve("Curve1"); }
  const FakePlot::Curve& stabilityCurve() const { return stabilityPlot.curve("Curve2"); }

  FakePlot dataPlot;
  FakePlot stabilityPlot;
  // The data file's writer: keeps the samples handed to it and gives `answer` for each.
  struct RecordingWriter : SampleLineWriter {
    RecordOutcome recordSample(double value) override {
      samples.push_back(value);
      return answer;
    }
    std::vector<double> samples;
    RecordOutcome answer{.written = true, .caughtUp = false, .waiting = 0, .reason = {}};
  } dataFile;
  std::vector<double>& recorded = dataFile.samples;
  Measurement measurement{{&dataFile, dataPlot, stabilityPlot}};
};

TEST_F(MeasurementTest, ReadingsAccumulateIntoPhaseAndFrequencySamples) {
  const std::vector<double> phaseAtTau1{-1.01e-9, -2.02e-9, -2.99e-9};
  const std::vector<double> frequencyAtTau1{-1.01e-9, -1.01e-9, -0.97e-9};
  const std::vector<double> phaseAtTau2{-2.01e-9, -4.02e-9, -5.99e-9};
  const std::vector<double> frequencyAtTau2{-1.005e-9, -1.005e-9, -0.985e-9};
  const struct {
    double tau;
    Quantity stored;
    std::optional<Quantity> shown;
    const std::vector<double>& expectedStored;
    const std::vector<double>* expectedShown;
  } cases[] = {
      {1, Quantity::Frequency, Quantity::Frequency, frequencyAtTau1, &frequencyAtTau1},
      {1, Quantity::Phase, Quantity::Phase, phaseAtTau1, &phaseAtTau1},
      {1, Quantity::Frequency, Quantity::Phase, frequencyAtTau1, &phaseAtTau1},
      {2, Quantity::Frequency, Quantity::Frequency, frequencyAtTau2, &frequencyAtTau2},
      {2, Quantity::Phase, std::nullopt, phaseAtTau2, nullptr},
  };
  for (const auto& t : cases) {
    dataPlot = FakePlot();
    recorded.clear();
    RunSettings s = settings(t.tau);
    s.frequencyOffset = 1e-9;
    s.stored = t.stored;
    s.shown = t.shown;
    measurement.start(s);
    feed({"00000000", "0000000C", "00000018", "FFFFFFF4"});

    EXPECT_EQ(measurement.sampleCount(), 3);
    ASSERT_EQ(recorded.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(recorded[k], t.expectedStored[k], 1e-22) << k;
    if (!t.expectedShown) {
      EXPECT_TRUE(dataPlot.curves.empty());
      continue;
    }
    // Point k is sample k, in units of 1E-12.
    EXPECT_EQ(dataCurve().x, (std::vector<double>{1, 2, 3}));
    ASSERT_EQ(dataCurve().y.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k)
      EXPECT_NEAR(dataCurve().y[k], (*t.expectedShown)[k] * 1e12, 1e-9) << k;
  }
}

TEST_F(MeasurementTest, FirstReadingOfARunIsOnlyTheReference) {
  measurement.start(settings());
  feed({"00000100", "0000010C", "00000118"});
  ASSERT_EQ(recorded.size(), 2u);

  measurement.start(settings());
  feed({"00000500"});
  EXPECT_EQ(measurement.sampleCount(), 0);
  EXPECT_EQ(recorded.size(), 2u);
  feed({"0000050C"});
  ASSERT_EQ(recorded.size(), 3u);
  EXPECT_NEAR(recorded[2], -12 * kSecondsPerCount, kCountTolerance);
}

TEST_F(MeasurementTest, OnlyALineThatBecomesASampleBringsBackWhatTheWriterSaid) {
  dataFile.answer = {.written = false, .caughtUp = false, .waiting = 2, .reason = "disk full"};
  const struct {
    const char* line;
    Kind kind;
    bool recorded;
  } cases[] = {{"00000000", Kind::Taken, false},  // the run's reference reading
               {"0000000C", Kind::Taken, true},
               {"0010000C", Kind::Taken, false},  // a jump
               {"CL1", Kind::Ignored, false},
               {"00100018", Kind::Taken, true}};
  measurement.start(settings());
  for (const auto& t : cases) {
    const Measurement::LineOutcome outcome = measurement.take(t.line);
    EXPECT_EQ(outcome.kind, t.kind) << t.line;
    ASSERT_EQ(outcome.recorded.has_value(), t.recorded) << t.line;
    if (!t.recorded) continue;
    EXPECT_FALSE(outcome.recorded->written) << t.line;
    EXPECT_EQ(outcome.recorded->waiting, 2) << t.line;
    EXPECT_EQ(outcome.recorded->reason, "disk full") << t.line;
  }
  EXPECT_EQ(recorded.size(), 2u);
}

TEST_F(MeasurementTest, ReadingsAreSignedCountsAndOtherLinesAreIgnored) {
  const struct {
    const char* reference;
    const char* line;
    double counts;
  } cases[] = {{"00000000", "00000001", 1},
               {"00000000", "FFFFFFFF", -1},
               {"FFFFFFFF", "00000001", 2},
               {"7FFFFFF0", "7FFFFFFF", 15}};
  for (const auto& t : cases) {
    recorded.clear();
    measurement.start(settings());
    feed({t.reference, t.line});
    ASSERT_EQ(recorded.size(), 1u) << t.line;
    EXPECT_NEAR(recorded[0], -t.counts * kSecondsPerCount, kCountTolerance) << t.line;
  }

  recorded.clear();
  measurement.start(settings());
  feed({"00000000", "0000000C"});
  for (const char* line : {"0000000", "000000000", "", "CL1"})
    EXPECT_EQ(measurement.take(line).kind, Kind::Ignored) << line;
  feed({"00000018"});
  EXPECT_EQ(measurement.sampleCount(), 2);
  ASSERT_EQ(recorded.size(), 2u);
  EXPECT_NEAR(recorded[1], -12 * kSecondsPerCount, kCountTolerance);
}

TEST_F(MeasurementTest, ReadingThatJumpsBeyondTheLimitIsNoSample) {
  const struct {
    const char* reference;
    const char* line;
    bool accepted;
  } cases[] = {{"00000000", "000927C0", true},
               {"00000000", "000927C1", false},
               {"00000000", "FFF6D840", true},
               {"00000000", "FFF6D83F", false},
               {"7FFFFFFF", "80000000", false}};
  for (const auto& t : cases) {
    dataPlot = FakePlot();
    recorded.clear();
    measurement.start(settings());
    feed({t.reference, t.reference, t.line});
    const std::size_t samples = t.accepted ? 2 : 1;
    EXPECT_EQ(measurement.sampleCount(), static_cast<int>(samples)) << t.line;
    EXPECT_EQ(recorded.size(), samples) << t.line;
    EXPECT_EQ(dataCurve().x.size(), samples) << t.line;
    EXPECT_EQ(dataPlot.replaceCalls, t.accepted ? 0 : 1) << t.line;
  }
}

TEST_F(MeasurementTest, AfterAJumpThePlotsLastPointIsShownAgainAndTheNextReadingReplacesIt) {
  RunSettings s = settings();
  s.shown = Quantity::Phase;
  measurement.start(s);
  feed({"00000000", "0000000C", "0010000C"});
  EXPECT_EQ(recorded.size(), 1u);
  EXPECT_EQ(dataPlot.replaceCalls, 1);
  EXPECT_EQ(dataCurve().x, (std::vector<double>{1}));
  ASSERT_EQ(dataCurve().y.size(), 1u);
  EXPECT_NEAR(dataCurve().y[0], -10, 1e-9);

  // The next reading is sample 2, taken relative to the reading that jumped.
  feed({"00100018"});
  EXPECT_EQ(measurement.sampleCount(), 2);
  ASSERT_EQ(recorded.size(), 2u);
  EXPECT_NEAR(recorded[1], -1e-11, kCountTolerance);
  EXPECT_EQ(dataCurve().x, (std::vector<double>{1, 2}));
  EXPECT_NEAR(dataCurve().y[1], -20, 1e-9);
}

TEST_F(MeasurementTest, JumpOnTheFirstSampleLeavesNothingBehind) {
  measurement.start(settings());
  feed({"00000000", "00100000"});
  EXPECT_EQ(measurement.sampleCount(), 0);
  EXPECT_TRUE(recorded.empty());
  EXPECT_TRUE(dataPlot.curves.empty());
  EXPECT_EQ(dataPlot.replaceCalls, 0);

  feed({"0010000C"});
  EXPECT_EQ(measurement.sampleCount(), 1);
  ASSERT_EQ(recorded.size(), 1u);
  EXPECT_NEAR(recorded[0], -12 * kSecondsPerCount, kCountTolerance);
  EXPECT_EQ(dataCurve().x, (std::vector<double>{1}));
}

TEST_F(MeasurementTest, PlotsAreAutoscaledOnlyWhenAutoscaleIsOn) {
  for (const bool autoscale : {true, false}) {
    dataPlot = FakePlot();
    stabilityPlot = FakePlot();
    RunSettings s = settings();
    s.autoscale = autoscale;
    measurement.start(s);
    for (int i = 0; i < 11; ++i) feed({"00000000"});
    EXPECT_EQ(dataPlot.autoscaleCalls, autoscale ? 10 : 0);
    EXPECT_EQ(stabilityPlot.autoscaleCalls, autoscale ? 1 : 0);
    EXPECT_EQ(stabilityPlot.setCurveCalls, 1);
  }
}

TEST_F(MeasurementTest, StabilityIsAnalysedEveryAnalysisPeriodOnceFiveSamplesAllowALevel) {
  const struct {
    int period;
    int lines;
    int analyses;
    int curvesHandedOver;
    std::size_t lastLevels;
  } cases[] = {
      {10, 10, 0, 0, 0}, {10, 11, 1, 1, 2}, {10, 21, 2, 2, 3}, {3, 4, 1, 0, 0}, {3, 7, 2, 1, 1}};
  for (const auto& t : cases) {
    stabilityPlot = FakePlot();
    measurement.start(settings(1, t.period));
    for (int i = 0; i < t.lines; ++i) feed({"00000000"});
    EXPECT_EQ(stabilityPlot.autoscaleCalls, t.analyses) << t.period << " " << t.lines;
    EXPECT_EQ(stabilityPlot.setCurveCalls, t.curvesHandedOver) << t.period << " " << t.lines;
    EXPECT_EQ(stabilityCurve().x.size(), t.lastLevels) << t.period << " " << t.lines;
  }
}

TEST_F(MeasurementTest, StabilityCurveIsTheOctaveAllanDeviationOfThePhaseSoFar) {
  std::vector<std::int32_t> counts;
  for (int k = 0; k <= 100; ++k)
    counts.push_back(static_cast<std::int32_t>(std::lround(3000 * std::sin(0.37 * k * k))));
  counts[40] += 0x100000;  // a jump out, and one back
  RunSettings s = settings(2);
  s.frequencyOffset = 3e-9;
  measurement.start(s);
  feedCounts(counts);

  const std::vector<double> phase = phaseOf(counts, 2, 3e-9);
  ASSERT_EQ(phase.size(), 98u);
  ASSERT_EQ(measurement.sampleCount(), 98);
  measurement.analyseStability();
  std::vector<stability::StabilityPoint> expected;
  stability::allanDeviationByOctaves(phase, 1, 2, expected);
  ASSERT_EQ(stabilityCurve().x.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(stabilityCurve().x[i], expected[i].tau);
    EXPECT_NEAR(stabilityCurve().y[i] / expected[i].deviation, 1, 1e-9) << i;
  }
}

TEST_F(MeasurementTest, FirstLevelKeepsItsValueAfterThreeTimes8192Samples) {
  // Tau 10 s, analysed every 3 samples: the last analysis before the freeze is at sample 24573.
  constexpr int kFreeze = 3 * 8192;
  std::vector<std::int32_t> counts;
  for (int k = 0; k <= kFreeze + 3; ++k)
    counts.push_back(static_cast<std::int32_t>(std::lround(3000 * std::sin(0.37 * k * k))));
  measurement.start(settings(10, 3));
  feedCounts({counts.begin(), counts.begin() + kFreeze + 1});

  const std::vector<double> phase = phaseOf(counts, 10, 0);
  const std::span<const double> all(phase);
  const double frozen = stability::allanDeviation(all.first(kFreeze - 3), 1, 10);
  std::vector<stability::StabilityPoint> upper;
  stability::allanDeviationByOctaves(all.first(kFreeze), 2, 10, upper);
  ASSERT_EQ(upper.size(), 12u);  // m = 2 .. 4096, the last with 24576 / m >= 5
  ASSERT_EQ(stabilityCurve().x.size(), 13u);
  EXPECT_EQ(stabilityCurve().x[0], 10);
  EXPECT_NEAR(stabilityCurve().y[0] / frozen, 1, 1e-9);
  for (std::size_t i = 0; i < upper.size(); ++i) {
    EXPECT_EQ(stabilityCurve().x[i + 1], upper[i].tau);
    EXPECT_NEAR(stabilityCurve().y[i + 1] / upper[i].deviation, 1, 1e-9) << i;
  }

  feedCounts({counts.begin() + kFreeze + 1, counts.end()});
  EXPECT_NEAR(stabilityCurve().y[0] / frozen, 1, 1e-9);
  const double unfrozen = stability::allanDeviation(all, 1, 10);
  EXPECT_GT(std::abs(unfrozen / frozen - 1), 1e-6);
}

TEST_F(MeasurementTest, RunReachesTheSampleLimitAtLine999999) {
  RunSettings s = settings(1, Measurement::kSampleLimit + 1);  // no analysis on the way
  s.shown = std::nullopt;
  s.autoscale = false;
  measurement.start(s);
  int taken = 0;
  for (int line = 1; line < Measurement::kSampleLimit; ++line)
    taken += measurement.take("00000000").kind == Kind::Taken ? 1 : 0;
  EXPECT_EQ(taken, 999998);
  EXPECT_EQ(measurement.take("00000000").kind, Kind::SampleLimitReached);
  EXPECT_EQ(measurement.sampleCount(), 999998);
  EXPECT_EQ(recorded.size(), 999998u);
}

}  // namespace
}  // namespace tessarin::run
