#include "output/PsdPlot.h"

#include <qcustomplot.h>

#include <cmath>
#include <numbers>
#include <span>

#include "output/PlotFile.h"
#include "output/PlotStyle.h"
#include "output/PsdReport.h"
#include "stability/NoiseIdentification.h"

namespace tessarin::analyze::output {

namespace {

constexpr int kPanelsWidth = 1400;
// Points along a predicted deviation's line.
constexpr int kLinePoints = 60;

const QColor kColours[] = {QColor(0, 90, 180), QColor(200, 60, 30), QColor(30, 140, 60),
                           QColor(140, 60, 160), QColor(200, 140, 0)};

QColor colourOf(int trace) { return kColours[trace % static_cast<int>(std::size(kColours))]; }

void useLabelledLogScale(QCPAxis* axis, const QString& label) {
  useLogScale(axis);
  axis->setLabel(label);
}

QString runName(const AnalysedRun& analysed, bool labelRuns, const QString& what) {
  if (!labelRuns) return what;
  return QString("run %1, %2 %3: %4")
      .arg(analysed.index)
      .arg(QString::fromStdString(analysed.run->date), QString::fromStdString(analysed.run->time),
           what);
}

// The levels fitted from the spectrum, in the spectrum's quantity at f.
double fittedValue(const analysis::SpectrumAnalysis& spectrum, double f,
                   std::span<const analysis::NoiseLevel> levels) {
  double frequencyDensity = 0;
  for (const analysis::NoiseLevel& level : levels)
    if (!std::isnan(level.h))
      frequencyDensity +=
          level.h * analysis::sampledFrequencyDensityPerLevel(level.alpha, f, spectrum.welch.tau0);
  const double phaseDensity = frequencyDensity / std::pow(2 * std::numbers::pi * f, 2);
  const double value = analysis::fromPhaseDensity(spectrum.quantity, f, phaseDensity,
                                                  spectrum.nominalHz.value_or(0));
  return spectrum.quantity == analysis::SpectralQuantity::PhaseNoise ? 10 * std::log10(value)
                                                                     : value;
}

QCPGraph* addLine(QCPAxisRect* rect, const QVector<double>& x, const QVector<double>& y,
                  const QPen& pen, const QString& name) {
  QCPGraph* graph =
      rect->parentPlot()->addGraph(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atLeft));
  graph->setData(x, y, true);
  graph->setPen(pen);
  graph->setName(name);
  return graph;
}

void addPoints(QCPAxisRect* rect, const QVector<double>& x, const QVector<double>& y,
               const QVector<double>& below, const QVector<double>& above, const QColor& colour,
               const QString& name) {
  addCurveWithBars(rect, name, QPen(colour, 1.2),
                   QCPScatterStyle(QCPScatterStyle::ssCircle, colour, Qt::white, 4), x, y, below,
                   above);
}

void drawFit(QCPAxisRect* rect, const analysis::SpectrumAnalysis& spectrum, const QColor& colour) {
  const std::span<const analysis::NoiseLevel> fromSpectrum(spectrum.levels.data(),
                                                           spectrum.levels.size() / 2);
  bool any = false;
  QVector<double> f;
  for (const analysis::SpectrumPoint& point : spectrum.points) f << point.frequency;
  for (const analysis::NoiseLevel& level : fromSpectrum) {
    if (std::isnan(level.h)) continue;
    any = true;
    QVector<double> value;
    for (const double x : f) value << fittedValue(spectrum, x, {&level, 1});
    addLine(rect, f, value, QPen(colour, 1, Qt::DashLine),
            QString("h%1 = %2 (%3)")
                .arg(level.alpha)
                .arg(level.h, 0, 'e', 2)
                .arg(QString::fromUtf8(stability::noiseName(level.alpha))));
  }
  if (!any) return;
  QVector<double> sum;
  for (const double x : f) sum << fittedValue(spectrum, x, fromSpectrum);
  addLine(rect, f, sum, QPen(colour.darker(150), 1.5), QStringLiteral("sum of the levels"));
}

// The measured deviations of each run beside the levels' prediction for them.
void drawDeviations(QCPAxisRect* rect, const std::vector<AnalysedRun>& runs) {
  useLabelledLogScale(rect->axis(QCPAxis::atBottom), QStringLiteral("tau / s"));
  useLabelledLogScale(rect->axis(QCPAxis::atLeft),
                      QStringLiteral("deviation: measured and predicted"));
  int trace = 0;
  for (const AnalysedRun& analysed : runs) {
    if (!analysed.spectrum) continue;
    const std::span<const analysis::NoiseLevel> levels(analysed.spectrum->levels.data(),
                                                       analysed.spectrum->levels.size() / 2);
    for (const analysis::StatisticRows& statistic : analysed.analysis.statistics) {
      const QColor colour = colourOf(trace++);
      QVector<double> tau, value, below, above;
      for (const stability::AnalysisRow& row : statistic.rows) {
        if (!(row.estimate.value > 0)) continue;
        tau << row.estimate.tau;
        value << row.estimate.value;
        below << row.estimate.value - row.interval.low;
        above << row.interval.high - row.estimate.value;
      }
      const QString name = QString::fromUtf8(stability::nameOf(statistic.statistic));
      addPoints(rect, tau, value, below, above, colour, name);
      if (tau.size() < 2) continue;
      QVector<double> lineTau, predicted;
      for (int k = 0; k < kLinePoints; ++k) {
        const double t = tau.front() * std::pow(tau.back() / tau.front(),
                                                static_cast<double>(k) / (kLinePoints - 1));
        const auto deviation =
            analysis::predictedDeviation(statistic.statistic, t, analysed.analysis.tau0, levels);
        if (!deviation) break;
        lineTau << t;
        predicted << *deviation;
      }
      if (!lineTau.isEmpty())
        addLine(rect, lineTau, predicted, QPen(colour, 1.5, Qt::DashLine),
                name + QStringLiteral(" predicted by the spectrum's levels"));
    }
  }
}

}  // namespace

void drawSpectrum(QCustomPlot& plot, QCPAxisRect* rect, const std::vector<AnalysedRun>& runs,
                  bool labelRuns) {
  QString title;
  int trace = 0;
  for (const AnalysedRun& analysed : runs) {
    if (!analysed.spectrum) continue;
    const analysis::SpectrumAnalysis& spectrum = *analysed.spectrum;
    title = QString::fromStdString(spectrumTitle(spectrum.quantity));
    QVector<double> f, value, below, above;
    for (const analysis::SpectrumPoint& point : spectrum.points) {
      if (spectrum.quantity != analysis::SpectralQuantity::PhaseNoise && !(point.value > 0))
        continue;  // nothing to show of it on a logarithmic axis
      f << point.frequency;
      value << point.value;
      below << point.value - point.low;  // NaN without an interval: no bar is drawn
      above << point.high - point.value;
    }
    const QColor colour = colourOf(trace++);
    addPoints(rect, f, value, below, above, colour,
              runName(analysed, labelRuns, QString::fromUtf8(nameOf(spectrum.quantity))));
    drawFit(rect, spectrum, colour);
  }
  useLabelledLogScale(rect->axis(QCPAxis::atBottom), QStringLiteral("f / Hz"));
  if (title.startsWith(QStringLiteral("L(f)")))
    rect->axis(QCPAxis::atLeft)->setLabel(title);
  else
    useLabelledLogScale(rect->axis(QCPAxis::atLeft), title);
  plot.legend->setVisible(true);
  plot.legend->setFont(QFont(plot.font().family(), 8));
  rect->insetLayout()->setInsetAlignment(0, Qt::AlignBottom | Qt::AlignLeft);
}

platform::Result<> writeSpectrumPlot(const QString& path, const QString& title,
                                     const std::vector<AnalysedRun>& runs, bool labelRuns,
                                     bool deviations) {
  QCustomPlot plot;
  plot.plotLayout()->insertRow(0);
  plot.plotLayout()->addElement(0, 0, new QCPTextElement(&plot, title));
  drawSpectrum(plot, plot.axisRect(), runs, labelRuns);
  if (deviations) {
    auto* rect = new QCPAxisRect(&plot);
    plot.plotLayout()->addElement(1, 1, rect);
    drawDeviations(rect, runs);
  }
  plot.rescaleAxes();
  for (QCPAxisRect* rect : plot.axisRects()) {
    rect->axis(QCPAxis::atBottom)->scaleRange(1.2);
    rect->axis(QCPAxis::atLeft)->scaleRange(1.3);
  }
  return savePlot(plot, path, deviations ? kPanelsWidth : 0);
}

}  // namespace tessarin::analyze::output
