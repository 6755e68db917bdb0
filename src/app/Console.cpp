#include "app/Console.h"

#include "app/Handlers.h"

Console::Console(const Platform& platform, QString settingsFolder)
    : MSComm1(platform.serial),
      Timer2(platform.timer),
      DynaPlot1(platform.dataPlot),
      DynaPlot2(platform.stabilityPlot),
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
