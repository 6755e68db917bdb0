#include "app/RichText.h"
#include "app/runs/RunFixture.h"

namespace tessarin::test {
namespace {

class ScalesTest : public RunFixture {
 protected:
  QStringList boxTexts() const {
    QStringList texts;
    for (const app::TextBox& box : console->windows().scaleBoxes) texts << box.text();
    return texts;
  }
  // The limits each plot was handed: x min, x max, y min, y max.
  static std::vector<double> limitsOf(const FakePlot& plot) {
    return {plot.xMin, plot.xMax, plot.yMin, plot.yMax};
  }
};

TEST_F(ScalesTest, BoxesShowTheEightFieldsOfSetting3OrTheDefaults) {
  const QStringList defaults = {"1", "1e4", "-1e-11", "1e-11", "1", "1e5", "1e-15", "1e-11"};
  const struct {
    const char* name;
    std::optional<QByteArray> file;  // nothing: no setting3.txt
    QStringList boxes;
  } cases[] = {
      {"missing file", std::nullopt, defaults},
      {"the default record", app::plainTextToRtf(defaults.join('\t') + '\t'), defaults},
      {"text after the record", app::plainTextToRtf(defaults.join('\t') + "\t\nmore"), defaults},
      {"own limits",
       app::plainTextToRtf("2\t2e4\t-3e-11\t3e-11\t1\t1e4\t1e-16\t1e-10\t"),
       {"2", "2e4", "-3e-11", "3e-11", "1", "1e4", "1e-16", "1e-10"}},
      {"empty field",
       app::plainTextToRtf("2\t\t-5e-12\t5e-12\t1\t1e6\t1e-16\t1e-10\t"),
       {"2", "", "-5e-12", "5e-12", "1", "1e6", "1e-16", "1e-10"}},
      {"short record keeps the defaults it lacks",
       app::plainTextToRtf("5\t6\t"),
       {"5", "6", "-1e-11", "1e-11", "1", "1e5", "1e-15", "1e-11"}},
      {"empty text", app::plainTextToRtf(""), defaults},
      {"bare text written by hand",
       QByteArray("3\t4\t"),
       {"3", "4", "-1e-11", "1e-11", "1", "1e5", "1e-15", "1e-11"}},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    QFile::remove(pathOf("setting3.txt"));
    if (tc.file) writeFile("setting3.txt", *tc.file);
    const app::Console& c = startConsole();
    EXPECT_EQ(boxTexts(), tc.boxes);
    EXPECT_EQ(c.status(), "");
  }
}

TEST_F(ScalesTest, StartWithLimitsSavesTheBoxesAsTypedAndHandsTheirValuesToThePlots) {
  app::Console& c = initializedConsole();
  c.menus().limits.click();
  c.windows().scaleBoxes[3].setFromView("1e-11");
  c.windows().scaleBoxes[5].setFromView(" 1E5");
  c.menus().startStop.click();
  ASSERT_EQ(c.state(), app::RunState::Running);

  const QByteArray saved = readFile("setting3.txt");
  EXPECT_TRUE(saved.startsWith("{\\rtf1")) << saved.constData();
  EXPECT_EQ(app::rtfToPlainText(saved), "1\t1e4\t-1e-11\t1e-11\t1\t 1E5\t1e-15\t1e-11\t");
  // The data plot's frequency limits are in its units of 1E-12.
  EXPECT_EQ(limitsOf(dataPlot), (std::vector<double>{1, 1e4, -10, 10}));
  EXPECT_EQ(limitsOf(stabilityPlot), (std::vector<double>{1, 1e5, 1e-15, 1e-11}));
  EXPECT_EQ(dataPlot.applyLimitsCalls, 1);
  EXPECT_EQ(stabilityPlot.applyLimitsCalls, 1);

  // The next start-up shows the boxes as they were saved.
  startConsole();
  EXPECT_EQ(boxTexts(),
            QStringList({"1", "1e4", "-1e-11", "1e-11", "1", " 1E5", "1e-15", "1e-11"}));
}

TEST_F(ScalesTest, StartRefusesABoxThatIsNotANumberAndKeepsFileAndPlots) {
  app::Console& c = initializedConsole();
  c.menus().limits.click();
  c.windows().scaleBoxes[2].setFromView("abc");
  c.menus().startStop.click();
  EXPECT_EQ(c.state(), app::RunState::Ready);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(dialogs.messages[0].text.contains("Delta F-min"))
      << dialogs.messages[0].text.toStdString();
  EXPECT_TRUE(serial.writes.empty());
  EXPECT_TRUE(readFile("setting3.txt").isEmpty());
  EXPECT_EQ(limitsOf(dataPlot), (std::vector<double>{0, 0, 0, 0}));
  EXPECT_EQ(limitsOf(stabilityPlot), (std::vector<double>{0, 0, 0, 0}));
  EXPECT_EQ(dataPlot.applyLimitsCalls, 0);
}

TEST_F(ScalesTest, StartWithAutoscaleLeavesTheLimitsAndTheFileAlone) {
  app::Console& c = initializedConsole();
  c.windows().scaleBoxes[2].setFromView("abc");
  c.menus().startStop.click();
  EXPECT_EQ(c.state(), app::RunState::Running);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_TRUE(readFile("setting3.txt").isEmpty());
  EXPECT_EQ(limitsOf(dataPlot), (std::vector<double>{0, 0, 0, 0}));
  EXPECT_EQ(stabilityPlot.applyLimitsCalls, 0);
}

TEST_F(ScalesTest, LimitsShowsTheScalesWindowAndAutoscaleHidesIt) {
  app::Console& c = startConsole();
  c.menus().limits.click();
  EXPECT_TRUE(c.menus().limits.checked());
  EXPECT_FALSE(c.menus().autoscale.checked());
  EXPECT_TRUE(c.windows().scalesWindow.visible());
  c.menus().autoscale.click();
  EXPECT_TRUE(c.menus().autoscale.checked());
  EXPECT_FALSE(c.menus().limits.checked());
  EXPECT_FALSE(c.windows().scalesWindow.visible());
  EXPECT_TRUE(readFile("setting3.txt").isEmpty());
}

}  // namespace
}  // namespace tessarin::test
