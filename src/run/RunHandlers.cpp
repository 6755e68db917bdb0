#include "app/Closing.h"
#include "app/Console.h"
#include "app/Handlers.h"
#include "app/TauSelection.h"
#include "run/DataFile.h"
#include "run/RunControl.h"

void connectRunHandlers(Console& c) {
  c.menus.saveFileAs.onClick = [&c] { chooseDataFile(c); };
  c.menus.startStop.onClick = [&c] { startOrStopRun(c); };
  c.menus.tau.onClick = [&c] { toggleTauList(c); };
  // Closing the tau window only hides it: the list stays in use while "&Tau" is checked.
  c.windows.tauWindow.queryUnload = [&c] { return hideToolWindow(c, c.windows.tauWindow); };
  c.serialPort.onFault = [&c](const QString& message) { handlePortFailure(c, message); };
}
