#include "graphics/Scales.h"

#include <QLocale>
#include <array>

#include "app/Console.h"
#include "app/OptionMenus.h"
#include "app/Startup.h"
#include "app/TextFileStore.h"

namespace tessarin::graphics {

namespace {

constexpr std::size_t kScaleBoxes = 8;
const char* const kScaleLabels[kScaleBoxes] = {"Sample-min",  "Sample-max", "Delta F-min",
                                               "Delta F-max", "Tau-min",    "Tau-max",
                                               "SigmaY-min",  "SigmaY-max"};

QString scaleFile(const app::Console& c) { return c.settingsFolder + "/setting3.txt"; }

// A box's text as a number, in the C locale or the operator's own.
std::optional<double> toNumber(const QString& text) {
  bool ok = false;
  double value = QLocale::c().toDouble(text.trimmed(), &ok);
  if (!ok) value = QLocale::system().toDouble(text.trimmed(), &ok);
  return ok ? std::optional<double>(value) : std::nullopt;
}

}  // namespace

QStringList defaultScaleTexts() {
  return {"1", "1e4", "-1e-11", "1e-11", "1", "1e5", "1e-15", "1e-11"};
}

QStringList splitScaleRecord(const QString& text) {
  QStringList fields = defaultScaleTexts();
  qsizetype start = 0;
  for (qsizetype i = 0; i < fields.size(); ++i) {
    const qsizetype tab = text.indexOf('\t', start);
    if (tab < 0) break;
    fields[i] = text.mid(start, tab - start);
    start = tab + 1;
  }
  return fields;
}

void loadScalesWindow(app::Console& c) {
  app::ChildWindow& w = c.windows.scalesWindow;
  w.setTop(c.windows.dutFrequencyWindow.top() + c.windows.dutFrequencyWindow.height() + 990 + 945);
  w.setLeft(c.windows.mainWidth - w.width() - 200);

  const platform::Result<std::optional<QString>> text = app::loadTextFile(scaleFile(c));
  if (!text) app::reportStartupProblem(c, "Plot limits not read: " + text.reason());
  const QStringList fields =
      text && text.value() ? splitScaleRecord(*text.value()) : defaultScaleTexts();
  for (std::size_t i = 0; i < kScaleBoxes; ++i)
    c.windows.scaleBoxes[i].setText(fields[static_cast<qsizetype>(i)]);
}

std::optional<QString> storeScales(app::Console& c) {
  std::array<double, kScaleBoxes> values{};
  for (std::size_t i = 0; i < kScaleBoxes; ++i) {
    const std::optional<double> value = toNumber(c.windows.scaleBoxes[i].text());
    if (!value)
      return QString("Limit %1 is not a number: \"%2\"")
          .arg(kScaleLabels[i], c.windows.scaleBoxes[i].text());
    values[i] = *value;
  }
  c.plotLimits = {values[0], values[1], values[2] * 1e12, values[3] * 1e12,
                  values[4], values[5], values[6],        values[7]};

  QString record;
  for (const app::TextBox& box : c.windows.scaleBoxes) record += box.text() + '\t';
  const platform::Result<> saved = app::saveTextFile(scaleFile(c), record);
  if (!saved)
    c.dialogs.message("The plot limits could not be saved: " + saved.reason(), "Tessarin / RS",
                      platform::Dialogs::Icon::Warning);
  return std::nullopt;
}

void applyScales(app::Console& c) {
  const PlotLimits& l = c.plotLimits;
  c.dataPlot.setXMinimum(l.sampleMin);
  c.dataPlot.setXMaximum(l.sampleMax);
  c.dataPlot.setYMinimum(l.deltaFMin);
  c.dataPlot.setYMaximum(l.deltaFMax);
  c.stabilityPlot.setXMinimum(l.tauMin);
  c.stabilityPlot.setXMaximum(l.tauMax);
  c.stabilityPlot.setYMinimum(l.sigmaMin);
  c.stabilityPlot.setYMaximum(l.sigmaMax);
}

void chooseAutoscale(app::Console& c) {
  app::chooseRadioItem(c.menus.autoscale, {&c.menus.limits});
  c.windows.scalesWindow.setVisible(false);
}

void chooseLimits(app::Console& c) {
  app::chooseRadioItem(c.menus.limits, {&c.menus.autoscale});
  c.windows.scalesWindow.setVisible(true);
}

}  // namespace tessarin::graphics
