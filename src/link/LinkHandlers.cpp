#include "app/Console.h"
#include "app/Handlers.h"
#include "link/DutDisplay.h"
#include "link/Initialization.h"
#include "link/LockSupervision.h"
#include "link/ReplyDispatch.h"

void connectLinkHandlers(Console& c) {
  c.serialPort.onReceived = [&c](char received) { receiveCharacter(c, received); };
  c.lockTimer.onTick = [&c] { pollFilterLock(c); };
  c.menus.initialization.onClick = [&c] { startInitialization(c); };
  c.menus.normalize.onClick = [&c] { toggleNormalization(c); };
  c.windows.dutFrequencyWindow.queryUnload = [&c] { return closeDutFrequencyWindow(c); };
  c.windows.nominalWindow.queryUnload = [&c] { return closeNominalWindow(c); };
}
