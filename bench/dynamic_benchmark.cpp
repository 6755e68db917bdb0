// What --dynamic costs: each deviation over windows of 10,000 of 1,000,000 phase points, a new
// window every 1,000 points, at the octave factors up to 2,048; for oadev also the same windows
// each computed on its own, for comparison. Prints seconds per statistic.
// Run: ./dynamic_benchmark (a RelWithDebInfo build).

#include <chrono>
#include <cstdio>
#include <random>
#include <span>
#include <vector>

#include "analysis/DynamicStability.h"

namespace {

using tessarin::stability::Statistic;

constexpr int kPoints = 1000000;
constexpr tessarin::analysis::DynamicWindows kWindows{10000, 1000};

// A DUT 1e-7 off with white frequency noise, whose phase noise grows tenfold half-way.
std::vector<double> phaseWithAStep() {
  std::mt19937_64 generator(7);
  std::normal_distribution<double> noise;
  std::vector<double> phase(kPoints);
  double walk = 0;
  for (int i = 0; i < kPoints; ++i) {
    walk += 1e-7 + 1e-12 * noise(generator);
    phase[static_cast<std::size_t>(i)] =
        walk + (i < kPoints / 2 ? 1e-11 : 1e-10) * noise(generator);
  }
  return phase;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  const std::vector<double> phase = phaseWithAStep();
  std::printf("%d phase points, windows of %d every %d\n", kPoints, kWindows.window, kWindows.step);
  for (const Statistic statistic :
       {Statistic::Oadev, Statistic::Adev, Statistic::Mdev, Statistic::Tdev, Statistic::Hdev,
        Statistic::Ohdev, Statistic::Totdev}) {
    const auto start = std::chrono::steady_clock::now();
    const auto map = tessarin::analysis::dynamicStability(statistic, phase, 1.0, kWindows);
    std::printf("%-7s sliding: %7.3f s  (%zu windows x %zu factors)\n",
                std::string(tessarin::stability::nameOf(statistic)).c_str(), secondsSince(start),
                map.starts.size(), map.factors.size());
  }
  const auto start = std::chrono::steady_clock::now();
  const std::vector<int> factors = tessarin::analysis::dynamicFactors(Statistic::Oadev, 10000);
  double checksum = 0;
  for (std::size_t first = 0; first + kWindows.window <= phase.size(); first += kWindows.step)
    for (const int m : factors)
      checksum +=
          tessarin::stability::estimate(
              Statistic::Oadev, std::span<const double>(phase).subspan(first, 10000), 1.0, m)
              .value;
  std::printf("oadev   each window on its own: %7.3f s  (checksum %g)\n", secondsSince(start),
              checksum);
}
