#pragma once

#include <QString>
#include <memory>

#include "app/Console.h"
#include "qt/MainWindow.h"
#include "qt/QCustomPlotControl.h"
#include "qt/QtDialogs.h"
#include "qt/QtPrinter.h"
#include "qt/QtSerialPort.h"
#include "qt/QtServices.h"

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

 private:
  QtSerialPort serial_;
  QtTimer timer_;
  QtTimer watchTimer_;
  QCustomPlotControl dataPlot_;
  QCustomPlotControl stabilityPlot_;
  QtDialogs qtDialogs_;
  QtClock clock_;
  QtTaskQueue tasks_;
  QtApplication application_;
  QtPrinter qtPrinter_;
  std::unique_ptr<app::Console> console_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace tessarin::qt
