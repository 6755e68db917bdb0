// What the stability statistics cost: each of the nine over 1,000,000 phase points at octave
// factors (the offline analysis), all nine together, and one live analysis of a running statistic
// (extend by 10 samples, then the whole octave curve) late in a run of 999999 samples and around
// the sample at which a new octave begins, with the slowest single analysis.
// Run: ./statistics_benchmark (a RelWithDebInfo build).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <random>
#include <span>
#include <vector>

#include "stability/RunningStatistic.h"
#include "stability/Statistics.h"

namespace {

using tessarin::stability::RunningStatistic;
using tessarin::stability::Statistic;

constexpr Statistic kAll[] = {Statistic::Adev,   Statistic::Oadev, Statistic::Mdev,
                              Statistic::Tdev,   Statistic::Hdev,  Statistic::Ohdev,
                              Statistic::Totdev, Statistic::Mtie,  Statistic::TieRms};
constexpr int kLongRun = 999998;
constexpr int kAnalysisPeriod = 10;

// A DUT 1e-7 off with white frequency and white phase noise, tau0 = 1 s.
const std::vector<double>& phaseSeries() {
  static const std::vector<double> phase = [] {
    std::mt19937_64 random(1);
    std::normal_distribution<double> noise(0, 1e-11);
    std::vector<double> x;
    double walk = 0;
    for (int k = 0; k < 1'010'000; ++k) {
      walk += noise(random);
      x.push_back(1e-7 * k + walk + noise(random));
    }
    return x;
  }();
  return phase;
}

void analyseAtOctaves(Statistic statistic, std::span<const double> phase) {
  for (int m : octaveFactors(statistic, std::ssize(phase)))
    benchmark::DoNotOptimize(estimate(statistic, phase, 1, m));
}

void offline(benchmark::State& state) {
  const auto statistic = static_cast<Statistic>(state.range(0));
  const auto phase = std::span(phaseSeries()).first(1'000'000);
  state.SetLabel(std::string(nameOf(statistic)));
  for (auto _ : state) analyseAtOctaves(statistic, phase);
}

void offlineAllNine(benchmark::State& state) {
  const auto phase = std::span(phaseSeries()).first(1'000'000);
  for (auto _ : state)
    for (Statistic statistic : kAll) analyseAtOctaves(statistic, phase);
}

double threadMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) * 1e-3;
}

// Each iteration is one live analysis: 10 more samples, then the curve, from `first` samples on.
// Reports the slowest single analysis as worst_us, in CPU time of this thread, so that a busy
// machine's preemptions do not count.
void liveFrom(benchmark::State& state, std::size_t first) {
  const auto statistic = static_cast<Statistic>(state.range(0));
  const std::vector<double>& phase = phaseSeries();
  RunningStatistic running(statistic, 1);
  for (std::size_t n = kAnalysisPeriod; n <= first; n += kAnalysisPeriod)
    running.extend(std::span(phase).first(n));
  std::size_t n = first;
  double worst = 0;
  for (auto _ : state) {
    const double start = threadMicroseconds();
    n += kAnalysisPeriod;
    running.extend(std::span(phase).first(n));
    benchmark::DoNotOptimize(running.octaveCurve());
    worst = std::max(worst, threadMicroseconds() - start);
  }
  state.counters["worst_us"] = worst;
  state.SetLabel(std::string(nameOf(statistic)));
}

// The last 2000 analyses of the longest run, up to N = 999998.
constexpr int kLiveAnalyses = 2000;
void live(benchmark::State& state) { liveFrom(state, kLongRun - kLiveAnalyses * kAnalysisPeriod); }

// 2000 analyses around N = 2^19, where a new octave begins.
void liveAcrossAnOctave(benchmark::State& state) {
  liveFrom(state, (std::size_t{1} << 19) - kLiveAnalyses * kAnalysisPeriod / 2);
}

void eachStatistic(benchmark::internal::Benchmark* b) {
  for (Statistic statistic : kAll) b->Arg(static_cast<int>(statistic));
}

void liveStatistics(benchmark::internal::Benchmark* b) {
  for (Statistic statistic :
       {Statistic::Adev, Statistic::Oadev, Statistic::Mdev, Statistic::Tdev, Statistic::Mtie})
    b->Arg(static_cast<int>(statistic));
}

BENCHMARK(offline)->Apply(eachStatistic)->Unit(benchmark::kMillisecond);
BENCHMARK(offlineAllNine)->Unit(benchmark::kMillisecond);
BENCHMARK(live)->Apply(liveStatistics)->Iterations(kLiveAnalyses)->Unit(benchmark::kMicrosecond);
BENCHMARK(liveAcrossAnOctave)
    ->Apply(liveStatistics)
    ->Iterations(kLiveAnalyses)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
