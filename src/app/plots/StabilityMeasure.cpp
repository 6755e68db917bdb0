#include "app/plots/StabilityMeasure.h"

#include <QDir>

#include "app/Console.h"
#include "app/Startup.h"
#include "app/TextFileStore.h"
#include "app/plots/StabilityMask.h"
#include "graphics/StabilityMeasures.h"

namespace tessarin::app::plots {

namespace {

using graphics::kStabilityMeasures;
using graphics::StabilityMeasure;

const QString kMeasureFile = QStringLiteral("stabilitymeasure.txt");

// The menu items of the measures, in the order of kStabilityMeasures.
std::array<MenuItem*, kStabilityMeasures.size()> measureItems(Menus& m) {
  return {&m.showStandardAllan, &m.showModifiedAllan, &m.showTdev, &m.showMtie};
}

QString measureFile(const Console& c) { return QDir(c.settingsFolder()).filePath(kMeasureFile); }

// The radio rule of the menus: the chosen item is checked first, then the others cleared.
void show(Console& c, const StabilityMeasure& measure) {
  const auto items = measureItems(c.menus());
  const auto chosen = static_cast<std::size_t>(&measure - kStabilityMeasures.data());
  items[chosen]->setChecked(true);
  for (std::size_t i = 0; i < items.size(); ++i)
    if (i != chosen) items[i]->setChecked(false);
  showMaskChoice(c);
  platform::PlotControl& plot = c.platform().stabilityPlot;
  plot.setTitle(measure.title);
  plot.setYUnit(measure.unit);
  c.measurement().showStatistic(measure.statistic);
}

void choose(Console& c, const StabilityMeasure& measure) {
  show(c, measure);
  if (c.menus().autoscale.checked()) c.platform().stabilityPlot.autoscaleNow();
  const platform::Result<> saved = saveTextFile(measureFile(c), measure.word);
  if (!saved) c.setStatus("Stability measure not saved: " + saved.reason());
}

}  // namespace

void chooseStandardAllan(Console& c) { choose(c, kStabilityMeasures[0]); }
void chooseModifiedAllan(Console& c) { choose(c, kStabilityMeasures[1]); }
void chooseTdev(Console& c) { choose(c, kStabilityMeasures[2]); }
void chooseMtie(Console& c) { choose(c, kStabilityMeasures[3]); }

void restoreStabilityMeasure(Console& c) {
  const platform::Result<std::optional<QString>> text = loadTextFile(measureFile(c));
  if (!text) {
    reportStartupProblem(c, "Stability measure not read: " + text.reason());
    return;
  }
  if (!text.value()) return;
  if (const StabilityMeasure* measure = graphics::measureNamed(*text.value())) {
    show(c, *measure);
    return;
  }
  reportStartupProblem(c, kMeasureFile + " names no stability measure: \"" +
                              text.value()->trimmed().toLower() + "\"");
}

void toggleErrorBars(Console& c) {
  run::Measurement& measurement = c.measurement();
  measurement.showErrorBars(!measurement.errorBarsShown());
  if (c.menus().autoscale.checked()) c.platform().stabilityPlot.autoscaleNow();
}

}  // namespace tessarin::app::plots
