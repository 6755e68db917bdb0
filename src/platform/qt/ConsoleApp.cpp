#include "platform/qt/ConsoleApp.h"

#include "app/Startup.h"
#include "graphics/PlotDesign.h"
#include "link/PortMap.h"

ConsoleApp::ConsoleApp(const QString& settingsFolder, Dialogs* dialogs)
    : serial_(PortMap::Load(settingsFolder)),
      timer_(1000),
      dataPlot_(DataPlotDesign()),
      stabilityPlot_(StabilityPlotDesign()) {
  const Platform platform{
      serial_, timer_,  dataPlot_,   stabilityPlot_, dialogs ? *dialogs : qtDialogs_,
      clock_,  events_, application_};
  console_ = std::make_unique<Console>(platform, settingsFolder);
  window_ = std::make_unique<MainWindow>(*console_, dataPlot_.widget(), stabilityPlot_.widget());
  qtDialogs_.setParent(window_.get());
  startUp(*console_);
}

ConsoleApp::~ConsoleApp() = default;
