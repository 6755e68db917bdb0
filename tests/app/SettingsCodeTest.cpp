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
    EXPECT_DOUBLE_EQ(LeadingNumber(text), number) << text.toStdString();
}

class SettingsCodeFixture : public ConsoleFixture {
 protected:
  // The checked items of the three saved groups, in menu order.
  QStringList choices() const {
    const Menus& m = console->menu;
    QStringList names;
    for (const MenuItem* item : {&m.mnuCom1, &m.mnuCom2, &m.mnuCom3, &m.mnuCom4, &m.mnuFiltered,
                                 &m.mnuNonFiltered, &m.mnuFreqData, &m.mnuPhaseData})
      if (item->checked()) names << item->name();
    return names;
  }
  Console& startUpFrom(const QString& code) {
    writeFile("globalsetting.txt", PlainTextToRtf(code));
    return startUp();
  }
};

struct DecodeCase {
  double code;
  QStringList checked;
};

TEST_F(SettingsCodeFixture, DecodingChecksOnlyTheItemsItsDigitsName) {
  const DecodeCase cases[] = {
      {121, {"mnuCom2", "mnuNonFiltered", "mnuFreqData"}},
      {210, {"mnuCom1", "mnuFiltered", "mnuPhaseData"}},
      {241, {"mnuCom4", "mnuNonFiltered", "mnuPhaseData"}},
      {151, {"mnuNonFiltered", "mnuFreqData"}},       // no port 5
      {312, {"mnuCom1"}},                             // no data type 3, no filter 2
      {0, {"mnuFiltered"}},                           // the code of an empty file
      {2345, {"mnuCom4"}},                            // hundreds 23, tens 4, units 5
      {-121, {}},                                     // Int(-1.21) = -2, then 7 and 9
      {100.5, {"mnuFiltered", "mnuFreqData"}},        // units Int(0.5)
      {9.9, {}},                                      // units Int(9.9)
      {1e300, {}},                                    // hundreds beyond the 16-bit field
      {std::numeric_limits<double>::infinity(), {}},  // "1e400" in the file
  };
  Console& c = startUp();
  for (const DecodeCase& dc : cases) {
    for (const Menus::Node& node : c.menu.tree()) node.item->setChecked(false);
    ApplySettingsCode(c, dc.code);
    EXPECT_EQ(choices(), dc.checked) << dc.code;
  }
}

TEST_F(SettingsCodeFixture, EncodingPacksTheCheckMarks) {
  Console& c = startUpFrom("121");
  c.menu.mnuPhaseData.click();
  c.menu.mnuCom3.click();
  c.menu.mnuFiltered.click();
  EXPECT_EQ(EncodeSettingsCode(c), 230);
  EXPECT_EQ(c.st.intDataTypeCode, 200);
  EXPECT_EQ(c.st.intPortCode, 30);
  EXPECT_EQ(c.st.intFilterCode, 0);
  EXPECT_EQ(c.st.dblSettingCode, 230);

  c.menu.mnuCom4.click();
  c.menu.mnuNonFiltered.click();
  c.menu.mnuFreqData.click();
  EXPECT_EQ(EncodeSettingsCode(c), 141);
}

TEST_F(SettingsCodeFixture, GroupWithoutACheckedItemKeepsItsPreviousPart) {
  // "105" leaves the port and filter groups unchecked, with digits 0 and 5.
  Console& c = startUpFrom("105");
  EXPECT_EQ(EncodeSettingsCode(c), 105);
  c.menu.mnuFiltered.click();
  EXPECT_EQ(EncodeSettingsCode(c), 100);

  // After an encoding the parts are weighted: an unchecked group keeps its weighted part.
  c.menu.mnuCom2.click();
  EncodeSettingsCode(c);
  c.menu.mnuCom2.setChecked(false);
  EXPECT_EQ(EncodeSettingsCode(c), 120);
}

TEST_F(SettingsCodeFixture, WrittenFileIsARichTextDocumentOfTheCode) {
  Console& c = startUpFrom("105");
  c.menu.mnuFiltered.click();
  QString error;
  ASSERT_TRUE(WriteGlobalSettings(c, error)) << error.toStdString();
  const QByteArray document = readFile("globalsetting.txt");
  EXPECT_TRUE(document.startsWith("{\\rtf1")) << document.constData();
  EXPECT_EQ(RtfToPlainText(document), "100");
}

TEST_F(SettingsCodeFixture, ChoicesSurviveARestartThroughTheFile) {
  const QStringList choiceSets[] = {
      {"mnuCom3", "mnuFiltered", "mnuPhaseData"},
      {"mnuCom4", "mnuNonFiltered", "mnuFreqData"},
      {"mnuCom1", "mnuNonFiltered", "mnuPhaseData"},
  };
  for (const QStringList& chosen : choiceSets) {
    Console& c = startUp();
    for (const QString& name : chosen) c.menu.find(name)->click();
    QString error;
    ASSERT_TRUE(WriteGlobalSettings(c, error)) << error.toStdString();
    startUp();
    EXPECT_EQ(choices(), chosen);
  }
}

TEST_F(SettingsCodeFixture, UnwritableSettingsFileFailsWithTheReason) {
  Console& c = startUpFrom("121");
  QFile::remove(pathOf("globalsetting.txt"));
  ASSERT_TRUE(QDir(folder()).mkdir("globalsetting.txt"));
  QString error;
  EXPECT_FALSE(WriteGlobalSettings(c, error));
  EXPECT_TRUE(error.contains("globalsetting.txt")) << error.toStdString();
}

}  // namespace
