#include "HatTrials.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <thread>

#include "ExpectedDeviation.h"
#include "stability/DegreesOfFreedom.h"

namespace tessarin::hatcoverage {

namespace {

using stability::Statistic;

constexpr double kLevel = 1e-11;
constexpr double kLeastTerms = 10;
constexpr std::array<double, 2> kConfidences = {0.683, 0.95};
// Seeds apart per trial: one per oscillator.
constexpr std::uint64_t kSeedsPerTrial = 16;

std::vector<double> simulate(sim::NoiseType noise, double level, int length, std::uint64_t seed) {
  sim::PowerLawNoise generator({{noise, level}}, 1.0, seed);
  std::vector<double> x(static_cast<std::size_t>(length));
  for (double& value : x) value = generator.next();
  return x;
}

// Whether factor m of the statistic has at least ten terms; for the total deviation, whose term
// count does not fall with m, those of the overlapping Allan deviation.
bool reported(Statistic statistic, int m, int length) {
  const Statistic counted = statistic == Statistic::Totdev ? Statistic::Oadev : statistic;
  return stability::gapFreeTerms(counted, m, length) >= kLeastTerms;
}

// One oscillator's separated estimate in one trial: its variance, each method's bounds at each
// confidence (NaN for none), and the oscillator's own variance where the truth is not known.
struct Trial {
  double variance = 0;
  std::array<std::array<std::array<double, 2>, kConfidences.size()>, kMethods.size()> bounds{};
  double own = 0;
};

// Where each cell's estimates lie among the pair analyses' rows.
struct CellPlace {
  std::size_t statistic = 0;
  std::size_t row = 0;
};

void tally(HatCell& cell, const std::vector<std::vector<Trial>>& trials, std::size_t c) {
  if (!cell.truthFromLevel) {
    double own = 0;
    for (const auto& trial : trials) own += trial[c].own;
    cell.truth = std::sqrt(own / static_cast<double>(trials.size()));
  }
  double positiveSquares = 0;
  for (const auto& series : trials) {
    const Trial& trial = series[c];
    ++cell.trials;
    const bool positive = trial.variance > 0;
    cell.positive += positive;
    if (positive) positiveSquares += trial.variance;
    for (std::size_t method = 0; method < kMethods.size(); ++method)
      for (std::size_t k = 0; k < kConfidences.size(); ++k) {
        const auto [low, high] = trial.bounds[method][k];
        const bool below = cell.truth <= high;
        cell.methods[method].upperHeld[k] += below;
        if (positive) cell.methods[method].held[k] += below && !(cell.truth < low);
      }
  }
  cell.meanOverTruth = std::sqrt(positiveSquares / std::max(1, cell.positive)) / cell.truth;
}

}  // namespace

std::vector<HatCase> standardCases() {
  const std::vector<std::pair<int, int>> triangle = {{0, 1}, {1, 2}, {2, 0}};
  const std::vector<std::pair<int, int>> star = {{0, 3}, {1, 3}, {2, 3}};
  return {{"3, triangle", {1, 1, 1}, triangle},
          {"3, triangle, C 10x quieter", {1, 1, 0.1}, triangle},
          {"4, star on R", {1, 1, 1, 1}, star},
          {"4, star on R 10x quieter", {1, 1, 1, 0.1}, star}};
}

HatRun measureHatCoverage(const HatCase& hatCase, sim::NoiseType noise, int length,
                          std::span<const Statistic> statistics, const HatSettings& settings) {
  HatRun run{noise, length, &hatCase, {}};
  const auto oscillators = static_cast<int>(hatCase.levels.size());
  analysis::HatRequest request;
  request.analysis.statistics.assign(statistics.begin(), statistics.end());
  std::vector<CellPlace> places;
  for (std::size_t s = 0; s < statistics.size(); ++s) {
    const std::vector<int> factors = stability::octaveFactors(statistics[s], length);
    for (std::size_t k = 0; k < factors.size(); ++k)
      for (int i = 0; i < oscillators; ++i) {
        if (!reported(statistics[s], factors[k], length)) continue;
        HatCell cell{i, statistics[s], factors[k]};
        const std::optional<double> truth = coverage::expectedDeviation(
            noise, kLevel * hatCase.levels[static_cast<std::size_t>(i)], statistics[s], factors[k]);
        cell.truthFromLevel = truth.has_value();
        cell.truth = truth.value_or(0);
        run.cells.push_back(cell);
        places.push_back({s, k});
      }
  }

  const auto trialCount = static_cast<std::size_t>(settings.trials);
  std::vector<std::vector<Trial>> trials(trialCount);  // [trial][cell], each by one thread
  const auto runTrial = [&](std::size_t t) {
    std::vector<std::vector<double>> x;
    for (int i = 0; i < oscillators; ++i)
      x.push_back(simulate(noise, kLevel * hatCase.levels[static_cast<std::size_t>(i)], length,
                           settings.firstSeed + t * kSeedsPerTrial + static_cast<std::size_t>(i)));
    std::vector<std::vector<double>> differences;
    std::vector<analysis::MeasuredPair> pairs;
    for (const auto& [a, b] : hatCase.pairs) {
      std::vector<double> d(static_cast<std::size_t>(length));
      for (std::size_t n = 0; n < d.size(); ++n)
        d[n] = x[static_cast<std::size_t>(a)][n] - x[static_cast<std::size_t>(b)][n];
      differences.push_back(std::move(d));
    }
    const auto name = [](int i) { return std::string(1, "ABCR"[i]); };
    for (std::size_t p = 0; p < differences.size(); ++p) {
      const auto [a, b] = hatCase.pairs[p];
      pairs.push_back({{name(a), name(b)}, differences[p], "pair " + std::to_string(p + 1)});
    }
    const auto hat = analysis::analyseHat(pairs, 1.0, request);
    // The hat numbers the oscillators in the order the pairs name them.
    std::vector<std::size_t> separatedAs;
    for (int i = 0; i < oscillators; ++i)
      separatedAs.push_back(
          static_cast<std::size_t>(std::find(hat.value().topology.oscillators.begin(),
                                             hat.value().topology.oscillators.end(), name(i)) -
                                   hat.value().topology.oscillators.begin()));
    std::vector<Trial>& out = trials[t];
    out.resize(run.cells.size());
    // Every method at every confidence once at each place, for the oscillators' cells that follow.
    for (std::size_t c = 0; c < run.cells.size(); ++c) {
      if (c > 0 && places[c].statistic == places[c - 1].statistic &&
          places[c].row == places[c - 1].row)
        continue;
      for (std::size_t method = 0; method < kMethods.size(); ++method)
        for (std::size_t k = 0; k < kConfidences.size(); ++k) {
          analysis::HatRequest again = request;
          again.intervals = kMethods[method];
          again.analysis.confidence = kConfidences[k];
          const std::vector<analysis::HatRow> rows =
              analysis::separateAt(hat.value(), places[c].statistic, places[c].row, again);
          for (std::size_t d = c;
               d < run.cells.size() && places[d].statistic == places[c].statistic &&
               places[d].row == places[c].row;
               ++d) {
            const analysis::HatRow& row =
                rows[separatedAs[static_cast<std::size_t>(run.cells[d].oscillator)]];
            out[d].variance = row.variance;
            out[d].bounds[method][k] = {row.ciLow.value_or(0), row.ciHigh.value_or(0)};
          }
        }
    }
    for (std::size_t c = 0; c < run.cells.size(); ++c)
      if (!run.cells[c].truthFromLevel) {
        const double own = stability::estimate(run.cells[c].statistic,
                                               x[static_cast<std::size_t>(run.cells[c].oscillator)],
                                               1.0, run.cells[c].factor)
                               .value;
        out[c].own = own * own;
      }
  };
  const auto threadCount = static_cast<std::size_t>(std::max(1, settings.threads));
  std::vector<std::jthread> workers;
  for (std::size_t w = 0; w < threadCount; ++w)
    workers.emplace_back([&, w] {
      for (std::size_t t = w; t < trialCount; t += threadCount) runTrial(t);
    });
  workers.clear();
  for (std::size_t c = 0; c < run.cells.size(); ++c) tally(run.cells[c], trials, c);
  return run;
}

bool meetsGoal(const HatCell& cell, std::size_t method) {
  const double positive = std::max(1, cell.positive);
  const double oneSigma = 100.0 * cell.methods[method].held[0] / positive;
  const double wide = 100.0 * cell.methods[method].held[1] / positive;
  return std::abs(oneSigma - 68.3) <= 5 && std::abs(wide - 95) <= 3;
}

}  // namespace tessarin::hatcoverage
