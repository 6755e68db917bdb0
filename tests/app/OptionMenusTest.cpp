#include "app/OptionMenus.h"
#include "app/RichText.h"
#include "support/ConsoleFixture.h"

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
      if (console->menu.find(name)->checked()) names << name;
    return names;
  }
};

TEST_F(OptionMenusTest, ClickChecksTheItemAndClearsTheRestOfItsGroup) {
  const QStringList mode = {"mnuFiltered", "mnuNonFiltered"};
  const QStringList store = {"mnuFreqData", "mnuPhaseData"};
  const QStringList port = {"mnuCom1", "mnuCom2", "mnuCom3", "mnuCom4"};
  const RadioCase cases[] = {
      {"121", {"mnuFiltered"}, mode, {"mnuFiltered"}},
      {"120", {"mnuFiltered"}, mode, {"mnuFiltered"}},  // already checked: unchanged
      {"120", {"mnuFiltered", "mnuFiltered"}, mode, {"mnuFiltered"}},
      {"105", {}, mode, {}},  // units digit 5 leaves the pair unchecked
      {"105", {"mnuNonFiltered"}, mode, {"mnuNonFiltered"}},
      {"105", {"mnuNonFiltered", "mnuFiltered"}, mode, {"mnuFiltered"}},
      {"121", {"mnuPhaseData"}, store, {"mnuPhaseData"}},
      {"221", {"mnuFreqData", "mnuPhaseData", "mnuPhaseData"}, store, {"mnuPhaseData"}},
      {"", {}, store, {}},
      {"", {"mnuFreqData"}, store, {"mnuFreqData"}},
      {"121", {"mnuCom4"}, port, {"mnuCom4"}},
      {"121", {"mnuCom2"}, port, {"mnuCom2"}},
      {"101", {}, port, {}},
      {"101", {"mnuCom3", "mnuCom1"}, port, {"mnuCom1"}},
  };
  for (const RadioCase& rc : cases) {
    SCOPED_TRACE(std::string("from \"") + rc.settings + "\" clicking " +
                 rc.clicks.join(", ").toStdString());
    writeFile("globalsetting.txt", PlainTextToRtf(rc.settings));
    Console& c = startUp();
    for (const QString& name : rc.clicks) c.menu.find(name)->click();
    EXPECT_EQ(checkedOf(rc.group), rc.checkedAfter);
  }
}

TEST_F(OptionMenusTest, ChoosingTouchesNothingButTheCheckMarks) {
  writeFile("globalsetting.txt", PlainTextToRtf("121"));
  Console& c = startUp();
  const QByteArray settingsBefore = readFile("globalsetting.txt");
  for (const char* name :
       {"mnuFiltered", "mnuPhaseData", "mnuCom3", "mnuNonFiltered", "mnuFreqData", "mnuCom1"})
    c.menu.find(name)->click();
  EXPECT_EQ(readFile("globalsetting.txt"), settingsBefore);
  EXPECT_TRUE(serial.writes.empty());
  EXPECT_EQ(serial.openCount, 0);
  EXPECT_EQ(c.status(), "");
  EXPECT_EQ(c.st.intDataTypeCode, 1);
  EXPECT_EQ(c.st.intPortCode, 2);
  EXPECT_EQ(c.st.intFilterCode, 1);
  EXPECT_TRUE(c.menu.mnuAuto.checked());
  EXPECT_TRUE(c.menu.mnuDispF.checked());
}

}  // namespace
