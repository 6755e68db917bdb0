#include "graphics/ScaleTexts.h"

#include <QLocale>
#include <array>
#include <optional>

namespace tessarin::graphics {

namespace {

const char* const kScaleLabels[kScaleTextCount] = {"Sample-min",  "Sample-max", "Delta F-min",
                                                   "Delta F-max", "Tau-min",    "Tau-max",
                                                   "SigmaY-min",  "SigmaY-max"};
// The data plot shows frequency in units of 1E-12.
constexpr double kDataPlotScale = 1e12;

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

QString scaleRecord(const QStringList& texts) {
  QString record;
  for (const QString& text : texts) record += text + '\t';
  return record;
}

platform::Result<PlotLimits> readPlotLimits(const QStringList& texts) {
  std::array<double, kScaleTextCount> values{};
  for (int i = 0; i < kScaleTextCount; ++i) {
    const QString text = texts.value(i);
    const std::optional<double> value = toNumber(text);
    if (!value)
      return platform::Result<PlotLimits>::failure(
          QString("Limit %1 is not a number: \"%2\"").arg(kScaleLabels[i], text));
    values[static_cast<std::size_t>(i)] = *value;
  }
  return PlotLimits{values[0],
                    values[1],
                    values[2] * kDataPlotScale,
                    values[3] * kDataPlotScale,
                    values[4],
                    values[5],
                    values[6],
                    values[7]};
}

}  // namespace tessarin::graphics
