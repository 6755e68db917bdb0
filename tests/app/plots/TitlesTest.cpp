#include "app/runs/RunFixture.h"

namespace tessarin::test {
namespace {

class TitleWindowTest : public RunFixture {
 protected:
  app::Console& openWithTitles(const QString& data, const QString& stability) {
    app::Console& c = startConsole();
    dataPlot.setTitle(data);
    stabilityPlot.setTitle(stability);
    c.menus().title.click();
    return c;
  }
};

TEST_F(TitleWindowTest, OpensAtTheCentreOfTheMainWindowWithThePlotsTitles) {
  app::Console& c = openWithTitles("Frequency Diff.", "Allan Dev.");
  const app::Windows& w = c.windows();
  EXPECT_TRUE(w.titleWindow.visible());
  EXPECT_EQ(w.titleWindow.left(), w.mainWidth / 2);
  EXPECT_EQ(w.titleWindow.top(), w.mainHeight / 2);
  EXPECT_EQ(w.dataTitleBox.text(), "Frequency Diff.");
  EXPECT_EQ(w.stabilityTitleBox.text(), "Allan Dev.");
  EXPECT_EQ(w.titleOkButton.caption(), "&Ok");
}

TEST_F(TitleWindowTest, OkAppliesBothTextsAsTypedAndClosesTheWindow) {
  struct Case {
    QString data, stability;
  };
  for (const Case& typed : {Case{"Osc 1", ""}, Case{"Frequency Diff.", "Allan Dev."}}) {
    app::Console& c = openWithTitles("Frequency Diff.", "Allan Dev.");
    c.windows().dataTitleBox.setFromView(typed.data);
    c.windows().stabilityTitleBox.setFromView(typed.stability);
    c.windows().titleOkButton.click();
    EXPECT_EQ(dataPlot.title(), typed.data);
    EXPECT_EQ(stabilityPlot.title(), typed.stability);
    EXPECT_FALSE(c.windows().titleWindow.visible());
  }
}

TEST_F(TitleWindowTest, ClosingByTheTitleBarDiscardsTheEditsAndTheNextOpeningStartsAfresh) {
  app::Console& c = openWithTitles("Frequency Diff.", "Allan Dev.");
  c.windows().dataTitleBox.setFromView("Osc 1");
  EXPECT_FALSE(c.windows().titleWindow.onCloseRequest());
  EXPECT_FALSE(c.windows().titleWindow.visible());
  EXPECT_EQ(dataPlot.title(), "Frequency Diff.");
  dataPlot.setTitle("Phase Diff");
  c.menus().title.click();
  EXPECT_EQ(c.windows().dataTitleBox.text(), "Phase Diff");
}

TEST_F(TitleWindowTest, TitleWhileOpenBringsItForwardWithoutReloadingTheBoxes) {
  app::Console& c = openWithTitles("Frequency Diff.", "Allan Dev.");
  int broughtForward = 0;
  c.windows().titleWindow.broughtToFront = [&] { ++broughtForward; };
  c.windows().dataTitleBox.setFromView("Osc 1");
  dataPlot.setTitle("Phase Diff");
  c.menus().title.click();
  EXPECT_EQ(broughtForward, 1);
  EXPECT_TRUE(c.windows().titleWindow.visible());
  EXPECT_EQ(c.windows().dataTitleBox.text(), "Osc 1");
}

TEST_F(TitleWindowTest, PhaseDiffAfterAnEditedTitleReplacesOnlyTheDataPlotTitle) {
  app::Console& c = openWithTitles("Frequency Diff.", "Allan Dev.");
  c.windows().dataTitleBox.setFromView("Osc 1");
  c.windows().stabilityTitleBox.setFromView("Osc 1 ADEV");
  c.windows().titleOkButton.click();
  c.menus().showPhaseDiff.click();
  EXPECT_EQ(dataPlot.title(), "Phase Diff");
  EXPECT_EQ(stabilityPlot.title(), "Osc 1 ADEV");
}

TEST_F(TitleWindowTest, TitleStaysAvailableDuringARun) {
  app::Console& c = initializedConsole();
  c.menus().startStop.click();
  ASSERT_EQ(c.state(), app::RunState::Running);
  EXPECT_TRUE(c.menus().title.enabled());
  c.menus().title.click();
  EXPECT_TRUE(c.windows().titleWindow.visible());
}

}  // namespace
}  // namespace tessarin::test
