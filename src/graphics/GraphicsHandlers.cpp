#include "app/Closing.h"
#include "app/Console.h"
#include "app/Handlers.h"
#include "graphics/DisplaySelection.h"
#include "graphics/Scales.h"

void connectGraphicsHandlers(Console& c) {
  c.menus.showFrequencyDiff.onClick = [&c] { showFrequencyDifference(c); };
  c.menus.showPhaseDiff.onClick = [&c] { showPhaseDifference(c); };
  c.menus.autoscale.onClick = [&c] { chooseAutoscale(c); };
  c.menus.limits.onClick = [&c] { chooseLimits(c); };
  c.windows.scalesWindow.queryUnload = [&c] { return hideToolWindow(c, c.windows.scalesWindow); };
}
