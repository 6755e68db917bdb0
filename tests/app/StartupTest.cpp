#include <QDir>
#include <QHash>
#include <cmath>

#include "app/RichText.h"
#include "app/Startup.h"
#include "support/ConsoleFixture.h"

namespace tessarin::test {
namespace {

using app::ChildWindow;
using app::MenuItem;

// The lines of a golden file, without the empty line after the last line break.
QStringList goldenLines(const QString& name) {
  QFile file(QStringLiteral(GOLDEN_DIR "/") + name);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << name.toStdString();
  QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  return lines;
}

class StartupTest : public ConsoleFixture {
 protected:
  // Each menu item as the operator sees it, indented under its parent: name, caption and the
  // states that differ from checked-off, enabled and visible.
  QStringList menuLines() const {
    QStringList lines;
    QHash<const MenuItem*, int> depth;
    for (const app::Menus::Node& node : console->menus().tree()) {
      const MenuItem& item = *node.item;
      depth[&item] = node.parent ? depth.value(node.parent) + 1 : 0;
      QString line = QString(2 * depth[&item], ' ') + item.name() + " \"" + item.caption() + "\"";
      if (item.checked()) line += " checked";
      if (!item.enabled()) line += " disabled";
      if (!item.visible()) line += " hidden";
      lines << line;
    }
    return lines;
  }

  // Each child window (shown or hidden, outer geometry) and the size of each plot.
  QStringList windowLines() const {
    const app::Windows& w = console->windows();
    QStringList lines;
    for (const ChildWindow* window :
         {&w.dataWindow, &w.stabilityWindow, &w.dutFrequencyWindow, &w.tauWindow, &w.nominalWindow,
          &w.scalesWindow, &w.titleWindow, &w.aboutWindow})
      lines << QString("%1 %2 left=%3 top=%4 width=%5 height=%6")
                   .arg(window->name(), window->visible() ? "shown" : "hidden")
                   .arg(window->left())
                   .arg(window->top())
                   .arg(window->width())
                   .arg(window->height());
    lines << QString("dataPlot width=%1 height=%2").arg(dataPlot.width()).arg(dataPlot.height());
    lines << QString("stabilityPlot width=%1 height=%2")
                 .arg(stabilityPlot.width())
                 .arg(stabilityPlot.height());
    return lines;
  }

  // The names of the checked items among the three saved groups, in menu order.
  QStringList savedChoices() const {
    const app::Menus& m = console->menus();
    QStringList names;
    for (const MenuItem* item : {&m.com1, &m.com2, &m.com3, &m.com4, &m.filtered, &m.nonFiltered,
                                 &m.frequencyData, &m.phaseData})
      if (item->checked()) names << item->name();
    return names;
  }
};

TEST_F(StartupTest, MenusShowTheirCaptionsAndStartStatesAfterStartingFromCode121) {
  writeFile("globalsetting.txt", app::plainTextToRtf("121"));
  startConsole();
  EXPECT_EQ(menuLines(), goldenLines("menu-tree.txt"));
}

TEST_F(StartupTest, PlotWindowsAreShownAndToolWindowsLoadedHiddenInTheirPlaces) {
  const app::Console& c = startConsole();
  EXPECT_EQ(windowLines(), goldenLines("startup-windows.txt"));
  EXPECT_FALSE(c.windows().titleWindowOpen);
  // scalesWindow read its limits while loading: with no setting3.txt, the default texts.
  EXPECT_EQ(c.windows().scaleBoxes[1].text(), "1e4");
}

TEST_F(StartupTest, ConsoleStartsIdleWithoutTouchingThePort) {
  const app::Console& c = startConsole();
  EXPECT_EQ(c.state(), app::RunState::Idle);
  EXPECT_EQ(serial.openCount, 0);
  EXPECT_TRUE(serial.writes.empty());
  EXPECT_FALSE(timer.enabled());
  EXPECT_EQ(c.measurement().sampleCount(), 0);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_TRUE(dialogs.questions.empty());
}

struct SettingsCase {
  const char* name;
  std::optional<QByteArray> file;  // nothing: no globalsetting.txt at all
  QStringList checked;
};

TEST_F(StartupTest, SavedChoicesComeFromTheSettingsFile) {
  const SettingsCase cases[] = {
      {"121", app::plainTextToRtf("121"), {"com2", "nonFiltered", "frequencyData"}},
      {"210", app::plainTextToRtf("210"), {"com1", "filtered", "phaseData"}},
      {"105", app::plainTextToRtf("105"), {"frequencyData"}},
      {"101", app::plainTextToRtf("101"), {"nonFiltered", "frequencyData"}},
      {"empty text", app::plainTextToRtf(""), {"filtered"}},
      {"empty file", QByteArray(), {"filtered"}},
      {"fraction", app::plainTextToRtf("121.7"), {"com2", "nonFiltered", "frequencyData"}},
      {"missing file", std::nullopt, {}},
      {"bare text written by hand", QByteArray("  230\r\n"), {"com3", "filtered", "phaseData"}},
      {"document of another editor",
       "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat{\\fonttbl{\\f0\\fnil\\fcharset0 "
       "Caf\\'e9 Sans;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n{\\*\\generator Riched20 "
       "10.0.19041}\\viewkind4\\uc1 \r\n\\pard\\f0\\fs20\\lang1036 121 r\\'e9glage\\par\r\n}\r\n",
       {"com2", "nonFiltered", "frequencyData"}},
  };
  for (const SettingsCase& sc : cases) {
    SCOPED_TRACE(sc.name);
    QFile::remove(pathOf("globalsetting.txt"));
    if (sc.file) writeFile("globalsetting.txt", *sc.file);
    const app::Console& c = startConsole();
    EXPECT_EQ(savedChoices(), sc.checked);
    EXPECT_EQ(c.status(), "");
  }
}

TEST_F(StartupTest, UnreadableSettingsFileIsReportedAndTheConsoleStillStarts) {
  ASSERT_TRUE(QDir(folder()).mkdir("globalsetting.txt"));
  const app::Console& c = startConsole();
  EXPECT_TRUE(c.status().startsWith("Settings not read: " + pathOf("globalsetting.txt") + ": "))
      << c.status().toStdString();
  EXPECT_FALSE(c.status().contains("; ")) << c.status().toStdString();
  EXPECT_EQ(savedChoices(), QStringList{});
  EXPECT_TRUE(c.windows().dataWindow.visible());
  EXPECT_TRUE(c.windows().stabilityWindow.visible());
  EXPECT_EQ(stabilityPlot.labels.size(), 32u);
}

TEST_F(StartupTest, BothUnreadableSettingsFilesShowBothMessagesInTheStatusLine) {
  // A folder in place of a file cannot be read as one, even by root.
  ASSERT_TRUE(QDir(folder()).mkdir("globalsetting.txt"));
  ASSERT_TRUE(QDir(folder()).mkdir("setting3.txt"));
  const app::Console& c = startConsole();
  const QStringList messages = c.status().split("; ");
  ASSERT_EQ(messages.size(), 2) << c.status().toStdString();
  EXPECT_TRUE(messages[0].startsWith("Settings not read: " + pathOf("globalsetting.txt") + ": "))
      << c.status().toStdString();
  EXPECT_TRUE(messages[1].startsWith("Plot limits not read: " + pathOf("setting3.txt") + ": "))
      << c.status().toStdString();
  EXPECT_EQ(c.windows().scaleBoxes[1].text(), "1e4");
}

// A plot that notes each key binding in one log shared by both plots.
class LoggingPlot : public FakePlot {
 public:
  LoggingPlot(QString name, QStringList& log) : name_(std::move(name)), log_(log) {}
  void bindKey(char key) override {
    log_ << name_ + ":" + QChar(key);
    FakePlot::bindKey(key);
  }

 private:
  QString name_;
  QStringList& log_;
};

TEST_F(StartupTest, EachPlotKeyIsBoundOnTheDataPlotThenOnTheStabilityPlot) {
  QStringList log;
  LoggingPlot data("data", log), stability("stability", log);
  app::Console c(
      {serial, timer, watchTimer, data, stability, dialogs, clock, tasks, application, printer},
      folder());
  app::startUp(c);
  EXPECT_EQ(log, QStringList({"data:l", "stability:l", "data:a", "stability:a", "data:b",
                              "stability:b", "data:i", "stability:i", "data:p", "stability:p",
                              "data:y", "stability:y", "stability:e"}));
}

TEST_F(StartupTest, StabilityPlotShowsOnlyItsLabelsFrom2EMinus3To1EMinus18) {
  startConsole();
  EXPECT_TRUE(stabilityPlot.onlyLabels);
  ASSERT_EQ(stabilityPlot.labels.size(), 32u);
  for (std::size_t i = 0; i < 32; ++i) {
    const int exponent = -3 - static_cast<int>(i / 2);
    const int mantissa = i % 2 == 0 ? 2 : 1;
    const FakePlot::Label& label = stabilityPlot.labels[i];
    EXPECT_EQ(label.text, QString("%1E%2").arg(mantissa).arg(exponent));
    EXPECT_DOUBLE_EQ(label.value, mantissa * std::pow(10.0, exponent));
    EXPECT_EQ(label.emphasised, mantissa == 1) << label.text.toStdString();
  }
  EXPECT_FALSE(dataPlot.onlyLabels);
  EXPECT_TRUE(dataPlot.labels.empty());
}

}  // namespace
}  // namespace tessarin::test
