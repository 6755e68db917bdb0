#include "app/Console.h"
#include "app/Handlers.h"
#include "link/DutDisplay.h"
#include "link/Initialization.h"
#include "link/LockSupervision.h"
#include "link/ReplyDispatch.h"

void connectLinkHandlers(Console& c) {
  c.MSComm1.onReceived = [&c](char received) { MSComm1_OnComm(c, received); };
  c.Timer2.onTick = [&c] { Timer2_Timer(c); };
  c.menu.mnuProgram.onClick = [&c] { mnuProgram_Click(c); };
  c.menu.mnuFormat.onClick = [&c] { mnuFormat_Click(c); };
  c.win.frmFrequency.queryUnload = [&c] { return frmFrequency_QueryUnload(c); };
  c.win.frmFormat.queryUnload = [&c] { return frmFormat_QueryUnload(c); };
}
