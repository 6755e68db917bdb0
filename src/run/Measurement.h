#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/PlotControl.h"
#include "run/ErrorBars.h"
#include "run/SampleLineWriter.h"
#include "stability/AllanDeviation.h"
#include "stability/RunningStatistic.h"
#include "stability/Statistics.h"

namespace tessarin::run {

// The quantity a run appends to the data file, and the one the data plot shows.
enum class Quantity { Frequency, Phase };

// What a run needs to know from its start to its end (the menus that choose it are locked).
struct RunSettings {
  double tauSeconds = 1;
  // The DUT frequency the readings are scaled to, in whole hertz.
  double dutHz = 0;
  // Fractional offset of the programmed frequency from the DUT's: the phase moves by
  // tau * offset per sample even for a perfect DUT.
  double frequencyOffset = 0;
  int analysisPeriod = 10;  // samples between two stability analyses
  Quantity stored = Quantity::Frequency;
  std::optional<Quantity> shown = Quantity::Frequency;  // nothing: the data plot shows no curve
  bool autoscale = true;
};

// Where a run's results go: the data file's writer takes the stored quantity of each accepted
// sample (none: the samples are not recorded), the data plot one point per sample, the stability
// plot the stability curve.
struct MeasurementOutputs {
  SampleLineWriter* dataFile;
  platform::PlotControl& dataPlot;
  platform::PlotControl& stabilityPlot;
};

// A run's measurement: turns each reading into a phase and a fractional-frequency sample, drops
// readings that jump, and recomputes the Allan deviation every few samples. Owns the run's
// series, allocated once at full size, so that nothing allocates while samples arrive.
//
// The stability plot shows the console's own Allan deviation (Statistic::Adev), whose lowest
// levels freeze as the run grows, or the modified Allan deviation, TDEV or MTIE of the whole run
// so far, kept up to date at the same analysis moments from only the samples taken since the
// last one. The Allan deviation is analysed whatever is shown, so that its frozen levels are there
// when the operator comes back to it.
class Measurement {
 public:
  // The run ends itself when the sample index reaches this value.
  static constexpr int kSampleLimit = 999999;
  static inline const QString kDataCurve = QStringLiteral("Curve1");
  static inline const QString kStabilityCurve = QStringLiteral("Curve2");

  enum class LineKind { Ignored, Taken, SampleLimitReached };
  // What one reply line of the run came to.
  struct LineOutcome {
    LineKind kind = LineKind::Ignored;
    // What became of the sample's line in the data file; nothing when the line gave no sample to
    // record (not a reading, the run's first reading, a jump) or no writer takes the samples.
    std::optional<RecordOutcome> recorded;
  };

  explicit Measurement(MeasurementOutputs outputs);

  // A new run: no samples, the analysis from the first averaging factor.
  void start(const RunSettings& settings);
  // One reply line of the run. Only lines of eight hexadecimal digits are readings; the first
  // reading of a run only sets the reference for the next.
  LineOutcome take(std::string_view line);
  // Recomputes the Allan deviation of the samples so far and hands the curve to the stability
  // plot.
  void analyseStability();

  // What the stability plot shows: Adev, Mdev, Tdev or Mtie. A new choice redraws the curve from
  // the samples of the last analysis at once; the run's data stay as they are.
  void showStatistic(stability::Statistic statistic);
  // Error bars on the stability curve: its 68 % confidence intervals, worked out only while they
  // are shown. MTIE has none.
  void showErrorBars(bool shown);
  bool errorBarsShown() const { return errorBars_; }
  // Works out the 68 % confidence intervals of the curve even while its error bars are hidden, so
  // that the upper bounds are there for a mask's verdict. True when that drew the curve again
  // (and told stabilityCurveShown).
  bool keepIntervals(bool kept);

  // A point of the stability curve as drawn last: the upper bound of its 68 % interval (NaN where
  // there is none or intervals are not worked out) and the terms that went into its value (0 for
  // the console's own Allan deviation, which counts none).
  struct CurvePoint {
    double tau, value, upper;
    std::int64_t terms;
  };
  std::vector<CurvePoint> stabilityCurve() const;
  // Told after each new drawing of the stability curve.
  std::function<void()> stabilityCurveShown;

  // What the stability plot shows.
  stability::Statistic statistic() const { return statistic_; }
  // The Allan deviation's octave levels of the last analysis, kept whatever the plot shows.
  std::span<const stability::StabilityPoint> allanLevels() const { return levels_; }
  // The power-law noise exponent (alpha) each point of the curve as drawn last had its interval
  // worked out for, NaN where none; empty while no intervals are worked out.
  std::span<const double> noiseAlphas() const { return curveAlpha_; }

  // The fractional frequency of the last sample accepted; a run with none has 0.
  double lastFrequency() const { return sampleCount() > 0 ? frequencyOf(sampleCount()) : 0; }
  // Samples accepted so far (N).
  int sampleCount() const { return sampleIndex_ > 0 ? sampleIndex_ - 1 : 0; }
  // Readings the jump rule dropped in this run (kept until the next one starts).
  int rejectedReadings() const { return rejectedInRun_; }
  // Since the console started, over all its runs: samples accepted, readings dropped as jumps.
  std::int64_t samplesSinceStart() const { return samplesSinceStart_; }
  std::int64_t rejectedSinceStart() const { return rejectedSinceStart_; }

 private:
  // What became of the sample's line, when it was handed to the data file's writer.
  std::optional<RecordOutcome> processSample(int n);
  // Puts sample k's phase into the store: at its end, or over the sample a jump left behind.
  void storePhase(std::size_t k, double phase);
  void analyse(int samples);
  void showStabilityCurve(bool evenEmpty);
  void fillErrorBars();
  std::span<const double> series(int samples) const;
  void showSample(int n, bool isNew);
  double frequencyOf(int n) const;

  MeasurementOutputs outputs_;
  RunSettings settings_;
  // phase_[n] is the time error of sample n in seconds; phase_[0] is the reference, 0. It holds
  // the samples taken so far.
  std::vector<double> phase_;
  double reading_ = 0;
  double previousReading_ = 0;
  int sampleIndex_ = 0;  // the sample the next reading becomes; 0 for the reference reading
  int rejectedInRun_ = 0;
  std::int64_t samplesSinceStart_ = 0;
  std::int64_t rejectedSinceStart_ = 0;
  int analysisCount_ = 1;
  int firstFactor_ = 1;  // the averaging factor of the lowest level recomputed
  int frozenLevels_ = 0;
  std::vector<stability::StabilityPoint> levels_;
  // The samples each Allan deviation level was last computed from: N for the levels still
  // recomputed, less for the frozen ones.
  std::vector<int> levelSamples_;
  int analysedSamples_ = 0;  // N at the last analysis
  stability::Statistic statistic_ = stability::Statistic::Adev;
  std::optional<stability::RunningStatistic> running_;  // for any choice but Adev
  bool errorBars_ = false;
  bool intervalsKept_ = false;
  // The error bars of the frozen Allan deviation levels never change: worked out once.
  std::vector<double> frozenLow_, frozenHigh_, frozenAlpha_;
  NoiseTypes noiseTypes_;
  std::vector<double> curveTau_, curveDeviation_, curveLow_, curveHigh_, curveAlpha_;
  std::vector<int> curveFactor_;
  std::vector<std::int64_t> curveTerms_;
};

}  // namespace tessarin::run
