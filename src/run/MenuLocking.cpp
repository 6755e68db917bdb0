#include "run/MenuLocking.h"

#include "app/Console.h"

namespace {

void setScaleBoxesEnabled(Console& c, bool enabled) {
  for (TextBox& box : c.windows.scaleBoxes) {
    c.events.processPendingEvents();
    box.setEnabled(enabled);
  }
}

}  // namespace

void lockMenusForRun(Console& c) {
  Menus& m = c.menus;
  for (MenuItem* item :
       {&m.printMenu, &m.limits, &m.autoscale, &m.frequencyData, &m.phaseData, &m.savePictureMenu,
        &m.filtered, &m.nonFiltered, &m.showFrequencyDiff, &m.showPhaseDiff, &m.tau, &m.normalize,
        &m.com1, &m.com2, &m.com3, &m.com4, &m.saveFileAs})
    item->setEnabled(false);
  c.windows.programmedFrequencyBox.setEnabled(false);
  c.windows.measuredFrequencyBox.setEnabled(false);
  c.windows.nominalFrequencyBox.setEnabled(false);
  c.windows.tauList.setEnabled(false);
  setScaleBoxesEnabled(c, false);
}

void unlockMenusAfterRun(Console& c) {
  Menus& m = c.menus;
  for (MenuItem* item : {&m.printMenu, &m.startStop, &m.limits, &m.autoscale, &m.frequencyData,
                         &m.phaseData, &m.savePictureMenu, &m.showFrequencyDiff, &m.showPhaseDiff,
                         &m.filtered, &m.nonFiltered, &m.tau, &m.normalize, &m.saveFileAs})
    item->setEnabled(true);
  c.windows.programmedFrequencyBox.setEnabled(true);
  c.windows.measuredFrequencyBox.setEnabled(true);
  c.windows.nominalFrequencyBox.setEnabled(true);
  c.windows.tauList.setEnabled(true);
  setScaleBoxesEnabled(c, true);
}
