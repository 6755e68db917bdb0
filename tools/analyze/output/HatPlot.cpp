#include "output/HatPlot.h"

#include <qcustomplot.h>

#include <cmath>
#include <limits>

#include "output/PlotFile.h"
#include "output/PlotStyle.h"

namespace tessarin::analyze::output {

namespace {

const QColor kOscillatorColours[] = {
    QColor(0, 90, 180),  QColor(200, 60, 30), QColor(30, 140, 60),   QColor(140, 60, 160),
    QColor(200, 140, 0), QColor(0, 150, 160), QColor(110, 110, 110), QColor(160, 40, 100)};

void addCurve(QCustomPlot& plot, const analysis::HatCurve& curve, const QString& name,
              const QColor& colour) {
  constexpr double kBreak = std::numeric_limits<double>::quiet_NaN();
  QVector<double> tau, value, below, above, boundTau, bound;
  for (const analysis::HatRow& row : curve.rows) {
    if (!row.value) {
      // A NaN point breaks the line: a negative estimate is no point on the curve.
      tau << row.tau;
      value << kBreak;
      below << kBreak;
      above << kBreak;
      if (row.ciHigh && *row.ciHigh > 0) {
        boundTau << row.tau;
        bound << *row.ciHigh;
      }
      continue;
    }
    tau << row.tau;
    value << *row.value;
    below << (row.ciLow ? *row.value - *row.ciLow : kBreak);
    above << (row.ciHigh ? *row.ciHigh - *row.value : kBreak);
  }
  addCurveWithBars(plot.axisRect(), name, QPen(colour, 1.5),
                   QCPScatterStyle(QCPScatterStyle::ssCircle, colour, Qt::white, 6), tau, value,
                   below, above);
  if (bound.isEmpty()) return;
  QCPGraph* bounds = plot.addGraph();
  bounds->setName(name + QStringLiteral(", upper bound of a negative estimate"));
  bounds->setLineStyle(QCPGraph::lsNone);
  bounds->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssTriangleInverted, colour, colour, 9));
  bounds->setData(boundTau, bound, true);
}

}  // namespace

void drawHat(QCustomPlot& plot, const analysis::CorneredHat& hat) {
  useLogScale(plot.xAxis);
  useLogScale(plot.yAxis);
  plot.xAxis->setLabel(QStringLiteral("tau / s"));
  plot.yAxis->setLabel(QStringLiteral("deviation of each oscillator"));
  std::size_t trace = 0;
  for (const analysis::HatCurve& curve : hat.curves) {
    const QString name = QString::fromStdString(
                             hat.topology.oscillators[static_cast<std::size_t>(curve.oscillator)]) +
                         QStringLiteral(" ") +
                         QString::fromUtf8(stability::nameOf(curve.statistic));
    addCurve(plot, curve, name, kOscillatorColours[trace++ % std::size(kOscillatorColours)]);
  }
  plot.legend->setVisible(true);
  plot.axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignBottom | Qt::AlignLeft);
  plot.rescaleAxes();
  plot.xAxis->scaleRange(1.2);
  plot.yAxis->scaleRange(1.5);
}

platform::Result<> writeHatPlot(const QString& path, const analysis::CorneredHat& hat) {
  QCustomPlot plot;
  plot.plotLayout()->insertRow(0);
  plot.plotLayout()->addElement(
      0, 0,
      new QCPTextElement(&plot, QStringLiteral("N-cornered hat, %1 of %2 oscillators")
                                    .arg(QString::fromUtf8(analysis::nameOf(hat.topology.layout)))
                                    .arg(hat.topology.oscillators.size())));
  drawHat(plot, hat);
  return savePlot(plot, path);
}

}  // namespace tessarin::analyze::output
