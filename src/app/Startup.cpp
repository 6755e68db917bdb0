#include "app/Startup.h"

#include <cmath>

#include "app/Console.h"
#include "app/SettingsCode.h"
#include "app/WindowLayout.h"
#include "graphics/PlotSetup.h"
#include "graphics/Scales.h"

namespace {

void bindPlotKeys(Console& c) {
  for (const char key : {'l', 'a', 'b', 'i', 'p', 'y'}) {
    c.dataPlot.bindKey(256, 0, key, 0);
    c.stabilityPlot.bindKey(256, 0, key, 0);
  }
}

void resetConsoleState(ConsoleState& st) {
  st.dblCountScale = 5;
  st.blnClosing = false;
  st.intFileChosen = 0;
  st.intInitPending = 1;
  st.intRunState = 0;
  st.intRunStopped = 0;
  st.intPortOpen = 0;
  st.intRunning = 0;
  st.intSampleRejected = 0;
  st.lngCountFreq.assign(10 + 1, 0);
  st.dblAdev.assign(kMaxLevels + 1, 0.0);
  st.dblAdevTau.assign(kMaxLevels + 1, 0.0);
  st.intStageIndex = 0;
  st.intLongReplies = 0;
  st.intStageLength = 3;
  st.dblSampleIndex = 0;
  st.dblStageSample.assign(20 + 1, 0.0);
  st.dblFreqData.assign(kMaxSamples + 1, 0.0);
  st.dblFreqPlot.assign(kMaxSamples + 1, 0.0);
  st.dblPhaseData.assign(kMaxSamples + 1, 0.0);
  st.dblPhasePlot.assign(kMaxSamples + 1, 0.0);
  st.dblDecimated.assign(kMaxLevels + 1, 0.0);
  st.dblPhaseData[0] = 0;
}

void setMenuStartState(Menus& m) {
  m.startStop.setEnabled(false);
  m.initialization.setEnabled(false);
  m.normalize.setEnabled(false);
  for (MenuItem* item : {&m.frequencyData, &m.phaseData, &m.com1, &m.com2, &m.com3, &m.com4,
                         &m.filtered, &m.nonFiltered})
    item->setChecked(false);
  m.autoscale.setChecked(true);
  m.normalize.setChecked(false);
  m.limits.setChecked(false);
  m.showFrequencyDiff.setChecked(true);
  // The further stability measures of the Display menu are never offered.
  for (MenuItem* item :
       {&m.displaySeparator, &m.showStandardAllan, &m.showModifiedAllan, &m.showTdev, &m.showMtie})
    item->setVisible(false);
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
  fitPlotsToWindows(c);
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
  resetConsoleState(c.st);
  setMenuStartState(c.menus);
  readGlobalSettings(c);
  showPlotWindows(c);
  loadHidden(c.windows.dutFrequencyWindow, [&c] { placeDutFrequencyWindow(c); });
  loadHidden(c.windows.tauWindow, [&c] { placeTauWindow(c); });
  loadHidden(c.windows.nominalWindow, [&c] { placeNominalWindow(c); });
  loadHidden(c.windows.scalesWindow, [&c] { loadScalesWindow(c); });
  loadHidden(c.windows.aboutWindow, [&c] { placeAboutWindow(c); });
  labelStabilityAxis(c);
}
