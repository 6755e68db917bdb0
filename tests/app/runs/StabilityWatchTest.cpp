#include <gtest/gtest.h>

#include <random>

#include "app/runs/RunFixture.h"

namespace tessarin::test {
namespace {

// A run whose oscillator's white frequency noise grows three times as large after 1500 samples:
// the console tells the change as an event, with the threshold it was given.
class StabilityWatchTest : public RunFixture {
 protected:
  QStringList stabilityEvents(const app::Console& c) const {
    QStringList told;
    for (const app::watch::RunEvent& e : c.events().events())
      if (e.name.startsWith("stability-")) told << e.name + ": " + e.text;
    return told;
  }
  // Readings whose differences, the frequency, are white: `spread` counts rms.
  void feedNoise(int samples, double spread) {
    std::normal_distribution<double> normal(0, spread);
    for (int k = 0; k < samples; ++k) {
      counts += static_cast<std::int32_t>(std::lround(normal(random)));
      feed({Hex8(counts).c_str()});
    }
  }
  std::mt19937_64 random{11};
  std::int32_t counts = 1000;
};

TEST_F(StabilityWatchTest, ANoiseStepDuringARunIsAnEventUnlessTheThresholdIsAboveIt) {
  const struct {
    std::optional<double> threshold;
    int events;
  } cases[] = {{std::nullopt, 1}, {100, 0}};
  for (const auto& t : cases) {
    app::Console& c = initializedConsole();
    if (t.threshold) c.setStabilityThreshold(*t.threshold);
    c.menus().startStop.click();
    feedNoise(1500, 20);
    EXPECT_TRUE(stabilityEvents(c).isEmpty()) << stabilityEvents(c).join('\n').toStdString();
    feedNoise(200, 60);
    const QStringList told = stabilityEvents(c);
    ASSERT_EQ(told.size(), t.events) << told.join('\n').toStdString();
    if (t.events == 0) continue;
    EXPECT_TRUE(
        told[0].startsWith("stability-changed: Stability changed at tau 1 s: the Allan "
                           "deviation rose to "))
        << told[0].toStdString();
    EXPECT_TRUE(told[0].endsWith(" times the run's level")) << told[0].toStdString();
  }
}

}  // namespace
}  // namespace tessarin::test
