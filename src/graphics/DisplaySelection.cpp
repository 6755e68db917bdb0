#include "graphics/DisplaySelection.h"

#include "app/Console.h"
#include "app/OptionMenus.h"

void showFrequencyDifference(Console& c) {
  c.dataPlot.setTitle("Frequency Diff");
  chooseRadioItem(c.menus.showFrequencyDiff, {&c.menus.showPhaseDiff});
}

void showPhaseDifference(Console& c) {
  c.dataPlot.setTitle("Phase Diff");
  chooseRadioItem(c.menus.showPhaseDiff, {&c.menus.showFrequencyDiff});
}
