#include "app/OptionMenus.h"
#include "app/RichText.h"
#include "support/ConsoleFixture.h"

namespace tessarin::test {
namespace {

struct RadioCase {
  const char* settings;      // the code the console starts from
  QStringList clicks;        // items clicked in turn
  QStringList group;         // the group they belong to
  QStringList checkedAfter;  // the checked items of the group afterwards
};

class OptionMenusTest : public ConsoleFixture {
 protected:
  QStringList checkedOf(const QStringList& group) const {
    QStringList names;
    for (const QString& name : group)
      if (console->menus().find(name)->checked()) names << name;
    return names;
  }
};

TEST_F(OptionMenusTest, ClickChecksTheItemAndClearsTheRestOfItsGroup) {
  const QStringList mode = {"filtered", "nonFiltered"};
  const QStringList store = {"frequencyData", "phaseData"};
  const QStringList port = {"com1", "com2", "com3", "com4"};
  const RadioCase cases[] = {
      {"121", {"filtered"}, mode, {"filtered"}},
      {"120", {"filtered"}, mode, {"filtered"}},  // already checked: unchanged
      {"120", {"filtered", "filtered"}, mode, {"filtered"}},
      {"105", {}, mode, {}},  // units digit 5 leaves the pair unchecked
      {"105", {"nonFiltered"}, mode, {"nonFiltered"}},
      {"105", {"nonFiltered", "filtered"}, mode, {"filtered"}},
      {"121", {"phaseData"}, store, {"phaseData"}},
      {"221", {"frequencyData", "phaseData", "phaseData"}, store, {"phaseData"}},
      {"", {}, store, {}},
      {"", {"frequencyData"}, store, {"frequencyData"}},
      {"121", {"com4"}, port, {"com4"}},
      {"121", {"com2"}, port, {"com2"}},
      {"101", {}, port, {}},
      {"101", {"com3", "com1"}, port, {"com1"}},
  };
  for (const RadioCase& rc : cases) {
    SCOPED_TRACE(std::string("from \"") + rc.settings + "\" clicking " +
                 rc.clicks.join(", ").toStdString());
    writeFile("globalsetting.txt", app::plainTextToRtf(rc.settings));
    app::Console& c = startConsole();
    for (const QString& name : rc.clicks) c.menus().find(name)->click();
    EXPECT_EQ(checkedOf(rc.group), rc.checkedAfter);
  }
}

TEST_F(OptionMenusTest, ChoosingTouchesNothingButTheCheckMarks) {
  writeFile("globalsetting.txt", app::plainTextToRtf("121"));
  const app::Console& c = startConsole();
  const QByteArray settingsBefore = readFile("globalsetting.txt");
  for (const char* name : {"filtered", "phaseData", "com3", "nonFiltered", "frequencyData", "com1"})
    console->menus().find(name)->click();
  EXPECT_EQ(readFile("globalsetting.txt"), settingsBefore);
  EXPECT_TRUE(serial.writes.empty());
  EXPECT_EQ(serial.openCount, 0);
  EXPECT_EQ(c.status(), "");
  EXPECT_TRUE(c.menus().autoscale.checked());
  EXPECT_TRUE(c.menus().showFrequencyDiff.checked());
}

}  // namespace
}  // namespace tessarin::test
