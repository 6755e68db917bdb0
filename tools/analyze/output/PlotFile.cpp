#include "output/PlotFile.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

#include "output/OverlayLines.h"
#include "output/PlotStyle.h"

namespace tessarin::analyze::output {

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 600;

// Twelve traces, each told apart by its colour and by its marker even where colours are hard
// to tell apart (in print, or to an eye that does not see them all).
const QColor kTraceColours[] = {QColor(0, 90, 180),    QColor(200, 60, 30),  QColor(30, 140, 60),
                                QColor(140, 60, 160),  QColor(200, 140, 0),  QColor(0, 150, 160),
                                QColor(110, 110, 110), QColor(160, 40, 100), QColor(90, 60, 20),
                                QColor(100, 150, 0),   QColor(0, 40, 110),   QColor(230, 100, 150)};
const QCPScatterStyle::ScatterShape kTraceMarkers[] = {
    QCPScatterStyle::ssCircle,      QCPScatterStyle::ssSquare,
    QCPScatterStyle::ssTriangle,    QCPScatterStyle::ssDiamond,
    QCPScatterStyle::ssCross,       QCPScatterStyle::ssPlus,
    QCPScatterStyle::ssStar,        QCPScatterStyle::ssTriangleInverted,
    QCPScatterStyle::ssCrossSquare, QCPScatterStyle::ssPlusSquare,
    QCPScatterStyle::ssCrossCircle, QCPScatterStyle::ssPlusCircle};
static_assert(std::size(kTraceColours) == std::size(kTraceMarkers));

// Beyond this many entries the legend stands beside the plot rather than over its corner.
constexpr int kLegendInside = 6;

QString traceName(const AnalysedRun& analysed, const analysis::StatisticRows& statistic,
                  bool labelRuns) {
  const QString name = QString::fromUtf8(stability::nameOf(statistic.statistic));
  if (!analysed.source.empty()) return QString::fromStdString(analysed.source) + ": " + name;
  if (!labelRuns) return name;
  return QString("run %1, %2 %3: %4")
      .arg(analysed.index)
      .arg(QString::fromStdString(analysed.run->date), QString::fromStdString(analysed.run->time),
           name);
}

void addTrace(QCustomPlot& plot, const analysis::StatisticRows& statistic, const QString& name,
              int trace) {
  const QColor& colour = kTraceColours[static_cast<std::size_t>(trace) % std::size(kTraceColours)];
  const auto marker = kTraceMarkers[static_cast<std::size_t>(trace) % std::size(kTraceMarkers)];
  QVector<double> tau, value, below, above;
  for (const stability::AnalysisRow& row : statistic.rows) {
    const double v = row.estimate.value;
    if (!(v > 0)) continue;  // nothing to show of it on a logarithmic axis
    tau << row.estimate.tau;
    value << v;
    below << v - row.interval.low;  // NaN where there is no interval: no bar is drawn
    above << row.interval.high - v;
  }
  addCurveWithBars(plot.axisRect(), name, QPen(colour, 1.5),
                   QCPScatterStyle(marker, colour, Qt::white, 6), tau, value, below, above);
}

// TDEV, TTOTDEV, MTIE and TIE rms are times; the other deviations are fractional frequencies.
bool isTimeError(stability::Statistic statistic) {
  return statistic == stability::Statistic::Tdev || statistic == stability::Statistic::Ttotdev ||
         statistic == stability::Statistic::Mtie || statistic == stability::Statistic::TieRms;
}

const QColor kMaskColours[] = {QColor(170, 0, 0), QColor(150, 0, 150), QColor(120, 80, 0)};

// Moves the legend out of the plot's corner into a column of its own right of the axes, where
// many entries hide no curve.
void placeLegendBeside(QCustomPlot& plot) {
  QCPLayoutGrid* layout = plot.plotLayout();
  int row = 0, column = 0;
  for (int i = 0; i < layout->elementCount(); ++i)
    if (layout->elementAt(i) == plot.axisRect()) layout->indexToRowCol(i, row, column);
  plot.axisRect()->insetLayout()->take(plot.legend);
  layout->addElement(row, column + 1, plot.legend);
  layout->setColumnStretchFactor(column + 1, 0.001);  // as narrow as the legend's names allow
  plot.legend->setMaximumSize(kWidth / 2, QWIDGETSIZE_MAX);
}

}  // namespace

void drawMaskLines(QCustomPlot& plot, const std::vector<AnalysedRun>& runs) {
  std::vector<const analysis::TelecomMask*> drawn;
  int colour = 0;
  for (const AnalysedRun& analysed : runs) {
    for (const analysis::CurveAgainstMask& curve : analysed.masks) {
      if (curve.points.empty() || std::find(drawn.begin(), drawn.end(), curve.mask) != drawn.end())
        continue;
      drawn.push_back(curve.mask);
      double fromTau = curve.points.front().tau, toTau = curve.points.back().tau;
      for (const AnalysedRun& other : runs)
        for (const analysis::CurveAgainstMask& same : other.masks)
          if (same.mask == curve.mask && !same.points.empty()) {
            fromTau = std::min(fromTau, same.points.front().tau);
            toTau = std::max(toTau, same.points.back().tau);
          }
      const analysis::MaskLine line = analysis::maskLine(*curve.mask, fromTau, toTau);
      if (line.tau.empty()) continue;
      QCPGraph* graph = plot.addGraph();
      graph->setName(QString::fromUtf8(curve.mask->title) + " " +
                     QString::fromUtf8(stability::nameOf(curve.mask->statistic)) + " limit");
      graph->setPen(QPen(kMaskColours[colour++ % std::size(kMaskColours)], 1.5, Qt::DashLine));
      graph->setData(QVector<double>(line.tau.begin(), line.tau.end()),
                     QVector<double>(line.limit.begin(), line.limit.end()), true);
    }
  }
}

void drawStability(QCustomPlot& plot, const std::vector<AnalysedRun>& runs, bool labelRuns,
                   std::span<const OverlayLine> overlays) {
  useLogScale(plot.xAxis);
  useLogScale(plot.yAxis);
  plot.xAxis->setLabel(QStringLiteral("tau / s"));
  int trace = 0;
  bool inSeconds = false;
  bool fractional = false;
  for (const AnalysedRun& analysed : runs) {
    for (const analysis::StatisticRows& statistic : analysed.analysis.statistics) {
      addTrace(plot, statistic, traceName(analysed, statistic, labelRuns), trace++);
      (isTimeError(statistic.statistic) ? inSeconds : fractional) = true;
    }
  }
  drawMaskLines(plot, runs);
  drawOverlayLines(plot, overlays);
  plot.yAxis->setLabel(inSeconds && fractional
                           ? QStringLiteral("deviation; tdev, mtie, tierms in s")
                       : inSeconds ? QStringLiteral("time error / s")
                                   : QStringLiteral("fractional frequency deviation"));
  plot.legend->setVisible(true);
  // Stability curves mostly fall with tau: the lower left corner is the emptiest.
  plot.axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignBottom | Qt::AlignLeft);
  if (plot.legend->itemCount() > kLegendInside) placeLegendBeside(plot);
  plot.rescaleAxes();
  plot.xAxis->scaleRange(1.2);
  plot.yAxis->scaleRange(1.5);
}

platform::Result<> writePlot(const QString& path, const QString& title,
                             const std::vector<AnalysedRun>& runs, bool labelRuns,
                             std::span<const OverlayLine> overlays) {
  QCustomPlot plot;
  plot.plotLayout()->insertRow(0);
  plot.plotLayout()->addElement(0, 0, new QCPTextElement(&plot, title));
  drawStability(plot, runs, labelRuns, overlays);
  return savePlot(plot, path);
}

platform::Result<> savePlot(QCustomPlot& plot, const QString& path, int width) {
  const bool pdf = path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
  if (width <= 0) width = kWidth;
  const bool saved = pdf ? plot.savePdf(path, width, kHeight) : plot.savePng(path, width, kHeight);
  if (!saved) return platform::Result<>::failure(path + ": the picture could not be written");
  return {};
}

}  // namespace tessarin::analyze::output
