#include "RunAnalysis.h"

#include <QString>
#include <algorithm>
#include <limits>
#include <span>
#include <utility>

#include "EstimateTable.h"
#include "TwoThreads.h"
#include "stability/LongTau.h"
#include "stability/NoiseReadings.h"
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

// Below this many phase points every statistic together takes a few milliseconds, less than a
// second thread costs to start.
constexpr std::int64_t kLeastPointsForTwoThreads = 20000;

// Whether the statistic's value itself needs the noise type: the total deviations' noise bias.
bool valueNeedsNoiseType(stability::Statistic statistic, const Options& options) {
  return !options.noBiasCorrection &&
         (statistic == stability::Statistic::Mtotdev ||
          statistic == stability::Statistic::Ttotdev || statistic == stability::Statistic::Htotdev);
}

// The statistic's rows from its estimates, bias removed unless asked not to and, unless only the
// values are asked for, with their intervals.
std::vector<stability::AnalysisRow> rowsOf(stability::Statistic statistic,
                                           std::span<const double> phase, double tau0,
                                           const std::vector<int>& factors,
                                           const std::vector<stability::Estimate>& estimates,
                                           const Options& options,
                                           stability::NoiseReadings& readings) {
  constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  std::vector<stability::AnalysisRow> rows;
  if (options.valuesOnly && !valueNeedsNoiseType(statistic, options)) {
    rows.reserve(estimates.size());
    for (const stability::Estimate& estimate : estimates)
      rows.push_back({estimate, std::nullopt, kNone, {kNone, kNone}});
    return rows;
  }
  rows = stability::analyse(statistic, phase, tau0, factors, options.confidence, options.intervals,
                            &readings, estimates);
  if (!options.noBiasCorrection) stability::removeNoiseBias(statistic, rows);
  if (options.valuesOnly)
    for (stability::AnalysisRow& row : rows)
      row = {row.estimate, std::nullopt, kNone, {kNone, kNone}};
  return rows;
}

// Evaluates the statistics asked for over the phase series, preprocessed as `analysis` tells.
// The statistics share nothing but the series, which none changes, and the noise readings, which
// are the same whichever statistic makes them; so over a long series the estimates, factor by
// factor, and then the statistics' intervals are shared out between two threads, and each row is
// the same as on one.
platform::Result<RunAnalysis> evaluate(std::span<const double> phase, double tau0,
                                       const Options& options, RunAnalysis analysis) {
  analysis.tau0 = tau0;
  const auto count = static_cast<std::int64_t>(phase.size());
  std::vector<std::vector<int>> factors;
  for (const stability::Statistic statistic : options.statistics) {
    factors.push_back(factorsFor(statistic, count, options, analysis.warnings));
    if (factors.back().empty())
      analysis.warnings.push_back(std::string(stability::nameOf(statistic)) +
                                  ": too few samples (" + std::to_string(count) + " phase points)");
  }
  const bool twoThreads = count >= kLeastPointsForTwoThreads;
  const auto estimates = estimateTable(options.statistics, factors, phase, tau0, twoThreads);
  analysis.statistics.resize(options.statistics.size());
  stability::NoiseReadings readings;
  // Each statistic takes the noise readings factor by factor, the second thread's the same as the
  // first's: made ahead, the factors shared out, they are made two at a time.
  std::vector<int> readAhead;
  for (std::size_t i = 0; i < options.statistics.size(); ++i)
    if (stability::hasConfidenceInterval(options.statistics[i]) &&
        (!options.valuesOnly || valueNeedsNoiseType(options.statistics[i], options)))
      readAhead.insert(readAhead.end(), factors[i].begin(), factors[i].end());
  std::sort(readAhead.begin(), readAhead.end());
  readAhead.erase(std::unique(readAhead.begin(), readAhead.end()), readAhead.end());
  if (twoThreads)
    onTwoThreads(std::ssize(readAhead), [&](std::int64_t k) {
      stability::readNoiseAhead(phase, readAhead[static_cast<std::size_t>(k)], options.intervals,
                                readings);
    });
  const auto evaluateOne = [&](std::int64_t k) {
    const auto i = static_cast<std::size_t>(k);
    const stability::Statistic statistic = options.statistics[i];
    analysis.statistics[i] = {
        statistic, rowsOf(statistic, phase, tau0, factors[i], estimates[i], options, readings)};
  };
  const auto statistics = std::ssize(options.statistics);
  if (twoThreads)
    onTwoThreads(statistics, evaluateOne);
  else
    for (std::int64_t k = 0; k < statistics; ++k) evaluateOne(k);
  bool anyTerm = false;
  for (const StatisticRows& rows : analysis.statistics)
    for (const stability::AnalysisRow& row : rows.rows) anyTerm = anyTerm || row.estimate.terms > 0;
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
