#include "app/Closing.h"
#include "app/Console.h"
#include "app/Handlers.h"
#include "app/OptionMenus.h"

void connectAppHandlers(Console& c) {
  Menus& m = c.menu;
  m.mnuFiltered.onClick = [&c] { mnuFiltered_Click(c); };
  m.mnuNonFiltered.onClick = [&c] { mnuNonFiltered_Click(c); };
  m.mnuFreqData.onClick = [&c] { mnuFreqData_Click(c); };
  m.mnuPhaseData.onClick = [&c] { mnuPhaseData_Click(c); };
  m.mnuCom1.onClick = [&c] { mnuCom1_Click(c); };
  m.mnuCom2.onClick = [&c] { mnuCom2_Click(c); };
  m.mnuCom3.onClick = [&c] { mnuCom3_Click(c); };
  m.mnuCom4.onClick = [&c] { mnuCom4_Click(c); };
  m.mnuAbout.onClick = [&c] { mnuAbout_Click(c); };
  m.mnuQuit.onClick = [&c] { mnuQuit_Click(c); };

  c.win.frmOrlak.queryUnload = [&c] { return HideToolWindow(c, c.win.frmOrlak); };
  c.win.frmData.queryUnload = [&c] { return KeepPlotWindow(c); };
  c.win.frmStat.queryUnload = [&c] { return KeepPlotWindow(c); };
}
