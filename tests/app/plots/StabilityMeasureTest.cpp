#include <QDir>

#include "app/RichText.h"
#include "support/ConsoleFixture.h"

namespace tessarin::test {
namespace {

using app::Menus;

class StabilityMeasureTest : public ConsoleFixture {
 protected:
  // The measures' items that are checked, by name.
  QStringList checkedMeasures() const {
    const Menus& m = console->menus();
    QStringList names;
    for (const app::MenuItem* item :
         {&m.showStandardAllan, &m.showModifiedAllan, &m.showTdev, &m.showMtie})
      if (item->checked()) names << item->name();
    return names;
  }
};

TEST_F(StabilityMeasureTest, ChosenMeasureIsCheckedAloneTitlesThePlotAndComesBackAtTheNextStart) {
  const struct {
    app::MenuItem Menus::*item;
    const char* title;
    const char* unit;
  } cases[] = {{&Menus::showModifiedAllan, "Modified Allan Dev.", ""},
               {&Menus::showTdev, "TDEV", "Sec"},
               {&Menus::showMtie, "MTIE", "Sec"},
               {&Menus::showStandardAllan, "Allan Dev.", ""}};
  for (const auto& k : cases) {
    app::Console& c = startConsole();
    (c.menus().*k.item).click();
    const QStringList chosen{(c.menus().*k.item).name()};
    EXPECT_EQ(checkedMeasures(), chosen);
    EXPECT_EQ(stabilityPlot.title(), k.title);
    EXPECT_EQ(stabilityPlot.yUnit, k.unit);
    EXPECT_TRUE(c.menus().showFrequencyDiff.checked());

    stabilityPlot.titleText.clear();
    stabilityPlot.yUnit = "?";
    startConsole();
    EXPECT_EQ(checkedMeasures(), chosen);
    EXPECT_EQ(stabilityPlot.title(), k.title);
    EXPECT_EQ(stabilityPlot.yUnit, k.unit);
    EXPECT_EQ(console->status(), "");
  }
  EXPECT_EQ(readFile("globalsetting.txt"), "");
}

TEST_F(StabilityMeasureTest, UnusableRememberedChoiceStartsWithTheStandardAllanDeviation) {
  const struct {
    QByteArray file;  // empty: a folder in its place
    QString status;
  } cases[] = {
      {app::plainTextToRtf("hdev"), "stabilitymeasure.txt names no stability measure: \"hdev\""},
      {"", "Stability measure not read: " + pathOf("stabilitymeasure.txt")}};
  for (const auto& k : cases) {
    QFile::remove(pathOf("stabilitymeasure.txt"));
    if (k.file.isEmpty())
      ASSERT_TRUE(QDir(folder()).mkdir("stabilitymeasure.txt"));
    else
      writeFile("stabilitymeasure.txt", k.file);
    startConsole();
    EXPECT_EQ(checkedMeasures(), QStringList{"showStandardAllan"});
    EXPECT_TRUE(console->status().startsWith(k.status)) << console->status().toStdString();
  }
}

}  // namespace
}  // namespace tessarin::test
