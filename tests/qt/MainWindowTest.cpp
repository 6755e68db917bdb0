#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "app/Startup.h"
#include "qt/MainWindow.h"
#include "support/ConsoleFixture.h"

namespace tessarin::test {
namespace {

class MainWindowTest : public ConsoleFixture {
 protected:
  qt::MainWindow& show() {
    build();
    window = std::make_unique<qt::MainWindow>(*console, new QWidget, new QWidget);
    app::startUp(*console);
    window->show();
    QCoreApplication::processEvents();
    return *window;
  }
  QStringList texts(const QList<QAction*>& actions, bool visibleOnly) {
    QStringList result;
    for (const QAction* a : actions)
      if (!visibleOnly || a->isVisible()) result << (a->isSeparator() ? "-" : a->text());
    return result;
  }

  std::unique_ptr<qt::MainWindow> window;
};

TEST_F(MainWindowTest, MenuBarShowsTheMenuTreeWithItsExactCaptions) {
  qt::MainWindow& w = show();
  EXPECT_EQ(w.windowTitle(), "  Tessarin / RS");
  EXPECT_EQ(texts(w.menuBar()->actions(), true),
            QStringList({"   &File   ", " &Port ", " &Mode ", " S&tore ", " Displa&y ",
                         "  &Graphic  ", " &Select ", " &About ", "       Status :", ""}));
  app::Menus& m = console->menus();
  EXPECT_EQ(texts(w.actionOf(m.fileMenu)->menu()->actions(), true),
            QStringList({"&Save File as", "&Initialization", "-", "S&tart", "-", "&Quit"}));
  EXPECT_EQ(texts(w.actionOf(m.displayMenu)->menu()->actions(), true),
            QStringList({"&Frequency Diff.", "&Phase Diff", "-", "&Standard Allan Dev.",
                         "&Modified Allan Dev.", "T&DEV", "M&TIE"}));
  EXPECT_EQ(texts(w.actionOf(m.graphicMenu)->menu()->actions(), true),
            QStringList({"&Autoscale", "&Limits", "-", "&Title", "&Print", "&Save Picture"}));
  EXPECT_EQ(texts(w.actionOf(m.printMenu)->menu()->actions(), true),
            QStringList({"&Data Plot", "&Stability Plot"}));
  EXPECT_FALSE(w.actionOf(m.startStop)->isEnabled());
  EXPECT_TRUE(w.actionOf(m.autoscale)->isChecked());
}

TEST_F(MainWindowTest, ConsoleAloneDecidesTheCheckMarks) {
  qt::MainWindow& w = show();
  QAction* filtered = w.actionOf(console->menus().filtered);
  filtered->trigger();
  filtered->trigger();  // a second click on a checked radio item leaves it checked
  EXPECT_TRUE(filtered->isChecked());
  EXPECT_TRUE(console->menus().filtered.checked());
  EXPECT_FALSE(w.actionOf(console->menus().nonFiltered)->isChecked());

  console->setStatus("Ready to start");
  EXPECT_EQ(w.actionOf(console->menus().statusText)->text(), "Ready to start");
}

TEST_F(MainWindowTest, StatusSaidBeforeTheWindowAppearsStaysOnTheMenuBar) {
  // Two unreadable settings files give a long status at start-up.
  ASSERT_TRUE(QDir(folder()).mkdir("globalsetting.txt"));
  ASSERT_TRUE(QDir(folder()).mkdir("setting3.txt"));
  qt::MainWindow& w = show();
  QAction* status = w.actionOf(console->menus().statusText);
  EXPECT_FALSE(status->text().isEmpty());
  EXPECT_TRUE(w.menuBar()->rect().contains(w.menuBar()->actionGeometry(status)));
  EXPECT_EQ(status->toolTip(), console->status());
}

TEST_F(MainWindowTest, ClosingAToolWindowHidesItAndPlotWindowsStay) {
  qt::MainWindow& w = show();
  console->menus().limits.click();
  QMdiSubWindow* scales = w.subWindowOf(console->windows().scalesWindow);
  ASSERT_TRUE(scales->isVisible());
  scales->close();
  EXPECT_FALSE(scales->isVisible());
  EXPECT_FALSE(console->windows().scalesWindow.visible());

  QMdiSubWindow* data = w.subWindowOf(console->windows().dataWindow);
  EXPECT_FALSE(data->close());
  EXPECT_TRUE(data->isVisible());
}

TEST_F(MainWindowTest, TitleWindowShowsTheTitlesAndItsOkButtonAppliesThem) {
  qt::MainWindow& w = show();
  dataPlot.setTitle("Frequency Diff.");
  w.actionOf(console->menus().title)->trigger();
  QMdiSubWindow* title = w.subWindowOf(console->windows().titleWindow);
  ASSERT_TRUE(title->isVisible());
  EXPECT_EQ(title->findChildren<QLineEdit*>().at(0)->text(), "Frequency Diff.");
  console->windows().dataTitleBox.setFromView("Osc 1");
  title->findChild<QPushButton*>()->click();
  EXPECT_EQ(dataPlot.title(), "Osc 1");
  EXPECT_FALSE(title->isVisible());
}

TEST_F(MainWindowTest, WindowsStandWhereTheConsolePutsThem) {
  qt::MainWindow& w = show();
  const app::ChildWindow& data = console->windows().dataWindow;
  QMdiSubWindow* sub = w.subWindowOf(data);
  EXPECT_TRUE(sub->isVisible());
  EXPECT_FALSE(w.subWindowOf(console->windows().dutFrequencyWindow)->isVisible());
  EXPECT_NEAR(sub->width(), data.width() * w.logicalDpiX() / 1440.0, 1.0);

  w.resize(w.width() + 200, w.height());
  QCoreApplication::processEvents();
  const app::ChildWindow& freq = console->windows().dutFrequencyWindow;
  EXPECT_EQ(freq.left(), console->windows().mainWidth - freq.width() - 200);
}

TEST_F(MainWindowTest, WindowStatesFollowTheConsoleAndAreReportedWhenTheOperatorChangesThem) {
  qt::MainWindow& w = show();
  app::Windows& windows = console->windows();
  QMdiSubWindow* data = w.subWindowOf(windows.dataWindow);
  windows.mainState.setState(app::WindowState::Maximized);
  windows.dataWindow.setState(app::WindowState::Maximized);
  EXPECT_TRUE(w.isMaximized());
  EXPECT_TRUE(data->isMaximized());
  windows.dataWindow.setState(app::WindowState::Normal);
  windows.mainState.setState(app::WindowState::Normal);
  EXPECT_FALSE(w.isMaximized());
  EXPECT_FALSE(data->isMaximized());

  data->showMinimized();
  w.showMinimized();
  EXPECT_EQ(windows.dataWindow.state(), app::WindowState::Minimized);
  EXPECT_EQ(windows.mainState.state(), app::WindowState::Minimized);
  data->showNormal();
  EXPECT_EQ(windows.dataWindow.state(), app::WindowState::Normal);
}

TEST_F(MainWindowTest, ClosingTheMainWindowStopsTheInstrumentOnce) {
  qt::MainWindow& w = show();
  ASSERT_TRUE(serial.open(1));
  w.close();
  EXPECT_EQ(serial.commands(), std::vector<std::string>{"MK0"});
  EXPECT_EQ(application.quitCalls, 1);
}

}  // namespace
}  // namespace tessarin::test
