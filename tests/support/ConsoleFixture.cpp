#include "support/ConsoleFixture.h"

#include "app/Startup.h"

namespace tessarin::test {

app::Console& ConsoleFixture::build() {
  console = std::make_unique<app::Console>(platform(), folder());
  return *console;
}

app::Console& ConsoleFixture::startConsole() {
  build();
  app::startUp(*console);
  return *console;
}

}  // namespace tessarin::test
