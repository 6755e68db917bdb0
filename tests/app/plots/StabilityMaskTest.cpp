#include <gtest/gtest.h>

#include <QStringList>
#include <vector>

#include "app/plots/MaskWatch.h"
#include "app/runs/RunFixture.h"

namespace tessarin::test {
namespace {

using analysis::MaskVerdict;
using CurvePoint = run::Measurement::CurvePoint;

QStringList eventNames(const app::Console& c) {
  QStringList names;
  for (const app::watch::RunEvent& e : c.events().events())
    if (e.name.startsWith("mask-")) names << e.name;
  return names;
}

class StabilityMaskTest : public RunFixture {};

TEST_F(StabilityMaskTest, WithNoMaskChosenTheStabilityPlotHoldsItsCurveAlone) {
  app::Console& c = initializedConsole();
  c.menus().showMtie.click();
  EXPECT_TRUE(c.menus().maskMenu.visible());
  EXPECT_TRUE(c.menus().maskNone.checked());
  c.menus().startStop.click();
  instrument->run(41);
  EXPECT_EQ(stabilityPlot.curveCount(), 1);
  EXPECT_TRUE(eventNames(c).isEmpty());
  c.menus().showStandardAllan.click();
  EXPECT_FALSE(c.menus().maskMenu.visible());
}

TEST_F(StabilityMaskTest, ATimeErrorStepFailsTheMaskOnceAndTheLineAndChoiceStay) {
  app::Console& c = initializedConsole();
  c.menus().showMtie.click();
  c.menus().maskPrtcB.click();
  EXPECT_TRUE(c.menus().maskPrtcB.checked());
  EXPECT_FALSE(c.menus().maskNone.checked());
  EXPECT_EQ(readFile("stabilitymask.txt").contains("prtc-b"), true);
  c.menus().startStop.click();
  std::vector<const char*> lines(31, "00000000");
  for (const char* line : lines) feed({line});
  // 100 ns at 10 MHz: 120000 counts, below the jump limit, above PRTC-B's 40 ns everywhere.
  for (int i = 0; i < 40; ++i) feed({"0001D4C0"});
  EXPECT_EQ(eventNames(c), QStringList{"mask-failed"});
  const FakePlot::Curve& line = stabilityPlot.curve("Mask");
  ASSERT_FALSE(line.x.empty());
  EXPECT_TRUE(line.limitLine);
  EXPECT_NEAR(line.y.back(), 40e-9, 1e-15);  // beyond 54.5 s
  EXPECT_EQ(c.maskWatch().verdict(), MaskVerdict::Fail);
  for (int i = 0; i < 20; ++i) feed({"0001D4C0"});
  EXPECT_EQ(eventNames(c), QStringList{"mask-failed"});  // still failing: told once

  // Back to none: the line goes, the verdicts with it.
  c.menus().maskNone.click();
  EXPECT_TRUE(stabilityPlot.curve("Mask").x.empty());
  EXPECT_EQ(c.maskWatch().mask(), nullptr);
  EXPECT_EQ(readFile("stabilitymask.txt").contains("none"), true);
}

TEST_F(StabilityMaskTest, TheMaskChosenLastIsBackAtStartUpAndAnUnknownOneIsSaid) {
  writeFile("stabilitymask.txt", "eprtc\n");
  app::Console& c = startConsole();
  EXPECT_TRUE(c.menus().maskEprtc.checked());
  EXPECT_FALSE(c.menus().maskMenu.visible());  // the standard Allan deviation is shown
  EXPECT_EQ(c.maskWatch().chosen(), "eprtc");
}

TEST_F(StabilityMaskTest, AFileNamingNoMaskLeavesNoneAndSaysSo) {
  writeFile("stabilitymask.txt", "eec9");
  app::Console& c = startConsole();
  EXPECT_TRUE(c.menus().maskNone.checked());
  EXPECT_TRUE(c.status().contains("stabilitymask.txt names no mask: \"eec9\""))
      << c.status().toStdString();
}

// The crossing rule on curves as the measurement hands them: told once each way, points with
// too few terms left out, a curve wholly outside the mask's range never a pass.
TEST(MaskWatchTest, CrossingsAreToldOnceEachWay) {
  const analysis::TelecomMask* mask = analysis::telecomMask("prtc-b", stability::Statistic::Tdev);
  app::plots::MaskWatch watch;
  watch.choose("prtc-b");
  const auto curve = [](double value, double upper) {
    return std::vector<CurvePoint>{{1, 0.2e-9, std::nan(""), 100},
                                   {10, value, upper, 50},
                                   {20, 9e-9, std::nan(""), 3}};  // too few terms to count
  };
  struct Step {
    double value, upper;
    MaskVerdict verdict;
    std::optional<QString> event;
  } steps[] = {
      {0.5e-9, 0.8e-9, MaskVerdict::Pass, std::nullopt},
      {0.9e-9, 1.3e-9, MaskVerdict::Marginal, std::nullopt},
      {1.5e-9, 2e-9, MaskVerdict::Fail, QString("mask-failed")},
      {2e-9, 3e-9, MaskVerdict::Fail, std::nullopt},
      {0.9e-9, 1.1e-9, MaskVerdict::Marginal, QString("mask-met")},
      {0.5e-9, 0.7e-9, MaskVerdict::Pass, std::nullopt},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.value);
    EXPECT_EQ(watch.judge(mask, curve(s.value, s.upper)), s.event);
    EXPECT_EQ(watch.verdict(), s.verdict);
    EXPECT_EQ(watch.points().size(), 2u);
  }
  const std::vector<CurvePoint> outside = {{0.01, 5e-9, 6e-9, 100}, {20000, 5e-9, 6e-9, 100}};
  EXPECT_EQ(watch.judge(mask, outside), std::nullopt);
  EXPECT_EQ(watch.verdict(), MaskVerdict::NotCovered);
}

}  // namespace
}  // namespace tessarin::test
