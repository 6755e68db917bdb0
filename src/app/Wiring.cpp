#include "app/Wiring.h"

#include "app/Closing.h"
#include "app/Console.h"
#include "app/OptionMenus.h"
#include "app/ReplyRouting.h"
#include "app/TauSelection.h"
#include "app/plots/DisplaySelection.h"
#include "app/plots/Pictures.h"
#include "app/plots/Printing.h"
#include "app/plots/Scales.h"
#include "app/plots/StabilityMask.h"
#include "app/plots/StabilityMeasure.h"
#include "app/plots/Titles.h"
#include "app/runs/Recording.h"
#include "app/runs/ResumeChoice.h"
#include "app/runs/RunControl.h"
#include "app/runs/RunWatch.h"
#include "app/tuning/FilterLockPoll.h"
#include "app/tuning/Initialization.h"
#include "app/tuning/Normalization.h"

namespace tessarin::app {

void connectHandlers(Console& c) {
  Menus& m = c.menus();
  m.saveFileAs.onClick = [&c] { runs::chooseDataFile(c); };
  m.initialization.onClick = [&c] { tuning::startInitialization(c); };
  m.startStop.onClick = [&c] { runs::startOrStopRun(c); };
  m.quit.onClick = [&c] { quitConsole(c); };
  m.com1.onClick = [&c] { chooseCom1(c); };
  m.com2.onClick = [&c] { chooseCom2(c); };
  m.com3.onClick = [&c] { chooseCom3(c); };
  m.com4.onClick = [&c] { chooseCom4(c); };
  m.filtered.onClick = [&c] { chooseFiltered(c); };
  m.nonFiltered.onClick = [&c] { chooseNonFiltered(c); };
  m.frequencyData.onClick = [&c] { chooseFrequencyData(c); };
  m.phaseData.onClick = [&c] { choosePhaseData(c); };
  m.showFrequencyDiff.onClick = [&c] { plots::showFrequencyDifference(c); };
  m.showPhaseDiff.onClick = [&c] { plots::showPhaseDifference(c); };
  m.showStandardAllan.onClick = [&c] { plots::chooseStandardAllan(c); };
  m.showModifiedAllan.onClick = [&c] { plots::chooseModifiedAllan(c); };
  m.showTdev.onClick = [&c] { plots::chooseTdev(c); };
  m.showMtie.onClick = [&c] { plots::chooseMtie(c); };
  m.maskNone.onClick = [&c] { plots::chooseMask(c, 0); };
  m.maskPrc.onClick = [&c] { plots::chooseMask(c, 1); };
  m.maskPrtcA.onClick = [&c] { plots::chooseMask(c, 2); };
  m.maskPrtcB.onClick = [&c] { plots::chooseMask(c, 3); };
  m.maskEprtc.onClick = [&c] { plots::chooseMask(c, 4); };
  m.maskEec1.onClick = [&c] { plots::chooseMask(c, 5); };
  m.maskEec2.onClick = [&c] { plots::chooseMask(c, 6); };
  c.measurement().stabilityCurveShown = [&c] { plots::judgeStabilityCurve(c); };
  m.autoscale.onClick = [&c] { plots::chooseAutoscale(c); };
  m.limits.onClick = [&c] { plots::chooseLimits(c); };
  m.tau.onClick = [&c] { toggleTauList(c); };
  m.normalize.onClick = [&c] { tuning::toggleNormalization(c); };
  m.resumeAfterPortLoss.onClick = [&c] { runs::toggleResumeAfterPortLoss(c); };
  m.aboutMenu.onClick = [&c] { showAboutWindow(c); };
  m.title.onClick = [&c] { plots::openTitleWindow(c); };
  m.saveDataPlotPicture.onClick = [&c] { plots::saveDataPlotPicture(c); };
  m.saveStabilityPlotPicture.onClick = [&c] { plots::saveStabilityPlotPicture(c); };
  m.printDataPlot.onClick = [&c] { plots::printDataPlot(c); };
  m.printStabilityPlot.onClick = [&c] { plots::printStabilityPlot(c); };

  Windows& w = c.windows();
  w.dataWindow.onCloseRequest = [&c] { return keepPlotWindow(c); };
  w.stabilityWindow.onCloseRequest = [&c] { return keepPlotWindow(c); };
  // Closing a tool window only hides it: the tau list, for one, stays in use while "&Tau" is
  // checked.
  for (ChildWindow* tool :
       {&w.dutFrequencyWindow, &w.tauWindow, &w.nominalWindow, &w.scalesWindow, &w.aboutWindow})
    tool->onCloseRequest = [&c, tool] { return hideToolWindow(c, *tool); };
  w.titleWindow.onCloseRequest = [&c] { return plots::dismissTitleWindow(c); };
  w.titleOkButton.onClick = [&c] { plots::applyTitles(c); };

  const Platform& p = c.platform();
  p.serialPort.onReceived = [&c](char received) { receiveCharacter(c, received); };
  p.serialPort.onFault = [&c](const QString& message) { runs::handlePortFailure(c, message); };
  p.lockTimer.onTick = [&c] { tuning::pollFilterLock(c); };
  p.watchTimer.onTick = [&c] { runs::watchRun(c); };
  p.stabilityPlot.onErrorBarsKey = [&c] { plots::toggleErrorBars(c); };
  c.instrument().onFailure = [&c](const QString& reason) {
    c.setStatus(QStringLiteral("Command not sent: ") + reason);
  };
}

}  // namespace tessarin::app
