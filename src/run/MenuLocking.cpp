#include "run/MenuLocking.h"

namespace tessarin::run {

namespace {

void setRunControlsEnabled(app::Console& c, bool enabled) {
  app::Windows& w = c.windows;
  w.programmedFrequencyBox.setEnabled(enabled);
  w.measuredFrequencyBox.setEnabled(enabled);
  w.nominalFrequencyBox.setEnabled(enabled);
  w.tauList.setEnabled(enabled);
  for (app::TextBox& box : w.scaleBoxes) box.setEnabled(enabled);
}

}  // namespace

void lockMenusForRun(app::Console& c) {
  app::Menus& m = c.menus;
  for (app::MenuItem* item :
       {&m.printMenu, &m.limits, &m.autoscale, &m.frequencyData, &m.phaseData, &m.savePictureMenu,
        &m.filtered, &m.nonFiltered, &m.showFrequencyDiff, &m.showPhaseDiff, &m.tau, &m.normalize,
        &m.com1, &m.com2, &m.com3, &m.com4, &m.saveFileAs})
    item->setEnabled(false);
  setRunControlsEnabled(c, false);
}

void unlockMenusAfterRun(app::Console& c) {
  app::Menus& m = c.menus;
  for (app::MenuItem* item : {&m.printMenu, &m.limits, &m.autoscale, &m.frequencyData, &m.phaseData,
                              &m.savePictureMenu, &m.showFrequencyDiff, &m.showPhaseDiff,
                              &m.filtered, &m.nonFiltered, &m.tau, &m.normalize, &m.saveFileAs})
    item->setEnabled(true);
  setRunControlsEnabled(c, true);
}

}  // namespace tessarin::run
