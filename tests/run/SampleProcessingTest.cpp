#include <gtest/gtest.h>

#include "run/DataFile.h"
#include "run/RunFixture.h"
#include "run/SampleProcessing.h"

namespace {

// One count of the 120 MHz reference at 10 MHz is a reading of 1 / 1.2e12 s.
constexpr double kSecondsPerCount = 1.0 / 1.2e12;

class SampleProcessingTest : public RunFixture {
 protected:
  // Starts a run with tau 1 s (or the list entry `tau`) and no frequency offset.
  Console& running(const QString& tau = {}) {
    Console& c = initializedConsole();
    if (!tau.isEmpty()) {
      c.menus.tau.setChecked(true);
      c.windows.tauList.setSelectedIndex(static_cast<int>(c.windows.tauList.items().indexOf(tau)));
    }
    c.st.dblProgFreq = kDutFreq;
    c.menus.startStop.click();
    headerSize = dataFile().size();
    return c;
  }
  void feed(std::initializer_list<const char*> lines) {
    for (const char* line : lines) handleSampleLine(*console, line);
  }
  QByteArray sampleLines() const { return dataFile().mid(headerSize); }
  int sampleLineCount() const { return static_cast<int>(sampleLines().count("\r\n")); }

  qsizetype headerSize = 0;
};

TEST_F(SampleProcessingTest, ReadingsAccumulateIntoPhaseAndFrequencySamples) {
  Console& c = running();
  c.st.dblFreqOffset = 1e-9;
  feed({"00000000", "0000000C", "00000018", "FFFFFFF4"});

  const ConsoleState& st = c.st;
  EXPECT_EQ(st.dblSampleIndex, 4);
  EXPECT_NEAR(st.dblPhaseData[1], -1.01e-9, 1e-22);
  EXPECT_NEAR(st.dblPhaseData[2], -2.02e-9, 1e-22);
  EXPECT_NEAR(st.dblPhaseData[3], -2.99e-9, 1e-22);
  EXPECT_NEAR(st.dblFreqData[1], -1.01e-9, 1e-22);
  EXPECT_NEAR(st.dblFreqData[3], -0.97e-9, 1e-22);
  EXPECT_EQ(sampleLines(), formatSampleLine(st.dblFreqData[1]) +
                               formatSampleLine(st.dblFreqData[2]) +
                               formatSampleLine(st.dblFreqData[3]));
}

TEST_F(SampleProcessingTest, PhaseDataRunStoresPhaseSamples) {
  Console& c = initializedConsole();
  c.menus.phaseData.click();
  c.menus.startStop.click();
  headerSize = dataFile().size();
  feed({"00000000", "0000000C"});
  EXPECT_EQ(sampleLines(), formatSampleLine(c.st.dblPhaseData[1]));
}

TEST_F(SampleProcessingTest, LinesAreReadAsSignedCounts) {
  const struct {
    const char* line;
    double count;
  } cases[] = {
      {"00000001", 1}, {"FFFFFFFF", -1}, {"80000000", -2147483648.0}, {"7FFFFFFF", 2147483647.0}};
  Console& c = running();
  for (const auto& test : cases) {
    feed({test.line});
    EXPECT_DOUBLE_EQ(c.st.dblReading, test.count * kSecondsPerCount) << test.line;
  }
}

TEST_F(SampleProcessingTest, LinesOfAnotherLengthChangeNothing) {
  Console& c = running();
  feed({"00000000", "0000000C"});
  const QByteArray file = dataFile();
  for (const char* line : {"0000000", "000000000", "", "CL1"}) {
    feed({line});
    EXPECT_EQ(c.st.dblSampleIndex, 2) << line;
    EXPECT_DOUBLE_EQ(c.st.dblPrevReading, 12 * kSecondsPerCount) << line;
  }
  EXPECT_EQ(dataFile(), file);
}

// At 10 MHz the jump limit is 5e-7 s, i.e. 600000 counts (0x927C0).
TEST_F(SampleProcessingTest, JumpAtThresholdIsAcceptedAndJustAboveIsRejected) {
  const struct {
    const char* line;
    bool accepted;
  } cases[] = {{"000927C0", true}, {"000927C1", false}, {"FFF6D840", true}, {"FFF6D83F", false}};
  for (const auto& test : cases) {
    console.reset();
    Console& c = running();
    feed({"00000000", "00000000", test.line});
    EXPECT_EQ(c.st.dblSampleIndex, test.accepted ? 3 : 2) << test.line;
    EXPECT_EQ(sampleLineCount(), test.accepted ? 2 : 1) << test.line;
    EXPECT_EQ(dataPlot.curves.at(0).y.size(), test.accepted ? 2u : 1u) << test.line;
  }
}

TEST_F(SampleProcessingTest, RejectedJumpNeverEntersThePhase) {
  Console& c = running();
  feed({"00000000", "00000000", "00100000", "0010000C"});
  EXPECT_EQ(c.st.dblSampleIndex, 3);
  EXPECT_NEAR(c.st.dblPhaseData[2], -12 * kSecondsPerCount, 1e-22);
  EXPECT_EQ(sampleLineCount(), 2);
}

TEST_F(SampleProcessingTest, JumpOnFirstSampleIsDroppedWithoutTouchingAnything) {
  Console& c = running();
  feed({"00000000", "00100000"});
  EXPECT_EQ(c.st.dblSampleIndex, 1);
  EXPECT_EQ(c.st.intSampleRejected, 0);
  EXPECT_EQ(sampleLineCount(), 0);
  EXPECT_TRUE(dataPlot.curves.empty());

  feed({"0010000C"});
  EXPECT_EQ(c.st.dblSampleIndex, 2);
  EXPECT_NEAR(c.st.dblPhaseData[1], -12 * kSecondsPerCount, 1e-22);
  EXPECT_EQ(sampleLineCount(), 1);
  ASSERT_EQ(dataPlot.curves.size(), 1u);
  EXPECT_EQ(dataPlot.curves[0].y.size(), 1u);
}

TEST_F(SampleProcessingTest, DataPlotShowsSampleKAtPointK) {
  for (const bool phaseDisplay : {false, true}) {
    console.reset();
    dataPlot = FakePlot();
    Console& c = initializedConsole();
    c.menus.showFrequencyDiff.setChecked(!phaseDisplay);
    c.menus.showPhaseDiff.setChecked(phaseDisplay);
    c.st.dblProgFreq = kDutFreq;
    c.menus.startStop.click();
    feed({"00000000", "0000000C", "00000030", "00000018"});

    ASSERT_EQ(dataPlot.curves.size(), 1u);
    const FakePlot::Curve& curve = dataPlot.curves[0];
    EXPECT_EQ(curve.name, "Curve1");
    EXPECT_EQ(curve.x, (std::vector<double>{1, 2, 3}));
    const std::vector<double>& series = phaseDisplay ? c.st.dblPhaseData : c.st.dblFreqData;
    for (int k = 1; k <= 3; ++k) EXPECT_DOUBLE_EQ(curve.y[k - 1], series[k] * 1e12) << k;
    EXPECT_EQ(dataPlot.replaceCalls, 3);
    EXPECT_EQ(dataPlot.autoscaleCalls, 3);
  }
}

TEST_F(SampleProcessingTest, FixedLimitsAreNotAutoscaledAway) {
  Console& c = initializedConsole();
  c.menus.limits.click();
  c.menus.startStop.click();
  feed({"00000000", "0000000C", "00000018"});
  EXPECT_EQ(dataPlot.autoscaleCalls, 0);
}

TEST_F(SampleProcessingTest, AnalysisRunsEveryTenSamplesOrEveryThreeFromTenSeconds) {
  const struct {
    QString tau;
    int lines;
    int analyses;
    std::size_t lastLevels;
  } cases[] = {{"", 10, 0, 0}, {"", 11, 1, 2}, {"5", 21, 2, 3}, {"10", 4, 1, 0}, {"10", 7, 2, 1}};
  for (const auto& test : cases) {
    console.reset();
    stabilityPlot = FakePlot();
    Console& c = running(test.tau);
    const int removalsAtStart = stabilityPlot.removeAllCalls;
    for (int i = 0; i < test.lines; ++i) feed({"00000000"});
    EXPECT_EQ(stabilityPlot.removeAllCalls - removalsAtStart, test.analyses) << test.lines;
    EXPECT_EQ(c.st.dblAnalysisCount, test.analyses + 1) << test.lines;
    const std::size_t levels = stabilityPlot.curves.empty() ? 0 : stabilityPlot.curves[0].x.size();
    EXPECT_EQ(levels, test.lastLevels) << test.lines;
  }
}

TEST_F(SampleProcessingTest, FirstLevelFreezesAt24576Samples) {
  Console& c = running("10");
  c.st.dblSampleIndex = 24575;
  c.st.dblAnalysisCount = 8192;
  feed({"00000000"});
  EXPECT_EQ(c.st.dblFirstFactor, 1);

  feed({"00000000"});
  EXPECT_EQ(c.st.dblFirstFactor, 2);
  EXPECT_EQ(c.st.dblLevelOffset, 1);
  EXPECT_EQ(c.st.dblAnalysisCount, 8193);
  // The analysis at the same sample already starts at twice tau0: levels 2 .. 13 (m = 4096 is
  // the last with 24576 / m >= 5), behind the frozen level 1.
  ASSERT_EQ(stabilityPlot.curves.size(), 1u);
  EXPECT_EQ(stabilityPlot.curves[0].x.size(), 13u);
  EXPECT_DOUBLE_EQ(stabilityPlot.curves[0].x[1], 20);
}

TEST_F(SampleProcessingTest, RunEndsItselfAtSample999999) {
  Console& c = running();
  c.st.dblSampleIndex = 999997;
  const std::size_t before = serial.writes.size();
  feed({"00000000"});
  EXPECT_TRUE(commandsFrom(before).empty());

  feed({"00000000"});
  EXPECT_EQ(commandsFrom(before), (std::vector<std::string>{"PH00"}));
  EXPECT_EQ(c.st.intRunning, 0);
  EXPECT_EQ(c.st.intRunStopped, 1);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "Sample 999999");
  EXPECT_EQ(dialogs.messages[0].title, "Tessarin / RS");
  EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Warning);
  EXPECT_EQ(c.menus.startStop.caption(), "S&top");
  EXPECT_EQ(c.status(), "Running...");
  EXPECT_TRUE(c.menus.tau.enabled());
  EXPECT_FALSE(c.menus.com2.enabled());
  EXPECT_EQ(sampleLineCount(), 2);

  // Later lines are no samples any more; one click restores "S&tart" and ends the stream again.
  serial.receive("00000000\r\n");
  EXPECT_EQ(c.st.dblSampleIndex, 999999);
  c.menus.startStop.click();
  EXPECT_EQ(commandsFrom(before), (std::vector<std::string>{"PH00", "PH00"}));
  EXPECT_EQ(c.menus.startStop.caption(), "S&tart");
  EXPECT_EQ(c.status(), "Stop...");
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

}  // namespace
