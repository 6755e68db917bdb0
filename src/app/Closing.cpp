#include "app/Closing.h"

#include "app/Console.h"
#include "link/modConvert.h"

void mnuAbout_Click(Console& c) { c.win.frmOrlak.setVisible(true); }

bool HideToolWindow(Console& c, ChildWindow& window) {
  window.setVisible(false);
  return !c.st.blnClosing;
}

bool KeepPlotWindow(Console& c) { return !c.st.blnClosing; }

void MDIForm_QueryUnload(Console& c) { c.st.blnClosing = true; }

void MDIForm_Unload(Console& c) { mnuQuit_Click(c); }

void mnuQuit_Click(Console& c) {
  if (c.st.intPortOpen == 1) SendCommand(c, "MK0");
  c.application.quit();
}
