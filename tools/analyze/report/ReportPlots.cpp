#include "report/ReportPlots.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

#include "output/PlotFile.h"

namespace tessarin::analyze::report {

namespace {

// Beyond this many points a PDF grows large and draws slowly, with nothing more to see.
constexpr std::size_t kStretches = 2000;

struct TimeUnit {
  double seconds;
  const char* name;
};

TimeUnit unitFor(double span) {
  if (span > 3 * 86400.0) return {86400, "d"};
  if (span > 2 * 3600.0) return {3600, "h"};
  return {1, "s"};
}

void addPoint(QVector<double>& t, QVector<double>& v, double time, double value) {
  t << time;
  v << value;
}

}  // namespace

void drawData(QCustomPlot& plot, const RunFacts& facts, const ReportFacts& report) {
  const std::vector<double>& data = facts.data;
  const double tau0 = facts.analysis->tau0;
  const TimeUnit unit = unitFor(static_cast<double>(data.size()) * tau0);
  const double step = tau0 / unit.seconds;
  const std::size_t stretch = std::max<std::size_t>(1, data.size() / kStretches + 1);
  QVector<double> time, value;
  for (std::size_t start = 0; start < data.size(); start += stretch) {
    const std::size_t end = std::min(data.size(), start + stretch);
    if (stretch == 1) {
      addPoint(time, value, static_cast<double>(start) * step, data[start]);
      continue;
    }
    double low = NAN, high = NAN;
    std::size_t lowAt = start, highAt = start;
    for (std::size_t k = start; k < end; ++k) {
      if (std::isnan(data[k])) continue;
      if (!(data[k] >= low)) low = data[k], lowAt = k;
      if (!(data[k] <= high)) high = data[k], highAt = k;
    }
    // In the order they came, so that the envelope is drawn as the trace went.
    const std::size_t first = std::min(lowAt, highAt), second = std::max(lowAt, highAt);
    addPoint(time, value, static_cast<double>(first) * step, first == lowAt ? low : high);
    addPoint(time, value, static_cast<double>(second) * step, second == lowAt ? low : high);
  }
  QCPGraph* graph = plot.addGraph();
  graph->setPen(QPen(QColor(0, 90, 180), 1));
  graph->setData(time, value, true);
  graph->setAdaptiveSampling(false);
  const bool frequency = facts.run->quantity == run::Quantity::Frequency;
  QString label = frequency ? QStringLiteral("fractional frequency") : QStringLiteral("phase / s");
  // The axis has room for a few words: outliers or steps taken out make the data "conditioned",
  // which the facts and "How this analysis was made" spell out.
  const analysis::Preprocessing& asked = report.conditioning;
  if ((asked.outlierLimit && !asked.keepOutliers) || asked.removeSteps) {
    label += QStringLiteral(", conditioned");
  } else {
    if (report.driftRemoved) label += QStringLiteral(", drift removed");
    if (report.offsetRemoved) label += QStringLiteral(", offset removed");
  }
  plot.yAxis->setLabel(label);
  plot.yAxis->setNumberFormat("gb");
  plot.xAxis->setLabel(QString("time since the start / %1").arg(unit.name));
  plot.rescaleAxes();
  plot.yAxis->scaleRange(1.1);
}

void drawStabilityWithNoise(QCustomPlot& plot, const RunFacts& facts, const ReportFacts& report) {
  output::drawStability(plot, {*facts.analysed}, false);
  QFont small = plot.font();
  small.setPointSizeF(small.pointSizeF() * 0.8);
  // One graph per statistic, in order. The first curve's noise types go above its bars, the
  // others' below theirs, so that two curves close together keep their labels apart.
  int trace = 0;
  for (const analysis::StatisticRows& statistic : facts.analysis->statistics) {
    const QColor colour = plot.graph(trace)->pen().color();
    const bool above = trace++ == 0;
    for (const stability::AnalysisRow& row : statistic.rows) {
      const double value = row.estimate.value;
      if (!row.alpha || !(value > 0)) continue;
      const double bar = above ? row.interval.high : row.interval.low;
      auto* text = new QCPItemText(&plot);
      text->setFont(small);
      text->setColor(colour);
      text->setPositionAlignment(Qt::AlignHCenter | (above ? Qt::AlignBottom : Qt::AlignTop));
      text->position->setCoords(row.estimate.tau, bar > 0 ? bar : value);
      text->setText(QString("α %1").arg(*row.alpha));
      text->setClipToAxisRect(false);
    }
  }
  plot.plotLayout()->insertRow(0);
  plot.plotLayout()->addElement(
      0, 0,
      new QCPTextElement(&plot,
                         QString("bars: %1 % confidence; α: noise type (2 white PM, 1 flicker "
                                 "PM, 0 white FM, −1 flicker FM, −2 random-walk FM)")
                             .arg(report.confidence * 100, 0, 'g', 4),
                         small));
}

}  // namespace tessarin::analyze::report
