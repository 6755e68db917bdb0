#include "app/Console.h"

#include "app/Handlers.h"

Console::Console(const Platform& platform, QString settingsFolder)
    : serialPort(platform.serial),
      lockTimer(platform.timer),
      dataPlot(platform.dataPlot),
      stabilityPlot(platform.stabilityPlot),
      dialogs(platform.dialogs),
      clock(platform.clock),
      events(platform.events),
      application(platform.application),
      settingsFolder(std::move(settingsFolder)) {
  connectAppHandlers(*this);
  connectLinkHandlers(*this);
  connectRunHandlers(*this);
  connectGraphicsHandlers(*this);
}
