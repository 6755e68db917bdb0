#include "graphics/StabilityMeasure.h"

#include <QDir>

#include "app/Startup.h"
#include "app/TextFileStore.h"

namespace tessarin::graphics {

namespace {

using stability::Statistic;

// One measure: its menu item, the stability plot's title and Y unit with it, and the word that
// names it in stabilitymeasure.txt. TDEV and MTIE are time errors, in seconds.
struct Measure {
  Statistic statistic;
  app::MenuItem app::Menus::*item;
  const char* title;
  const char* unit;
  const char* word;
};

constexpr Measure kMeasures[] = {
    {Statistic::Adev, &app::Menus::showStandardAllan, "Allan Dev.", "", "adev"},
    {Statistic::Mdev, &app::Menus::showModifiedAllan, "Modified Allan Dev.", "", "mdev"},
    {Statistic::Tdev, &app::Menus::showTdev, "TDEV", "Sec", "tdev"},
    {Statistic::Mtie, &app::Menus::showMtie, "MTIE", "Sec", "mtie"},
};

const QString kMeasureFile = QStringLiteral("stabilitymeasure.txt");

QString measureFile(const app::Console& c) { return QDir(c.settingsFolder).filePath(kMeasureFile); }

// The radio rule of the menus: the chosen item is checked first, then the others cleared.
void show(app::Console& c, const Measure& measure) {
  (c.menus.*measure.item).setChecked(true);
  for (const Measure& other : kMeasures)
    if (&other != &measure) (c.menus.*other.item).setChecked(false);
  c.stabilityPlot.setTitle(measure.title);
  c.stabilityPlot.setYUnit(measure.unit);
  c.measurement.showStatistic(measure.statistic);
}

void choose(app::Console& c, const Measure& measure) {
  show(c, measure);
  if (c.menus.autoscale.checked()) c.stabilityPlot.autoscaleNow();
  const platform::Result<> saved = app::saveTextFile(measureFile(c), measure.word);
  if (!saved) c.setStatus("Stability measure not saved: " + saved.reason());
}

}  // namespace

void chooseStandardAllan(app::Console& c) { choose(c, kMeasures[0]); }
void chooseModifiedAllan(app::Console& c) { choose(c, kMeasures[1]); }
void chooseTdev(app::Console& c) { choose(c, kMeasures[2]); }
void chooseMtie(app::Console& c) { choose(c, kMeasures[3]); }

void restoreStabilityMeasure(app::Console& c) {
  const platform::Result<std::optional<QString>> text = app::loadTextFile(measureFile(c));
  if (!text) {
    app::reportStartupProblem(c, "Stability measure not read: " + text.reason());
    return;
  }
  if (!text.value()) return;
  const QString word = text.value()->trimmed().toLower();
  for (const Measure& measure : kMeasures) {
    if (word == QLatin1String(measure.word)) {
      show(c, measure);
      return;
    }
  }
  app::reportStartupProblem(c, kMeasureFile + " names no stability measure: \"" + word + "\"");
}

void toggleErrorBars(app::Console& c) {
  c.measurement.showErrorBars(!c.measurement.errorBarsShown());
  if (c.menus.autoscale.checked()) c.stabilityPlot.autoscaleNow();
}

}  // namespace tessarin::graphics
