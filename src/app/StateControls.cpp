#include "app/StateControls.h"

#include "app/Console.h"

namespace tessarin::app {

namespace {

// The tool windows' boxes that a run fixes: the frequencies, tau and the scales.
void setRunBoxesEnabled(Windows& w, bool enabled) {
  w.programmedFrequencyBox.setEnabled(enabled);
  w.measuredFrequencyBox.setEnabled(enabled);
  w.nominalFrequencyBox.setEnabled(enabled);
  w.tauList.setEnabled(enabled);
  for (TextBox& box : w.scaleBoxes) box.setEnabled(enabled);
}

void lockForRun(Menus& m, Windows& w) {
  for (MenuItem* item :
       {&m.printMenu, &m.limits, &m.autoscale, &m.frequencyData, &m.phaseData, &m.savePictureMenu,
        &m.filtered, &m.nonFiltered, &m.showFrequencyDiff, &m.showPhaseDiff, &m.tau, &m.normalize,
        &m.com1, &m.com2, &m.com3, &m.com4, &m.saveFileAs})
    item->setEnabled(false);
  setRunBoxesEnabled(w, false);
}

void unlockAfterRun(Menus& m, Windows& w) {
  for (MenuItem* item : {&m.printMenu, &m.limits, &m.autoscale, &m.frequencyData, &m.phaseData,
                         &m.savePictureMenu, &m.showFrequencyDiff, &m.showPhaseDiff, &m.filtered,
                         &m.nonFiltered, &m.tau, &m.normalize, &m.saveFileAs})
    item->setEnabled(true);
  setRunBoxesEnabled(w, true);
}

}  // namespace

StateControls controlsFor(RunState state, bool dataFileChosen, bool resuming) {
  StateControls controls;
  const bool lost = resuming && state != RunState::Closed;
  controls.showsStop = showsStop(state) || lost;
  controls.startStopEnabled = canStartOrStop(state) || lost;
  controls.initializationEnabled = state == RunState::Idle && dataFileChosen;
  controls.lockPoll = state == RunState::WaitingForLock;
  // After Quit nothing is to be changed any more.
  controls.runLocked = state == RunState::Running || state == RunState::Closed || lost;
  controls.streams = state == RunState::Running || isRefining(state);
  controls.watch = state == RunState::Running || lost;
  return controls;
}

void showControls(Console& c, const StateControls& before, const StateControls& after) {
  Menus& m = c.menus();
  m.startStop.setCaption(after.showsStop ? QStringLiteral("S&top") : QStringLiteral("S&tart"));
  m.startStop.setEnabled(after.startStopEnabled);
  m.initialization.setEnabled(after.initializationEnabled);
  c.platform().lockTimer.setEnabled(after.lockPoll);
  c.platform().watchTimer.setEnabled(after.watch);
  if (after.runLocked && !before.runLocked) lockForRun(m, c.windows());
  if (!after.runLocked && before.runLocked) unlockAfterRun(m, c.windows());
}

}  // namespace tessarin::app
