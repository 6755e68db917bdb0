#include "app/Closing.h"
#include "app/Console.h"
#include "app/Handlers.h"
#include "graphics/DisplaySelection.h"
#include "graphics/Scales.h"

void connectGraphicsHandlers(Console& c) {
  c.menu.mnuDispF.onClick = [&c] { mnuDispF_Click(c); };
  c.menu.mnuDispTIE.onClick = [&c] { mnuDispTIE_Click(c); };
  c.menu.mnuAuto.onClick = [&c] { mnuAuto_Click(c); };
  c.menu.mnuLimits.onClick = [&c] { mnuLimits_Click(c); };
  c.win.frmScale.queryUnload = [&c] { return HideToolWindow(c, c.win.frmScale); };
}
