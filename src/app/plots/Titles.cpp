#include "app/plots/Titles.h"

#include "app/Console.h"

namespace tessarin::app::plots {

namespace {

void closeTitleWindow(Windows& w) {
  w.titleWindowOpen = false;
  w.titleWindow.setVisible(false);
}

}  // namespace

void openTitleWindow(Console& c) {
  Windows& w = c.windows();
  if (!w.titleWindowOpen) {
    w.titleWindowOpen = true;
    w.titleWindow.setLeft(w.mainWidth / 2);
    w.titleWindow.setTop(w.mainHeight / 2);
    w.dataTitleBox.setText(c.platform().dataPlot.title());
    w.stabilityTitleBox.setText(c.platform().stabilityPlot.title());
  }
  w.titleWindow.setVisible(true);
  w.titleWindow.bringToFront();
}

void applyTitles(Console& c) {
  c.platform().dataPlot.setTitle(c.windows().dataTitleBox.text());
  c.platform().stabilityPlot.setTitle(c.windows().stabilityTitleBox.text());
  closeTitleWindow(c.windows());
}

bool dismissTitleWindow(Console& c) {
  closeTitleWindow(c.windows());
  return false;
}

}  // namespace tessarin::app::plots
