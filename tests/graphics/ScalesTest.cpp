#include "app/RichText.h"
#include "graphics/Scales.h"
#include "support/ConsoleFixture.h"

TEST(ScaleRecord, SplitsEightTabTerminatedFields) {
  struct Case {
    QString text;
    QStringList fields;
  };
  const QStringList defaults = defaultScaleTexts();
  const Case cases[] = {
      {"1\t1e4\t-1e-11\t1e-11\t1\t1e5\t1e-15\t1e-11\t", defaults},
      {"1\t1e4\t-1e-11\t1e-11\t1\t1e5\t1e-15\t1e-11\t\nmore", defaults},
      {"2\t\t-5e-12\t5e-12\t1\t1e6\t1e-16\t1e-10\t",
       {"2", "", "-5e-12", "5e-12", "1", "1e6", "1e-16", "1e-10"}},
      // A short record keeps the defaults for the fields it lacks.
      {"5\t6\t", {"5", "6", "-1e-11", "1e-11", "1", "1e5", "1e-15", "1e-11"}},
      {"", defaults},
  };
  for (const Case& c : cases) EXPECT_EQ(splitScaleRecord(c.text), c.fields) << c.text.toStdString();
}

class ScalesTest : public ConsoleFixture {};

TEST_F(ScalesTest, MissingFileGivesTheDefaultLimits) {
  Console& c = startUp();
  for (int i = 0; i < 8; ++i) EXPECT_EQ(c.windows.scaleBoxes[i].text(), defaultScaleTexts()[i]);
}

TEST_F(ScalesTest, LoadsTheBoxesFromTheRichTextFile) {
  writeFile("setting3.txt", plainTextToRtf("2\t2e4\t-3e-11\t3e-11\t1\t1e4\t1e-16\t1e-10\t"));
  Console& c = startUp();
  EXPECT_EQ(c.windows.scaleBoxes[1].text(), "2e4");
  EXPECT_EQ(c.windows.scaleBoxes[6].text(), "1e-16");
}

TEST_F(ScalesTest, StoreConvertsTheBoxesAndSavesThemAsTyped) {
  Console& c = startUp();
  c.windows.scaleBoxes[3].setText("1e-11");
  c.windows.scaleBoxes[5].setText(" 1E5");
  ASSERT_FALSE(storeScales(c).has_value());
  EXPECT_DOUBLE_EQ(c.st.dblDeltaFMax, 10.0);
  EXPECT_DOUBLE_EQ(c.st.dblDeltaFMin, -10.0);
  EXPECT_DOUBLE_EQ(c.st.dblTauMax, 1e5);
  EXPECT_EQ(rtfToPlainText(readFile("setting3.txt")),
            "1\t1e4\t-1e-11\t1e-11\t1\t 1E5\t1e-15\t1e-11\t");

  applyScales(c);
  EXPECT_DOUBLE_EQ(dataPlot.yMax, 10.0);
  EXPECT_DOUBLE_EQ(dataPlot.xMax, 1e4);
  EXPECT_DOUBLE_EQ(stabilityPlot.yMin, 1e-15);
  EXPECT_DOUBLE_EQ(stabilityPlot.xMax, 1e5);
}

TEST_F(ScalesTest, StoreRefusesABoxThatIsNotANumberAndKeepsTheFile) {
  Console& c = startUp();
  c.windows.scaleBoxes[2].setText("abc");
  const std::optional<QString> error = storeScales(c);
  ASSERT_TRUE(error.has_value());
  EXPECT_TRUE(error->contains("Delta F-min"));
  EXPECT_TRUE(readFile("setting3.txt").isEmpty());
  EXPECT_EQ(c.st.dblSampleMax, 0.0);
}

TEST_F(ScalesTest, LimitsShowsTheScalesWindowAndAutoscaleHidesIt) {
  Console& c = startUp();
  c.menus.limits.click();
  EXPECT_TRUE(c.menus.limits.checked());
  EXPECT_FALSE(c.menus.autoscale.checked());
  EXPECT_TRUE(c.windows.scalesWindow.visible());
  c.menus.autoscale.click();
  EXPECT_TRUE(c.menus.autoscale.checked());
  EXPECT_FALSE(c.menus.limits.checked());
  EXPECT_FALSE(c.windows.scalesWindow.visible());
  EXPECT_TRUE(readFile("setting3.txt").isEmpty());
}
