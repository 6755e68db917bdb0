#include <QDir>

#include "app/RichText.h"
#include "app/RunChoicesFromMenus.h"
#include "app/SettingsCode.h"
#include "support/ConsoleFixture.h"

namespace tessarin::test {
namespace {

TEST(SettingsCodeTest, SettingsTextIsReadByItsLeadingNumber) {
  const std::pair<QString, double> cases[] = {
      {"121", 121},     {"  121", 121}, {"\t210", 210}, {"121.7", 121.7}, {"121abc", 121},
      {"121 122", 121}, {"1.5.3", 1.5}, {"", 0},        {"abc", 0},       {"-121", -121},
      {"+105", 105},    {".5", 0.5},    {"1e2", 100},   {"0105", 105},    {"121\t\n", 121},
  };
  for (const auto& [text, number] : cases)
    EXPECT_DOUBLE_EQ(app::leadingNumber(text), number) << text.toStdString();
}

class SettingsCodeFixture : public ConsoleFixture {
 protected:
  // The checked items of the three saved groups, in menu order.
  QStringList choices() const {
    const app::Menus& m = console->menus();
    QStringList names;
    for (const app::MenuItem* item : {&m.com1, &m.com2, &m.com3, &m.com4, &m.filtered,
                                      &m.nonFiltered, &m.frequencyData, &m.phaseData})
      if (item->checked()) names << item->name();
    return names;
  }
  app::Console& startFrom(const QString& text) {
    writeFile("globalsetting.txt", app::plainTextToRtf(text));
    return startConsole();
  }
  // Saves the choices as the console does and returns the text of the written file.
  QString saved() {
    const platform::Result<> result = app::writeGlobalSettings(
        console->settingsFolder(), app::readRunChoices(console->menus(), console->windows()));
    EXPECT_TRUE(result) << result.reason().toStdString();
    return app::rtfToPlainText(readFile("globalsetting.txt"));
  }
};

TEST_F(SettingsCodeFixture, StartUpChecksOnlyTheItemsTheDigitsOfTheCodeName) {
  const std::pair<const char*, QStringList> cases[] = {
      {"121", {"com2", "nonFiltered", "frequencyData"}},
      {"210", {"com1", "filtered", "phaseData"}},
      {"241", {"com4", "nonFiltered", "phaseData"}},
      {"151", {"nonFiltered", "frequencyData"}},  // no port 5
      {"312", {"com1"}},                          // no data type 3, no filter 2
      {"0", {"filtered"}},                        // the code of an empty file
      {"2345", {"com4"}},                         // hundreds 23, tens 4, units 5
      {"-121", {}},                               // Int(-1.21) = -2, then 7 and 9
      {"100.5", {"filtered", "frequencyData"}},   // units Int(0.5)
      {"9.9", {}},                                // units Int(9.9)
      {"1e300", {}},                              // hundreds beyond the 16-bit field
      {"1e400", {}},                              // infinity
  };
  for (const auto& [text, checked] : cases) {
    startFrom(text);
    EXPECT_EQ(choices(), checked) << text;
  }
}

TEST_F(SettingsCodeFixture, SavedCodePacksTheCheckMarksAsARichTextDocument) {
  app::Console& c = startFrom("121");
  c.menus().phaseData.click();
  c.menus().com3.click();
  c.menus().filtered.click();
  EXPECT_EQ(saved(), "230");
  EXPECT_TRUE(readFile("globalsetting.txt").startsWith("{\\rtf1"));

  c.menus().com4.click();
  c.menus().nonFiltered.click();
  c.menus().frequencyData.click();
  EXPECT_EQ(saved(), "141");
}

TEST_F(SettingsCodeFixture, GroupWithoutACheckedItemSavesZeroInItsPlace) {
  const std::pair<const char*, const char*> cases[] = {
      {"151", "101"}, {"321", "21"}, {"32000", "0"}, {"105", "100"}, {"", "0"}};
  for (const auto& [read, written] : cases) {
    startFrom(read);
    EXPECT_EQ(saved(), written) << read;
  }
  // Nothing of an earlier save is kept either.
  app::Console& c = startFrom("105");
  c.menus().com2.click();
  EXPECT_EQ(saved(), "120");
  c.menus().com2.setChecked(false);
  EXPECT_EQ(saved(), "100");
}

// The start-up's decoding and the save's encoding over fresh menus (the saved groups start
// unchecked, as at start-up); the cases above go through the files.
TEST(SettingsCodeTest, EveryStartUpCodeSavesTheDigitsThatNameAnItem) {
  for (int code = 0; code <= 999; ++code) {
    const int hundreds = code / 100, tens = code / 10 % 10, units = code % 10;
    const int expected = 100 * (hundreds == 1 || hundreds == 2 ? hundreds : 0) +
                         10 * (tens >= 1 && tens <= 4 ? tens : 0) + (units == 1 ? 1 : 0);
    app::Menus menus;
    const app::Windows windows;
    app::applySettingsCode(menus, code);
    ASSERT_EQ(app::encodeSettingsCode(app::readRunChoices(menus, windows)), expected)
        << "start-up code " << code;
  }
}

TEST_F(SettingsCodeFixture, ChoicesSurviveARestartThroughTheFile) {
  const QStringList choiceSets[] = {
      {"com3", "filtered", "phaseData"},
      {"com4", "nonFiltered", "frequencyData"},
      {"com1", "nonFiltered", "phaseData"},
  };
  for (const QStringList& chosen : choiceSets) {
    app::Console& c = startConsole();
    for (const QString& name : chosen) c.menus().find(name)->click();
    saved();
    startConsole();
    EXPECT_EQ(choices(), chosen);
  }
}

TEST_F(SettingsCodeFixture, UnwritableSettingsFileFailsWithTheReason) {
  const app::Console& c = startFrom("121");
  QFile::remove(pathOf("globalsetting.txt"));
  ASSERT_TRUE(QDir(folder()).mkdir("globalsetting.txt"));
  const platform::Result<> result =
      app::writeGlobalSettings(c.settingsFolder(), app::readRunChoices(c.menus(), c.windows()));
  EXPECT_FALSE(result);
  EXPECT_TRUE(result.reason().contains("globalsetting.txt")) << result.reason().toStdString();
}

}  // namespace
}  // namespace tessarin::test
