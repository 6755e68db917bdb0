#include "app/Closing.h"
#include "app/Console.h"
#include "app/Handlers.h"
#include "app/OptionMenus.h"

void connectAppHandlers(Console& c) {
  Menus& m = c.menus;
  m.filtered.onClick = [&c] { chooseFiltered(c); };
  m.nonFiltered.onClick = [&c] { chooseNonFiltered(c); };
  m.frequencyData.onClick = [&c] { chooseFrequencyData(c); };
  m.phaseData.onClick = [&c] { choosePhaseData(c); };
  m.com1.onClick = [&c] { chooseCom1(c); };
  m.com2.onClick = [&c] { chooseCom2(c); };
  m.com3.onClick = [&c] { chooseCom3(c); };
  m.com4.onClick = [&c] { chooseCom4(c); };
  m.aboutMenu.onClick = [&c] { showAboutWindow(c); };
  m.quit.onClick = [&c] { quitConsole(c); };

  c.windows.aboutWindow.queryUnload = [&c] { return hideToolWindow(c, c.windows.aboutWindow); };
  c.windows.dataWindow.queryUnload = [&c] { return keepPlotWindow(c); };
  c.windows.stabilityWindow.queryUnload = [&c] { return keepPlotWindow(c); };
}
