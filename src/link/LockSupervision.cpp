#include "link/LockSupervision.h"

#include "app/Console.h"
#include "link/DutDisplay.h"
#include "link/InstrumentCommands.h"

void pollFilterLock(Console& c) {
  // A lock reply already received is stored before it is looked at.
  c.events.processPendingEvents();
  c.setStatus(QStringLiteral("XTAL filter Unlocked, wait..."));
  sendCommand(c, "CL9");
  if (c.st.strLockReply != "CL1") return;
  c.lockTimer.setEnabled(false);
  c.setStatus(QStringLiteral("XTAL filter Locked"));
  if (c.st.intRunStopped == 0) {
    c.menus.startStop.setCaption(QStringLiteral("S&tart"));
    c.menus.startStop.setEnabled(true);
  }
  askToNormalize(c);
}
