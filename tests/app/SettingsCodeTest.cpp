#include <QDir>
#include <limits>

#include "app/RichText.h"
#include "app/SettingsCode.h"
#include "support/ConsoleFixture.h"

namespace {

TEST(SettingsCodeTest, LeadingNumberOfTheText) {
  const std::pair<QString, double> cases[] = {
      {"121", 121},     {"  121", 121}, {"\t210", 210}, {"121.7", 121.7}, {"121abc", 121},
      {"121 122", 121}, {"1.5.3", 1.5}, {"", 0},        {"abc", 0},       {"-121", -121},
      {"+105", 105},    {".5", 0.5},    {"1e2", 100},   {"0105", 105},    {"121\t\n", 121},
  };
  for (const auto& [text, number] : cases)
    EXPECT_DOUBLE_EQ(leadingNumber(text), number) << text.toStdString();
}

class SettingsCodeFixture : public ConsoleFixture {
 protected:
  // The checked items of the three saved groups, in menu order.
  QStringList choices() const {
    const Menus& m = console->menus;
    QStringList names;
    for (const MenuItem* item : {&m.com1, &m.com2, &m.com3, &m.com4, &m.filtered, &m.nonFiltered,
                                 &m.frequencyData, &m.phaseData})
      if (item->checked()) names << item->name();
    return names;
  }
  Console& startUpFrom(const QString& code) {
    writeFile("globalsetting.txt", plainTextToRtf(code));
    return startUp();
  }
};

struct DecodeCase {
  double code;
  QStringList checked;
};

TEST_F(SettingsCodeFixture, DecodingChecksOnlyTheItemsItsDigitsName) {
  const DecodeCase cases[] = {
      {121, {"com2", "nonFiltered", "frequencyData"}},
      {210, {"com1", "filtered", "phaseData"}},
      {241, {"com4", "nonFiltered", "phaseData"}},
      {151, {"nonFiltered", "frequencyData"}},        // no port 5
      {312, {"com1"}},                                // no data type 3, no filter 2
      {0, {"filtered"}},                              // the code of an empty file
      {2345, {"com4"}},                               // hundreds 23, tens 4, units 5
      {-121, {}},                                     // Int(-1.21) = -2, then 7 and 9
      {100.5, {"filtered", "frequencyData"}},         // units Int(0.5)
      {9.9, {}},                                      // units Int(9.9)
      {1e300, {}},                                    // hundreds beyond the 16-bit field
      {std::numeric_limits<double>::infinity(), {}},  // "1e400" in the file
  };
  Console& c = startUp();
  for (const DecodeCase& dc : cases) {
    for (const Menus::Node& node : c.menus.tree()) node.item->setChecked(false);
    applySettingsCode(c, dc.code);
    EXPECT_EQ(choices(), dc.checked) << dc.code;
  }
}

TEST_F(SettingsCodeFixture, EncodingPacksTheCheckMarks) {
  Console& c = startUpFrom("121");
  c.menus.phaseData.click();
  c.menus.com3.click();
  c.menus.filtered.click();
  EXPECT_EQ(encodeSettingsCode(c), 230);
  EXPECT_EQ(c.st.intDataTypeCode, 200);
  EXPECT_EQ(c.st.intPortCode, 30);
  EXPECT_EQ(c.st.intFilterCode, 0);
  EXPECT_EQ(c.st.dblSettingCode, 230);

  c.menus.com4.click();
  c.menus.nonFiltered.click();
  c.menus.frequencyData.click();
  EXPECT_EQ(encodeSettingsCode(c), 141);
}

TEST_F(SettingsCodeFixture, GroupWithoutACheckedItemKeepsItsPreviousPart) {
  // "105" leaves the port and filter groups unchecked, with digits 0 and 5.
  Console& c = startUpFrom("105");
  EXPECT_EQ(encodeSettingsCode(c), 105);
  c.menus.filtered.click();
  EXPECT_EQ(encodeSettingsCode(c), 100);

  // After an encoding the parts are weighted: an unchecked group keeps its weighted part.
  c.menus.com2.click();
  encodeSettingsCode(c);
  c.menus.com2.setChecked(false);
  EXPECT_EQ(encodeSettingsCode(c), 120);
}

TEST_F(SettingsCodeFixture, WrittenFileIsARichTextDocumentOfTheCode) {
  Console& c = startUpFrom("105");
  c.menus.filtered.click();
  QString error;
  ASSERT_TRUE(writeGlobalSettings(c, error)) << error.toStdString();
  const QByteArray document = readFile("globalsetting.txt");
  EXPECT_TRUE(document.startsWith("{\\rtf1")) << document.constData();
  EXPECT_EQ(rtfToPlainText(document), "100");
}

TEST_F(SettingsCodeFixture, ChoicesSurviveARestartThroughTheFile) {
  const QStringList choiceSets[] = {
      {"com3", "filtered", "phaseData"},
      {"com4", "nonFiltered", "frequencyData"},
      {"com1", "nonFiltered", "phaseData"},
  };
  for (const QStringList& chosen : choiceSets) {
    Console& c = startUp();
    for (const QString& name : chosen) c.menus.find(name)->click();
    QString error;
    ASSERT_TRUE(writeGlobalSettings(c, error)) << error.toStdString();
    startUp();
    EXPECT_EQ(choices(), chosen);
  }
}

TEST_F(SettingsCodeFixture, UnwritableSettingsFileFailsWithTheReason) {
  Console& c = startUpFrom("121");
  QFile::remove(pathOf("globalsetting.txt"));
  ASSERT_TRUE(QDir(folder()).mkdir("globalsetting.txt"));
  QString error;
  EXPECT_FALSE(writeGlobalSettings(c, error));
  EXPECT_TRUE(error.contains("globalsetting.txt")) << error.toStdString();
}

}  // namespace
