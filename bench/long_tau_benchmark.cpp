// What the long-tau statistics cost over 100,000 phase points at octave factors, against the
// figures they are meant to keep: MTOTDEV, TTOTDEV and HTOTDEV within 2 s together, Theo1, TheoBR
// and TheoH within 5 s together (one core). Prints seconds per statistic, each alone on a series of
// its own (nothing kept from another) and then by family over one series, as an analysis asking
// for all three runs them (TTOTDEV reuses MTOTDEV's sums, TheoBR and TheoH Theo1's).
// Run: ./long_tau_benchmark (a RelWithDebInfo build).

#include <chrono>
#include <cstdint>
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

double secondsAtOctaves(Statistic statistic, std::span<const double> phase) {
  const auto start = std::chrono::steady_clock::now();
  double sink = 0;
  for (int m : octaveFactors(statistic, std::ssize(phase)))
    sink += estimate(statistic, phase, 1, m).value;
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (sink < 0) std::printf("impossible\n");
  return elapsed.count();
}

// Each statistic over its own series (fresh = true) or all over `phase`.
double family(std::span<const Statistic> statistics, std::span<const double> phase, bool fresh) {
  double total = 0;
  std::uint64_t seed = 2;
  for (Statistic statistic : statistics) {
    const std::vector<double> own = fresh ? phaseSeries(seed++) : std::vector<double>();
    const double seconds =
        secondsAtOctaves(statistic, fresh ? std::span<const double>(own) : phase);
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
