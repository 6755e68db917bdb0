#include "app/WindowLayout.h"

#include <cmath>

#include "app/Console.h"
#include "graphics/PlotSetup.h"

namespace tessarin::app {

namespace {

constexpr int kRightMargin = 200;

int atRightEdge(const Console& c, const ChildWindow& w) {
  return c.windows.mainWidth - w.width() - kRightMargin;
}

// A plot window's height: a little under half the main window's.
int plotWindowHeight(const Console& c) {
  return static_cast<int>(std::nearbyint(c.windows.mainHeight / 2.3));
}

}  // namespace

void placeDutFrequencyWindow(Console& c) {
  c.windows.dutFrequencyWindow.setLeft(atRightEdge(c, c.windows.dutFrequencyWindow));
  c.windows.dutFrequencyWindow.setTop(0);
}

void placeTauWindow(Console& c) {
  c.windows.tauWindow.setTop(c.windows.dutFrequencyWindow.height());
  c.windows.tauWindow.setLeft(atRightEdge(c, c.windows.tauWindow));
}

void placeNominalWindow(Console& c) {
  c.windows.nominalWindow.setTop(c.windows.dutFrequencyWindow.top() +
                                 c.windows.dutFrequencyWindow.height() + 990);
  c.windows.nominalWindow.setLeft(atRightEdge(c, c.windows.nominalWindow));
}

void placeAboutWindow(Console& c) {
  c.windows.aboutWindow.setLeft(atRightEdge(c, c.windows.aboutWindow));
  c.windows.aboutWindow.setTop(c.windows.mainHeight - c.windows.aboutWindow.height() - 1080);
}

void layOutWindows(Console& c) {
  Windows& w = c.windows;
  placeDutFrequencyWindow(c);
  w.tauWindow.setLeft(atRightEdge(c, w.tauWindow));
  w.nominalWindow.setLeft(atRightEdge(c, w.nominalWindow));
  w.scalesWindow.setLeft(atRightEdge(c, w.scalesWindow));

  // A main window too small for the plots (minimized, say) leaves the rest as it was.
  const int plotWidth = w.mainWidth - w.dutFrequencyWindow.width() - kRightMargin;
  const int plotHeight = plotWindowHeight(c);
  if (plotWidth <= 0 || plotHeight <= 0) return;
  w.dataWindow.setWidth(plotWidth);
  w.dataWindow.setHeight(plotHeight);
  w.stabilityWindow.setWidth(plotWidth);
  w.stabilityWindow.setTop(w.dataWindow.height());
  w.stabilityWindow.setHeight(plotHeight);
  if (plotWidth <= 100 || plotHeight <= 400) return;
  graphics::fitPlotsToWindows(c);
  placeAboutWindow(c);
}

}  // namespace tessarin::app
