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
    c.DynaPlot1.bindKey(256, 0, key, 0);
    c.DynaPlot2.bindKey(256, 0, key, 0);
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
  m.mnuStart.setEnabled(false);
  m.mnuProgram.setEnabled(false);
  m.mnuFormat.setEnabled(false);
  for (MenuItem* item : {&m.mnuFreqData, &m.mnuPhaseData, &m.mnuCom1, &m.mnuCom2, &m.mnuCom3,
                         &m.mnuCom4, &m.mnuFiltered, &m.mnuNonFiltered})
    item->setChecked(false);
  m.mnuAuto.setChecked(true);
  m.mnuFormat.setChecked(false);
  m.mnuLimits.setChecked(false);
  m.mnuDispF.setChecked(true);
  // The further stability measures of the Display menu are never offered.
  for (MenuItem* item : {&m.mnuStep3, &m.mnuDispSA, &m.mnuModif, &m.mnuDispTDEV, &m.mnuDispMTIE})
    item->setVisible(false);
}

void showPlotWindows(Console& c) {
  Windows& w = c.win;
  const int height = static_cast<int>(std::nearbyint(w.mainHeight / 2.3));
  w.frmData.setVisible(true);
  w.frmData.setHeight(height);
  w.frmData.setWidth(6180);
  w.frmStat.setVisible(true);
  w.frmStat.setTop(w.frmData.height());
  w.frmStat.setHeight(height);
  w.frmStat.setWidth(6180);
  w.frmStat.setLeft(0);
  FitPlotsToWindows(c);
}

// Loads a tool window: shown for its load handler, then hidden at once.
template <typename Load>
void loadHidden(ChildWindow& window, Load load) {
  window.setVisible(true);
  load();
  window.setVisible(false);
}

}  // namespace

void MDIForm_Load(Console& c) {
  bindPlotKeys(c);
  resetConsoleState(c.st);
  setMenuStartState(c.menu);
  ReadGlobalSettings(c);
  showPlotWindows(c);
  loadHidden(c.win.frmFrequency, [&c] { frmFrequency_Place(c); });
  loadHidden(c.win.frmTau, [&c] { frmTau_Load(c); });
  loadHidden(c.win.frmFormat, [&c] { frmFormat_Load(c); });
  loadHidden(c.win.frmScale, [&c] { frmScale_Load(c); });
  loadHidden(c.win.frmOrlak, [&c] { frmOrlak_Load(c); });
  SetupPlots(c);
}
