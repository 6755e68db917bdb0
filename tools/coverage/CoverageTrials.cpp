#include "CoverageTrials.h"

#include <cmath>
#include <optional>
#include <thread>

#include "ExpectedDeviation.h"
#include "stability/DegreesOfFreedom.h"

namespace tessarin::coverage {

namespace {

constexpr double kLevel = 1e-11;
constexpr double kLeastTerms = 10;

std::vector<double> simulate(sim::NoiseType noise, int length, std::uint64_t seed) {
  sim::PowerLawNoise generator({{noise, kLevel}}, 1.0, seed);
  std::vector<double> x(static_cast<std::size_t>(length));
  for (double& value : x) value = generator.next();
  return x;
}

// The octave factors with at least ten terms; for the total deviation, whose term count does not
// fall with m, those of the overlapping Allan deviation.
std::vector<int> reportedFactors(stability::Statistic statistic, int length) {
  const stability::Statistic counted =
      statistic == stability::Statistic::Totdev ? stability::Statistic::Oadev : statistic;
  std::vector<int> factors;
  for (const int m : stability::octaveFactors(statistic, length))
    if (stability::gapFreeTerms(counted, m, length) >= kLeastTerms) factors.push_back(m);
  return factors;
}

struct Trial {
  double value = 0;
  double edf = 0;
  std::optional<int> alpha;
};

// The shares of one cell (column c of every series' trials), against the truth.
void tally(CoverageCell& cell, const std::vector<std::vector<Trial>>& trials, std::size_t c,
           sim::NoiseType noise, int length, stability::EdfMethod method) {
  double meanSquare = 0;
  double meanFourth = 0;
  for (const auto& series : trials) {
    const double variance = series[c].value * series[c].value;
    meanSquare += variance;
    meanFourth += variance * variance;
  }
  const auto count = static_cast<double>(trials.size());
  meanSquare /= count;
  meanFourth /= count;
  const double rms = std::sqrt(meanSquare);
  cell.measuredEdf = 2 * meanSquare * meanSquare / (meanFourth - meanSquare * meanSquare);
  const std::optional<double> expected =
      expectedDeviation(noise, kLevel, cell.statistic, cell.factor);
  cell.truthFromLevel = expected.has_value();
  cell.truth = expected.value_or(rms);
  cell.meanOverTruth = rms / cell.truth;
  cell.knownAlphaEdf = stability::equivalentDegreesOfFreedom(cell.statistic, alphaOf(noise),
                                                             cell.factor, length, method);
  const auto holds = [&](double value, double edf, double confidence) {
    const stability::ConfidenceInterval interval =
        stability::confidenceInterval(value, edf, confidence);
    return interval.low <= cell.truth && cell.truth <= interval.high;
  };
  for (const auto& series : trials) {
    const Trial& trial = series[c];
    ++cell.trials;
    cell.insideOneSigma += holds(trial.value, trial.edf, 0.683);
    cell.inside95 += holds(trial.value, trial.edf, 0.95);
    cell.insideOneSigmaKnownAlpha += holds(trial.value, cell.knownAlphaEdf, 0.683);
    cell.inside95KnownAlpha += holds(trial.value, cell.knownAlphaEdf, 0.95);
    cell.alphaFound += trial.alpha == alphaOf(noise);
  }
}

}  // namespace

CoverageRun measureCoverage(sim::NoiseType noise, int length,
                            std::span<const stability::Statistic> statistics,
                            const CoverageSettings& settings) {
  CoverageRun run{noise, length, {}};
  std::vector<std::vector<int>> factors;
  for (const stability::Statistic statistic : statistics) {
    factors.push_back(reportedFactors(statistic, length));
    for (const int m : factors.back()) run.cells.push_back({statistic, m});
  }

  // trials[series][cell], each series written by one thread only.
  const auto seriesCount = static_cast<std::size_t>(settings.seriesCount);
  std::vector<std::vector<Trial>> trials(seriesCount);
  const auto analyseSeries = [&](std::size_t series) {
    const std::vector<double> x = simulate(noise, length, settings.firstSeed + series);
    for (std::size_t s = 0; s < statistics.size(); ++s) {
      for (const stability::AnalysisRow& row :
           stability::analyse(statistics[s], x, 1.0, factors[s], 0.683, settings.method))
        trials[series].push_back({row.estimate.value, row.edf, row.alpha});
    }
  };
  const auto threadCount = static_cast<std::size_t>(std::max(1, settings.threads));
  std::vector<std::jthread> workers;
  for (std::size_t t = 0; t < threadCount; ++t) {
    workers.emplace_back([&, t] {
      for (std::size_t series = t; series < seriesCount; series += threadCount)
        analyseSeries(series);
    });
  }
  workers.clear();

  for (std::size_t c = 0; c < run.cells.size(); ++c)
    tally(run.cells[c], trials, c, noise, length, settings.method.edf);
  return run;
}

}  // namespace tessarin::coverage
