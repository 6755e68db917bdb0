#include "RunAnalysis.h"

#include <QString>
#include <algorithm>
#include <span>
#include <utility>

#include "stability/LongTau.h"
#include "stability/Preprocessing.h"

namespace tessarin::analyze {

namespace {

// The statistic's factors over `sampleCount` phase points, as far as m at least where the series
// allows it. More points never allow fewer factors, so those of a shorter series tell once they
// reach m: the list of every factor, 4 bytes each, is made only as long as m needs, not as long as
// the series.
std::vector<int> factorsReaching(stability::Statistic statistic, int m, std::int64_t sampleCount) {
  std::int64_t points = std::min(sampleCount, 8 * (std::int64_t{m} + 1));
  while (true) {
    std::vector<int> possible = stability::everyFactor(statistic, points);
    if ((!possible.empty() && possible.back() >= m) || points == sampleCount) return possible;
    points = std::min(sampleCount, 2 * points);
  }
}

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
  std::vector<int> factors;
  for (const int m : options.factors) {
    const std::vector<int> possible = factorsReaching(statistic, m, sampleCount);
    if (std::binary_search(possible.begin(), possible.end(), m))
      factors.push_back(m);
    else if (!possible.empty() && m <= possible.back())
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

// Evaluates the statistics asked for over the phase series, preprocessed as `analysis` tells.
platform::Result<RunAnalysis> evaluate(std::span<const double> phase, double tau0,
                                       const Options& options, RunAnalysis analysis) {
  analysis.tau0 = tau0;
  const auto count = static_cast<std::int64_t>(phase.size());
  bool anyTerm = false;
  for (const stability::Statistic statistic : options.statistics) {
    const std::vector<int> factors = factorsFor(statistic, count, options, analysis.warnings);
    if (factors.empty())
      analysis.warnings.push_back(std::string(stability::nameOf(statistic)) +
                                  ": too few samples (" + std::to_string(count) + " phase points)");
    StatisticRows rows{statistic, stability::analyse(statistic, phase, analysis.tau0, factors,
                                                     options.confidence, options.intervals)};
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

}  // namespace

QString whyNoPhase(const RecordedRun& run) {
  if (!run.tauSeconds) return QStringLiteral("its header gives no tau");
  if (!run.quantity) return QStringLiteral("its header gives no data type");
  return {};
}

platform::Result<std::vector<double>> phaseSeries(const RecordedRun& run, bool fromColumnFile) {
  using Series = platform::Result<std::vector<double>>;
  if (const QString why = whyNoPhase(run); !why.isEmpty()) return Series::failure(why);
  if (*run.quantity == run::Quantity::Phase)
    return std::vector<double>(run.samples.begin(), run.samples.end());
  std::vector<double> phase = stability::phaseFromFrequency(run.samples, *run.tauSeconds);
  if (!fromColumnFile) phase.erase(phase.begin());
  return phase;
}

platform::Result<RunAnalysis> analyseRun(const RecordedRun& run, bool fromColumnFile,
                                         const Options& options) {
  if (const QString why = whyNoPhase(run); !why.isEmpty())
    return platform::Result<RunAnalysis>::failure(why);
  if (*run.quantity == run::Quantity::Phase && !options.removeDrift && !options.removeOffset)
    return evaluate(run.samples, *run.tauSeconds, options, {});
  auto series = phaseSeries(run, fromColumnFile);
  return analysePhase(std::move(series.value()), *run.tauSeconds, options);
}

platform::Result<RunAnalysis> analysePhase(std::vector<double> phase, double tau0,
                                           const Options& options) {
  RunAnalysis preprocessed;
  if (options.removeDrift) preprocessed.driftPerDay = stability::removeFrequencyDrift(phase, tau0);
  if (options.removeOffset)
    preprocessed.meanFrequency = stability::removeMeanFrequency(phase, tau0);
  return evaluate(phase, tau0, options, std::move(preprocessed));
}

}  // namespace tessarin::analyze
