#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "model/PowerLawNoise.h"
#include "stability/Confidence.h"
#include "stability/RunningNoiseIdentification.h"

namespace tessarin::stability {
namespace {

using sim::NoiseType;

// Each noise type, with gaps and with a frequency offset large beside the noise, under a statistic
// of each way of telling the type (points; block means; three differences), grown in uneven
// chunks: at every octave factor the running type is the one told afresh from the whole series.
TEST(RunningNoiseIdentification, TellsTheTypeIdentifyNoiseTellsAsTheSeriesGrows) {
  const struct {
    NoiseType type;
    Statistic statistic;
    bool withGaps;
    double frequencyOffset;
  } cases[] = {
      {NoiseType::WhitePhase, Statistic::Mdev, true, 0},
      {NoiseType::WhitePhase, Statistic::Oadev, false, 1e-6},
      {NoiseType::FlickerPhase, Statistic::Tdev, false, 3e-7},
      {NoiseType::FlickerPhase, Statistic::Adev, true, 0},
      {NoiseType::WhiteFrequency, Statistic::Mdev, true, 1e-6},
      {NoiseType::WhiteFrequency, Statistic::Hdev, false, 0},
      {NoiseType::FlickerFrequency, Statistic::Ohdev, true, 2e-7},
      {NoiseType::FlickerFrequency, Statistic::Mdev, false, 0},
      {NoiseType::RandomWalkFrequency, Statistic::Totdev, true, 0},
      {NoiseType::RandomWalkFrequency, Statistic::Tdev, false, 1e-6},
  };
  std::uint64_t seed = 40;
  for (const auto& c : cases) {
    sim::PowerLawNoise generator({{c.type, 1e-11}}, 1.0, ++seed);
    std::vector<double> phase(3000);
    for (std::size_t i = 0; i < phase.size(); ++i)
      phase[i] = generator.next() + c.frequencyOffset * static_cast<double>(i);
    if (c.withGaps)
      for (std::size_t i = 5; i < phase.size(); i += 61) phase[i] = std::nan("");

    RunningNoiseIdentification running(c.statistic);
    std::mt19937 random(static_cast<std::uint32_t>(seed));
    std::uniform_int_distribution<std::size_t> chunk(1, 90);
    for (std::size_t n = 0; n < phase.size();) {
      n = std::min(phase.size(), n + chunk(random));
      const std::span<const double> grown = std::span(phase).first(n);
      running.extend(grown);
      for (int factor = 1; factor <= 2 * static_cast<int>(n); factor *= 2)
        ASSERT_EQ(running.alphaAt(factor), identifyNoise(c.statistic, grown, factor))
            << nameOf(c.statistic) << " row " << seed << " N = " << n << " m = " << factor;
    }
  }
}

TEST(RunningNoiseIdentification, TakesAShorterSeriesAsANewOneAndAnswersOnlyOctaveFactors) {
  sim::PowerLawNoise generator({{NoiseType::WhiteFrequency, 1e-11}}, 1.0, 3);
  std::vector<double> phase(500);
  for (double& value : phase) value = generator.next();
  RunningNoiseIdentification running(Statistic::Mdev);
  running.extend(std::span(phase).first(400));
  running.extend(std::span(phase).last(300));
  EXPECT_EQ(running.alphaAt(2), identifyNoise(Statistic::Mdev, std::span(phase).last(300), 2));
  EXPECT_EQ(running.alphaAt(3), std::nullopt);
  RunningNoiseIdentification mtie(Statistic::Mtie);
  mtie.extend(phase);
  EXPECT_EQ(mtie.alphaAt(1), std::nullopt);
}

}  // namespace
}  // namespace tessarin::stability
