#include "app/plots/Printing.h"
#include "support/ConsoleFixture.h"

namespace tessarin::test {
namespace {

using app::WindowState;

QString nameOf(WindowState state) {
  switch (state) {
    case WindowState::Minimized:
      return "minimized";
    case WindowState::Maximized:
      return "maximized";
    case WindowState::Normal:
      break;
  }
  return "normal";
}

// Logs every window state change and plot-area colour, and what the windows show at the copy.
class PrintingTest : public ConsoleFixture {
 protected:
  app::Console& start() {
    app::Console& c = startConsole();
    app::Windows& w = c.windows();
    w.mainState.changed = [this, &w] { log << "main " + nameOf(w.mainState.state()); };
    for (app::ChildWindow* window : {&w.dataWindow, &w.stabilityWindow})
      window->changed = [this, window] {
        log << window->caption() + " " + nameOf(window->state());
      };
    for (FakePlot* plot : {&dataPlot, &stabilityPlot})
      plot->whileCopying = [this, &w, plot] {
        log << QString("copy on %1 area, main %2, Data %3, Stability %4")
                   .arg(plot->plotAreaColors.back() == 0xFFFFFF ? "white" : "other")
                   .arg(nameOf(w.mainState.state()), nameOf(w.dataWindow.state()),
                        nameOf(w.stabilityWindow.state()));
      };
    return c;
  }
  QStringList log;
};

TEST_F(PrintingTest, PrintCopiesTheMaximisedPlotOnWhiteAndPutsTheWindowsBack) {
  struct Case {
    bool data;
    WindowState main, plotWindow;
    QStringList expected;
  };
  const std::vector<Case> cases = {
      {true,
       WindowState::Normal,
       WindowState::Normal,
       {"main maximized", "Data maximized",
        "copy on white area, main maximized, Data maximized, "
        "Stability normal",
        "Data normal", "main normal"}},
      {false,
       WindowState::Minimized,
       WindowState::Minimized,
       {"main maximized", "Stability maximized",
        "copy on white area, main maximized, Data normal, Stability maximized",
        "Stability minimized", "main minimized"}},
      {true,
       WindowState::Maximized,
       WindowState::Minimized,
       {"Data maximized", "copy on white area, main maximized, Data maximized, Stability normal",
        "Data minimized"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.expected.join(" | ").toStdString());
    dataPlot.plotAreaColors.clear();
    stabilityPlot.plotAreaColors.clear();
    app::Console& c = start();
    app::ChildWindow& window = k.data ? c.windows().dataWindow : c.windows().stabilityWindow;
    c.windows().mainState.setStateFromView(k.main);
    window.setStateFromView(k.plotWindow);
    printer.copies = 2;
    printer.printedCopies.clear();
    log.clear();

    (k.data ? c.menus().printDataPlot : c.menus().printStabilityPlot).click();

    EXPECT_EQ(log, k.expected);
    FakePlot& printed = k.data ? dataPlot : stabilityPlot;
    FakePlot& other = k.data ? stabilityPlot : dataPlot;
    EXPECT_EQ(printed.plotAreaColors, std::vector<std::uint32_t>({0xFFFFFF, 0}));
    EXPECT_TRUE(other.plotAreaColors.empty());
    EXPECT_EQ(printer.printedCopies, std::vector<int>({2}));
    EXPECT_EQ(c.windows().mainState.state(), k.main);
    EXPECT_EQ(window.state(), k.plotWindow);
  }
}

TEST_F(PrintingTest, CancellingThePrinterDialogChangesNothing) {
  app::Console& c = start();
  c.windows().dataWindow.setStateFromView(WindowState::Minimized);
  const QString status = c.status();
  printer.copies.reset();
  c.menus().printDataPlot.click();
  EXPECT_EQ(printer.dialogs, 1);
  EXPECT_TRUE(log.isEmpty());
  EXPECT_TRUE(dataPlot.plotAreaColors.empty());
  EXPECT_EQ(dataPlot.clipboardCopies, 0);
  EXPECT_TRUE(printer.printedCopies.empty());
  EXPECT_EQ(c.status(), status);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PrintingTest, AFailedPrintIsShownInTheStatusLineWithWindowsAndColourRestored) {
  struct Case {
    bool copyFails;
    QString printFailure;
    QString status;
  };
  for (const Case& k :
       std::vector<Case>{{true, "", "Not printed: the plot could not be copied to the clipboard"},
                         {false, "no printer", "Not printed: no printer"}}) {
    SCOPED_TRACE(k.status.toStdString());
    stabilityPlot.plotAreaColors.clear();
    stabilityPlot.copyFails = k.copyFails;
    printer.failure = k.printFailure;
    app::Console& c = start();
    c.windows().mainState.setStateFromView(WindowState::Minimized);
    c.menus().printStabilityPlot.click();
    EXPECT_EQ(c.status(), k.status);
    EXPECT_TRUE(printer.printedCopies.empty());
    EXPECT_EQ(stabilityPlot.plotAreaColors, std::vector<std::uint32_t>({0xFFFFFF, 0}));
    EXPECT_EQ(c.windows().mainState.state(), WindowState::Minimized);
    EXPECT_EQ(c.windows().stabilityWindow.state(), WindowState::Normal);
    EXPECT_TRUE(dialogs.messages.empty());
  }
}

}  // namespace
}  // namespace tessarin::test
