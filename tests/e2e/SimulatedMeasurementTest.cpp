#include "e2e/SimulatedConsole.h"
#include "run/DataFile.h"

namespace tessarin::test {
namespace {

using SimulatedMeasurementTest = SimulatedConsoleTest;

TEST_F(SimulatedMeasurementTest, FromFileChoiceToARecordedRun) {
  launch(25);
  app::Console& c = console();
  chooseDataFile("osc1.DAT");
  ASSERT_TRUE(c.menus().initialization.enabled());

  ASSERT_TRUE(initialize()) << status().toStdString();
  EXPECT_TRUE(c.menus().startStop.enabled());
  EXPECT_NEAR(c.initialization().frequencies().measured, kDutHz, 2e-5);
  // The fit is cut to five decimals, so the last digit may be one below.
  EXPECT_TRUE(c.windows().measuredFrequencyBox.text().startsWith("10,000,012.3456"))
      << c.windows().measuredFrequencyBox.text().toStdString();

  ASSERT_TRUE(runUntil(25));
  EXPECT_EQ(c.menus().startStop.caption(), "S&top");
  choose(c.menus().startStop);
  EXPECT_EQ(status(), "Stop...");
  EXPECT_EQ(c.menus().startStop.caption(), "S&tart");
  EXPECT_GE(consoleApp().dataPlot().curveCount(), 1);
  EXPECT_EQ(consoleApp().stabilityPlot().curveCount(), 1);

  const QList<QByteArray> lines = dataFile().split('\n');
  ASSERT_GT(lines.size(), 12);
  EXPECT_TRUE(lines[6].startsWith(dataPath.toUtf8() + "\tDate  "));
  EXPECT_EQ(lines[8],
            "DUT Frequency :  " +
                run::formatPlainDecimal(c.initialization().frequencies().measured).toUtf8() +
                " Hz\tTau :  1000.0 ms\r");
  EXPECT_EQ(lines[10], "Mode :   Non-Filtered\r");
  EXPECT_EQ(lines[11], "Data :   Frequency Data\r");
  const std::vector<RunCheck> runs = checkRunsAgainstLog();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].sampleLines, c.measurement().sampleCount());
}

using FilteredMeasurementTest = SimulatedConsoleTest;

TEST_F(FilteredMeasurementTest, StartIsOfferedOnceTheFilterHasLocked) {
  launch(25, {}, "110");  // frequency data, Com 1, filtered
  app::Console& c = console();
  chooseDataFile("osc2.DAT");
  choose(c.menus().initialization);
  ASSERT_TRUE(waitFor([&] { return status() == "XTAL filter Unlocked, wait..."; }, 30000))
      << status().toStdString();
  EXPECT_FALSE(c.menus().startStop.enabled());
  ASSERT_TRUE(waitFor([&] { return status() == "XTAL filter Locked"; }, 30000))
      << status().toStdString();
  EXPECT_TRUE(c.menus().startStop.enabled());
  EXPECT_EQ(dialogs.questions.size(), 1u);
}

}  // namespace
}  // namespace tessarin::test
