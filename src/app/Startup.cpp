#include "app/Startup.h"

#include <cmath>

#include "app/Console.h"
#include "app/SettingsCode.h"
#include "app/WindowLayout.h"
#include "app/plots/PlotSetup.h"
#include "app/plots/Scales.h"
#include "app/plots/StabilityMask.h"
#include "app/plots/StabilityMeasure.h"
#include "app/runs/ResumeChoice.h"
#include "graphics/PlotAxes.h"

namespace tessarin::app {

namespace {

void bindPlotKeys(const Platform& p) {
  for (const char key : {'l', 'a', 'b', 'i', 'p', 'y'}) {
    p.dataPlot.bindKey(key);
    p.stabilityPlot.bindKey(key);
  }
  // Error bars belong to the stability curve only.
  p.stabilityPlot.bindKey('e');
}

void setMenuStartState(Menus& m) {
  m.normalize.setEnabled(false);
  for (MenuItem* item : {&m.frequencyData, &m.phaseData, &m.com1, &m.com2, &m.com3, &m.com4,
                         &m.filtered, &m.nonFiltered})
    item->setChecked(false);
  m.autoscale.setChecked(true);
  m.normalize.setChecked(false);
  m.limits.setChecked(false);
  m.showFrequencyDiff.setChecked(true);
  m.showStandardAllan.setChecked(true);
}

void showPlotWindows(Console& c) {
  Windows& w = c.windows();
  const int height = plotWindowHeight(w);
  w.dataWindow.setVisible(true);
  w.dataWindow.setHeight(height);
  w.dataWindow.setWidth(kPlotWindowStartWidth);
  w.stabilityWindow.setVisible(true);
  w.stabilityWindow.setTop(w.dataWindow.height());
  w.stabilityWindow.setHeight(height);
  w.stabilityWindow.setWidth(kPlotWindowStartWidth);
  w.stabilityWindow.setLeft(0);
  plots::fitPlotsToWindows(c);
}

// A tool window is shown while it places itself and fills its boxes, then hidden until the
// operator asks for it.
template <typename Prepare>
void prepareToolWindow(ChildWindow& window, Prepare prepare) {
  window.setVisible(true);
  prepare();
  window.setVisible(false);
}

}  // namespace

void startUp(Console& c) {
  bindPlotKeys(c.platform());
  c.enter(RunState::Idle);
  setMenuStartState(c.menus());
  readGlobalSettings(c);
  plots::restoreStabilityMeasure(c);
  plots::restoreStabilityMask(c);
  runs::restoreResumeAfterPortLoss(c);
  showPlotWindows(c);
  Windows& w = c.windows();
  prepareToolWindow(w.dutFrequencyWindow, [&c] { placeDutFrequencyWindow(c); });
  prepareToolWindow(w.tauWindow, [&c] { placeTauWindow(c); });
  prepareToolWindow(w.nominalWindow, [&c] { placeNominalWindow(c); });
  prepareToolWindow(w.scalesWindow, [&c] { plots::loadScalesWindow(c); });
  prepareToolWindow(w.aboutWindow, [&c] { placeAboutWindow(c); });
  graphics::labelStabilityAxis(c.platform().stabilityPlot);
}

void reportStartupProblem(Console& c, const QString& problem) {
  c.setStatus(c.status().isEmpty() ? problem : c.status() + "; " + problem);
}

}  // namespace tessarin::app
