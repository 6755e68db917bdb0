#include "app/plots/DisplaySelection.h"

#include "app/Console.h"
#include "app/OptionMenus.h"

namespace tessarin::app::plots {

void showFrequencyDifference(Console& c) {
  c.platform().dataPlot.setTitle("Frequency Diff");
  chooseRadioItem(c.menus().showFrequencyDiff, {&c.menus().showPhaseDiff});
}

void showPhaseDifference(Console& c) {
  c.platform().dataPlot.setTitle("Phase Diff");
  chooseRadioItem(c.menus().showPhaseDiff, {&c.menus().showFrequencyDiff});
}

}  // namespace tessarin::app::plots
