#include "support/ConsoleFixture.h"

#include "app/Startup.h"

Console& ConsoleFixture::startUp() {
  const Platform platform{serial, timer, dataPlot, stabilityPlot, dialogs, clock, events,
                          application};
  console = std::make_unique<Console>(platform, folder());
  MDIForm_Load(*console);
  return *console;
}
