#include "output/OverlayLines.h"

#include <qcustomplot.h>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/NoiseLevels.h"

namespace tessarin::analyze::output {

namespace {

constexpr int kModelPoints = 60;

const QColor kOverlayColours[] = {QColor(0, 0, 0), QColor(120, 120, 120), QColor(90, 50, 0)};

}  // namespace

OverlayLine modelLine(const cli::ModelOverlay& model, double fromTau, double toTau) {
  OverlayLine line{QString::fromStdString(model.name), {}, {}};
  // The phase noises' relations take the bandwidth as f_h = 1 / (2 tau0).
  const double tau0 = model.bandwidthHz ? 1 / (2 * *model.bandwidthHz) : 1.0;
  const double step = std::log(toTau / fromTau) / (kModelPoints - 1);
  for (int i = 0; i < kModelPoints; ++i) {
    const double tau = fromTau * std::exp(step * i);
    double variance = 0;
    for (const auto& [alpha, h] : model.levels)
      variance += h * analysis::allanVariancePerLevel(alpha, tau, tau0);
    if (!(variance > 0)) continue;  // flicker PM's relation fails below tau = 1 / (2 pi f_h)
    line.tau << tau;
    line.value << std::sqrt(variance);
  }
  return line;
}

platform::Result<OverlayLine> readOverlayPoints(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
    return platform::Result<OverlayLine>::failure(path + ": cannot be read: " + file.errorString());
  OverlayLine line{QFileInfo(path).completeBaseName(), {}, {}};
  QTextStream in(&file);
  static const QRegularExpression separator(QStringLiteral("[,\\s]+"));
  for (int number = 1; !in.atEnd(); ++number) {
    const QString text = in.readLine().section('#', 0, 0).trimmed();
    if (text.isEmpty()) continue;
    const QStringList fields = text.split(separator);
    bool tauRead = false, valueRead = false;
    const double tau = fields.value(0).toDouble(&tauRead);
    const double value = fields.value(1).toDouble(&valueRead);
    if (fields.size() != 2 || !tauRead || !valueRead || !(tau > 0) || !(value > 0) ||
        !std::isfinite(tau) || !std::isfinite(value))
      return platform::Result<OverlayLine>::failure(
          QStringLiteral("%1:%2: not a positive tau and value: '%3'")
              .arg(path)
              .arg(number)
              .arg(text));
    line.tau << tau;
    line.value << value;
  }
  if (line.tau.isEmpty())
    return platform::Result<OverlayLine>::failure(path + ": no tau and value in it");
  return line;
}

platform::Result<std::vector<OverlayLine>> overlayLines(const cli::Options& options,
                                                        std::span<const AnalysedRun> runs) {
  double fromTau = std::numeric_limits<double>::infinity(), toTau = 0;
  for (const AnalysedRun& analysed : runs)
    for (const analysis::StatisticRows& statistic : analysed.analysis.statistics)
      for (const stability::AnalysisRow& row : statistic.rows) {
        fromTau = std::min(fromTau, row.estimate.tau);
        toTau = std::max(toTau, row.estimate.tau);
      }
  std::vector<OverlayLine> lines;
  if (toTau > 0)
    for (const cli::ModelOverlay& model : options.overlays)
      lines.push_back(modelLine(model, fromTau, toTau));
  for (const std::string& path : options.overlayPoints) {
    auto points = readOverlayPoints(QString::fromStdString(path));
    if (!points) return platform::Result<std::vector<OverlayLine>>::failure(points.reason());
    lines.push_back(std::move(points.value()));
  }
  return lines;
}

void drawOverlayLines(QCustomPlot& plot, std::span<const OverlayLine> lines) {
  int colour = 0;
  for (const OverlayLine& line : lines) {
    QCPGraph* graph = plot.addGraph();
    graph->setName(line.name);
    graph->setPen(QPen(kOverlayColours[colour++ % std::size(kOverlayColours)], 2, Qt::DashDotLine));
    graph->setData(line.tau, line.value);
  }
}

}  // namespace tessarin::analyze::output
