#include "graphics/DisplaySelection.h"

#include "app/Console.h"
#include "app/OptionMenus.h"

namespace tessarin::graphics {

void showFrequencyDifference(app::Console& c) {
  c.dataPlot.setTitle("Frequency Diff");
  app::chooseRadioItem(c.menus.showFrequencyDiff, {&c.menus.showPhaseDiff});
}

void showPhaseDifference(app::Console& c) {
  c.dataPlot.setTitle("Phase Diff");
  app::chooseRadioItem(c.menus.showPhaseDiff, {&c.menus.showFrequencyDiff});
}

}  // namespace tessarin::graphics
