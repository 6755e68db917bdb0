#include "app/Closing.h"
#include "app/Console.h"
#include "app/Handlers.h"
#include "app/TauSelection.h"
#include "run/DataFile.h"
#include "run/RunControl.h"

void connectRunHandlers(Console& c) {
  c.menu.mnuSave.onClick = [&c] { mnuSave_Click(c); };
  c.menu.mnuStart.onClick = [&c] { mnuStart_Click(c); };
  c.menu.mnuTau.onClick = [&c] { mnuTau_Click(c); };
  // Closing the tau window only hides it: the list stays in use while "&Tau" is checked.
  c.win.frmTau.queryUnload = [&c] { return HideToolWindow(c, c.win.frmTau); };
  c.MSComm1.onFault = [&c](const QString& message) { MSComm1_OnFault(c, message); };
}
