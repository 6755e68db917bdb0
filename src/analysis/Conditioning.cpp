#include "analysis/Conditioning.h"

#include <QString>
#include <cmath>
#include <limits>

#include "analysis/DriftModels.h"
#include "analysis/FrequencySteps.h"
#include "analysis/OutlierScreen.h"
#include "stability/Preprocessing.h"

namespace tessarin::analysis {

namespace {

using Record = platform::Result<ConditioningRecord>;
constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

// The screen, refused when it finds too many to take out.
platform::Result<OutlierScreen> screened(std::span<const double> frequency,
                                         const Preprocessing& preprocessing,
                                         std::int64_t sampleOffset) {
  OutlierScreen screen = screenOutliers(frequency, *preprocessing.outlierLimit, sampleOffset);
  screen.removed = !preprocessing.keepOutliers;
  if (screen.removed && outlierShare(screen) > kMostOutlierShare)
    return platform::Result<OutlierScreen>::failure(
        QString("%1 of %2 frequencies (%3 %) lie beyond %4 MADs of the median, more than %5 %: "
                "not an outlier problem, which taking them out would hide")
            .arg(screen.outliers.size())
            .arg(screen.valid)
            .arg(100 * outlierShare(screen), 0, 'g', 3)
            .arg(screen.limit)
            .arg(100 * kMostOutlierShare));
  return screen;
}

std::vector<double> differencesOf(std::span<const double> phase, double tau0) {
  std::vector<double> frequency;
  frequency.reserve(phase.size());
  for (std::size_t k = 1; k < phase.size(); ++k)
    frequency.push_back((phase[k] - phase[k - 1]) / tau0);
  return frequency;
}

// Phase data: an outlying difference y_k lies between x_k and x_{k+1}; a run of them y_a .. y_b
// makes x_{a+1} .. x_b gaps (a spike at one phase sample gives two), a lone one x_{a+1}.
void gapPhaseAt(std::vector<double>& phase, OutlierScreen& screen) {
  const std::vector<Outlier>& found = screen.outliers;
  for (std::size_t i = 0; i < found.size();) {
    std::size_t j = i;
    while (j + 1 < found.size() && found[j + 1].sample == found[j].sample + 1) ++j;
    // Samples here are the later phase samples: a + 1 .. b + 1.
    const std::int64_t first = found[i].sample;
    const std::int64_t last = j > i ? found[j].sample - 1 : first;
    for (std::int64_t k = first; k <= last; ++k) {
      phase[static_cast<std::size_t>(k)] = kGap;
      screen.gaps.push_back(k);
    }
    i = j + 1;
  }
}

// The phase models and the offset, the last steps for both data types.
void finishOnPhase(std::vector<double>& phase, double tau0, const Preprocessing& preprocessing,
                   ConditioningRecord& record) {
  const DriftModel model = preprocessing.drift;
  if (model == DriftModel::PhaseQuadratic || model == DriftModel::Quadratic ||
      model == DriftModel::Average)
    record.drift = removePhaseDriftModel(model, phase, tau0);
  if (preprocessing.removeOffset)
    record.meanFrequency = stability::removeMeanFrequency(phase, tau0);
}

}  // namespace

std::string whyNotFor(DriftModel model, run::Quantity quantity) {
  const bool phaseOnly = model == DriftModel::Average;
  const bool frequencyOnly =
      model == DriftModel::Linear || model == DriftModel::Log || model == DriftModel::Diffusion;
  if (quantity == run::Quantity::Phase && frequencyOnly)
    return "the drift model " + std::string(nameOf(model)) +
           " is for frequency data, and these are phase data (for them: quadratic, average)";
  if (quantity == run::Quantity::Frequency && phaseOnly)
    return "the drift model " + std::string(nameOf(model)) +
           " is for phase data, and these are frequency data (for them: linear, quadratic, log, "
           "diffusion)";
  return {};
}

platform::Result<ConditioningRecord> conditionPhase(std::vector<double>& phase, double tau0,
                                                    const Preprocessing& preprocessing) {
  if (const std::string why = whyNotFor(preprocessing.drift, run::Quantity::Phase); !why.empty())
    return Record::failure(QString::fromStdString(why));
  ConditioningRecord record;
  if (preprocessing.outlierLimit) {
    auto screen = screened(differencesOf(phase, tau0), preprocessing, 1);
    if (!screen) return Record::failure(screen.reason());
    record.outliers = std::move(screen.value());
    if (record.outliers->removed) gapPhaseAt(phase, *record.outliers);
  }
  if (preprocessing.stepLimit) {
    record.steps = findFrequencySteps(differencesOf(phase, tau0), *preprocessing.stepLimit, 1);
    record.steps->removed = preprocessing.removeSteps;
    if (record.steps->removed && !record.steps->steps.empty()) {
      // x_k = x_0 + tau0 (y_0 + ... + y_{k-1}): each difference's offset carried on.
      double carried = 0;
      for (std::size_t k = 1; k < phase.size(); ++k) {
        carried += stepOffsetAt(*record.steps, static_cast<std::int64_t>(k)) * tau0;
        phase[k] += carried;
      }
    }
  }
  finishOnPhase(phase, tau0, preprocessing, record);
  return record;
}

platform::Result<ConditionedSeries> conditionSamples(std::span<const double> samples,
                                                     run::Quantity quantity, double tau0,
                                                     bool keepFirstPoint,
                                                     const Preprocessing& preprocessing) {
  using Conditioned = platform::Result<ConditionedSeries>;
  ConditionedSeries conditioned;
  if (quantity == run::Quantity::Phase) {
    conditioned.phase.assign(samples.begin(), samples.end());
    auto record = conditionPhase(conditioned.phase, tau0, preprocessing);
    if (!record) return Conditioned::failure(record.reason());
    conditioned.record = std::move(record.value());
    return conditioned;
  }
  if (const std::string why = whyNotFor(preprocessing.drift, quantity); !why.empty())
    return Conditioned::failure(QString::fromStdString(why));
  ConditioningRecord& record = conditioned.record;
  std::vector<double> frequency;
  if (preprocessing.onFrequency()) frequency.assign(samples.begin(), samples.end());
  if (preprocessing.outlierLimit) {
    auto screen = screened(frequency, preprocessing, 0);
    if (!screen) return Conditioned::failure(screen.reason());
    record.outliers = std::move(screen.value());
    if (record.outliers->removed)
      for (const Outlier& outlier : record.outliers->outliers) {
        frequency[static_cast<std::size_t>(outlier.sample)] = kGap;
        record.outliers->gaps.push_back(outlier.sample);
      }
  }
  if (preprocessing.stepLimit) {
    record.steps = findFrequencySteps(frequency, *preprocessing.stepLimit);
    record.steps->removed = preprocessing.removeSteps;
    if (record.steps->removed && !record.steps->steps.empty())
      for (std::size_t k = 0; k < frequency.size(); ++k)
        frequency[k] += stepOffsetAt(*record.steps, static_cast<std::int64_t>(k));
  }
  const bool onPhase = preprocessing.drift == DriftModel::PhaseQuadratic;
  if (preprocessing.drift != DriftModel::None && !onPhase)
    record.drift = removeFrequencyDriftModel(preprocessing.drift, frequency, tau0);
  conditioned.phase =
      stability::phaseFromFrequency(preprocessing.onFrequency() ? frequency : samples, tau0);
  if (!keepFirstPoint) conditioned.phase.erase(conditioned.phase.begin());
  // What is left for the phase: the phase quadratic, and the offset.
  Preprocessing onPhaseOnly;
  onPhaseOnly.drift = onPhase ? DriftModel::PhaseQuadratic : DriftModel::None;
  onPhaseOnly.removeOffset = preprocessing.removeOffset;
  finishOnPhase(conditioned.phase, tau0, onPhaseOnly, record);
  return conditioned;
}

}  // namespace tessarin::analysis
