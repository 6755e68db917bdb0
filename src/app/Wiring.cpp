#include "app/Wiring.h"

#include "app/Closing.h"
#include "app/Console.h"
#include "app/OptionMenus.h"
#include "app/ReplyRouting.h"
#include "app/TauSelection.h"
#include "graphics/DisplaySelection.h"
#include "graphics/Pictures.h"
#include "graphics/Printing.h"
#include "graphics/Scales.h"
#include "graphics/StabilityMeasure.h"
#include "graphics/TitleWindow.h"
#include "link/DutDisplay.h"
#include "link/FilterLock.h"
#include "link/Initialization.h"
#include "run/Recording.h"
#include "run/RunControl.h"

namespace tessarin::app {

void connectHandlers(Console& c) {
  Menus& m = c.menus;
  m.saveFileAs.onClick = [&c] { run::chooseDataFile(c); };
  m.initialization.onClick = [&c] { link::startInitialization(c); };
  m.startStop.onClick = [&c] { run::startOrStopRun(c); };
  m.quit.onClick = [&c] { quitConsole(c); };
  m.com1.onClick = [&c] { chooseCom1(c); };
  m.com2.onClick = [&c] { chooseCom2(c); };
  m.com3.onClick = [&c] { chooseCom3(c); };
  m.com4.onClick = [&c] { chooseCom4(c); };
  m.filtered.onClick = [&c] { chooseFiltered(c); };
  m.nonFiltered.onClick = [&c] { chooseNonFiltered(c); };
  m.frequencyData.onClick = [&c] { chooseFrequencyData(c); };
  m.phaseData.onClick = [&c] { choosePhaseData(c); };
  m.showFrequencyDiff.onClick = [&c] { graphics::showFrequencyDifference(c); };
  m.showPhaseDiff.onClick = [&c] { graphics::showPhaseDifference(c); };
  m.showStandardAllan.onClick = [&c] { graphics::chooseStandardAllan(c); };
  m.showModifiedAllan.onClick = [&c] { graphics::chooseModifiedAllan(c); };
  m.showTdev.onClick = [&c] { graphics::chooseTdev(c); };
  m.showMtie.onClick = [&c] { graphics::chooseMtie(c); };
  m.autoscale.onClick = [&c] { graphics::chooseAutoscale(c); };
  m.limits.onClick = [&c] { graphics::chooseLimits(c); };
  m.tau.onClick = [&c] { toggleTauList(c); };
  m.normalize.onClick = [&c] { link::toggleNormalization(c); };
  m.aboutMenu.onClick = [&c] { showAboutWindow(c); };
  m.title.onClick = [&c] { graphics::openTitleWindow(c); };
  m.saveDataPlotPicture.onClick = [&c] { graphics::saveDataPlotPicture(c); };
  m.saveStabilityPlotPicture.onClick = [&c] { graphics::saveStabilityPlotPicture(c); };
  m.printDataPlot.onClick = [&c] { graphics::printDataPlot(c); };
  m.printStabilityPlot.onClick = [&c] { graphics::printStabilityPlot(c); };

  Windows& w = c.windows;
  w.dataWindow.queryUnload = [&c] { return keepPlotWindow(c); };
  w.stabilityWindow.queryUnload = [&c] { return keepPlotWindow(c); };
  // Closing a tool window only hides it: the tau list, for one, stays in use while "&Tau" is
  // checked.
  for (ChildWindow* tool :
       {&w.dutFrequencyWindow, &w.tauWindow, &w.nominalWindow, &w.scalesWindow, &w.aboutWindow})
    tool->queryUnload = [&c, tool] { return hideToolWindow(c, *tool); };
  w.titleWindow.queryUnload = [&c] { return graphics::closeTitleWindow(c); };
  w.titleOkButton.onClick = [&c] { graphics::applyTitles(c); };

  c.serialPort.onReceived = [&c](char received) { receiveCharacter(c, received); };
  c.serialPort.onFault = [&c](const QString& message) { run::handlePortFailure(c, message); };
  c.lockTimer.onTick = [&c] { link::pollFilterLock(c); };
  c.stabilityPlot.onErrorBarsKey = [&c] { graphics::toggleErrorBars(c); };
  c.instrument.onFailure = [&c](const QString& reason) {
    c.setStatus(QStringLiteral("Command not sent: ") + reason);
  };
}

}  // namespace tessarin::app
