#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "support/ConsoleFixture.h"
#include "support/ScriptedInstrument.h"

namespace tessarin::test {

using Commands = std::vector<std::string>;

// A started console on Com 2 with a data file chosen, so that Initialization is offered, and a
// scripted instrument near 10 MHz behind the port.
class LinkFixture : public ConsoleFixture {
 protected:
  static constexpr double kDutHz = 10000012.34567;

  // `filtered` chooses the mode: filtered, non-filtered, or none at all.
  app::Console& preparedConsole(std::optional<bool> filtered = false) {
    app::Console& c = startConsole();
    c.menus().com2.click();
    if (filtered) (*filtered ? c.menus().filtered : c.menus().nonFiltered).click();
    dialogs.saveAnswers.push_back(pathOf("osc1.DAT"));
    c.menus().saveFileAs.click();
    return c;
  }

  // Hands the console the instrument's next reply line only.
  void deliverOneReply() {
    const auto end = std::find(serial.pending.begin(), serial.pending.end(), '\n');
    const std::string line(serial.pending.begin(), end == serial.pending.end() ? end : end + 1);
    serial.pending.erase(serial.pending.begin(), serial.pending.begin() + std::ssize(line));
    serial.receive(line);
  }

  // Commands written since the `from`-th write.
  Commands commandsFrom(std::size_t from) const {
    const Commands all = serial.commands();
    return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
  }

  int countOf(const std::string& command) const {
    const Commands sent = serial.commands();
    return static_cast<int>(std::count(sent.begin(), sent.end(), command));
  }

  ScriptedInstrument instrument{serial, kDutHz};
};

}  // namespace tessarin::test
