// The offline analysis of a long run: 1,000,000 phase points (white phase and white frequency
// noise) at octave factors, each statistic with its noise identification, EDF and 68 % interval,
// then all nine together (the figure to keep under 0.5 s). EstimatesOnly gives the values alone, so
// the difference is what the intervals cost.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "stability/Confidence.h"

namespace {

using tessarin::stability::Statistic;

constexpr Statistic kAll[] = {Statistic::Adev,   Statistic::Oadev, Statistic::Mdev,
                              Statistic::Tdev,   Statistic::Hdev,  Statistic::Ohdev,
                              Statistic::Totdev, Statistic::Mtie,  Statistic::TieRms};

const std::vector<double>& millionPoints() {
  static const std::vector<double> phase = [] {
    std::mt19937_64 random(1);
    std::normal_distribution<double> normal;
    std::vector<double> x(1'000'000);
    double walk = 0;
    for (double& value : x) {
      walk += 1e-12 * normal(random);
      value = walk + 1e-12 * normal(random);
    }
    return x;
  }();
  return phase;
}

void analyseAll(Statistic statistic) {
  const auto& phase = millionPoints();
  const std::vector<int> factors =
      tessarin::stability::octaveFactors(statistic, static_cast<std::int64_t>(phase.size()));
  benchmark::DoNotOptimize(tessarin::stability::analyse(statistic, phase, 1.0, factors, 0.683));
}

void WithIntervals(benchmark::State& state) {
  const auto statistic = static_cast<Statistic>(state.range(0));
  state.SetLabel(std::string(tessarin::stability::nameOf(statistic)));
  for (auto _ : state) analyseAll(statistic);
}

// The statistic's values alone, without noise identification or intervals.
void EstimatesOnly(benchmark::State& state) {
  const auto statistic = static_cast<Statistic>(state.range(0));
  state.SetLabel(std::string(tessarin::stability::nameOf(statistic)));
  const auto& phase = millionPoints();
  const std::vector<int> factors =
      tessarin::stability::octaveFactors(statistic, static_cast<std::int64_t>(phase.size()));
  for (auto _ : state)
    for (const int factor : factors)
      benchmark::DoNotOptimize(tessarin::stability::estimate(statistic, phase, 1.0, factor));
}

void AllNineWithIntervals(benchmark::State& state) {
  for (auto _ : state)
    for (const Statistic statistic : kAll) analyseAll(statistic);
}

void perStatistic(benchmark::internal::Benchmark* benchmark) {
  for (const Statistic statistic : kAll) benchmark->Arg(static_cast<int>(statistic));
  benchmark->Unit(benchmark::kMillisecond)->Iterations(3);
}

BENCHMARK(WithIntervals)->Apply(perStatistic);
BENCHMARK(EstimatesOnly)->Apply(perStatistic);
BENCHMARK(AllNineWithIntervals)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
