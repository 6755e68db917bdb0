// What the long-tau statistics cost over 100,000 phase points at octave factors, against the
// figures they are meant to keep: MTOTDEV, TTOTDEV and HTOTDEV within 2 s together, Theo1, TheoBR
// and TheoH within 5 s together (one core, the analyser's estimates without its second thread).
// Prints seconds per statistic, each alone on a series of its own, and then by family over one
// series, as an analysis asking for all three makes them (TTOTDEV takes MTOTDEV's sums, TheoBR and
// TheoH Theo1's).
// Run: ./long_tau_benchmark (a RelWithDebInfo build).

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "analysis/EstimateTable.h"
#include "stability/Statistics.h"

namespace {

using tessarin::stability::Statistic;

constexpr int kPoints = 100'000;

// A DUT 1e-7 off with white frequency and white phase noise, tau0 = 1 s.
std::vector<double> phaseSeries(std::uint64_t seed) {
  std::mt19937_64 random(seed);
  std::normal_distribution<double> noise(0, 1e-11);
  std::vector<double> x;
  double walk = 0;
  for (int k = 0; k < kPoints; ++k) {
    walk += noise(random);
    x.push_back(1e-7 * k + walk + noise(random));
  }
  return x;
}

// The statistics at their octave factors over `phase`, as the analyser makes them on one thread.
double secondsAtOctaves(std::span<const Statistic> statistics, std::span<const double> phase) {
  std::vector<std::vector<int>> factors;
  for (const Statistic statistic : statistics)
    factors.push_back(octaveFactors(statistic, std::ssize(phase)));
  const auto start = std::chrono::steady_clock::now();
  const auto table = tessarin::analysis::estimateTable(statistics, factors, phase, 1, false);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (table.empty()) std::printf("impossible\n");
  return elapsed.count();
}

// Each statistic over its own series (fresh = true), or all together over `phase`.
double family(std::span<const Statistic> statistics, std::span<const double> phase, bool fresh) {
  if (!fresh) {
    const double seconds = secondsAtOctaves(statistics, phase);
    std::printf("  together %8.3f s\n", seconds);
    return seconds;
  }
  double total = 0;
  std::uint64_t seed = 2;
  for (const Statistic statistic : statistics) {
    const std::vector<double> own = phaseSeries(seed++);
    const double seconds = secondsAtOctaves({&statistic, 1}, own);
    std::printf("  %-8s %8.3f s\n", std::string(nameOf(statistic)).c_str(), seconds);
    total += seconds;
  }
  return total;
}

}  // namespace

int main() {
  const std::vector<double> phase = phaseSeries(1);
  std::printf("long-tau statistics, %d phase points, octave factors\n", kPoints);
  constexpr Statistic kTotals[] = {Statistic::Mtotdev, Statistic::Ttotdev, Statistic::Htotdev};
  constexpr Statistic kTheos[] = {Statistic::Theo1, Statistic::Theobr, Statistic::Theoh};
  for (const bool fresh : {true, false}) {
    std::printf(fresh ? "each alone:\n" : "by family over one series:\n");
    std::printf("total deviations: %.3f s (target 2 s)\n", family(kTotals, phase, fresh));
    std::printf("Theo family:      %.3f s (target 5 s)\n", family(kTheos, phase, fresh));
  }
  return 0;
}
