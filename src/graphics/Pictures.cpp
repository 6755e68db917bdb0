#include "graphics/Pictures.h"

namespace tessarin::graphics {

namespace {

void savePicture(app::Console& c, platform::PlotControl& plot) {
  const std::optional<QString> path =
      c.dialogs.saveFileName("Save Picture as", "*.BMP", "BMP", c.lastPicturePath);
  if (!path || path->isEmpty()) return;
  c.lastPicturePath = *path;
  if (const platform::Result<> saved = plot.savePicture(*path); !saved)
    c.setStatus(QStringLiteral("Picture not saved: ") + saved.reason());
}

}  // namespace

void saveDataPlotPicture(app::Console& c) { savePicture(c, c.dataPlot); }

void saveStabilityPlotPicture(app::Console& c) { savePicture(c, c.stabilityPlot); }

}  // namespace tessarin::graphics
