#include "app/TauSelection.h"

#include "app/Console.h"
#include "app/SettingsCode.h"
#include "link/InstrumentCommands.h"

namespace tessarin::app {

namespace {

constexpr double kDefaultTauMs = 1000;

}  // namespace

void toggleTauList(Console& c) {
  const bool inUse = !c.menus.tau.checked();
  c.menus.tau.setChecked(inUse);
  c.windows.tauWindow.setVisible(inUse);
}

Tau evaluateTau(const Console& c) {
  Tau tau;
  tau.milliseconds = kDefaultTauMs;
  if (c.menus.tau.checked()) {
    const QString entry = c.windows.tauList.text();
    if (!entry.isEmpty()) tau.milliseconds = leadingNumber(entry) * 1000;
  }
  tau.seconds = tau.milliseconds / 1000;
  tau.command = link::tauCommand(tau.milliseconds);
  return tau;
}

}  // namespace tessarin::app
