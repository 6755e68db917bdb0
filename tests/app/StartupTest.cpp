#include <QDir>
#include <cmath>

#include "app/RichText.h"
#include "app/Startup.h"
#include "support/ConsoleFixture.h"

namespace {

class StartupTest : public ConsoleFixture {
 protected:
  // The names of the checked items among the three saved groups, in menu order.
  QStringList savedChoices() const {
    QStringList names;
    for (const MenuItem* item :
         {&console->menus.com1, &console->menus.com2, &console->menus.com3, &console->menus.com4,
          &console->menus.filtered, &console->menus.nonFiltered, &console->menus.frequencyData,
          &console->menus.phaseData})
      if (item->checked()) names << item->name();
    return names;
  }
};

TEST_F(StartupTest, MenuTreeHasEveryItemWithItsCaptionInMenuOrder) {
  Console& c = startUp();
  // name, caption, parent ("" for the menu bar)
  const char* const expected[][3] = {
      {"fileMenu", "   &File   ", ""},
      {"saveFileAs", "&Save File as", "fileMenu"},
      {"initialization", "&Initialization", "fileMenu"},
      {"fileSeparator1", "-", "fileMenu"},
      {"startStop", "S&tart", "fileMenu"},
      {"fileSeparator2", "-", "fileMenu"},
      {"quit", "&Quit", "fileMenu"},
      {"portMenu", " &Port ", ""},
      {"com1", "Com &1", "portMenu"},
      {"com2", "Com &2", "portMenu"},
      {"com3", "Com &3", "portMenu"},
      {"com4", "Com &4", "portMenu"},
      {"modeMenu", " &Mode ", ""},
      {"filtered", "&Filtered", "modeMenu"},
      {"nonFiltered", "&Non-Filtered", "modeMenu"},
      {"storeMenu", " S&tore ", ""},
      {"frequencyData", "&Frequency Data", "storeMenu"},
      {"phaseData", "&Phase Data", "storeMenu"},
      {"displayMenu", " Displa&y ", ""},
      {"showFrequencyDiff", "&Frequency Diff.", "displayMenu"},
      {"showPhaseDiff", "&Phase Diff", "displayMenu"},
      {"displaySeparator", "-", "displayMenu"},
      {"showStandardAllan", "&Standard Allan Dev.", "displayMenu"},
      {"showModifiedAllan", "&Modified Allan Dev.", "displayMenu"},
      {"showTdev", "T&DEV", "displayMenu"},
      {"showMtie", "M&TIE", "displayMenu"},
      {"graphicMenu", "  &Graphic  ", ""},
      {"autoscale", "&Autoscale", "graphicMenu"},
      {"limits", "&Limits", "graphicMenu"},
      {"graphicSeparator", "-", "graphicMenu"},
      {"title", "&Title", "graphicMenu"},
      {"printMenu", "&Print", "graphicMenu"},
      {"printDataPlot", "&Data Plot", "printMenu"},
      {"printStabilityPlot", "&Stability Plot", "printMenu"},
      {"savePictureMenu", "&Save Picture", "graphicMenu"},
      {"saveDataPlotPicture", "&Data Plot", "savePictureMenu"},
      {"saveStabilityPlotPicture", "&Stability Plot", "savePictureMenu"},
      {"selectMenu", " &Select ", ""},
      {"tau", "&Tau", "selectMenu"},
      {"normalize", "&Normalize DUT Frequency", "selectMenu"},
      {"aboutMenu", " &About ", ""},
      {"statusLabel", "       Status :", ""},
      {"statusText", "", ""},
  };
  const std::vector<Menus::Node> tree = c.menus.tree();
  ASSERT_EQ(tree.size(), std::size(expected));
  for (size_t i = 0; i < tree.size(); ++i) {
    EXPECT_EQ(tree[i].item->name(), expected[i][0]);
    EXPECT_EQ(tree[i].item->caption(), expected[i][1]) << expected[i][0];
    EXPECT_EQ(tree[i].parent ? tree[i].parent->name() : QString(), expected[i][2])
        << expected[i][0];
  }
}

TEST_F(StartupTest, MenuStatesAfterStartUpFromCode121) {
  writeFile("globalsetting.txt", plainTextToRtf("121"));
  Console& c = startUp();
  const QStringList checked = {"com2", "nonFiltered", "frequencyData", "showFrequencyDiff",
                               "autoscale"};
  const QStringList disabled = {"startStop", "initialization", "normalize"};
  const QStringList hidden = {"displaySeparator", "showStandardAllan", "showModifiedAllan",
                              "showTdev", "showMtie"};
  for (const Menus::Node& node : c.menus.tree()) {
    const QString& name = node.item->name();
    EXPECT_EQ(node.item->checked(), checked.contains(name)) << name.toStdString();
    EXPECT_EQ(node.item->enabled(), !disabled.contains(name)) << name.toStdString();
    EXPECT_EQ(node.item->visible(), !hidden.contains(name)) << name.toStdString();
  }
  EXPECT_EQ(c.menus.statusLabel.caption(), "       Status :");
  EXPECT_EQ(c.status(), "");
  EXPECT_EQ(c.menus.startStop.caption(), "S&tart");
}

struct SettingsCase {
  const char* name;
  std::optional<QByteArray> file;  // nothing: no globalsetting.txt at all
  QStringList checked;
  double code;
  int dataType, port, filter;
};

TEST_F(StartupTest, SavedChoicesComeFromTheSettingsCode) {
  const SettingsCase cases[] = {
      {"121", plainTextToRtf("121"), {"com2", "nonFiltered", "frequencyData"}, 121, 1, 2, 1},
      {"210", plainTextToRtf("210"), {"com1", "filtered", "phaseData"}, 210, 2, 1, 0},
      {"105", plainTextToRtf("105"), {"frequencyData"}, 105, 1, 0, 5},
      {"101", plainTextToRtf("101"), {"nonFiltered", "frequencyData"}, 101, 1, 0, 1},
      {"empty text", plainTextToRtf(""), {"filtered"}, 0, 0, 0, 0},
      {"empty file", QByteArray(), {"filtered"}, 0, 0, 0, 0},
      {"fraction",
       plainTextToRtf("121.7"),
       {"com2", "nonFiltered", "frequencyData"},
       121.7,
       1,
       2,
       1},
      {"missing file", std::nullopt, {}, 0, 0, 0, 0},
      {"bare text written by hand",
       QByteArray("  230\r\n"),
       {"com3", "filtered", "phaseData"},
       230,
       2,
       3,
       0},
      {"document of another editor",
       "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat{\\fonttbl{\\f0\\fnil\\fcharset0 "
       "Caf\\'e9 Sans;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n{\\*\\generator Riched20 "
       "10.0.19041}\\viewkind4\\uc1 \r\n\\pard\\f0\\fs20\\lang1036 121 r\\'e9glage\\par\r\n}\r\n",
       {"com2", "nonFiltered", "frequencyData"},
       121,
       1,
       2,
       1},
  };
  for (const SettingsCase& sc : cases) {
    SCOPED_TRACE(sc.name);
    QFile::remove(pathOf("globalsetting.txt"));
    if (sc.file) writeFile("globalsetting.txt", *sc.file);
    Console& c = startUp();
    EXPECT_EQ(savedChoices(), sc.checked);
    EXPECT_DOUBLE_EQ(c.st.dblSettingCode, sc.code);
    EXPECT_EQ(c.st.intDataTypeCode, sc.dataType);
    EXPECT_EQ(c.st.intPortCode, sc.port);
    EXPECT_EQ(c.st.intFilterCode, sc.filter);
    EXPECT_EQ(c.st.strSettingFile, pathOf("globalsetting.txt"));
    EXPECT_EQ(c.status(), "");
  }
}

TEST_F(StartupTest, UnreadableSettingsFileIsReportedAndTheConsoleStillStarts) {
  ASSERT_TRUE(QDir(folder()).mkdir("globalsetting.txt"));
  Console& c = startUp();
  EXPECT_TRUE(c.status().startsWith("Settings not read: ")) << c.status().toStdString();
  EXPECT_TRUE(c.status().contains(pathOf("globalsetting.txt"))) << c.status().toStdString();
  EXPECT_EQ(savedChoices(), QStringList{});
  EXPECT_TRUE(c.windows.dataWindow.visible());
  EXPECT_TRUE(c.windows.stabilityWindow.visible());
  EXPECT_EQ(stabilityPlot.labels.size(), 32u);
}

TEST_F(StartupTest, BothPlotsGetTheSixKeyBindings) {
  startUp();
  const std::vector<std::vector<std::int32_t>> expected = {{256, 0, 108, 0}, {256, 0, 97, 0},
                                                           {256, 0, 98, 0},  {256, 0, 105, 0},
                                                           {256, 0, 112, 0}, {256, 0, 121, 0}};
  EXPECT_EQ(dataPlot.keyBindings, expected);
  EXPECT_EQ(stabilityPlot.keyBindings, expected);
}

// A plot that notes each key binding in one log shared by both plots.
class LoggingPlot : public FakePlot {
 public:
  LoggingPlot(QString name, QStringList& log) : name_(std::move(name)), log_(log) {}
  void bindKey(std::int32_t kind, std::int32_t modifier, std::int32_t charCode,
               std::int32_t action) override {
    log_ << name_ + ":" + QChar(charCode);
    FakePlot::bindKey(kind, modifier, charCode, action);
  }

 private:
  QString name_;
  QStringList& log_;
};

TEST_F(StartupTest, EachKeyIsBoundOnTheDataPlotBeforeTheStabilityPlot) {
  QStringList log;
  LoggingPlot data("data", log), stability("stability", log);
  Console c({serial, timer, data, stability, dialogs, clock, events, application}, folder());
  ::startUp(c);
  EXPECT_EQ(log, QStringList({"data:l", "stability:l", "data:a", "stability:a", "data:b",
                              "stability:b", "data:i", "stability:i", "data:p", "stability:p",
                              "data:y", "stability:y"}));
}

TEST_F(StartupTest, ConsoleStateStartsIdleWithEveryArrayAtFullSize) {
  const ConsoleState& st = startUp().st;
  EXPECT_EQ(st.dblCountScale, 5);
  EXPECT_FALSE(st.blnClosing);
  EXPECT_EQ(st.intFileChosen, 0);
  EXPECT_EQ(st.intInitPending, 1);
  EXPECT_EQ(st.intRunState, 0);
  EXPECT_EQ(st.intRunStopped, 0);
  EXPECT_EQ(st.intPortOpen, 0);
  EXPECT_EQ(st.intRunning, 0);
  EXPECT_EQ(st.intSampleRejected, 0);
  EXPECT_EQ(st.intStageIndex, 0);
  EXPECT_EQ(st.intLongReplies, 0);
  EXPECT_EQ(st.intStageLength, 3);
  EXPECT_EQ(st.dblSampleIndex, 0);
  EXPECT_EQ(st.lngCountFreq.size(), 11u);
  EXPECT_EQ(st.dblStageSample.size(), 21u);
  EXPECT_EQ(st.dblFreqData.size(), 1000001u);
  EXPECT_EQ(st.dblFreqPlot.size(), 1000001u);
  EXPECT_EQ(st.dblPhaseData.size(), 1000001u);
  EXPECT_EQ(st.dblPhasePlot.size(), 1000001u);
  EXPECT_EQ(st.dblAdev.size(), 300001u);
  EXPECT_EQ(st.dblAdevTau.size(), 300001u);
  EXPECT_EQ(st.dblDecimated.size(), 300001u);
  EXPECT_EQ(st.dblPhaseData[0], 0);
  EXPECT_FALSE(serial.isOpen());
  EXPECT_TRUE(serial.writes.empty());
  EXPECT_FALSE(timer.enabled());
}

TEST_F(StartupTest, PlotWindowsAreShownAndToolWindowsLoadedHidden) {
  Console& c = startUp();
  const Windows& w = c.windows;
  // The main window's outer height of 8190 twips / 2.3, to the nearest twip.
  const int plotHeight = 3561;
  EXPECT_TRUE(w.dataWindow.visible());
  EXPECT_EQ(w.dataWindow.height(), plotHeight);
  EXPECT_EQ(w.dataWindow.width(), 6180);
  EXPECT_TRUE(w.stabilityWindow.visible());
  EXPECT_EQ(w.stabilityWindow.top(), plotHeight);
  EXPECT_EQ(w.stabilityWindow.height(), plotHeight);
  EXPECT_EQ(w.stabilityWindow.width(), 6180);
  EXPECT_EQ(w.stabilityWindow.left(), 0);
  EXPECT_EQ(dataPlot.width(), 6180 - 100);
  EXPECT_EQ(stabilityPlot.width(), 6180 - 100);
  EXPECT_EQ(dataPlot.height(), plotHeight - 400);
  EXPECT_EQ(stabilityPlot.height(), plotHeight - 400);

  for (const ChildWindow* tool : {&w.dutFrequencyWindow, &w.tauWindow, &w.nominalWindow,
                                  &w.scalesWindow, &w.titleWindow, &w.aboutWindow})
    EXPECT_FALSE(tool->visible()) << tool->name().toStdString();
  EXPECT_FALSE(w.titleWindowLoaded);
  EXPECT_EQ(w.dutFrequencyWindow.left(), w.mainWidth - w.dutFrequencyWindow.width() - 200);
  EXPECT_EQ(w.dutFrequencyWindow.top(), 0);
  // scalesWindow read its limits while loading: with no setting3.txt, the default texts.
  EXPECT_EQ(w.scaleBoxes[1].text(), "1e4");
}

TEST_F(StartupTest, StabilityPlotGetsItsThirtyTwoDecadeLabels) {
  startUp();
  ASSERT_EQ(stabilityPlot.labels.size(), 32u);
  EXPECT_EQ(stabilityPlot.yAxisMode, 2);
  for (size_t i = 0; i < 32; ++i) {
    const int exponent = -3 - static_cast<int>(i / 2);
    const int mantissa = i % 2 == 0 ? 2 : 1;
    const FakePlot::Label& label = stabilityPlot.labels[i];
    EXPECT_EQ(label.text, QString("%1E%2").arg(mantissa).arg(exponent));
    EXPECT_DOUBLE_EQ(label.value, mantissa * std::pow(10.0, exponent));
    EXPECT_TRUE(label.priority);
  }
  EXPECT_EQ(stabilityPlot.labels.front().text, "2E-3");
  EXPECT_EQ(stabilityPlot.labels.back().text, "1E-18");
  EXPECT_TRUE(dataPlot.labels.empty());
}

}  // namespace
