#pragma once

#include <string>
#include <vector>

#include "support/ConsoleFixture.h"

// A console whose instrument has been initialized: the port is open on Com 2, the DUT measured
// at 10 MHz, a data file chosen, non-filtered frequency data chosen and Start enabled.
class RunFixture : public ConsoleFixture {
 protected:
  static constexpr double kDutFreq = 10000000.00168;
  static constexpr double kProgFreq = 10000000.0017;

  Console& initializedConsole() {
    Console& c = startUp();
    QString error;
    serial.open(2, error);
    ConsoleState& st = c.st;
    st.intPortOpen = 1;
    st.intInitPending = 0;
    st.intFileChosen = 1;
    st.strDataFile = pathOf("osc1.DAT");
    st.dblDutFreq = kDutFreq;
    st.dblDutFreqRounded = 10000000;
    st.dblProgFreq = kProgFreq;
    c.menus.com2.setChecked(true);
    c.menus.nonFiltered.setChecked(true);
    c.menus.frequencyData.setChecked(true);
    c.menus.normalize.setEnabled(true);
    c.menus.startStop.setEnabled(true);
    return c;
  }

  // Commands written since the `from`-th write, without CR LF.
  std::vector<std::string> commandsFrom(std::size_t from) const {
    const std::vector<std::string> all = serial.commands();
    return {all.begin() + static_cast<std::ptrdiff_t>(from), all.end()};
  }

  QByteArray dataFile() const { return readFile("osc1.DAT"); }
};
