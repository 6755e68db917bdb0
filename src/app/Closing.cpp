#include "app/Closing.h"

#include "app/Console.h"
#include "run/Recording.h"

namespace tessarin::app {

void showAboutWindow(Console& c) { c.windows.aboutWindow.setVisible(true); }

bool hideToolWindow(Console& c, ChildWindow& window) {
  window.setVisible(false);
  return !c.closing;
}

bool keepPlotWindow(Console& c) { return !c.closing; }

void prepareToClose(Console& c) { c.closing = true; }

void quitConsole(Console& c) {
  // The run ends here: samples that come while the operator is asked about waiting lines are not
  // taken, and "MK0" goes out once the operator has answered.
  c.enter(RunState::Closed);
  run::saveWaitingLines(c);
  if (c.serialPort.isOpen()) c.instrument.send("MK0");
  c.instrument.shut();
  c.application.quit();
}

}  // namespace tessarin::app
