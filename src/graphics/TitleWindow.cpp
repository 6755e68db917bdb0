#include "graphics/TitleWindow.h"

namespace tessarin::graphics {

namespace {

void unloadTitleWindow(app::Console& c) {
  c.windows.titleWindowLoaded = false;
  c.windows.titleWindow.setVisible(false);
}

}  // namespace

void openTitleWindow(app::Console& c) {
  app::Windows& w = c.windows;
  if (w.titleWindowLoaded) {
    w.titleWindow.setVisible(true);
    w.titleWindow.bringToFront();
    return;
  }
  w.titleWindowLoaded = true;
  w.titleWindow.setLeft(w.mainWidth / 2);
  w.titleWindow.setTop(w.mainHeight / 2);
  w.dataTitleBox.setText(c.dataPlot.title());
  w.stabilityTitleBox.setText(c.stabilityPlot.title());
  w.titleWindow.setVisible(true);
  w.titleWindow.bringToFront();
}

void applyTitles(app::Console& c) {
  c.dataPlot.setTitle(c.windows.dataTitleBox.text());
  c.stabilityPlot.setTitle(c.windows.stabilityTitleBox.text());
  unloadTitleWindow(c);
}

bool closeTitleWindow(app::Console& c) {
  unloadTitleWindow(c);
  return false;
}

}  // namespace tessarin::graphics
