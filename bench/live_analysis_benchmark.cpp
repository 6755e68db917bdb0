// Times one stability analysis of the console at the end of a run of 999998 samples, for each
// measure of the Display menu, without and with error bars, and prints the figures (target: under
// 5 ms each). The analysis runs inside the serial event, so its cost is the console's reaction
// time every 10 samples.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "run/Measurement.h"
#include "support/Fakes.h"
#include "support/ScriptedInstrument.h"

namespace {

using namespace tessarin;
using stability::Statistic;
using Stopwatch = std::chrono::steady_clock;

constexpr int kSamples = 999998;
constexpr int kPeriod = 10;
constexpr int kRounds = 20;

// White phase noise of a few counts on a random walk of the phase (white frequency noise).
class Readings {
 public:
  std::string next() {
    walk_ += walk(random_);
    return test::Hex8(static_cast<std::int32_t>(std::lround(1.2e6 + walk_ + white(random_))));
  }

 private:
  std::mt19937_64 random_{20261207};
  std::normal_distribution<double> white{0, 3};
  std::normal_distribution<double> walk{0, 1};
  double walk_ = 0;
};

struct Figures {
  double median, worst;  // milliseconds
};

double millisecondsOf(const std::function<void()>& work) {
  const Stopwatch::time_point start = Stopwatch::now();
  work();
  return std::chrono::duration<double, std::milli>(Stopwatch::now() - start).count();
}

// Times the next kRounds analyses, each after 10 more samples.
Figures timeRounds(run::Measurement& measurement, Readings& readings) {
  std::vector<double> times;
  for (int round = 0; round < kRounds; ++round) {
    for (int k = 0; k < kPeriod; ++k) measurement.take(readings.next());
    times.push_back(millisecondsOf([&measurement] { measurement.analyseStability(); }));
  }
  std::sort(times.begin(), times.end());
  return {times[times.size() / 2], times.back()};
}

}  // namespace

// For each measure: a run up to N = 999998 with the analyses near its end timed, first without
// error bars, then (after the operator's "e", which tells every noise type afresh) with them.
int main() {
  std::printf("One stability analysis near N = %d samples, in ms (median and worst of %d)\n",
              kSamples, kRounds);
  std::printf("%-6s %8s %8s %10s %12s %11s\n", "", "median", "worst", "key e", "bars median",
              "bars worst");
  for (const Statistic statistic :
       {Statistic::Adev, Statistic::Mdev, Statistic::Tdev, Statistic::Mtie}) {
    test::FakePlot dataPlot, stabilityPlot;
    run::Measurement measurement({nullptr, dataPlot, stabilityPlot});
    run::RunSettings settings;
    settings.dutHz = 10000000;
    settings.analysisPeriod = run::Measurement::kSampleLimit + 1;  // analysed here, not per 10
    settings.shown = std::nullopt;
    settings.autoscale = false;
    measurement.start(settings);
    measurement.showStatistic(statistic);
    Readings readings;
    measurement.take(readings.next());  // the reference
    while (measurement.sampleCount() < kSamples - kPeriod * (2 * kRounds + 1))
      measurement.take(readings.next());
    // The whole run taken in at once, as a late choice does, and a round for the series to grow.
    measurement.analyseStability();
    for (int k = 0; k < kPeriod; ++k) measurement.take(readings.next());
    measurement.analyseStability();

    const Figures plain = timeRounds(measurement, readings);
    const double keyE = millisecondsOf([&measurement] { measurement.showErrorBars(true); });
    const Figures bars = timeRounds(measurement, readings);
    std::printf("%-6s %8.3f %8.3f %10.3f %12.3f %11.3f\n", stability::nameOf(statistic).data(),
                plain.median, plain.worst, keyE, bars.median, bars.worst);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("Peak memory: %ld MiB\n", usage.ru_maxrss / 1024);
  return 0;
}
