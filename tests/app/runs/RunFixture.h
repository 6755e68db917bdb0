#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/ConsoleFixture.h"
#include "support/ScriptedInstrument.h"

namespace tessarin::test {

// A console tuned by a real initialization to a DUT near 10 MHz, on Com 2, frequency data, with
// the data file osc1.DAT chosen and normalization declined. Non-filtered, Start is enabled;
// filtered, the console waits for the XTAL filter's lock, which the first tick has asked for. The
// port's record of writes starts afresh after the initialization, which keeps its commands.
class RunFixture : public ConsoleFixture {
 protected:
  static constexpr double kDutHz = 10000000.00168;

  app::Console& initializedConsole(bool filtered = false) {
    app::Console& c = startConsole();
    c.menus().com2.click();
    (filtered ? c.menus().filtered : c.menus().nonFiltered).click();
    c.menus().frequencyData.click();
    dialogs.saveAnswers.push_back(pathOf("osc1.DAT"));
    c.menus().saveFileAs.click();
    instrument = std::make_unique<ScriptedInstrument>(serial, kDutHz);
    c.menus().initialization.click();
    instrument->run();
    if (filtered) {
      timer.tick();
      EXPECT_EQ(serial.commands().back(), "CL9");
    } else {
      EXPECT_EQ(c.status(), "Ready to start");
    }
    initializationCommands = serial.commands();
    serial.writes.clear();
    dialogs.questions.clear();
    return c;
  }

  // Reading lines as the instrument sends them during a run.
  void feed(std::initializer_list<const char*> lines) {
    for (const char* line : lines) serial.receive(std::string(line) + "\r\n");
  }

  // Commands written since the `from`-th write, without CR LF.
  std::vector<std::string> commandsFrom(std::size_t from) const {
    const std::vector<std::string> all = serial.commands();
    return {all.begin() + static_cast<std::ptrdiff_t>(from), all.end()};
  }

  QByteArray dataFile() const { return readFile("osc1.DAT"); }

  std::unique_ptr<ScriptedInstrument> instrument;
  std::vector<std::string> initializationCommands;  // what the initialization sent
};

}  // namespace tessarin::test
