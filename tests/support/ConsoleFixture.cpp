#include "support/ConsoleFixture.h"

#include "app/Startup.h"

Console& ConsoleFixture::build() {
  const Platform platform{serial,  timer, dataPlot, stabilityPlot,
                          dialogs, clock, events,   application};
  console = std::make_unique<Console>(platform, folder());
  return *console;
}

Console& ConsoleFixture::startUp() {
  build();
  ::startUp(*console);
  return *console;
}
