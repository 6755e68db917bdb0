#include "graphics/Scales.h"

#include <QLocale>
#include <array>

#include "app/Console.h"
#include "app/OptionMenus.h"
#include "app/TextFileStore.h"

namespace {

constexpr int kScaleBoxes = 8;
const char* const kScaleLabels[kScaleBoxes] = {"Sample-min",  "Sample-max", "Delta F-min",
                                               "Delta F-max", "Tau-min",    "Tau-max",
                                               "SigmaY-min",  "SigmaY-max"};

QString scaleFile(const Console& c) { return c.settingsFolder + "/setting3.txt"; }

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
  for (int i = 0; i < kScaleBoxes; ++i) {
    const qsizetype tab = text.indexOf('\t', start);
    if (tab < 0) break;
    fields[i] = text.mid(start, tab - start);
    start = tab + 1;
  }
  return fields;
}

void loadScalesWindow(Console& c) {
  ChildWindow& w = c.windows.scalesWindow;
  w.setTop(c.windows.dutFrequencyWindow.top() + c.windows.dutFrequencyWindow.height() + 990 + 945);
  w.setLeft(c.windows.mainWidth - w.width() - 200);

  QString error;
  const std::optional<QString> text = TextFileStore::LoadFile(scaleFile(c), error);
  if (!text && !error.isEmpty()) c.setStatus("Plot limits not read: " + error);
  const QStringList fields = text ? splitScaleRecord(*text) : defaultScaleTexts();
  for (int i = 0; i < kScaleBoxes; ++i) {
    c.events.processPendingEvents();
    c.windows.scaleBoxes[i].setText(fields[i]);
  }
}

std::optional<QString> storeScales(Console& c) {
  std::array<double, kScaleBoxes> values{};
  for (int i = 0; i < kScaleBoxes; ++i) {
    const std::optional<double> value = toNumber(c.windows.scaleBoxes[i].text());
    if (!value)
      return QString("Limit %1 is not a number: \"%2\"")
          .arg(kScaleLabels[i], c.windows.scaleBoxes[i].text());
    values[i] = *value;
  }
  ConsoleState& st = c.st;
  st.dblSampleMin = values[0];
  st.dblSampleMax = values[1];
  st.dblDeltaFMin = values[2] * 1e12;
  st.dblDeltaFMax = values[3] * 1e12;
  st.dblTauMin = values[4];
  st.dblTauMax = values[5];
  st.dblSigmaMin = values[6];
  st.dblSigmaMax = values[7];

  QString record;
  for (const TextBox& box : c.windows.scaleBoxes) record += box.text() + '\t';
  QString error;
  if (!TextFileStore::SaveFile(scaleFile(c), record, error))
    c.dialogs.message("The plot limits could not be saved: " + error, "Tessarin / RS",
                      Dialogs::Icon::Warning);
  return std::nullopt;
}

void applyScales(Console& c) {
  const ConsoleState& st = c.st;
  c.dataPlot.setXMinimum(st.dblSampleMin);
  c.dataPlot.setXMaximum(st.dblSampleMax);
  c.dataPlot.setYMinimum(st.dblDeltaFMin);
  c.dataPlot.setYMaximum(st.dblDeltaFMax);
  c.stabilityPlot.setXMinimum(st.dblTauMin);
  c.stabilityPlot.setXMaximum(st.dblTauMax);
  c.stabilityPlot.setYMinimum(st.dblSigmaMin);
  c.stabilityPlot.setYMaximum(st.dblSigmaMax);
}

void chooseAutoscale(Console& c) {
  chooseRadioItem(c.menus.autoscale, {&c.menus.limits});
  c.windows.scalesWindow.setVisible(false);
}

void chooseLimits(Console& c) {
  chooseRadioItem(c.menus.limits, {&c.menus.autoscale});
  c.windows.scalesWindow.setVisible(true);
}
