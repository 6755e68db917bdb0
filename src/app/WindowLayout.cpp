#include "app/WindowLayout.h"

#include <cmath>

#include "app/Console.h"
#include "graphics/PlotSetup.h"

namespace {

constexpr int kRightMargin = 200;

int atRightEdge(const Console& c, const ChildWindow& w) {
  return c.win.mainWidth - w.width() - kRightMargin;
}

// A plot window's height: a little under half the main window's.
int plotWindowHeight(const Console& c) {
  return static_cast<int>(std::nearbyint(c.win.mainHeight / 2.3));
}

}  // namespace

void frmFrequency_Place(Console& c) {
  c.win.frmFrequency.setLeft(atRightEdge(c, c.win.frmFrequency));
  c.win.frmFrequency.setTop(0);
}

void frmTau_Load(Console& c) {
  c.win.frmTau.setTop(c.win.frmFrequency.height());
  c.win.frmTau.setLeft(atRightEdge(c, c.win.frmTau));
}

void frmFormat_Load(Console& c) {
  c.win.frmFormat.setTop(c.win.frmFrequency.top() + c.win.frmFrequency.height() + 990);
  c.win.frmFormat.setLeft(atRightEdge(c, c.win.frmFormat));
}

void frmOrlak_Load(Console& c) {
  c.win.frmOrlak.setLeft(atRightEdge(c, c.win.frmOrlak));
  c.win.frmOrlak.setTop(c.win.mainHeight - c.win.frmOrlak.height() - 1080);
}

void MDIForm_Resize(Console& c) {
  Windows& w = c.win;
  frmFrequency_Place(c);
  w.frmTau.setLeft(atRightEdge(c, w.frmTau));
  w.frmFormat.setLeft(atRightEdge(c, w.frmFormat));
  w.frmScale.setLeft(atRightEdge(c, w.frmScale));

  // A main window too small for the plots (minimized, say) leaves the rest as it was.
  const int plotWidth = w.mainWidth - w.frmFrequency.width() - kRightMargin;
  const int plotHeight = plotWindowHeight(c);
  if (plotWidth <= 0 || plotHeight <= 0) return;
  w.frmData.setWidth(plotWidth);
  w.frmData.setHeight(plotHeight);
  w.frmStat.setWidth(plotWidth);
  w.frmStat.setTop(w.frmData.height());
  w.frmStat.setHeight(plotHeight);
  if (plotWidth <= 100 || plotHeight <= 400) return;
  FitPlotsToWindows(c);
  frmOrlak_Load(c);
}
