#include "RunAnalysis.h"

#include <QString>
#include <algorithm>
#include <utility>

#include "stability/LongTau.h"
#include "stability/Preprocessing.h"

namespace tessarin::analyze {

namespace {

std::vector<int> factorsFor(stability::Statistic statistic, std::int64_t sampleCount,
                            const Options& options, std::vector<std::string>& warnings) {
  switch (options.factorSet) {
    case FactorSet::Octave:
      return stability::octaveFactors(statistic, sampleCount);
    case FactorSet::Decade:
      return stability::decadeFactors(statistic, sampleCount);
    case FactorSet::Every:
      return stability::everyFactor(statistic, sampleCount);
    case FactorSet::Listed:
      break;
  }
  const std::vector<int> possible = stability::everyFactor(statistic, sampleCount);
  const int longest = possible.empty() ? 0 : possible.back();
  std::vector<int> factors;
  for (const int m : options.factors) {
    if (std::binary_search(possible.begin(), possible.end(), m))
      factors.push_back(m);
    else if (m <= longest)
      warnings.push_back("m = " + std::to_string(m) + " is not an averaging factor of " +
                         std::string(stability::nameOf(statistic)) + " (theo1 and theobr take " +
                         "even m, theoh from a tenth of the record on); left out");
    else
      warnings.push_back("m = " + std::to_string(m) + " is too long for " +
                         std::string(stability::nameOf(statistic)) + " over " +
                         std::to_string(sampleCount) + " phase points; left out");
  }
  return factors;
}

}  // namespace

platform::Result<std::vector<double>> phaseSeries(const RecordedRun& run, bool fromColumnFile) {
  using Series = platform::Result<std::vector<double>>;
  if (!run.tauSeconds) return Series::failure(QStringLiteral("its header gives no tau"));
  if (!run.quantity) return Series::failure(QStringLiteral("its header gives no data type"));
  if (*run.quantity == run::Quantity::Phase) return run.samples;
  std::vector<double> phase = stability::phaseFromFrequency(run.samples, *run.tauSeconds);
  if (!fromColumnFile) phase.erase(phase.begin());
  return phase;
}

platform::Result<RunAnalysis> analyseRun(const RecordedRun& run, bool fromColumnFile,
                                         const Options& options) {
  auto series = phaseSeries(run, fromColumnFile);
  if (!series) return platform::Result<RunAnalysis>::failure(series.reason());
  return analysePhase(std::move(series.value()), *run.tauSeconds, options);
}

platform::Result<RunAnalysis> analysePhase(std::vector<double> phase, double tau0,
                                           const Options& options) {
  RunAnalysis analysis;
  analysis.tau0 = tau0;
  if (options.removeDrift)
    analysis.driftPerDay = stability::removeFrequencyDrift(phase, analysis.tau0);
  if (options.removeOffset)
    analysis.meanFrequency = stability::removeMeanFrequency(phase, analysis.tau0);

  const auto count = static_cast<std::int64_t>(phase.size());
  bool anyTerm = false;
  for (const stability::Statistic statistic : options.statistics) {
    const std::vector<int> factors = factorsFor(statistic, count, options, analysis.warnings);
    if (factors.empty())
      analysis.warnings.push_back(std::string(stability::nameOf(statistic)) +
                                  ": too few samples (" + std::to_string(count) + " phase points)");
    StatisticRows rows{statistic, stability::analyse(statistic, phase, analysis.tau0, factors,
                                                     options.confidence)};
    if (!options.noBiasCorrection) stability::removeNoiseBias(statistic, rows.rows);
    for (const stability::AnalysisRow& row : rows.rows) anyTerm = anyTerm || row.estimate.terms > 0;
    analysis.statistics.push_back(std::move(rows));
  }
  if (!anyTerm)
    return platform::Result<RunAnalysis>::failure(
        QString("too few samples (%1 phase points, gaps included) for the statistics asked for")
            .arg(count));
  return analysis;
}

}  // namespace tessarin::analyze
