#include "app/plots/DisplaySelection.h"
#include "support/ConsoleFixture.h"

namespace tessarin::test {
namespace {

class DisplaySelectionTest : public ConsoleFixture {};

TEST_F(DisplaySelectionTest, ChoiceRenamesTheDataPlotAndLeavesTheStabilityPlot) {
  app::Console& c = startConsole();
  stabilityPlot.setTitle("Allan Dev.");
  dataPlot.setTitle("My oscillator");
  c.menus().showPhaseDiff.click();
  EXPECT_EQ(dataPlot.title(), "Phase Diff");
  EXPECT_TRUE(c.menus().showPhaseDiff.checked());
  EXPECT_FALSE(c.menus().showFrequencyDiff.checked());
  c.menus().showFrequencyDiff.click();
  EXPECT_EQ(dataPlot.title(), "Frequency Diff");
  EXPECT_TRUE(c.menus().showFrequencyDiff.checked());
  EXPECT_FALSE(c.menus().showPhaseDiff.checked());
  EXPECT_EQ(stabilityPlot.title(), "Allan Dev.");
}

}  // namespace
}  // namespace tessarin::test
