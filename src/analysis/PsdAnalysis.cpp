#include "analysis/PsdAnalysis.h"

#include "analysis/Conditioning.h"

namespace tessarin::analysis {

platform::Result<SpectrumAnalysis> analyseSpectrum(std::span<const double> phase, double tau0,
                                                   const SpectrumRequest& request) {
  using Made = platform::Result<SpectrumAnalysis>;
  if (needsNominal(request.quantity) && !(request.nominalHz && *request.nominalHz > 0))
    return Made::failure(QStringLiteral("S_phi and L(f) need a positive DUT frequency"));
  // Preprocessing needs a copy; without it the series is read where it lies.
  std::vector<double> preprocessed;
  ConditioningRecord conditioning;
  if (request.preprocessing.any()) {
    preprocessed.assign(phase.begin(), phase.end());
    auto conditioned = conditionPhase(preprocessed, tau0, request.preprocessing);
    if (!conditioned) return Made::failure(conditioned.reason());
    conditioning = std::move(conditioned.value());
    phase = preprocessed;
  }
  const int segment = request.segment > 0 ? request.segment
                                          : defaultSegment(static_cast<std::int64_t>(phase.size()));
  auto welch = welchSpectrum(phase, tau0, segment, request.window);
  if (!welch) return Made::failure(welch.reason());
  SpectrumAnalysis analysis;
  analysis.quantity = request.quantity;
  analysis.nominalHz = request.nominalHz;
  analysis.bandsPerDecade = request.bandsPerDecade;
  analysis.conditioning = std::move(conditioning);
  analysis.welch = std::move(welch.value());
  analysis.points = spectrumBands(analysis.welch, request.quantity, request.nominalHz.value_or(0),
                                  request.bandsPerDecade, request.confidence);
  if (!request.noiseFit) return analysis;
  analysis.levels = levelsFromSpectrum(analysis.welch, request.confidence);
  AnalysisRequest deviations;
  deviations.statistics = {stability::Statistic::Oadev, stability::Statistic::Mdev};
  deviations.confidence = request.confidence.value_or(0.683);
  // A series too short for the deviations leaves their levels not seen.
  const auto series = analyseSeries(phase, tau0, deviations);
  const std::vector<NoiseLevel> more = levelsFromDeviations(
      series ? series.value() : SeriesAnalysis{tau0, {}, {}, {}, {}, {}}, request.confidence);
  analysis.levels.insert(analysis.levels.end(), more.begin(), more.end());
  return analysis;
}

}  // namespace tessarin::analysis
