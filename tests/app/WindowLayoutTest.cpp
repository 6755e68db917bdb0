#include "app/WindowLayout.h"
#include "support/ConsoleFixture.h"

namespace tessarin::test {
namespace {

class WindowLayoutTest : public ConsoleFixture {};

TEST_F(WindowLayoutTest, ResizeFitsPlotWindowsBesideTheToolColumn) {
  app::Console& c = startConsole();
  c.windows().mainWidth = 12000;
  c.windows().mainHeight = 9200;
  c.windows().dutFrequencyWindow.setWidth(2865);
  app::layOutWindows(c);
  EXPECT_EQ(c.windows().dataWindow.width(), 8935);
  EXPECT_EQ(c.windows().dataWindow.height(), 4000);
  EXPECT_EQ(c.windows().stabilityWindow.top(), 4000);
  EXPECT_EQ(dataPlot.width(), 8835);
  EXPECT_EQ(dataPlot.height(), 3600);
  EXPECT_EQ(stabilityPlot.width(), 8835);
  EXPECT_EQ(c.windows().dutFrequencyWindow.left(), 12000 - 2865 - 200);
  EXPECT_EQ(c.windows().aboutWindow.top(), 9200 - c.windows().aboutWindow.height() - 1080);
}

TEST_F(WindowLayoutTest, ToolWindowsFollowTheRightEdgeAndKeepTheirTops) {
  app::Console& c = startConsole();
  c.windows().dutFrequencyWindow.setTop(700);
  const int tauTop = c.windows().tauWindow.top();
  const int scaleTop = c.windows().scalesWindow.top();
  c.windows().mainWidth += 3000;
  app::layOutWindows(c);
  EXPECT_EQ(c.windows().dutFrequencyWindow.top(), 0);
  for (const app::ChildWindow* w :
       {&c.windows().dutFrequencyWindow, &c.windows().tauWindow, &c.windows().nominalWindow,
        &c.windows().scalesWindow, &c.windows().aboutWindow})
    EXPECT_EQ(w->left(), c.windows().mainWidth - w->width() - 200) << w->name().toStdString();
  EXPECT_EQ(c.windows().tauWindow.top(), tauTop);
  EXPECT_EQ(c.windows().scalesWindow.top(), scaleTop);
}

TEST_F(WindowLayoutTest, TooSmallMainWindowKeepsTheEarlierPlotSizes) {
  app::Console& c = startConsole();
  const int plotWidth = dataPlot.width();
  const int dataWidth = c.windows().dataWindow.width();
  c.windows().mainWidth = 1000;  // narrower than the tool column
  app::layOutWindows(c);
  EXPECT_EQ(c.windows().dataWindow.width(), dataWidth);
  EXPECT_EQ(dataPlot.width(), plotWidth);
  EXPECT_EQ(c.windows().dutFrequencyWindow.left(),
            1000 - c.windows().dutFrequencyWindow.width() - 200);
}

TEST_F(WindowLayoutTest, ToolWindowsAreLoadedInTheirColumn) {
  app::Console& c = startConsole();
  const app::ChildWindow& freq = c.windows().dutFrequencyWindow;
  EXPECT_EQ(c.windows().tauWindow.top(), freq.height());
  EXPECT_EQ(c.windows().nominalWindow.top(), freq.top() + freq.height() + 990);
  EXPECT_EQ(c.windows().scalesWindow.top(), freq.top() + freq.height() + 990 + 945);
}

}  // namespace
}  // namespace tessarin::test
