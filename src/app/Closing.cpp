#include "app/Closing.h"

#include "app/Console.h"
#include "app/runs/Recording.h"
#include "link/InstrumentCommands.h"

namespace tessarin::app {

void showAboutWindow(Console& c) { c.windows().aboutWindow.setVisible(true); }

bool hideToolWindow(Console& c, ChildWindow& window) {
  window.setVisible(false);
  return !c.closing();
}

bool keepPlotWindow(Console& c) { return !c.closing(); }

void prepareToClose(Console& c) { c.beginClosing(); }

void quitConsole(Console& c) {
  // The run ends here: samples that come while the operator is asked about waiting lines are not
  // taken, and "MK0" goes out once the operator has answered.
  c.enter(RunState::Closed);
  runs::saveWaitingLines(c);
  if (c.platform().serialPort.isOpen()) c.instrument().send(link::kMarkOff);
  c.instrument().shut();
  c.platform().application.quit();
}

}  // namespace tessarin::app
