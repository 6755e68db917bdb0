#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/runs/RunFixture.h"
#include "stability/AllanDeviation.h"
#include "stability/Confidence.h"

namespace tessarin::test {
namespace {

using app::Menus;
using stability::Statistic;

// Equal to a relative 1e-9, both NaN included.
void ExpectClose(const std::vector<double>& actual, const std::vector<double>& expected,
                 const char* what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (std::isnan(expected[i]))
      EXPECT_TRUE(std::isnan(actual[i])) << what << " " << i;
    else
      EXPECT_NEAR(actual[i], expected[i], 1e-9 * std::abs(expected[i]) + 1e-21) << what << " " << i;
  }
}

class StabilityMeasureRunTest : public RunFixture {
 protected:
  // Keeps every reading line the console receives from now on.
  void recordReadings() {
    received.clear();
    serial.onReceived = [this, console = serial.onReceived](char ch) {
      received += ch;
      console(ch);
    };
  }

  // The phase of the first `samples` samples, worked out from the readings received: each is the
  // last one minus the reading's change (n counts are n / 1.2e12 s at 10 MHz) and minus the
  // offset of the programmed frequency.
  std::vector<double> phase(std::size_t samples) const {
    const link::DutFrequencies& f = console->initialization().frequencies();
    const double offset = (f.measured - f.programmed) / f.measured;
    std::vector<double> counts;
    for (const QString& line : QString::fromStdString(received).split("\r\n"))
      if (line.size() == 8) counts.push_back(static_cast<std::int32_t>(line.toUInt(nullptr, 16)));
    std::vector<double> x;
    for (std::size_t i = 1; i < counts.size() && x.size() < samples; ++i)
      x.push_back((x.empty() ? 0 : x.back()) - (counts[i] - counts[i - 1]) / 1.2e12 - offset);
    return x;
  }

  // The curve the stability plot holds is the library's at the octave factors of `x`, and so are
  // its error bars, if any.
  void expectLibraryCurve(Statistic statistic, const std::vector<double>& x, bool bars) {
    const std::vector<int> factors = stability::octaveFactors(statistic, std::ssize(x));
    std::vector<double> tau, value, low, high;
    // The console's bars: each statistic's own noise reading, the published EDF.
    const stability::AnalysisMethod consoleBars{stability::NoiseReading::PerStatistic,
                                                stability::EdfMethod::Reference};
    for (const stability::AnalysisRow& row :
         stability::analyse(statistic, x, 1, factors, 0.683, consoleBars)) {
      tau.push_back(row.estimate.tau);
      value.push_back(row.estimate.value);
      low.push_back(row.interval.low);
      high.push_back(row.interval.high);
    }
    const FakePlot::Curve& curve = stabilityPlot.curve("Curve2");
    EXPECT_EQ(curve.x, tau);
    ExpectClose(curve.y, value, "value");
    ExpectClose(curve.low, bars ? low : std::vector<double>{}, "low");
    ExpectClose(curve.high, bars ? high : std::vector<double>{}, "high");
  }

  std::string received;
};

// Each console starts with the measure the one before chose, so the choice made 40 samples into
// the run always changes what the plot shows.
TEST_F(StabilityMeasureRunTest, ChosenMeasureShowsTheLibrarysCurveOfTheRunAndKeyEItsIntervals) {
  const struct {
    app::MenuItem Menus::*item;
    Statistic statistic;
    bool bars;
  } cases[] = {{&Menus::showModifiedAllan, Statistic::Mdev, true},
               {&Menus::showTdev, Statistic::Tdev, true},
               {&Menus::showMtie, Statistic::Mtie, false},
               {&Menus::showStandardAllan, Statistic::Adev, true}};
  for (const auto& k : cases) {
    SCOPED_TRACE(stability::nameOf(k.statistic).data());
    app::Console& c = initializedConsole();
    recordReadings();
    c.menus().startStop.click();
    instrument->run(41);
    (c.menus().*k.item).click();
    EXPECT_TRUE((c.menus().*k.item).enabled());
    expectLibraryCurve(k.statistic, phase(40), false);

    stabilityPlot.onErrorBarsKey();
    expectLibraryCurve(k.statistic, phase(40), k.bars);
    instrument->run(35);  // analysed at 50, 60 and 70 samples
    expectLibraryCurve(k.statistic, phase(70), k.bars);
    stabilityPlot.onErrorBarsKey();
    expectLibraryCurve(k.statistic, phase(70), false);
    c.menus().startStop.click();
  }
}

// Tau 10 s, analysed every 3 samples: the Allan deviation's first level freezes at sample 24576,
// with its value of sample 24573, while the modified Allan deviation is shown.
TEST(StabilityMeasureChoiceTest, AllanLevelFrozenWhileAnotherMeasureIsShownIsThereOnComingBack) {
  constexpr int kFreeze = 3 * 8192;
  FakePlot dataPlot, stabilityPlot;
  run::Measurement measurement({nullptr, dataPlot, stabilityPlot});
  run::RunSettings settings;
  settings.tauSeconds = 10;
  settings.dutHz = 10000000;
  settings.analysisPeriod = 3;
  measurement.start(settings);
  measurement.showStatistic(Statistic::Mdev);
  std::vector<double> phase;  // the first reading is the reference: 0 counts
  for (int k = 0; k <= kFreeze + 3; ++k) {
    const auto counts = static_cast<std::int32_t>(std::lround(3000 * std::sin(0.37 * k * k)));
    measurement.take(Hex8(counts));
    if (k > 0) phase.push_back(-counts / 1.2e12);
  }
  const std::span<const double> x(phase);
  measurement.showStatistic(Statistic::Adev);
  measurement.showErrorBars(true);

  const FakePlot::Curve& curve = stabilityPlot.curve("Curve2");
  const std::vector<int> one{1};
  const stability::AnalysisRow frozen =
      stability::analyse(Statistic::Adev, x.first(kFreeze - 3), 10, one, 0.683)[0];
  ASSERT_EQ(curve.y.size(), 13u);
  EXPECT_NEAR(curve.y[0], frozen.estimate.value, 1e-9 * frozen.estimate.value);
  EXPECT_NEAR(curve.low[0], frozen.interval.low, 1e-9 * frozen.interval.low);
  EXPECT_NEAR(curve.high[0], frozen.interval.high, 1e-9 * frozen.interval.high);
  std::vector<stability::StabilityPoint> upper;
  stability::allanDeviationByOctaves(x.first(kFreeze + 3), 2, 10, upper);
  for (std::size_t i = 0; i < upper.size(); ++i)
    EXPECT_NEAR(curve.y[i + 1], upper[i].deviation, 1e-9 * upper[i].deviation) << i;
}

}  // namespace
}  // namespace tessarin::test
