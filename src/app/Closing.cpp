#include "app/Closing.h"

#include "app/Console.h"

namespace tessarin::app {

void showAboutWindow(Console& c) { c.windows.aboutWindow.setVisible(true); }

bool hideToolWindow(Console& c, ChildWindow& window) {
  window.setVisible(false);
  return !c.closing;
}

bool keepPlotWindow(Console& c) { return !c.closing; }

void prepareToClose(Console& c) { c.closing = true; }

void quitConsole(Console& c) {
  if (c.serialPort.isOpen()) c.instrument.send("MK0");
  c.instrument.shut();
  c.enter(RunState::Closed);
  c.application.quit();
}

}  // namespace tessarin::app
