#include "app/plots/Scales.h"

#include "app/Console.h"
#include "app/OptionMenus.h"
#include "app/Startup.h"
#include "app/TextFileStore.h"
#include "app/WindowLayout.h"
#include "graphics/ScaleTexts.h"

namespace tessarin::app::plots {

namespace {

QString scaleFile(const Console& c) { return c.settingsFolder() + "/setting3.txt"; }

}  // namespace

void loadScalesWindow(Console& c) {
  Windows& w = c.windows();
  w.scalesWindow.setTop(w.dutFrequencyWindow.top() + w.dutFrequencyWindow.height() +
                        kScalesWindowDrop);
  w.scalesWindow.setLeft(toolColumnLeft(w, w.scalesWindow));

  const platform::Result<std::optional<QString>> text = loadTextFile(scaleFile(c));
  if (!text) reportStartupProblem(c, "Plot limits not read: " + text.reason());
  const QStringList fields = text && text.value() ? graphics::splitScaleRecord(*text.value())
                                                  : graphics::defaultScaleTexts();
  for (std::size_t i = 0; i < w.scaleBoxes.size(); ++i)
    w.scaleBoxes[i].setText(fields.value(static_cast<qsizetype>(i)));
}

QStringList scaleBoxTexts(const Console& c) {
  QStringList texts;
  for (const TextBox& box : c.windows().scaleBoxes) texts << box.text();
  return texts;
}

platform::Result<graphics::PlotLimits> readScaleBoxes(const Console& c) {
  return graphics::readPlotLimits(scaleBoxTexts(c));
}

platform::Result<> saveScaleBoxes(const Console& c) {
  return saveTextFile(scaleFile(c), graphics::scaleRecord(scaleBoxTexts(c)));
}

void chooseAutoscale(Console& c) {
  chooseRadioItem(c.menus().autoscale, {&c.menus().limits});
  c.windows().scalesWindow.setVisible(false);
}

void chooseLimits(Console& c) {
  chooseRadioItem(c.menus().limits, {&c.menus().autoscale});
  c.windows().scalesWindow.setVisible(true);
}

}  // namespace tessarin::app::plots
