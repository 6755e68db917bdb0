#include "run/Measurement.h"

#include <cmath>

#include "link/InstrumentCommands.h"
#include "run/ErrorBars.h"

namespace tessarin::run {

namespace {

// A reading that moves by more than this, scaled like the readings, is a jump: 5e-7 s at 10 MHz.
constexpr double kJumpLimit = 0.005;
// The lowest level is frozen, and the analysis starts one octave higher, each time the first
// level holds 3 x 8192 decimated samples: the long-tau end stays cheap to recompute.
constexpr int kFreezeSamples = 3 * 8192;
// The data plot shows frequency and phase in units of 1E-12.
constexpr double kPlotScale = 1e12;
// At most log2(kSampleLimit) octave levels.
constexpr std::size_t kMostLevels = 32;

// The phase store a run takes at its start: room for the first samples. Past them it grows once,
// to a whole run's size, copying these few; no later line of the run waits for memory. A console
// that never runs takes none.
constexpr std::size_t kFirstPhaseCapacity = 8192;

}  // namespace

Measurement::Measurement(MeasurementOutputs outputs) : outputs_(std::move(outputs)) {
  phase_.push_back(0);
  levels_.reserve(kMostLevels);
  levelSamples_.reserve(kMostLevels);
  for (std::vector<double>* curve :
       {&curveTau_, &curveDeviation_, &curveLow_, &curveHigh_, &curveAlpha_})
    curve->reserve(kMostLevels);
  curveFactor_.reserve(kMostLevels);
  curveTerms_.reserve(kMostLevels);
}

void Measurement::start(const RunSettings& settings) {
  settings_ = settings;
  sampleIndex_ = 0;
  rejectedInRun_ = 0;
  phase_.resize(1);
  phase_.reserve(kFirstPhaseCapacity);
  analysisCount_ = 1;
  firstFactor_ = 1;
  frozenLevels_ = 0;
  levels_.clear();
  levelSamples_.clear();
  frozenLow_.clear();
  frozenHigh_.clear();
  frozenAlpha_.clear();
  noiseTypes_.clear();
  analysedSamples_ = 0;
  if (running_) running_.emplace(statistic_, settings.tauSeconds);
}

Measurement::LineOutcome Measurement::take(std::string_view line) {
  if (line.size() != link::kReadingLength) return {};
  const double counts = link::readingCounts(line);
  reading_ = (counts / link::kReferenceHz) / (settings_.dutHz / 1000);
  LineOutcome outcome;
  if (sampleIndex_ > 0) outcome.recorded = processSample(sampleIndex_);
  previousReading_ = reading_;
  ++sampleIndex_;
  outcome.kind = sampleIndex_ == kSampleLimit ? LineKind::SampleLimitReached : LineKind::Taken;
  return outcome;
}

// Sample n extends the phase by the reading's change and the programmed offset. A reading that
// jumps is not taken: n falls back to the previous sample, which the next reading replaces.
std::optional<RecordOutcome> Measurement::processSample(int n) {
  const auto k = static_cast<std::size_t>(n);
  storePhase(k, phase_[k - 1] - (reading_ - previousReading_) -
                    settings_.tauSeconds * settings_.frequencyOffset);

  const bool jump = std::abs(reading_ - previousReading_) > kJumpLimit / (settings_.dutHz / 1000);
  std::optional<RecordOutcome> recorded;
  if (jump) {
    ++rejectedInRun_;
    ++rejectedSinceStart_;
    n -= 1;
    sampleIndex_ = n;
    // A jump on the run's first sample leaves nothing to show or analyse.
    if (n == 0) return recorded;
  } else {
    ++samplesSinceStart_;
    if (outputs_.dataFile)
      recorded = outputs_.dataFile->recordSample(
          settings_.stored == Quantity::Frequency ? frequencyOf(n) : phase_[k]);
  }
  showSample(n, !jump);

  if (n == kFreezeSamples * firstFactor_) {
    // The level of the old first factor keeps its last value from now on.
    firstFactor_ *= 2;
    ++frozenLevels_;
  }
  if (settings_.analysisPeriod * analysisCount_ == n) {
    ++analysisCount_;
    analyse(n);
  }
  return recorded;
}

void Measurement::storePhase(std::size_t k, double phase) {
  if (k < phase_.size()) {
    phase_[k] = phase;  // the sample after a jump takes the jumped sample's place
    return;
  }
  if (phase_.size() == phase_.capacity())
    phase_.reserve(static_cast<std::size_t>(kSampleLimit) + 1);
  phase_.push_back(phase);
}

void Measurement::showSample(int n, bool isNew) {
  if (settings_.shown) {
    const double value =
        (*settings_.shown == Quantity::Frequency ? frequencyOf(n)
                                                 : phase_[static_cast<std::size_t>(n)]) *
        kPlotScale;
    if (isNew)
      outputs_.dataPlot.appendPoint(kDataCurve, n, value);
    else
      outputs_.dataPlot.replaceLastPoint(kDataCurve, value);
  }
  if (settings_.autoscale) outputs_.dataPlot.autoscaleNow();
}

double Measurement::frequencyOf(int n) const {
  const auto k = static_cast<std::size_t>(n);
  return (phase_[k] - phase_[k - 1]) / settings_.tauSeconds;
}

void Measurement::analyseStability() { analyse(sampleCount()); }

std::span<const double> Measurement::series(int samples) const {
  return std::span(phase_).subspan(1, static_cast<std::size_t>(samples));
}

void Measurement::analyse(int n) {
  analysedSamples_ = n;
  levels_.resize(static_cast<std::size_t>(frozenLevels_));
  stability::allanDeviationByOctaves(series(n), firstFactor_, settings_.tauSeconds, levels_);
  levelSamples_.resize(static_cast<std::size_t>(frozenLevels_));
  levelSamples_.resize(levels_.size(), n);
  if (running_) running_->extend(series(n));
  if (stability::hasConfidenceInterval(statistic_)) noiseTypes_.keepUp(statistic_, series(n));
  showStabilityCurve(false);
  if (settings_.autoscale) outputs_.stabilityPlot.autoscaleNow();
}

void Measurement::showStatistic(stability::Statistic statistic) {
  if (statistic == statistic_) return;
  statistic_ = statistic;
  noiseTypes_.clear();
  if (statistic == stability::Statistic::Adev) {
    running_.reset();
  } else {
    // Built once from the samples so far; from now on each analysis adds only the new ones.
    running_.emplace(statistic, settings_.tauSeconds);
    running_->extend(series(analysedSamples_));
  }
  // The curve of the measure shown before goes, even where the new one has no point yet.
  if (analysedSamples_ > 0) showStabilityCurve(true);
}

void Measurement::showErrorBars(bool shown) {
  if (shown == errorBars_) return;
  errorBars_ = shown;
  if (analysedSamples_ > 0) showStabilityCurve(false);
}

bool Measurement::keepIntervals(bool kept) {
  if (kept == intervalsKept_) return false;
  intervalsKept_ = kept;
  if (analysedSamples_ == 0) return false;
  showStabilityCurve(false);
  return true;
}

std::vector<Measurement::CurvePoint> Measurement::stabilityCurve() const {
  std::vector<CurvePoint> points;
  for (std::size_t i = 0; i < curveTau_.size(); ++i)
    points.push_back({curveTau_[i], curveDeviation_[i],
                      i < curveHigh_.size() ? curveHigh_[i] : std::nan(""), curveTerms_[i]});
  return points;
}

void Measurement::showStabilityCurve(bool evenEmpty) {
  curveTau_.clear();
  curveDeviation_.clear();
  curveFactor_.clear();
  curveTerms_.clear();
  curveLow_.clear();
  curveHigh_.clear();
  curveAlpha_.clear();
  if (statistic_ == stability::Statistic::Adev) {
    int factor = 1;
    for (const stability::StabilityPoint& level : levels_) {
      curveTau_.push_back(level.tau);
      curveDeviation_.push_back(level.deviation);
      curveFactor_.push_back(factor);
      curveTerms_.push_back(0);
      factor *= 2;
    }
  } else if (running_) {
    for (const stability::Estimate& point : running_->octaveCurve()) {
      curveTau_.push_back(point.tau);
      curveDeviation_.push_back(point.value);
      curveFactor_.push_back(point.factor);
      curveTerms_.push_back(point.terms);
    }
  }
  if (curveTau_.empty() && !evenEmpty) return;
  outputs_.stabilityPlot.setCurve(kStabilityCurve, curveTau_, curveDeviation_);
  if (!stability::hasConfidenceInterval(statistic_)) {
    if (stabilityCurveShown) stabilityCurveShown();
    return;
  }
  if (errorBars_ || intervalsKept_) fillErrorBars();
  if (errorBars_) outputs_.stabilityPlot.setErrorBars(kStabilityCurve, curveLow_, curveHigh_);
  if (stabilityCurveShown) stabilityCurveShown();
}

// A frozen Allan deviation level keeps the interval of the samples it was last computed from.
void Measurement::fillErrorBars() {
  curveLow_.clear();
  curveHigh_.clear();
  curveAlpha_.clear();
  const std::span<const int> factors(curveFactor_);
  const std::span<const double> values(curveDeviation_);
  std::size_t recomputed = 0;
  if (statistic_ == stability::Statistic::Adev) {
    recomputed = static_cast<std::size_t>(frozenLevels_);
    for (std::size_t i = frozenLow_.size(); i < recomputed; ++i)
      appendOneSigmaIntervals(statistic_, series(levelSamples_[i]), factors.subspan(i, 1),
                              values.subspan(i, 1), frozenLow_, frozenHigh_, nullptr,
                              &frozenAlpha_);
    curveLow_.assign(frozenLow_.begin(), frozenLow_.end());
    curveHigh_.assign(frozenHigh_.begin(), frozenHigh_.end());
    curveAlpha_.assign(frozenAlpha_.begin(), frozenAlpha_.end());
  }
  appendOneSigmaIntervals(statistic_, series(analysedSamples_), factors.subspan(recomputed),
                          values.subspan(recomputed), curveLow_, curveHigh_, &noiseTypes_,
                          &curveAlpha_);
}

}  // namespace tessarin::run
