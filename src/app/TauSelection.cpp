#include "app/TauSelection.h"

#include "app/Console.h"
#include "app/SettingsCode.h"
#include "link/InstrumentCommands.h"

namespace {

constexpr double kDefaultTauMs = 1000;

}  // namespace

void toggleTauList(Console& c) {
  const bool inUse = !c.menus.tau.checked();
  c.menus.tau.setChecked(inUse);
  c.windows.tauWindow.setVisible(inUse);
}

void evaluateTau(Console& c) {
  ConsoleState& st = c.st;
  st.dblTauMs = kDefaultTauMs;
  if (c.menus.tau.checked()) {
    st.strTauCommand = c.windows.tauList.text();
    if (!st.strTauCommand.isEmpty()) st.dblTauMs = leadingNumber(st.strTauCommand) * 1000;
  }
  st.dblTauSeconds = st.dblTauMs / 1000;
  st.strTauCommand = QString::fromStdString(tauCommand(st.dblTauMs));
}
