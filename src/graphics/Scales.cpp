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

QStringList DefaultScaleTexts() {
  return {"1", "1e4", "-1e-11", "1e-11", "1", "1e5", "1e-15", "1e-11"};
}

QStringList SplitScaleRecord(const QString& text) {
  QStringList fields = DefaultScaleTexts();
  qsizetype start = 0;
  for (int i = 0; i < kScaleBoxes; ++i) {
    const qsizetype tab = text.indexOf('\t', start);
    if (tab < 0) break;
    fields[i] = text.mid(start, tab - start);
    start = tab + 1;
  }
  return fields;
}

void frmScale_Load(Console& c) {
  ChildWindow& w = c.win.frmScale;
  w.setTop(c.win.frmFrequency.top() + c.win.frmFrequency.height() + 990 + 945);
  w.setLeft(c.win.mainWidth - w.width() - 200);

  QString error;
  const std::optional<QString> text = TextFileStore::LoadFile(scaleFile(c), error);
  if (!text && !error.isEmpty()) c.setStatus("Plot limits not read: " + error);
  const QStringList fields = text ? SplitScaleRecord(*text) : DefaultScaleTexts();
  for (int i = 0; i < kScaleBoxes; ++i) {
    c.events.processPendingEvents();
    c.win.txtScale[i].setText(fields[i]);
  }
}

std::optional<QString> Store(Console& c) {
  std::array<double, kScaleBoxes> values{};
  for (int i = 0; i < kScaleBoxes; ++i) {
    const std::optional<double> value = toNumber(c.win.txtScale[i].text());
    if (!value)
      return QString("Limit %1 is not a number: \"%2\"")
          .arg(kScaleLabels[i], c.win.txtScale[i].text());
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
  for (const TextBox& box : c.win.txtScale) record += box.text() + '\t';
  QString error;
  if (!TextFileStore::SaveFile(scaleFile(c), record, error))
    c.dialogs.message("The plot limits could not be saved: " + error, "Tessarin / RS",
                      Dialogs::Icon::Warning);
  return std::nullopt;
}

void ApplyScales(Console& c) {
  const ConsoleState& st = c.st;
  c.DynaPlot1.setXMinimum(st.dblSampleMin);
  c.DynaPlot1.setXMaximum(st.dblSampleMax);
  c.DynaPlot1.setYMinimum(st.dblDeltaFMin);
  c.DynaPlot1.setYMaximum(st.dblDeltaFMax);
  c.DynaPlot2.setXMinimum(st.dblTauMin);
  c.DynaPlot2.setXMaximum(st.dblTauMax);
  c.DynaPlot2.setYMinimum(st.dblSigmaMin);
  c.DynaPlot2.setYMaximum(st.dblSigmaMax);
}

void mnuAuto_Click(Console& c) {
  ChooseRadioItem(c.menu.mnuAuto, {&c.menu.mnuLimits});
  c.win.frmScale.setVisible(false);
}

void mnuLimits_Click(Console& c) {
  ChooseRadioItem(c.menu.mnuLimits, {&c.menu.mnuAuto});
  c.win.frmScale.setVisible(true);
}
