#include "app/WindowLayout.h"
#include "support/ConsoleFixture.h"

class WindowLayoutTest : public ConsoleFixture {};

TEST_F(WindowLayoutTest, ResizeFitsPlotWindowsBesideTheToolColumn) {
  Console& c = startUp();
  c.win.mainWidth = 12000;
  c.win.mainHeight = 9200;
  c.win.frmFrequency.setWidth(2865);
  MDIForm_Resize(c);
  EXPECT_EQ(c.win.frmData.width(), 8935);
  EXPECT_EQ(c.win.frmData.height(), 4000);
  EXPECT_EQ(c.win.frmStat.top(), 4000);
  EXPECT_EQ(dataPlot.width(), 8835);
  EXPECT_EQ(dataPlot.height(), 3600);
  EXPECT_EQ(stabilityPlot.width(), 8835);
  EXPECT_EQ(c.win.frmFrequency.left(), 12000 - 2865 - 200);
  EXPECT_EQ(c.win.frmOrlak.top(), 9200 - c.win.frmOrlak.height() - 1080);
}

TEST_F(WindowLayoutTest, ToolWindowsFollowTheRightEdgeAndKeepTheirTops) {
  Console& c = startUp();
  c.win.frmFrequency.setTop(700);
  const int tauTop = c.win.frmTau.top();
  const int scaleTop = c.win.frmScale.top();
  c.win.mainWidth += 3000;
  MDIForm_Resize(c);
  EXPECT_EQ(c.win.frmFrequency.top(), 0);
  for (const ChildWindow* w :
       {&c.win.frmFrequency, &c.win.frmTau, &c.win.frmFormat, &c.win.frmScale, &c.win.frmOrlak})
    EXPECT_EQ(w->left(), c.win.mainWidth - w->width() - 200) << w->name().toStdString();
  EXPECT_EQ(c.win.frmTau.top(), tauTop);
  EXPECT_EQ(c.win.frmScale.top(), scaleTop);
}

TEST_F(WindowLayoutTest, TooSmallMainWindowKeepsTheEarlierPlotSizes) {
  Console& c = startUp();
  const int plotWidth = dataPlot.width();
  const int dataWidth = c.win.frmData.width();
  c.win.mainWidth = 1000;  // narrower than the tool column
  MDIForm_Resize(c);
  EXPECT_EQ(c.win.frmData.width(), dataWidth);
  EXPECT_EQ(dataPlot.width(), plotWidth);
  EXPECT_EQ(c.win.frmFrequency.left(), 1000 - c.win.frmFrequency.width() - 200);
}

TEST_F(WindowLayoutTest, ToolWindowsAreLoadedInTheirColumn) {
  Console& c = startUp();
  const ChildWindow& freq = c.win.frmFrequency;
  EXPECT_EQ(c.win.frmTau.top(), freq.height());
  EXPECT_EQ(c.win.frmFormat.top(), freq.top() + freq.height() + 990);
  EXPECT_EQ(c.win.frmScale.top(), freq.top() + freq.height() + 990 + 945);
}
