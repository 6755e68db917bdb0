// What the long-tau statistics cost over 100,000 phase points at octave factors, each alone and by
// family, against the figures they are meant to keep: MTOTDEV, TTOTDEV and HTOTDEV within 2 s
// together, Theo1, TheoBR and TheoH within 5 s together (one core). Prints seconds per statistic.
// Run: ./long_tau_benchmark (a RelWithDebInfo build).

#include <chrono>
#include <cstdio>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "stability/Statistics.h"

namespace {

using tessarin::stability::Statistic;

constexpr int kPoints = 100'000;

// A DUT 1e-7 off with white frequency and white phase noise, tau0 = 1 s.
std::vector<double> phaseSeries() {
  std::mt19937_64 random(1);
  std::normal_distribution<double> noise(0, 1e-11);
  std::vector<double> x;
  double walk = 0;
  for (int k = 0; k < kPoints; ++k) {
    walk += noise(random);
    x.push_back(1e-7 * k + walk + noise(random));
  }
  return x;
}

double secondsAtOctaves(Statistic statistic, std::span<const double> phase) {
  const auto start = std::chrono::steady_clock::now();
  double sink = 0;
  for (int m : octaveFactors(statistic, std::ssize(phase)))
    sink += estimate(statistic, phase, 1, m).value;
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (sink < 0) std::printf("impossible\n");
  return elapsed.count();
}

double family(std::span<const Statistic> statistics, std::span<const double> phase) {
  double total = 0;
  for (Statistic statistic : statistics) {
    const double seconds = secondsAtOctaves(statistic, phase);
    std::printf("  %-8s %8.3f s\n", std::string(nameOf(statistic)).c_str(), seconds);
    total += seconds;
  }
  return total;
}

}  // namespace

int main() {
  const std::vector<double> phase = phaseSeries();
  std::printf("long-tau statistics, %d phase points, octave factors\n", kPoints);
  constexpr Statistic kTotals[] = {Statistic::Mtotdev, Statistic::Ttotdev, Statistic::Htotdev};
  constexpr Statistic kTheos[] = {Statistic::Theo1, Statistic::Theobr, Statistic::Theoh};
  const double totals = family(kTotals, phase);
  std::printf("total deviations: %.3f s (target 2 s)\n", totals);
  const double theos = family(kTheos, phase);
  std::printf("Theo family:      %.3f s (target 5 s)\n", theos);
  return 0;
}
