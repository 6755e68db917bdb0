#pragma once

#include <QString>
#include <memory>

#include "app/Console.h"
#include "app/ConsoleCommandLine.h"
#include "app/watch/EventHook.h"
#include "app/watch/PlotTap.h"
#include "app/watch/WatchService.h"
#include "qt/MainWindow.h"
#include "qt/QCustomPlotControl.h"
#include "qt/QtDialogs.h"
#include "qt/QtPrinter.h"
#include "qt/QtSerialPort.h"
#include "qt/QtServices.h"
#include "qt/watch/QtCommandRunner.h"
#include "qt/watch/WatchServer.h"

namespace tessarin::qt {

// The whole console on Qt: the adapters, the console and its main window, started up.
class ConsoleApp {
 public:
  // `dialogs` and `printer` replace the real ones (tests answer them), `clock` the system's (a
  // test's instrument may run faster than time); nullptr uses the Qt ones.
  ConsoleApp(const QString& settingsFolder, platform::Dialogs* dialogs = nullptr,
             platform::Printer* printer = nullptr, platform::Clock* clock = nullptr);
  ~ConsoleApp();

  app::Console& console() { return *console_; }
  MainWindow& window() { return *window_; }
  QCustomPlotControl& dataPlot() { return dataPlot_; }
  QCustomPlotControl& stabilityPlot() { return stabilityPlot_; }

  // Where the run's page is served, and the token it asks for (empty: none).
  struct ServedPage {
    QString url;
    QString token;
  };
  // Serves the run's page at `at`; bound to any but a loopback address, with the token kept in
  // the settings folder (made anew when `newToken` asks for it).
  platform::Result<ServedPage> serve(const app::ServeAddress& at, bool newToken);
  // Runs `program` for every event of a run from now on.
  void alertWith(const QString& program);

 private:
  QtSerialPort serial_;
  QtTimer timer_;
  QtTimer watchTimer_;
  QCustomPlotControl dataPlot_;
  QCustomPlotControl stabilityPlot_;
  // The served page's copies of what the plots were given.
  app::watch::PlotTap dataTap_;
  app::watch::PlotTap stabilityTap_;
  QtDialogs qtDialogs_;
  QtClock clock_;
  QtTaskQueue tasks_;
  QtApplication application_;
  QtPrinter qtPrinter_;
  std::unique_ptr<app::Console> console_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<app::watch::WatchService> service_;
  std::unique_ptr<WatchServer> server_;
  QtCommandRunner commandRunner_;
  std::unique_ptr<app::watch::EventHook> eventHook_;
};

}  // namespace tessarin::qt
