#include "app/Startup.h"

#include <cmath>

#include "app/Console.h"
#include "app/SettingsCode.h"
#include "app/WindowLayout.h"
#include "graphics/PlotSetup.h"
#include "graphics/Scales.h"
#include "graphics/StabilityMeasure.h"

namespace tessarin::app {

namespace {

void bindPlotKeys(Console& c) {
  for (const char key : {'l', 'a', 'b', 'i', 'p', 'y'}) {
    c.dataPlot.bindKey(key);
    c.stabilityPlot.bindKey(key);
  }
  // Error bars belong to the stability curve only.
  c.stabilityPlot.bindKey('e');
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
  Windows& w = c.windows;
  const int height = static_cast<int>(std::nearbyint(w.mainHeight / 2.3));
  w.dataWindow.setVisible(true);
  w.dataWindow.setHeight(height);
  w.dataWindow.setWidth(6180);
  w.stabilityWindow.setVisible(true);
  w.stabilityWindow.setTop(w.dataWindow.height());
  w.stabilityWindow.setHeight(height);
  w.stabilityWindow.setWidth(6180);
  w.stabilityWindow.setLeft(0);
  graphics::fitPlotsToWindows(c);
}

// Loads a tool window: shown for its load handler, then hidden at once.
template <typename Load>
void loadHidden(ChildWindow& window, Load load) {
  window.setVisible(true);
  load();
  window.setVisible(false);
}

}  // namespace

void startUp(Console& c) {
  bindPlotKeys(c);
  c.enter(RunState::Idle);
  setMenuStartState(c.menus);
  readGlobalSettings(c);
  graphics::restoreStabilityMeasure(c);
  showPlotWindows(c);
  loadHidden(c.windows.dutFrequencyWindow, [&c] { placeDutFrequencyWindow(c); });
  loadHidden(c.windows.tauWindow, [&c] { placeTauWindow(c); });
  loadHidden(c.windows.nominalWindow, [&c] { placeNominalWindow(c); });
  loadHidden(c.windows.scalesWindow, [&c] { graphics::loadScalesWindow(c); });
  loadHidden(c.windows.aboutWindow, [&c] { placeAboutWindow(c); });
  graphics::labelStabilityAxis(c);
}

void reportStartupProblem(Console& c, const QString& problem) {
  c.setStatus(c.status().isEmpty() ? problem : c.status() + "; " + problem);
}

}  // namespace tessarin::app
