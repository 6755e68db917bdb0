#include "app/Closing.h"

#include "app/Console.h"
#include "link/InstrumentCommands.h"

void showAboutWindow(Console& c) { c.windows.aboutWindow.setVisible(true); }

bool hideToolWindow(Console& c, ChildWindow& window) {
  window.setVisible(false);
  return !c.st.blnClosing;
}

bool keepPlotWindow(Console& c) { return !c.st.blnClosing; }

void prepareToClose(Console& c) { c.st.blnClosing = true; }

void closeConsole(Console& c) { quitConsole(c); }

void quitConsole(Console& c) {
  if (c.st.intPortOpen == 1) sendCommand(c, "MK0");
  c.application.quit();
}
