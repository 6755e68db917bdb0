#include "app/WindowLayout.h"

#include <cmath>

#include "app/Console.h"
#include "app/plots/PlotSetup.h"

namespace tessarin::app {

int plotWindowHeight(const Windows& w) {
  return static_cast<int>(std::nearbyint(w.mainHeight / kMainHeightPerPlotWindow));
}

int toolColumnLeft(const Windows& w, const ChildWindow& window) {
  return w.mainWidth - window.width() - kToolColumnRightMargin;
}

void placeDutFrequencyWindow(Console& c) {
  Windows& w = c.windows();
  w.dutFrequencyWindow.setLeft(toolColumnLeft(w, w.dutFrequencyWindow));
  w.dutFrequencyWindow.setTop(0);
}

void placeTauWindow(Console& c) {
  Windows& w = c.windows();
  w.tauWindow.setTop(w.dutFrequencyWindow.height());
  w.tauWindow.setLeft(toolColumnLeft(w, w.tauWindow));
}

void placeNominalWindow(Console& c) {
  Windows& w = c.windows();
  w.nominalWindow.setTop(w.dutFrequencyWindow.top() + w.dutFrequencyWindow.height() +
                         kNominalWindowDrop);
  w.nominalWindow.setLeft(toolColumnLeft(w, w.nominalWindow));
}

void placeAboutWindow(Console& c) {
  Windows& w = c.windows();
  w.aboutWindow.setLeft(toolColumnLeft(w, w.aboutWindow));
  w.aboutWindow.setTop(w.mainHeight - w.aboutWindow.height() - kAboutWindowBottomMargin);
}

void layOutWindows(Console& c) {
  Windows& w = c.windows();
  placeDutFrequencyWindow(c);
  w.tauWindow.setLeft(toolColumnLeft(w, w.tauWindow));
  w.nominalWindow.setLeft(toolColumnLeft(w, w.nominalWindow));
  w.scalesWindow.setLeft(toolColumnLeft(w, w.scalesWindow));

  // A main window too small for the plots (minimized, say) leaves the rest as it was.
  const int plotWidth = w.mainWidth - w.dutFrequencyWindow.width() - kToolColumnRightMargin;
  const int plotHeight = plotWindowHeight(w);
  if (plotWidth <= 0 || plotHeight <= 0) return;
  w.dataWindow.setWidth(plotWidth);
  w.dataWindow.setHeight(plotHeight);
  w.stabilityWindow.setWidth(plotWidth);
  w.stabilityWindow.setTop(w.dataWindow.height());
  w.stabilityWindow.setHeight(plotHeight);
  if (plotWidth <= kPlotInsetWidth || plotHeight <= kPlotInsetHeight) return;
  plots::fitPlotsToWindows(c);
  placeAboutWindow(c);
}

}  // namespace tessarin::app
