#include "graphics/DisplaySelection.h"
#include "support/ConsoleFixture.h"

class DisplaySelectionTest : public ConsoleFixture {};

TEST_F(DisplaySelectionTest, ChoiceRenamesTheDataPlotAndLeavesTheStabilityPlot) {
  Console& c = startUp();
  stabilityPlot.setTitle("Allan Dev.");
  dataPlot.setTitle("My oscillator");
  c.menu.mnuDispTIE.click();
  EXPECT_EQ(dataPlot.title(), "Phase Diff");
  EXPECT_TRUE(c.menu.mnuDispTIE.checked());
  EXPECT_FALSE(c.menu.mnuDispF.checked());
  c.menu.mnuDispF.click();
  EXPECT_EQ(dataPlot.title(), "Frequency Diff");
  EXPECT_TRUE(c.menu.mnuDispF.checked());
  EXPECT_FALSE(c.menu.mnuDispTIE.checked());
  EXPECT_EQ(stabilityPlot.title(), "Allan Dev.");
}
