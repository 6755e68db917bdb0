#include "app/plots/Pictures.h"

#include "app/Console.h"

namespace tessarin::app::plots {

namespace {

void savePicture(Console& c, platform::PlotControl& plot) {
  const std::optional<QString> path =
      c.platform().dialogs.saveFileName("Save Picture as", "*.BMP", "BMP", c.lastPicturePath());
  if (!path || path->isEmpty()) return;
  c.setLastPicturePath(*path);
  if (const platform::Result<> saved = plot.savePicture(*path); !saved)
    c.setStatus(QStringLiteral("Picture not saved: ") + saved.reason());
}

}  // namespace

void saveDataPlotPicture(Console& c) { savePicture(c, c.platform().dataPlot); }

void saveStabilityPlotPicture(Console& c) { savePicture(c, c.platform().stabilityPlot); }

}  // namespace tessarin::app::plots
