#include "qt/ConsoleApp.h"

#include "app/Console.h"
#include "app/Startup.h"
#include "graphics/PlotDesign.h"
#include "link/PortMap.h"

namespace tessarin::qt {

ConsoleApp::ConsoleApp(const QString& settingsFolder, platform::Dialogs* dialogs,
                       platform::Printer* printer, platform::Clock* clock)
    : serial_(link::PortMap::Load(settingsFolder)),
      timer_(1000),
      watchTimer_(1000),
      dataPlot_(graphics::DataPlotDesign()),
      stabilityPlot_(graphics::StabilityPlotDesign()) {
  const app::Platform platform{serial_,
                               timer_,
                               watchTimer_,
                               dataPlot_,
                               stabilityPlot_,
                               dialogs ? *dialogs : qtDialogs_,
                               clock ? *clock : clock_,
                               tasks_,
                               application_,
                               printer ? *printer : qtPrinter_};
  console_ = std::make_unique<app::Console>(platform, settingsFolder);
  window_ = std::make_unique<MainWindow>(*console_, dataPlot_.widget(), stabilityPlot_.widget());
  qtDialogs_.setParent(window_.get());
  qtPrinter_.setDialogParent(window_.get());
  app::startUp(*console_);
}

ConsoleApp::~ConsoleApp() = default;

}  // namespace tessarin::qt
