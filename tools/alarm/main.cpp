// stability_alarm_validation: how often the console's stability-change alarm goes off in
// stationary noise, and how soon it tells a real change, over simulated white and flicker
// frequency noise at tau 1 s with fixed seeds. Writes its figures as Markdown.
//
//   stability_alarm_validation [--days D] [--trials T] [--threshold H]
//
// False alarms: D days of each noise (default 600, as 20 runs of 30 days), alarms counted.
// Detection: T trials (default 200) of each noise and change, each a run of 6 hours before the
// change at a random moment, then watched for 2 hours: the delay from the change to the alarm.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "analysis/StabilityChange.h"
#include "model/PowerLawNoise.h"

using namespace tessarin;

namespace {

constexpr double kLevel = 1e-11;  // the Allan deviation at 1 s
constexpr int kDay = 86400;
constexpr int kRunDays = 30;
constexpr int kBefore = 6 * 3600;
constexpr int kWatched = 2 * 3600;

struct Noise {
  const char* name;
  sim::NoiseType type;
};
constexpr Noise kNoises[] = {{"white FM", sim::NoiseType::WhiteFrequency},
                             {"flicker FM", sim::NoiseType::FlickerFrequency}};

// The changes: the noise 3 times as large, or the frequency stepped by 5 (7, 10) times the
// Allan deviation at 1 s.
enum class Step { Noise3x, Frequency5Sigma, Frequency7Sigma, Frequency10Sigma };

// The fractional frequency of the next second of a simulated oscillator.
class Oscillator {
 public:
  Oscillator(sim::NoiseType type, std::uint64_t seed) : noise_({{type, kLevel}}, 1, seed) {
    last_ = noise_.next();
  }
  double next() {
    const double x = noise_.next();
    return x - std::exchange(last_, x);
  }

 private:
  sim::PowerLawNoise noise_;
  double last_;
};

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return NAN;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

}  // namespace

int main(int argc, char** argv) {
  int days = 600;
  int trials = 200;
  double threshold = analysis::StabilityChange::kDefaultThreshold;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--days") {
      days = std::atoi(argv[i + 1]);
    } else if (option == "--trials") {
      trials = std::atoi(argv[i + 1]);
    } else if (option == "--threshold") {
      threshold = std::atof(argv[i + 1]);
    } else {
      std::fprintf(stderr, "unknown option %s\n", option.c_str());
      return 2;
    }
  }
  std::printf(
      "Threshold %g; false alarms over %d days of each noise; %d trials of each change.\n\n",
      threshold, days, trials);
  std::printf(
      "| Noise at tau 1 s | False alarms per 30 days | Change | Told within 15 min | "
      "Delay median | Delay 95 %% | Delay longest |\n|---|---|---|---|---|---|---|\n");
  std::uint64_t seed = 1;
  for (const Noise& noise : kNoises) {
    long alarms = 0;
    for (int run = 0; run < days / kRunDays; ++run) {
      Oscillator oscillator(noise.type, seed++);
      analysis::StabilityChange watch(threshold);
      for (int k = 0; k < kRunDays * kDay; ++k)
        if (watch.add(oscillator.next()) == analysis::StabilityChange::Verdict::Changed) ++alarms;
    }
    char perMonth[400];
    std::snprintf(perMonth, sizeof perMonth, "%.3f (%ld in %d days)",
                  static_cast<double>(alarms) * kRunDays / (days / kRunDays * kRunDays), alarms,
                  days / kRunDays * kRunDays);
    for (const Step step :
         {Step::Noise3x, Step::Frequency5Sigma, Step::Frequency7Sigma, Step::Frequency10Sigma}) {
      std::vector<double> delays;
      int within = 0;
      std::mt19937_64 random(seed);
      for (int t = 0; t < trials; ++t) {
        Oscillator oscillator(noise.type, seed++);
        analysis::StabilityChange watch(threshold);
        const int at = kBefore + static_cast<int>(random() % 3600);
        double delay = INFINITY;
        for (int k = 0; k < at + kWatched; ++k) {
          double y = oscillator.next();
          if (k >= at)
            y = step == Step::Noise3x           ? 3 * y
                : step == Step::Frequency5Sigma ? y + 5 * kLevel
                : step == Step::Frequency7Sigma ? y + 7 * kLevel
                                                : y + 10 * kLevel;
          if (watch.add(y) == analysis::StabilityChange::Verdict::Changed && k >= at) {
            delay = k - at + 1;
            break;
          }
        }
        delays.push_back(delay);
        if (delay <= 900) ++within;
      }
      const auto seconds = [](double s) {
        return std::isfinite(s) ? std::to_string(static_cast<long>(s)) + " s"
                                : std::string("not told in 2 h");
      };
      std::printf("| %s | %s | %s | %.1f %% | %s | %s | %s |\n", noise.name,
                  step == Step::Noise3x ? perMonth : "",
                  step == Step::Noise3x           ? "noise 3x"
                  : step == Step::Frequency5Sigma ? "frequency 5 sigma(1 s)"
                  : step == Step::Frequency7Sigma ? "frequency 7 sigma(1 s)"
                                                  : "frequency 10 sigma(1 s)",
                  100.0 * within / trials, seconds(percentile(delays, 0.5)).c_str(),
                  seconds(percentile(delays, 0.95)).c_str(),
                  seconds(percentile(delays, 1.0)).c_str());
    }
  }
  return 0;
}
