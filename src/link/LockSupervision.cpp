#include "link/LockSupervision.h"

#include "app/Console.h"
#include "link/DutDisplay.h"
#include "link/modConvert.h"

void Timer2_Timer(Console& c) {
  // A lock reply already received is stored before it is looked at.
  c.events.processPendingEvents();
  c.setStatus(QStringLiteral("XTAL filter Unlocked, wait..."));
  SendCommand(c, "CL9");
  if (c.st.strLockReply != "CL1") return;
  c.Timer2.setEnabled(false);
  c.setStatus(QStringLiteral("XTAL filter Locked"));
  if (c.st.intRunStopped == 0) {
    c.menu.mnuStart.setCaption(QStringLiteral("S&tart"));
    c.menu.mnuStart.setEnabled(true);
  }
  AskToNormalize(c);
}
