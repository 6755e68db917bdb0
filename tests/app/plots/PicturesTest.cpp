#include "app/runs/RunFixture.h"

namespace tessarin::test {
namespace {

class PicturesTest : public RunFixture {};

TEST_F(PicturesTest, SaveAsksForABitmapAndTheNextSaveOffersTheNameChosenLastForEitherPlot) {
  app::Console& c = startConsole();
  dialogs.saveAnswers = {pathOf("data.BMP"), pathOf("stability.BMP")};
  c.menus().saveDataPlotPicture.click();
  c.menus().saveStabilityPlotPicture.click();
  ASSERT_EQ(dialogs.saveRequests.size(), 2u);
  for (const FakeDialogs::SaveRequest& request : dialogs.saveRequests) {
    EXPECT_EQ(request.title, "Save Picture as");
    EXPECT_EQ(request.filter, "*.BMP");
    EXPECT_EQ(request.defaultExt, "BMP");
  }
  EXPECT_EQ(dialogs.saveRequests[0].initialPath, "");
  EXPECT_EQ(dialogs.saveRequests[1].initialPath, pathOf("data.BMP"));
  EXPECT_EQ(dataPlot.savedPictures, std::vector<QString>{pathOf("data.BMP")});
  EXPECT_EQ(stabilityPlot.savedPictures, std::vector<QString>{pathOf("stability.BMP")});
}

TEST_F(PicturesTest, CancellingTheDialogIsSilent) {
  app::Console& c = startConsole();
  const QString status = c.status();
  c.menus().saveDataPlotPicture.click();
  EXPECT_EQ(dialogs.saveRequests.size(), 1u);
  EXPECT_TRUE(dataPlot.savedPictures.empty());
  EXPECT_EQ(c.status(), status);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PicturesTest, AFailedSaveIsReportedInTheStatusLineAndNothingElse) {
  app::Console& c = startConsole();
  stabilityPlot.saveFailure = "the file could not be written";
  dialogs.saveAnswers = {QString("/read-only/a.BMP")};
  c.menus().saveStabilityPlotPicture.click();
  EXPECT_EQ(c.status(), "Picture not saved: /read-only/a.BMP: the file could not be written");
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_TRUE(dataPlot.savedPictures.empty());
  EXPECT_TRUE(stabilityPlot.plotAreaColors.empty());
  EXPECT_EQ(c.state(), app::RunState::Idle);
}

TEST_F(PicturesTest, BothSaveMenusAreLockedDuringARun) {
  app::Console& c = initializedConsole();
  c.menus().startStop.click();
  ASSERT_EQ(c.state(), app::RunState::Running);
  EXPECT_FALSE(c.menus().savePictureMenu.enabled());
}

}  // namespace
}  // namespace tessarin::test
