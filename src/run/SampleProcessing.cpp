#include "run/SampleProcessing.h"

#include <cmath>

#include "app/Console.h"
#include "link/InstrumentCommands.h"
#include "run/AllanDeviation.h"
#include "run/DataFile.h"
#include "run/MenuLocking.h"

namespace {

constexpr double kReferenceHz = 120000000.0;
// A reading that moves by more than this, scaled like the readings, is a jump: 5e-7 s at 10 MHz.
constexpr double kJumpLimit = 0.005;
// The run ends itself when the sample index reaches this value.
constexpr double kLastSampleIndex = 999999;
// Levels are frozen once the first recomputed level holds 3 x 8192 decimated samples.
constexpr double kFreezeSamples = 8192;

// Hands samples 1 .. n of `plotData` to the data plot's "Curve1", so that point k is sample k.
void feedDataPlot(Console& c, const std::vector<double>& plotData, int n) {
  if (c.dataPlot.curveCount() == 0) c.dataPlot.addCurve("Curve1", 1.0, 1.0, &plotData[1], n);
  c.dataPlot.replaceCurveData(1.0, 1.0, &plotData[1], n);
}

// Frequency, data file and data plot for sample `n`, which is accepted or, after a jump, the
// previous sample again.
void recordSample(Console& c, int n) {
  ConsoleState& st = c.st;
  st.dblFreqData[n] = (st.dblPhaseData[n] - st.dblPhaseData[n - 1]) / st.dblTauSeconds;
  if (st.intSampleRejected == 0)
    writeSampleLine(c, c.menus.frequencyData.checked() ? st.dblFreqData[n] : st.dblPhaseData[n]);
  st.intSampleRejected = 0;

  if (c.menus.showFrequencyDiff.checked()) {
    st.dblFreqPlot[n] = st.dblFreqData[n] * 1e12;
    feedDataPlot(c, st.dblFreqPlot, n);
  }
  if (c.menus.showPhaseDiff.checked()) {
    st.dblPhasePlot[n] = st.dblPhaseData[n] * 1e12;
    feedDataPlot(c, st.dblPhasePlot, n);
  }
  if (c.menus.autoscale.checked()) c.dataPlot.autoscaleNow();
}

void processSample(Console& c, double n) {
  ConsoleState& st = c.st;
  const auto k = static_cast<int>(n);
  st.dblPhaseData[k] = st.dblPhaseData[k - 1] - (st.dblReading - st.dblPrevReading) -
                       st.dblTauSeconds * st.dblFreqOffset;

  if (std::abs(st.dblReading - st.dblPrevReading) > kJumpLimit / (st.dblDutFreqRounded / 1000)) {
    st.intSampleRejected = 1;
    n -= 1;
    st.dblSampleIndex = n;
  }
  if (n == 0) {
    // A jump on the run's first sample leaves nothing to recompute or show; the next line
    // writes sample 1 afresh.
    st.intSampleRejected = 0;
    return;
  }
  recordSample(c, static_cast<int>(n));

  if (n / (st.dblFirstFactor * 3) == kFreezeSamples) {
    st.dblFirstFactor *= 2;
    st.dblLevelOffset += 1;
  }
  if (st.dblAnalysisPeriod * st.dblAnalysisCount == n) {
    st.dblAnalysisCount += 1;
    analyseStability(c);
  }
}

void endRunAtSampleLimit(Console& c) {
  sendCommand(c, "PH00");
  c.st.intRunning = 0;
  c.st.intRunStopped = 1;
  unlockMenusAfterRun(c);
  c.dialogs.message("Sample 999999", "Tessarin / RS", Dialogs::Icon::Warning);
}

}  // namespace

void handleSampleLine(Console& c, const std::string& line) {
  if (line.size() != 8) return;
  ConsoleState& st = c.st;
  const double v = readingCounts(line);
  st.dblReading = (v / kReferenceHz) / (st.dblDutFreqRounded / 1000);

  if (st.dblSampleIndex > 0) processSample(c, st.dblSampleIndex);

  st.dblPrevReading = st.dblReading;
  st.dblSampleIndex += 1;
  if (st.dblSampleIndex == kLastSampleIndex) endRunAtSampleLimit(c);
}
