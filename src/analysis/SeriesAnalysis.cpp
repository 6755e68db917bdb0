#include "analysis/SeriesAnalysis.h"

#include <QString>
#include <algorithm>
#include <limits>
#include <span>
#include <utility>

#include "analysis/Conditioning.h"
#include "analysis/EstimateTable.h"
#include "analysis/PhaseSeries.h"
#include "analysis/TwoThreads.h"
#include "stability/LongTau.h"
#include "stability/NoiseReadings.h"

namespace tessarin::analysis {

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
                            const AnalysisRequest& request, std::vector<std::string>& warnings) {
  switch (request.factorSet) {
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
  for (const int m : request.factors) {
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
bool valueNeedsNoiseType(stability::Statistic statistic, const AnalysisRequest& request) {
  return !request.noBiasCorrection &&
         (statistic == stability::Statistic::Mtotdev ||
          statistic == stability::Statistic::Ttotdev || statistic == stability::Statistic::Htotdev);
}

// The statistic's rows from its estimates, bias removed unless asked not to and, unless only the
// values are asked for, with their intervals.
std::vector<stability::AnalysisRow> rowsOf(stability::Statistic statistic,
                                           std::span<const double> phase, double tau0,
                                           const std::vector<int>& factors,
                                           const std::vector<stability::Estimate>& estimates,
                                           const AnalysisRequest& request,
                                           stability::NoiseReadings& readings) {
  constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  std::vector<stability::AnalysisRow> rows;
  if (request.valuesOnly && !valueNeedsNoiseType(statistic, request)) {
    rows.reserve(estimates.size());
    for (const stability::Estimate& estimate : estimates)
      rows.push_back({estimate, std::nullopt, kNone, {kNone, kNone}});
    return rows;
  }
  rows = stability::analyse(statistic, phase, tau0, factors, request.confidence, request.intervals,
                            &readings, estimates);
  if (!request.noBiasCorrection) stability::removeNoiseBias(statistic, rows);
  if (request.valuesOnly)
    for (stability::AnalysisRow& row : rows)
      row = {row.estimate, std::nullopt, kNone, {kNone, kNone}};
  return rows;
}

// Evaluates the statistics asked for over the phase series, preprocessed already. The statistics
// share nothing but the series, which none changes, and the noise readings, which are the same
// whichever statistic makes them; so over a long series the estimates, factor by factor, and then
// the statistics' intervals are shared out between two threads, and each row is the same as on
// one.
platform::Result<SeriesAnalysis> evaluate(std::span<const double> phase, double tau0,
                                          const AnalysisRequest& request,
                                          AnalysisProgress* progress, SeriesAnalysis analysis) {
  analysis.tau0 = tau0;
  const auto count = static_cast<std::int64_t>(phase.size());
  std::vector<std::vector<int>> factors;
  for (const stability::Statistic statistic : request.statistics) {
    factors.push_back(factorsFor(statistic, count, request, analysis.warnings));
    if (factors.back().empty())
      analysis.warnings.push_back(std::string(stability::nameOf(statistic)) +
                                  ": too few samples (" + std::to_string(count) + " phase points)");
  }
  const bool twoThreads = count >= kLeastPointsForTwoThreads;
  const auto estimates =
      estimateTable(request.statistics, factors, phase, tau0, twoThreads, progress);
  analysis.statistics.resize(request.statistics.size());
  stability::NoiseReadings readings;
  // Each statistic takes the noise readings factor by factor, the second thread's the same as the
  // first's: made ahead, the factors shared out, they are made two at a time.
  std::vector<int> readAhead;
  for (std::size_t i = 0; i < request.statistics.size(); ++i)
    if (stability::hasConfidenceInterval(request.statistics[i]) &&
        (!request.valuesOnly || valueNeedsNoiseType(request.statistics[i], request)))
      readAhead.insert(readAhead.end(), factors[i].begin(), factors[i].end());
  std::sort(readAhead.begin(), readAhead.end());
  readAhead.erase(std::unique(readAhead.begin(), readAhead.end()), readAhead.end());
  if (twoThreads) {
    if (progress != nullptr)
      progress->begin(AnalysisProgress::Stage::NoiseReadings, std::ssize(readAhead));
    onTwoThreads(std::ssize(readAhead), [&](std::int64_t k) {
      stability::readNoiseAhead(phase, readAhead[static_cast<std::size_t>(k)], request.intervals,
                                readings);
      if (progress != nullptr) progress->advance();
    });
  }
  const auto statistics = std::ssize(request.statistics);
  if (progress != nullptr) progress->begin(AnalysisProgress::Stage::Intervals, statistics);
  const auto evaluateOne = [&](std::int64_t k) {
    const auto i = static_cast<std::size_t>(k);
    const stability::Statistic statistic = request.statistics[i];
    analysis.statistics[i] = {
        statistic, rowsOf(statistic, phase, tau0, factors[i], estimates[i], request, readings)};
    if (progress != nullptr) progress->advance();
  };
  if (twoThreads)
    onTwoThreads(statistics, evaluateOne);
  else
    for (std::int64_t k = 0; k < statistics; ++k) evaluateOne(k);
  if (progress != nullptr) progress->end();
  bool anyTerm = false;
  for (const StatisticRows& rows : analysis.statistics)
    for (const stability::AnalysisRow& row : rows.rows) anyTerm = anyTerm || row.estimate.terms > 0;
  if (!anyTerm)
    return platform::Result<SeriesAnalysis>::failure(
        QString("too few samples (%1 phase points, gaps included) for the statistics asked for")
            .arg(count));
  return analysis;
}

// What the conditioning removed, as the analysis tells it.
SeriesAnalysis conditionedBy(ConditioningRecord record) {
  SeriesAnalysis analysis;
  if (record.drift && record.drift->onPhase && record.drift->model != DriftModel::Average &&
      record.drift->converged)
    analysis.driftPerDay = record.drift->coefficients.front().value;
  analysis.meanFrequency = record.meanFrequency;
  analysis.conditioning = std::move(record);
  return analysis;
}

}  // namespace

platform::Result<SeriesAnalysis> analyseSeries(std::span<const double> phase, double tau0,
                                               const AnalysisRequest& request,
                                               AnalysisProgress* progress) {
  if (!request.preprocessing.any()) return evaluate(phase, tau0, request, progress, {});
  return analysePhase({phase.begin(), phase.end()}, tau0, request, progress);
}

platform::Result<SeriesAnalysis> analysePhase(std::vector<double> phase, double tau0,
                                              const AnalysisRequest& request,
                                              AnalysisProgress* progress) {
  auto record = conditionPhase(phase, tau0, request.preprocessing);
  if (!record) return platform::Result<SeriesAnalysis>::failure(record.reason());
  return evaluate(phase, tau0, request, progress, conditionedBy(std::move(record.value())));
}

platform::Result<SeriesAnalysis> analyseSamples(std::span<const double> samples,
                                                run::Quantity quantity, double tau0,
                                                bool keepFirstPoint, const AnalysisRequest& request,
                                                AnalysisProgress* progress) {
  if (quantity == run::Quantity::Phase) return analyseSeries(samples, tau0, request, progress);
  auto conditioned =
      conditionSamples(samples, quantity, tau0, keepFirstPoint, request.preprocessing);
  if (!conditioned) return platform::Result<SeriesAnalysis>::failure(conditioned.reason());
  return evaluate(conditioned.value().phase, tau0, request, progress,
                  conditionedBy(std::move(conditioned.value().record)));
}

platform::Result<SeriesAnalysis> analyseRun(const records::RecordedRun& run, bool fromColumnFile,
                                            const AnalysisRequest& request,
                                            AnalysisProgress* progress) {
  if (const QString why = whyNoPhase(run); !why.isEmpty())
    return platform::Result<SeriesAnalysis>::failure(why);
  return analyseSamples(run.samples, *run.quantity, *run.tauSeconds, fromColumnFile, request,
                        progress);
}

}  // namespace tessarin::analysis
