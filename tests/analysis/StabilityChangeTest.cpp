#include <gtest/gtest.h>

#include <optional>

#include "analysis/StabilityChange.h"
#include "model/PowerLawNoise.h"

namespace tessarin::test {
namespace {

using analysis::StabilityChange;

constexpr double kLevel = 1e-11;
constexpr int kBlock = StabilityChange::kBlock;
// The change comes mid-block, once the reference is learned and some more.
constexpr int kChangeAt = 40 * kBlock + 17;

enum class Change { None, Noise3x, NoiseThird, Frequency10Sigma };

TEST(StabilityChangeTest, TellsANoiseOrFrequencyStepSoonAndItsSettlingAndNothingElse) {
  const struct {
    sim::NoiseType noise;
    Change change;
    std::optional<StabilityChange::Kind> told;
    int withinBlocks;
  } cases[] = {
      {sim::NoiseType::WhiteFrequency, Change::None, std::nullopt, 0},
      {sim::NoiseType::FlickerFrequency, Change::None, std::nullopt, 0},
      {sim::NoiseType::WhitePhase, Change::None, std::nullopt, 0},
      {sim::NoiseType::WhiteFrequency, Change::Noise3x, StabilityChange::Kind::NoiseRose, 2},
      {sim::NoiseType::FlickerFrequency, Change::Noise3x, StabilityChange::Kind::NoiseRose, 2},
      {sim::NoiseType::WhiteFrequency, Change::NoiseThird, StabilityChange::Kind::NoiseFell, 2},
      {sim::NoiseType::WhiteFrequency, Change::Frequency10Sigma,
       StabilityChange::Kind::FrequencyStep, 2},
      {sim::NoiseType::FlickerFrequency, Change::Frequency10Sigma,
       StabilityChange::Kind::FrequencyStep, 2},
  };
  std::uint64_t seed = 7;
  for (const auto& t : cases) {
    SCOPED_TRACE(int(t.change) * 10 + int(t.noise));
    sim::PowerLawNoise noise({{t.noise, kLevel}}, 1, seed++);
    StabilityChange watch;
    double last = noise.next();
    std::vector<std::pair<int, StabilityChange::Verdict>> verdicts;
    for (int k = 0; k < 200 * kBlock; ++k) {
      const double x = noise.next();
      double y = x - last;
      last = x;
      if (k >= kChangeAt)
        y = t.change == Change::Noise3x      ? 3 * y
            : t.change == Change::NoiseThird ? y / 3
            : t.change == Change::None       ? y
                                             : y + 10 * kLevel;
      if (const auto v = watch.add(y); v != StabilityChange::Verdict::Same)
        verdicts.emplace_back(k, v);
    }
    if (!t.told) {
      EXPECT_TRUE(verdicts.empty())
          << verdicts.size() << " verdicts, the first at " << verdicts[0].first;
      continue;
    }
    ASSERT_EQ(verdicts.size(), 2u);
    EXPECT_EQ(verdicts[0].second, StabilityChange::Verdict::Changed);
    EXPECT_GE(verdicts[0].first, kChangeAt);
    EXPECT_LT(verdicts[0].first, kChangeAt + t.withinBlocks * kBlock);
    ASSERT_TRUE(watch.change());
    EXPECT_EQ(watch.change()->kind, *t.told);
    if (t.change == Change::Noise3x) {
      EXPECT_NEAR(watch.change()->ratio, 3, 1);
    }
    EXPECT_EQ(verdicts[1].second, StabilityChange::Verdict::Settled);
    EXPECT_EQ((verdicts[1].first - verdicts[0].first) / kBlock, StabilityChange::kLearnBlocks)
        << "settled once the level after the change is learned";
    EXPECT_FALSE(watch.changed());
  }
}

}  // namespace
}  // namespace tessarin::test
